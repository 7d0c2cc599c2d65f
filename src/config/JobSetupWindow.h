#pragma once
// The job set-up window: the five jobs on one tab page, the two global switches, and the doors
// to the four dialogs. It holds the jobs while open and saves them all whenever it closes.
#include <string>

#include "config/JobPageRules.h"
#include "settings/BackupJob.h"
#include "win/ChildPage.h"
#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

// The job page inside the tab control; it paints the FTP destination's light cyan.
class JobSetupPage : public ChildPage {
public:
    JobSetupPage();
    ~JobSetupPage() override;

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    HBRUSH ftpBrush_ = nullptr;
};

inline constexpr COLORREF kFtpDestinationColour = RGB(174, 255, 255);

class JobSetupWindow : public Form {
public:
    // page: the tab to open on (0..4). dataFolder holds the file lists; programFolder is where
    // the file-list editor starts when it remembers no folder.
    JobSetupWindow(int page, std::wstring dataFolder, std::wstring programFolder);

    int Slot() const { return JobTabs.Selected() + 1; }
    const JobSet& Jobs() const { return jobs_; }

    TabControl JobTabs;
    JobSetupPage JobPage;
    Label SourceLabel, DestinationLabel, FtpDestinationLabel, ScheduleKindLabel;
    Label TimeLabel, HoursLabel, DaysLabel, DataKindLabel;
    Edit SourceFolderEdit, ProgramEdit;
    Edit DestinationFolderEdit, FileListDestinationEdit, CommandLineEdit, FtpDestinationEdit;
    ComboBox SourceFilesBox, ScheduleKindBox, DataKindBox;
    Edit TimeEdit, HoursEdit, DaysEdit;
    CheckBox FtpCheck, TaskbarCheck, ShowDuringRunsCheck, CatchUpCheck;
    Button BrowseSourceButton, BrowseDestinationButton, ClearButton;
    Button LogFileButton, CopiesButton, HelpButton, CloseButton;
    StatusBar HintBar;

    // Which of the overlapping groups shows.
    bool DestinationPanelVisible() const { return destinationPanel_; }
    bool TimePanelVisible() const { return TimeEdit.Visible(); }
    bool HoursPanelVisible() const { return HoursEdit.Visible(); }
    bool DaysPanelVisible() const { return DaysEdit.Visible(); }

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnHint(const std::wstring& hint) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void AttachControls();
    void AttachPageControls();
    void SetHints();
    void MakeBold(HWND control);
    void LoadJobs();

    JobPageValues PageValues() const;
    void SetPageValues(const JobPageValues& values);
    void StorePage(int slot);
    void ShowPage(int slot);
    void ApplyScheduleKind();
    void ApplyDataKind();
    void ApplyFtpChoice();
    void ShowDestinationPanel(bool visible);

    void OnTabChanging();
    void OnTabChanged();
    void OnBrowseSourceClicked();
    void EditFileList();
    void PickProgram();
    void OnBrowseDestinationClicked();
    void OnClearClicked();
    void OnLogFileClicked();
    void OnCopiesClicked();
    void SaveAndClose();

    std::wstring StartFolder(const std::wstring& text) const;

    int page_;
    std::wstring dataFolder_;
    std::wstring programFolder_;
    JobSet jobs_;
    bool destinationPanel_ = true;
    int destination_ = 1;
    bool closed_ = false;
    HFONT boldFont_ = nullptr;
};

}  // namespace vt
