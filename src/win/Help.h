#pragma once
// Where the windows ask for a help topic. The program installs the viewer; without one (or in
// tests, with a recorder) a request does nothing visible.
#include <functional>
#include <string>

namespace vt {

using HelpHandler = std::function<void(const std::wstring& keyword)>;

void SetHelpHandler(HelpHandler handler);
// Shows the topic of the help file named by the keyword ("Principale", "ImpostaBackups"...).
void RequestHelp(const std::wstring& keyword);

}  // namespace vt
