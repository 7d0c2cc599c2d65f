#include "win/Help.h"

namespace vt {

namespace {
HelpHandler g_handler;
}  // namespace

void SetHelpHandler(HelpHandler handler) { g_handler = std::move(handler); }

void RequestHelp(const std::wstring& keyword) {
    if (g_handler) g_handler(keyword);
}

}  // namespace vt
