# Build settings shared by every target, kept in one place: narrow string literals are GBK
# (the sources are UTF-8), warnings are on, and sanitizers can be switched on for the host.

add_library(quillora_options INTERFACE)

option(QUILLORA_WERROR "Treat warnings as errors" OFF)
option(QUILLORA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
# Off only for the fuzz build: clang accepts no execution charset but UTF-8, and the fuzz
# targets feed raw bytes to the core, so the encoding of its literals does not matter to them.
option(QUILLORA_GBK_LITERALS "Encode narrow string literals as GBK" ON)

if(MSVC)
  target_compile_options(quillora_options INTERFACE
    /source-charset:utf-8 /execution-charset:.936 /W4 /permissive- /EHsc)
  if(QUILLORA_WERROR)
    target_compile_options(quillora_options INTERFACE /WX)
  endif()
else()
  target_compile_options(quillora_options INTERFACE -finput-charset=UTF-8 -Wall -Wextra)
  if(QUILLORA_GBK_LITERALS)
    target_compile_options(quillora_options INTERFACE -fexec-charset=GBK)
  endif()
  if(QUILLORA_WERROR)
    target_compile_options(quillora_options INTERFACE -Werror)
  endif()
  if(QUILLORA_SANITIZE)
    target_compile_options(quillora_options INTERFACE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(quillora_options INTERFACE -fsanitize=address,undefined)
  endif()
endif()

if(MINGW)
  # Users and Wine need no MinGW runtime DLLs beside the executable.
  target_link_options(quillora_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

# The release build (presets release-x64 and release-x86): the same code as the tests run, with
# only what makes the shipped files small and reproducible added. No source or build folder in
# the binaries (__FILE__ in the runtime's assertions, for one), no link time in the PE header,
# and no symbols or debug sections.
option(QUILLORA_RELEASE "Strip the executables and keep build paths and times out of them" OFF)
if(QUILLORA_RELEASE)
  if(NOT MINGW)
    message(FATAL_ERROR "QUILLORA_RELEASE is for the MinGW-w64 cross build")
  endif()
  target_compile_options(quillora_options INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>
    $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>)
  target_link_options(quillora_options INTERFACE -s -Wl,--no-insert-timestamp)
endif()
