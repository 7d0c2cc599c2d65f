#include "config/ToolTips.h"

#include <commctrl.h>

namespace vt {

void ToolTips::Create(HWND dialog) {
    dialog_ = dialog;
    // Destroyed with its owner, the dialog.
    tip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

void ToolTips::Add(HWND control, const std::wstring& text) {
    if (!tip_) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::wstring ToolTips::TextOf(HWND control) const {
    if (!tip_) return {};
    wchar_t text[256] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = dialog_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(tip_, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return text;
}

}  // namespace vt
