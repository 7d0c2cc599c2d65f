#include "about/AboutBox.h"

#include <algorithm>

#include "about/AboutBoxIds.h"
#include "about/LinkLabel.h"
#include "about/MemoryLines.h"
#include "about/WindowsVersion.h"
#include "win/Help.h"
#include "win/Product.h"
#include "win/ProgramIcon.h"
#include "win/StartProgram.h"

namespace vt {

namespace {

HFONT DerivedFont(HWND window, bool underline, bool bold) {
    LOGFONTW font = FontOf(window);
    font.lfUnderline = underline;
    if (bold) font.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&font);
}

}  // namespace

AboutBox::AboutBox() : Form(IDD_ABOUT) {}

AboutBox::~AboutBox() {
    // The controls must let go of the fonts before they are deleted.
    if (Handle()) DestroyWindow(Handle());
    if (linkFont_) DeleteObject(linkFont_);
    if (titleFont_) DeleteObject(titleFont_);
}

void AboutBox::OnCreate() {
    HWND form = Handle();
    ProgramIcon.Attach(form, IDC_ABOUT_ICON);
    TermsLabel.Attach(form, IDT_ABOUT_TERMS);
    TermsLink.Attach(form, IDT_ABOUT_TERMS_LINK);
    ThanksLabel.Attach(form, IDT_ABOUT_THANKS);
    ThanksLink.Attach(form, IDT_ABOUT_THANKS_LINK);
    MailLink.Attach(form, IDT_ABOUT_MAIL);
    WebLink.Attach(form, IDT_ABOUT_WEB);
    WindowsLabel.Attach(form, IDT_ABOUT_WINDOWS);
    TotalMemoryLabel.Attach(form, IDT_ABOUT_TOTAL_MEMORY);
    UsedMemoryLabel.Attach(form, IDT_ABOUT_USED_MEMORY);
    OkButton.Attach(form, IDOK);
    // The about box has no help button; F1 still leads to the guide's first page.
    SetHelp(L"Principale", 20);

    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VAULTICK));
    if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
    SendMessageW(ProgramIcon.Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);

    MailLink.SetText(kMakerMail);
    WebLink.SetText(kMakerWeb);
    StyleText();
    ShowSystem();
    CentreOnOwner();
}

void AboutBox::StyleText() {
    linkFont_ = DerivedFont(Handle(), true, false);
    titleFont_ = DerivedFont(Handle(), false, true);
    SendMessageW(Item(IDT_ABOUT_PRODUCT), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
    for (const Label* link : {&TermsLink, &ThanksLink, &MailLink, &WebLink}) {
        SendMessageW(link->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
        MakeLinkLabel(link->Handle());
    }
    PlaceAfterText(TermsLink.Handle(), TermsLabel.Handle());
    PlaceAfterText(ThanksLink.Handle(), ThanksLabel.Handle());
}

void AboutBox::ShowSystem() {
    const WindowsName windows = WindowsVersionName();
    const std::wstring servicePack = windows.platformClass == 2 ? NTProductDetails().servicePack : L"";
    WindowsLabel.SetText(WindowsLine(windows, servicePack));
    const MemoryStatus memory = ReadMemoryStatus();
    TotalMemoryLabel.SetText(TotalMemoryLine(memory.totalBytes, LOCALE_USER_DEFAULT));
    UsedMemoryLabel.SetText(UsedMemoryLine(memory.totalBytes, memory.loadPercent, LOCALE_USER_DEFAULT));
}

void AboutBox::CentreOnOwner() {
    RECT form;
    GetWindowRect(Handle(), &form);
    HWND owner = GetWindow(Handle(), GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT around = monitor.rcWork;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
    const LONG width = form.right - form.left, height = form.bottom - form.top;
    LONG left = around.left + (around.right - around.left - width) / 2;
    LONG top = around.top + (around.bottom - around.top - height) / 2;
    // Never partly off the screen, whatever the owner's position.
    left = std::max(monitor.rcWork.left, std::min(left, monitor.rcWork.right - width));
    top = std::max(monitor.rcWork.top, std::min(top, monitor.rcWork.bottom - height));
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool AboutBox::IsLink(HWND control) const {
    return control == TermsLink.Handle() || control == ThanksLink.Handle() || control == MailLink.Handle() ||
           control == WebLink.Handle();
}

void AboutBox::OnCommand(int id, int notifyCode) {
    switch (id) {
        case IDOK: OnOkClicked(); break;
        case IDT_ABOUT_TERMS_LINK: if (notifyCode == STN_CLICKED) OnTermsClicked(); break;
        case IDT_ABOUT_THANKS_LINK: if (notifyCode == STN_CLICKED) OnThanksClicked(); break;
        case IDT_ABOUT_MAIL: if (notifyCode == STN_CLICKED) OnMailClicked(); break;
        case IDT_ABOUT_WEB: if (notifyCode == STN_CLICKED) OnWebClicked(); break;
        default: break;
    }
}

INT_PTR AboutBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (msg == WM_CTLCOLORSTATIC && IsLink(reinterpret_cast<HWND>(lParam))) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 204));
        SetBkMode(dc, TRANSPARENT);
        handled = true;
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    handled = false;
    return 0;
}

void AboutBox::OnTermsClicked() { RequestHelp(L"CondizionidiUtilizzo"); }

void AboutBox::OnThanksClicked() { RequestHelp(L"Ringraziamenti"); }

void AboutBox::OnMailClicked() { StartProgram(L"MailTo: " + MailLink.Text(), L"", L"", SW_SHOWNORMAL); }

void AboutBox::OnWebClicked() { StartProgram(WebLink.Text(), L"", L"", SW_SHOWNORMAL); }

void AboutBox::OnOkClicked() {
    if (IsModal()) EndModal(IDOK);
    else OnClose();
}

}  // namespace vt
