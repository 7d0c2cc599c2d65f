#pragma once
// The window that shows the help file: the list of its topics, the title and text of one
// topic with links to others, "Indietro" and "Chiudi".
#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "help/HelpFile.h"
#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

class HelpWindow : public Form {
public:
    HelpWindow();
    ~HelpWindow() override;

    Label TopicsLabel;
    ListBox TopicList;
    Label TitleLabel;
    Control TextView;  // a rich edit: text with links
    Button BackButton;
    Button CloseButton;

    // The topics of the file as read for this request; they fill the list. What was shown
    // before stays in the history.
    void SetTopics(HelpTopics topics);
    // Shows the keyword's topic (the first when there is none) and selects it in the list.
    void ShowTopic(const std::wstring& keyword);
    const std::wstring& ShownKeyword() const { return shown_; }
    // The viewer is the whole program: closing it ends the message loop.
    void EndProgramWhenClosed() { endsProgram_ = true; }

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnDestroy() override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void Arrange();
    void Show(const HelpTopic& topic);
    void TopicListSelChange();
    void BackButtonClick();
    INT_PTR TextViewLink(const ENLINK& link);
    void FollowLink();

    HelpTopics topics_;
    std::wstring shown_;
    std::vector<std::wstring> history_;  // keywords shown before, the latest last
    std::wstring pendingLink_;
    std::vector<CHARRANGE> linkRanges_;  // the shown topic's links, as the view counts
    HFONT titleFont_ = nullptr;
    SIZE smallest_{};
    bool endsProgram_ = false;
};

}  // namespace vt
