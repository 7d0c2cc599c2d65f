#include "help/HelpWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "help/HelpViewerIds.h"

namespace vt {

namespace {

// A link is followed once the rich edit has finished with the click that chose it.
constexpr UINT kFollowLink = WM_APP + 1;

// The rich edit's class comes from a system library: loaded once, from the system folder only.
void LoadRichEdit() {
    static const HMODULE library = LoadLibraryExW(L"riched20.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    (void)library;
}

// The viewer also lives while another window runs its own modal loop, where no dialog keys
// are translated for it: Esc is caught in its controls as well.
LRESULT CALLBACK EscapeCloses(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        PostMessageW(GetParent(hwnd), WM_CLOSE, 0, 0);
        return 0;
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &EscapeCloses, id);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// The rich edit keeps a line end as one character where the topic's text has CR LF.
// The links' places as the view counts them, in one pass over the text: the links come in text
// order, and a damaged file may hold many of them.
std::vector<CHARRANGE> ViewRanges(const std::wstring& text, const std::vector<HelpLink>& links) {
    std::vector<CHARRANGE> ranges;
    ranges.reserve(links.size());
    size_t scanned = 0;
    LONG lineEnds = 0;
    auto viewPosition = [&](size_t position) {
        for (; scanned + 1 < position; ++scanned)
            if (text[scanned] == L'\r' && text[scanned + 1] == L'\n') ++lineEnds;
        return static_cast<LONG>(position) - lineEnds;
    };
    for (const HelpLink& each : links) {
        const LONG from = viewPosition(each.start);
        ranges.push_back({from, viewPosition(each.start + each.length)});
    }
    return ranges;
}

// The text goes in as a plain-text stream, so that nothing in a help file is taken for RTF.
struct TextStream {
    const BYTE* next;
    size_t left;
};

DWORD CALLBACK ReadTextStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* given) {
    auto* stream = reinterpret_cast<TextStream*>(cookie);
    const size_t bytes = std::min(stream->left, static_cast<size_t>(size) & ~size_t{1});
    std::memcpy(buffer, stream->next, bytes);
    stream->next += bytes;
    stream->left -= bytes;
    *given = static_cast<LONG>(bytes);
    return 0;
}

}  // namespace

HelpWindow::HelpWindow() : Form(IDD_HELPVIEWER) { LoadRichEdit(); }

HelpWindow::~HelpWindow() {
    if (Handle()) DestroyWindow(Handle());
    if (titleFont_) DeleteObject(titleFont_);
}

void HelpWindow::OnCreate() {
    TopicsLabel.Attach(Handle(), IDT_HELP_TOPICS);
    TopicList.Attach(Handle(), IDL_HELP_TOPICS);
    TitleLabel.Attach(Handle(), IDT_HELP_TITLE);
    TextView.Attach(Handle(), IDE_HELP_TEXT);
    BackButton.Attach(Handle(), IDB_HELP_BACK);
    CloseButton.Attach(Handle(), IDB_HELP_CLOSE);

    LOGFONTW font = FontOf(Handle());
    font.lfWeight = FW_BOLD;
    font.lfHeight = font.lfHeight * 5 / 4;
    titleFont_ = CreateFontIndirectW(&font);
    SendMessageW(TitleLabel.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
    SendMessageW(TextView.Handle(), EM_SETEVENTMASK, 0, ENM_LINK);
    // The view would cut a long topic at 32K characters.
    SendMessageW(TextView.Handle(), EM_EXLIMITTEXT, 0, 0x7FFFFFFE);

    for (HWND control : {TopicList.Handle(), TextView.Handle(), BackButton.Handle(), CloseButton.Handle()})
        SetWindowSubclass(control, &EscapeCloses, 1, 0);

    RECT window;
    GetWindowRect(Handle(), &window);
    smallest_ = {(window.right - window.left) * 2 / 3, (window.bottom - window.top) / 2};
    Arrange();
}

void HelpWindow::SetTopics(HelpTopics topics) {
    topics_ = std::move(topics);
    SendMessageW(TopicList.Handle(), WM_SETREDRAW, FALSE, 0);
    TopicList.Clear();
    for (const HelpTopic& topic : topics_) TopicList.Add(topic.title);
    SendMessageW(TopicList.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(TopicList.Handle(), nullptr, TRUE);
}

void HelpWindow::ShowTopic(const std::wstring& keyword) {
    const HelpTopic* topic = FindTopic(topics_, keyword);
    if (!topic && !topics_.empty()) topic = &topics_.front();
    if (!topic) return;
    Show(*topic);
    TextView.Focus();
}

// Every topic shown after another, from a request, the list or a link, can be gone back to.
void HelpWindow::Show(const HelpTopic& topic) {
    if (!shown_.empty() && shown_ != topic.keyword) history_.push_back(shown_);
    shown_ = topic.keyword;

    TitleLabel.SetText(topic.title);
    const std::wstring& text = topic.text;
    TextStream stream{reinterpret_cast<const BYTE*>(text.data()), text.size() * sizeof(wchar_t)};
    EDITSTREAM source{reinterpret_cast<DWORD_PTR>(&stream), 0, &ReadTextStream};
    SendMessageW(TextView.Handle(), EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&source));

    CHARFORMAT2W link{};
    link.cbSize = sizeof(link);
    link.dwMask = CFM_LINK | CFM_UNDERLINE | CFM_COLOR;
    link.dwEffects = CFE_LINK | CFE_UNDERLINE;
    link.crTextColor = GetSysColor(COLOR_HOTLIGHT);
    linkRanges_ = ViewRanges(text, topic.links);
    for (CHARRANGE range : linkRanges_) {
        SendMessageW(TextView.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(TextView.Handle(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&link));
    }
    SendMessageW(TextView.Handle(), EM_SETSEL, 0, 0);
    SendMessageW(TextView.Handle(), EM_SCROLLCARET, 0, 0);

    TopicList.SetItemIndex(static_cast<int>(&topic - topics_.data()));
    const bool canGoBack = !history_.empty();
    if (!canGoBack && GetFocus() == BackButton.Handle()) TextView.Focus();
    BackButton.SetEnabled(canGoBack);
}

void HelpWindow::TopicListSelChange() {
    const int index = TopicList.ItemIndex();
    if (index >= 0 && static_cast<size_t>(index) < topics_.size()) Show(topics_[static_cast<size_t>(index)]);
}

// The previous topic that the file still holds.
void HelpWindow::BackButtonClick() {
    while (!history_.empty()) {
        const std::wstring keyword = std::move(history_.back());
        history_.pop_back();
        if (const HelpTopic* topic = FindTopic(topics_, keyword)) {
            shown_.clear();  // going back does not add to the history
            Show(*topic);
            return;
        }
    }
    BackButton.SetEnabled(false);
}

INT_PTR HelpWindow::TextViewLink(const ENLINK& link) {
    if (link.msg == WM_SETCURSOR) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    if (link.msg != WM_LBUTTONUP) return FALSE;
    const HelpTopic* topic = FindTopic(topics_, shown_);
    if (!topic) return FALSE;
    for (size_t i = 0; i < topic->links.size() && i < linkRanges_.size(); ++i) {
        if (link.chrg.cpMin >= linkRanges_[i].cpMin && link.chrg.cpMin < linkRanges_[i].cpMax) {
            pendingLink_ = topic->links[i].keyword;
            PostMessageW(Handle(), kFollowLink, 0, 0);
            break;
        }
    }
    return FALSE;
}

void HelpWindow::FollowLink() {
    const std::wstring keyword = std::move(pendingLink_);
    pendingLink_.clear();
    if (const HelpTopic* topic = keyword.empty() ? nullptr : FindTopic(topics_, keyword)) Show(*topic);
}

void HelpWindow::OnCommand(int id, int notifyCode) {
    if (id == IDB_HELP_CLOSE) OnClose();
    else if (id == IDB_HELP_BACK && notifyCode == BN_CLICKED) BackButtonClick();
    else if (id == IDL_HELP_TOPICS && notifyCode == LBN_SELCHANGE) TopicListSelChange();
}

void HelpWindow::OnDestroy() {
    if (endsProgram_) PostQuitMessage(0);
}

// The topic list down the left, the title and text filling the rest, "Indietro" and "Chiudi"
// in the bottom right corner.
void HelpWindow::Arrange() {
    RECT units{7, 12, 50, 14};
    MapDialogRect(Handle(), &units);
    const int margin = units.left, titleHeight = units.top, buttonWidth = units.right, buttonHeight = units.bottom;
    RECT listUnits{110, 0, 4, 0};
    MapDialogRect(Handle(), &listUnits);
    RECT client;
    GetClientRect(Handle(), &client);
    const int buttonTop = client.bottom - margin - buttonHeight;
    const int textTop = margin + titleHeight + margin / 2;
    const int textBottom = buttonTop - margin;
    const int listWidth = std::min<int>(listUnits.left, client.right / 3);
    const int textLeft = margin + listWidth + margin;
    const int textWidth = std::max(0, static_cast<int>(client.right) - margin - textLeft);
    const int gap = listUnits.right;
    constexpr UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    HDWP positions = BeginDeferWindowPos(6);
    positions = DeferWindowPos(positions, TopicsLabel.Handle(), nullptr, margin, margin, listWidth, titleHeight, flags);
    positions = DeferWindowPos(positions, TopicList.Handle(), nullptr, margin, textTop, listWidth,
                               std::max(0, textBottom - textTop), flags);
    positions = DeferWindowPos(positions, TitleLabel.Handle(), nullptr, textLeft, margin, textWidth, titleHeight, flags);
    positions = DeferWindowPos(positions, TextView.Handle(), nullptr, textLeft, textTop, textWidth,
                               std::max(0, textBottom - textTop), flags);
    positions = DeferWindowPos(positions, BackButton.Handle(), nullptr,
                               client.right - margin - 2 * buttonWidth - gap, buttonTop, buttonWidth, buttonHeight,
                               flags);
    positions = DeferWindowPos(positions, CloseButton.Handle(), nullptr, client.right - margin - buttonWidth,
                               buttonTop, buttonWidth, buttonHeight, flags);
    EndDeferWindowPos(positions);
}

INT_PTR HelpWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) Arrange();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = {smallest_.cx, smallest_.cy};
            return 0;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == IDE_HELP_TEXT && header->code == EN_LINK)
                return TextViewLink(*reinterpret_cast<const ENLINK*>(lParam));
            break;
        }
        case kFollowLink:
            FollowLink();
            return 0;
        default:
            break;
    }
    handled = false;
    return 0;
}

}  // namespace vt
