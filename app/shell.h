// The frame everything runs in: start-up, the event hold count, raising events through the one
// table of bindings, the message loop and the fatal error stop.
#pragma once

#include <string_view>

namespace quillora {

enum class Event { kCreated, kDestroying, kClicked };

// Holds events while the window is being built: no handler runs while the count is above 0.
void HoldEvents();
void ReleaseEvents();

// Tells the user that a run-time error has ended the program and ends the process with exit
// code -1. No handler runs from its first step on, and nothing is saved.
[[noreturn]] void FatalErrorStop(std::string_view message);

// The whole run: start-up, the main window, the message loop. Returns the exit code.
int StartProgram();

}  // namespace quillora
