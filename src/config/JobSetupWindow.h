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
class TSetupPage : public ChildPage {
public:
    TSetupPage();
    ~TSetupPage() override;

protected:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    HBRUSH ftpBrush_ = nullptr;
};

inline constexpr COLORREF kFtpDestinationColour = RGB(174, 255, 255);

class TFormSetup : public Form {
public:
    // page: the tab to open on (0..4). dataFolder holds the file lists; programFolder is where
    // the file-list editor starts when it remembers no folder.
    TFormSetup(int page, std::wstring dataFolder, std::wstring programFolder);

    int Slot() const { return TabControl1.Selected() + 1; }
    const JobSet& Jobs() const { return jobs_; }

    TabControl TabControl1;
    TSetupPage Page;
    Label Label1, Label2, Label6, Label16, Label3, Label4, Label5, Label17;
    Edit EditSorg1, EditSorg3, EditDest1, EditDest2, EditDest3, EditDest4;
    ComboBox EditSorg2, CBTipoBkp, CBTipoDati;
    Edit EditOra, EditOre, EditGiorni;
    CheckBox CBFTP, CB1, CB3;
    Button BtnBrowse1, BtnBrowse2, BtnCanc, BtnLogFile, BtnBackup, BtnHelp, BtnExit;
    StatusBar StatusBar1;

    // Which of the overlapping groups shows.
    bool PanelDestVisible() const { return panelDest_; }
    bool PanelOrarioVisible() const { return EditOra.Visible(); }
    bool PanelOreVisible() const { return EditOre.Visible(); }
    bool PanelGiorniVisible() const { return EditGiorni.Visible(); }

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnHint(const std::wstring& hint) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void AttachControls();
    void SetHints();
    void MakeBold(HWND control);
    void FormActivate();

    JobPageValues PageValues() const;
    void SetPageValues(const JobPageValues& values);
    void StorePage(int slot);
    void ShowPage(int slot);
    void ScheduleKindRule();
    void DataKindRule();
    void FtpRule();
    void ShowPanelDest(bool visible);

    void TabControl1Changing();
    void TabControl1Change();
    void BtnBrowse1Click();
    void BtnBrowse2Click();
    void BtnCancClick();
    void BtnLogFileClick();
    void BtnBackupClick();
    void FormClose();

    std::wstring StartFolder(const std::wstring& text) const;

    int page_;
    std::wstring dataFolder_;
    std::wstring programFolder_;
    JobSet jobs_;
    bool panelDest_ = true;
    int destination_ = 1;
    bool closed_ = false;
    HFONT boldFont_ = nullptr;
};

}  // namespace vt
