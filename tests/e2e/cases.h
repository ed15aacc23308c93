// The end-to-end cases, one function each; main.cpp maps case names to them.
#pragma once

#include <string>
#include <vector>

namespace e2e {

using Args = std::vector<std::string>;  // what follows the case name on the command line

void WindowAndControls(const Args&);
void Generate(const Args&);
void EventAndRestoreDefaults(const Args&);
void Keys(const Args&);
void CloseWays(const Args&);
void CommandLineAndCurrentDirectory(const Args&);
void UnicodeTexts(const Args&);  // argument: the ANSI code page Wine is expected to run with

void SettingsFirstStartAndRestore(const Args&);
void SettingsEmptiedCount(const Args&);
void SettingsHandWrittenValues(const Args&);
void SettingsRoundTrip(const Args&);
void SettingsWineProfileFunctions(const Args&);
void FatalStop(const Args&);

void BadConfigContents(const Args&);
void BadConfigLargeValue(const Args&);
void BadConfigUnwritable(const Args&);
void BadCounts(const Args&);
void BadPhraseBoxes(const Args&);

void Shipped(const Args&);  // argument: the full path of a quillora.exe to start where it is

}  // namespace e2e
