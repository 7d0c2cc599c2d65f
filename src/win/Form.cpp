#include "win/Form.h"

#include <algorithm>
#include <exception>

#include "win/BusyCursor.h"
#include "win/Help.h"
#include "win/ProgramIcon.h"

namespace vt {

namespace {

std::vector<HWND>& ModelessForms() {
    static std::vector<HWND> forms;
    return forms;
}

void ReportEscaped(const char* what) {
    OutputDebugStringA("Vaultick: failure caught in a window handler: ");
    OutputDebugStringA(what);
    OutputDebugStringA("\n");
}

}  // namespace

Form::Form(int templateId) : templateId_(templateId) {}

Form::~Form() {
    if (hwnd_ && !modal_) DestroyWindow(hwnd_);
}

INT_PTR Form::ShowModal(HWND owner) {
    modal_ = true;
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                           &Form::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool Form::CreateModeless(HWND owner) {
    modal_ = false;
    CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                       &Form::DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd_ != nullptr;
}

void Form::EndModal(INT_PTR result) {
    if (hwnd_ && modal_) EndDialog(hwnd_, result);
}

bool Form::PreTranslate(MSG& msg) {
    for (HWND form : ModelessForms())
        if (IsDialogMessageW(form, &msg)) return true;
    return false;
}

void Form::OnClose() {
    if (modal_) EndModal(IDCANCEL);
    else DestroyWindow(hwnd_);
}

INT_PTR Form::OnMessage(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

void Form::SetHelp(std::wstring keyword, int context) {
    helpKeyword_ = std::move(keyword);
    helpContext_ = context;
}

void Form::SetHint(int id, std::wstring hint) { SetHint(Item(id), std::move(hint)); }

void Form::SetHint(HWND control, std::wstring hint) { hints_[control] = std::move(hint); }

void Form::AddTimer(Timer& timer, UINT_PTR id, UINT intervalMs, bool enabled,
                    std::function<void()> onTimer) {
    timer.Attach(hwnd_, id, intervalMs, enabled, std::move(onTimer));
    timers_.push_back(&timer);
}

HWND Form::ControlUnderCursor(HWND reported) const {
    // A disabled control does not get the mouse: its parent is reported instead.
    POINT screen;
    GetCursorPos(&screen);
    HWND window = reported;
    for (;;) {
        POINT p = screen;
        ScreenToClient(window, &p);
        HWND child = ChildWindowFromPointEx(window, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == window) return window;
        window = child;
    }
}

void Form::ShowHintFor(HWND control) {
    const auto found = hints_.find(control);
    const std::wstring& hint = found == hints_.end() ? std::wstring() : found->second;
    if (hint == shownHint_) return;
    shownHint_ = hint;
    OnHint(hint);
}

INT_PTR CALLBACK Form::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Form* form;
    if (msg == WM_INITDIALOG) {
        form = reinterpret_cast<Form*>(lParam);
        form->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(form));
        if (!form->modal_) ModelessForms().push_back(hwnd);
    } else {
        form = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!form) return FALSE;
    // No exception may cross into the system's code.
    try {
        return form->Dispatch(msg, wParam, lParam);
    } catch (const std::exception& e) {
        ReportEscaped(e.what());
    } catch (...) {
        ReportEscaped("unknown");
    }
    return FALSE;
}

INT_PTR Form::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_COMMAND:
            // Esc arrives as IDCANCEL without a control.
            if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED && !lParam) OnEscape();
            else OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_TIMER:
            for (Timer* timer : timers_)
                if (timer->Id() == wParam) timer->Fire();
            return TRUE;
        case WM_HELP:
            if (!helpKeyword_.empty()) RequestHelp(helpKeyword_);
            return TRUE;
        case WM_SETCURSOR: return OnSetCursor(reinterpret_cast<HWND>(wParam));
        case WM_DESTROY: {
            OnDestroy();
            auto& forms = ModelessForms();
            forms.erase(std::remove(forms.begin(), forms.end(), hwnd_), forms.end());
            return FALSE;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
            hwnd_ = nullptr;
            return FALSE;
        default: return DispatchToForm(msg, wParam, lParam);
    }
}

INT_PTR Form::OnInitDialog() {
    if (HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VAULTICK))) {
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    OnCreate();
    // A form that placed the focus itself keeps it.
    const HWND focus = GetFocus();
    return focus && IsChild(hwnd_, focus) ? FALSE : TRUE;
}

INT_PTR Form::OnSetCursor(HWND control) {
    ShowHintFor(ControlUnderCursor(control));
    if (!BusyCursorOn()) return FALSE;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

INT_PTR Form::DispatchToForm(UINT msg, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    const INT_PTR result = OnMessage(msg, wParam, lParam, handled);
    if (!handled) return FALSE;
    // These few answer through the return value itself.
    if ((msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM ||
        msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON)
        return result;
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace vt
