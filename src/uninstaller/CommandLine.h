#pragma once
// What Sweepex was started to do, read from its command line.
#include <string>
#include <vector>

namespace vt::sweepex {

enum class Mode {
    None,        // unknown or missing request: end at once, showing nothing
    LaunchFile,  // "LanciaFile <program>": restart the main program after a short wait
    Uninstall,   // "GoUninstal <product>": carry out the uninstall log
};

struct Command {
    Mode mode = Mode::None;
    std::wstring argument;  // the program to start, or the product name for captions
};

// The arguments after the program's own name, split as the system splits them.
std::vector<std::wstring> CommandArguments(const wchar_t* commandLine);
// The request word is compared exactly, letter case included.
Command ParseCommand(const std::vector<std::wstring>& arguments);

}  // namespace vt::sweepex
