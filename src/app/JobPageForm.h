#pragma once
// The main window's job page: a tab page whose last-run line turns red after a run with errors.
#include "win/ChildPage.h"

namespace vt {

// The red of the clock when the program is off.
inline constexpr COLORREF kLastRunFailedColour = RGB(255, 0, 0);

class JobPageForm : public ChildPage {
public:
    explicit JobPageForm(int templateId, int lastRunLineId) : ChildPage(templateId), lastRunLineId_(lastRunLineId) {}
    void ShowLastRun(const std::wstring& text, bool failed);
    bool LastRunFailed() const { return lastRunFailed_; }

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    int lastRunLineId_;
    bool lastRunFailed_ = false;
};

}  // namespace vt
