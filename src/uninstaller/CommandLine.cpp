#include "uninstaller/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

namespace vt::sweepex {

std::vector<std::wstring> CommandArguments(const wchar_t* commandLine) {
    std::vector<std::wstring> arguments;
    if (!commandLine || !*commandLine) return arguments;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine, &count);
    if (!argv) return arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(argv[i]);
    LocalFree(argv);
    return arguments;
}

Command ParseCommand(const std::vector<std::wstring>& arguments) {
    Command command;
    if (arguments.empty()) return command;
    if (arguments[0] == L"LanciaFile") command.mode = Mode::LaunchFile;
    else if (arguments[0] == L"GoUninstal") command.mode = Mode::Uninstall;
    else return command;
    if (arguments.size() > 1) command.argument = arguments[1];
    return command;
}

}  // namespace vt::sweepex
