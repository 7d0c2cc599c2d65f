#include "win/NotifyUser.h"

namespace vt {

namespace {

HWND g_applicationWindow = nullptr;
MessageBoxSeam g_seam;

// The box breaks lines at LF; a lone CR in our texts means a new line too.
std::wstring WithLineBreaks(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == L'\r' && (i + 1 == text.size() || text[i + 1] != L'\n')) out += L'\n';
    }
    return out;
}

}  // namespace

MessageBoxRequest BuildMessageBoxRequest(const std::wstring& text, int kind, int buttons) {
    MessageBoxRequest request;
    request.text = WithLineBreaks(text);
    switch (kind) {
        case kNotifyWarning: request.caption = L"Attenzione"; request.flags = MB_ICONWARNING; break;
        case kNotifyError: request.caption = L"Errore"; request.flags = MB_ICONERROR; break;
        case kNotifyInformation:
            request.caption = L"Informazione";
            request.flags = MB_ICONINFORMATION;
            break;
        case kNotifyQuestion: request.caption = L"Conferma"; request.flags = MB_ICONQUESTION; break;
        default: break;
    }
    if (buttons == kButtonsYesNo || buttons == kButtonsYesNoAsOne) request.flags |= MB_YESNO;
    else if (buttons == kButtonsYesNoCancel) request.flags |= MB_YESNOCANCEL;
    else request.flags |= MB_OK;
    HWND active = GetActiveWindow();
    request.owner = active ? active : g_applicationWindow;
    return request;
}

int TranslateMessageBoxAnswer(int buttons, int platformAnswer) {
    return buttons == kButtonsYesNoAsOne && platformAnswer == IDYES ? 1 : platformAnswer;
}

int NotifyUser(const std::wstring& text, int kind, int buttons) {
    const MessageBoxRequest request = BuildMessageBoxRequest(text, kind, buttons);
    int answer;
    if (g_seam) {
        answer = g_seam(request);
    } else {
        if (kind == kNotifyQuestion) MessageBeep(MB_ICONINFORMATION);
        answer = MessageBoxW(request.owner, request.text.c_str(), request.caption.c_str(),
                             request.flags | MB_TASKMODAL);
    }
    return TranslateMessageBoxAnswer(buttons, answer);
}

YesNo AskYesNo(const std::wstring& question) {
    switch (NotifyUser(question, kNotifyQuestion, kButtonsYesNo)) {
        case IDYES: return YesNo::Yes;
        case IDNO: return YesNo::No;
        default: return YesNo::Unanswered;
    }
}

void ShowMessage(const std::wstring& text, NotifyKind kind) { NotifyUser(text, kind, kButtonsOk); }

void SetApplicationWindow(HWND window) { g_applicationWindow = window; }

HWND ApplicationWindow() { return g_applicationWindow; }

void SetMessageBoxSeam(MessageBoxSeam seam) { g_seam = std::move(seam); }

}  // namespace vt
