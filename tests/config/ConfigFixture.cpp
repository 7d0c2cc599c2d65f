#include "ConfigFixture.h"

#include "settings/SettingsStore.h"
#include "win/Help.h"

namespace vt::test {

ConfigTest::ConfigTest() {
    SetMessageBoxSeam([this](const MessageBoxRequest& request) {
        boxes_.push_back(request);
        if (answers_.empty()) return IDYES;
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    });
    SetFolderPickerSeam([this](const FolderPickRequest& request) {
        pickerStarts_.push_back(request.startFolder);
        return pickedFolder_;
    });
    SetFileDialogSeam([this](const FileDialogRequest& request) {
        fileRequests_.push_back(request);
        return fileResult_;
    });
    SetHelpHandler([this](const std::wstring& keyword) { helpKeywords_.push_back(keyword); });
}

ConfigTest::~ConfigTest() {
    SetMessageBoxSeam(nullptr);
    SetFolderPickerSeam(nullptr);
    SetFileDialogSeam(nullptr);
    SetHelpHandler(nullptr);
}

std::wstring ConfigTest::Read(const std::wstring& section, const std::wstring& name) const {
    return SettingsStore().ReadString(section, name, L"<missing>");
}

void ConfigTest::Write(const std::wstring& section, const std::wstring& name, const std::wstring& value) const {
    SettingsStore().WriteString(section, name, value);
}

void Choose(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void Click(HWND button) {
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

void Tick(HWND box, bool checked) {
    if ((SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != checked) SendMessageW(box, BM_CLICK, 0, 0);
}

void TypeText(HWND edit, const std::wstring& text) {
    for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 0);
}

void PressEnter(HWND window, HWND control) {
    SetFocus(control);
    MSG msg{control, WM_KEYDOWN, VK_RETURN, 0, static_cast<DWORD>(GetMessageTime()), {}};
    IsDialogMessageW(window, &msg);
}

}  // namespace vt::test
