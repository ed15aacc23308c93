// quillora.exe: composes attention-grabbing headlines from three phrase lists.
#include <windows.h>

#include "app/shell.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The command line is ignored on purpose: the program takes no arguments.
  return quillora::StartProgram();
}
