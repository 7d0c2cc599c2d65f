#include "about/FormInfo.h"

#include <algorithm>

#include "about/FormInfoIds.h"
#include "about/LinkLabel.h"
#include "about/MemoryLines.h"
#include "about/WindowsVersion.h"
#include "win/Help.h"
#include "win/Product.h"
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

TFormInfo::TFormInfo() : Form(IDD_INFO) {}

TFormInfo::~TFormInfo() {
    // The controls must let go of the fonts before they are deleted.
    if (Handle()) DestroyWindow(Handle());
    if (linkFont_) DeleteObject(linkFont_);
    if (titleFont_) DeleteObject(titleFont_);
}

void TFormInfo::OnCreate() {
    HWND form = Handle();
    Image2.Attach(form, IDC_INFO_IMAGE2);
    Label10.Attach(form, IDT_INFO_LABEL10);
    Label1.Attach(form, IDT_INFO_LABEL1);
    Label4.Attach(form, IDT_INFO_LABEL4);
    Label6.Attach(form, IDT_INFO_LABEL6);
    LabEmail1.Attach(form, IDT_INFO_LABEMAIL1);
    LabSito1.Attach(form, IDT_INFO_LABSITO1);
    LabelWinTipo.Attach(form, IDT_INFO_LABELWINTIPO);
    LabelMemTot.Attach(form, IDT_INFO_LABELMEMTOT);
    LabelMemOcc.Attach(form, IDT_INFO_LABELMEMOCC);
    BtnClose.Attach(form, IDOK);
    // The about box has no help button; F1 still leads to the guide's first page.
    SetHelp(L"Principale", 20);

    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
    SendMessageW(Image2.Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);

    LabEmail1.SetText(kMakerMail);
    LabSito1.SetText(kMakerWeb);
    StyleText();
    ShowSystem();
    CentreOnOwner();
}

void TFormInfo::StyleText() {
    linkFont_ = DerivedFont(Handle(), true, false);
    titleFont_ = DerivedFont(Handle(), false, true);
    SendMessageW(Item(IDT_INFO_PRODUCT), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
    for (const Label* link : {&Label1, &Label6, &LabEmail1, &LabSito1}) {
        SendMessageW(link->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
        MakeLinkLabel(link->Handle());
    }
    PlaceAfterText(Label1.Handle(), Label10.Handle());
    PlaceAfterText(Label6.Handle(), Label4.Handle());
}

void TFormInfo::ShowSystem() {
    const WindowsName windows = WindowsVersionName();
    const std::wstring servicePack = windows.platformClass == 2 ? NTProductDetails().servicePack : L"";
    LabelWinTipo.SetText(WindowsLine(windows, servicePack));
    const MemoryStatus memory = ReadMemoryStatus();
    LabelMemTot.SetText(TotalMemoryLine(memory.totalBytes, LOCALE_USER_DEFAULT));
    LabelMemOcc.SetText(UsedMemoryLine(memory.totalBytes, memory.loadPercent, LOCALE_USER_DEFAULT));
}

void TFormInfo::CentreOnOwner() {
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

bool TFormInfo::IsLink(HWND control) const {
    return control == Label1.Handle() || control == Label6.Handle() || control == LabEmail1.Handle() ||
           control == LabSito1.Handle();
}

void TFormInfo::OnCommand(int id, int notifyCode) {
    switch (id) {
        case IDOK: BtnCloseClick(); break;
        case IDT_INFO_LABEL1: if (notifyCode == STN_CLICKED) Label1Click(); break;
        case IDT_INFO_LABEL6: if (notifyCode == STN_CLICKED) Label6Click(); break;
        case IDT_INFO_LABEMAIL1: if (notifyCode == STN_CLICKED) LabEmail1Click(); break;
        case IDT_INFO_LABSITO1: if (notifyCode == STN_CLICKED) LabSito1Click(); break;
        default: break;
    }
}

INT_PTR TFormInfo::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
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

void TFormInfo::Label1Click() { RequestHelp(L"CondizionidiUtilizzo"); }

void TFormInfo::Label6Click() { RequestHelp(L"Ringraziamenti"); }

void TFormInfo::LabEmail1Click() { StartProgram(L"MailTo: " + LabEmail1.Text(), L"", L"", SW_SHOWNORMAL); }

void TFormInfo::LabSito1Click() { StartProgram(LabSito1.Text(), L"", L"", SW_SHOWNORMAL); }

void TFormInfo::BtnCloseClick() {
    if (IsModal()) EndModal(IDOK);
    else OnClose();
}

}  // namespace vt
