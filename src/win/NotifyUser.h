#pragma once
// The program's one message-box routine, with a seam through which tests answer it.
#include <windows.h>

#include <functional>
#include <string>

namespace vt {

// Kinds: 0 warning, 1 error, 2 information, 3 question.
enum NotifyKind { kNotifyWarning = 0, kNotifyError = 1, kNotifyInformation = 2, kNotifyQuestion = 3 };

// Button sets: 6 is Yes/No with Yes answered as 1, 3 is Yes/No with the platform's codes.
enum NotifyButtons { kButtonsOk = 0, kButtonsYesNo = 3, kButtonsYesNoAsOne = 6, kButtonsYesNoCancel = 11 };

// Unanswered: the box could not be shown.
enum class YesNo { Yes, No, Unanswered };

// Everything the box shows, as the platform is asked for it.
struct MessageBoxRequest {
    std::wstring text;
    std::wstring caption;
    UINT flags = 0;  // MB_ICON* | MB_OK / MB_YESNO / MB_YESNOCANCEL
    HWND owner = nullptr;
};

MessageBoxRequest BuildMessageBoxRequest(const std::wstring& text, int kind, int buttons);
// With buttons 6 a Yes is answered as 1; otherwise the platform's code goes back unchanged.
int TranslateMessageBoxAnswer(int buttons, int platformAnswer);

int NotifyUser(const std::wstring& text, int kind, int buttons);
// A question with "Sì" and "No" under the question icon.
YesNo AskYesNo(const std::wstring& question);
// A message with only an OK button.
void ShowMessage(const std::wstring& text, NotifyKind kind);

// The window that owns a box when no window of ours is active.
void SetApplicationWindow(HWND window);
HWND ApplicationWindow();

// Replaces the platform's message box; an empty function puts the platform's back.
using MessageBoxSeam = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxSeam(MessageBoxSeam seam);

}  // namespace vt
