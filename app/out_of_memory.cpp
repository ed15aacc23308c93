// Every allocation of the program goes through here: when memory cannot be had, the fatal
// error stop tells the user how many bytes were asked for, instead of an unexplained crash.
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/shell.h"

namespace {

[[noreturn]] void OutOfMemory(std::size_t size) {
  char message[96];
  std::snprintf(message, sizeof message, "内存不足：无法分配 %zu 字节", size);
  quillora::FatalErrorStop(message);
}

}  // namespace

void* operator new(std::size_t size) {
#ifdef QUILLORA_ALLOCATION_CEILING
  // Test builds only: larger requests fail as if the memory were not there.
  if (size > QUILLORA_ALLOCATION_CEILING) OutOfMemory(size);
#endif
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  OutOfMemory(size);
}

void* operator new[](std::size_t size) { return ::operator new(size); }

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
