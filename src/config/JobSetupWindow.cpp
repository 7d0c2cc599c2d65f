#include "config/JobSetupWindow.h"

#include <commctrl.h>
#include <shlobj.h>

#include "config/ConfigIds.h"
#include "config/CopiesDialog.h"
#include "config/FileListEditor.h"
#include "config/FtpDestinationDialog.h"
#include "config/LogFileDialog.h"
#include "config/Pickers.h"
#include "config/TimeMask.h"
#include "settings/JobNames.h"
#include "settings/FtpDestination.h"
#include "win/BusyCursor.h"
#include "win/Help.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"

namespace vt {

namespace {

// The hourglass for the loading and the saving, which do not pump messages.
class WaitCursor {
public:
    WaitCursor() { SetBusyCursor(true); }
    ~WaitCursor() { SetBusyCursor(wasBusy_); }

private:
    bool wasBusy_ = BusyCursorOn();
};

}  // namespace

JobSetupWindow::JobSetupWindow(int page, std::wstring dataFolder, std::wstring programFolder)
    : Form(IDD_SETUP), page_(page), dataFolder_(std::move(dataFolder)), programFolder_(std::move(programFolder)) {
    SetHelp(L"ImpostaBackups", 70);
}

void JobSetupWindow::OnCreate() {
    AttachControls();
    SetHints();
    LoadJobs();
}

void JobSetupWindow::LoadJobs() {
    WaitCursor wait;
    LoadAllJobs(jobs_, dataFolder_);
    TaskbarCheck.SetChecked(jobs_.trayIcon);
    ShowDuringRunsCheck.SetChecked(jobs_.showDuringRun);
    ShowPage(Slot());
    ApplyScheduleKind();
    ApplyDataKind();
}

void JobSetupWindow::OnHint(const std::wstring& hint) { HintBar.SetPanelText(0, hint); }

JobPageValues JobSetupWindow::PageValues() const {
    JobPageValues v;
    v.sourceFolder = SourceFolderEdit.Text();
    v.files = SourceFilesBox.Items();
    v.fileIndex = SourceFilesBox.ItemIndex();
    v.program = ProgramEdit.Text();
    v.destinationFolder = DestinationFolderEdit.Text();
    v.fileListDestination = FileListDestinationEdit.Text();
    v.commandLine = CommandLineEdit.Text();
    v.scheduleKind = ScheduleKindBox.ItemIndex();
    v.dataKind = DataKindBox.ItemIndex();
    v.ftp = FtpCheck.Checked();
    v.time = TimeMaskValue(TimeEdit.Text());
    v.hours = HoursEdit.Text();
    v.days = DaysEdit.Text();
    v.catchUp = CatchUpCheck.Checked();
    return v;
}

void JobSetupWindow::SetPageValues(const JobPageValues& v) {
    SourceFolderEdit.SetText(v.sourceFolder);
    SourceFilesBox.Clear();
    for (const std::wstring& file : v.files) SourceFilesBox.Add(file);
    SourceFilesBox.SetItemIndex(v.fileIndex);
    ProgramEdit.SetText(v.program);
    DestinationFolderEdit.SetText(v.destinationFolder);
    FileListDestinationEdit.SetText(v.fileListDestination);
    CommandLineEdit.SetText(v.commandLine);
    ScheduleKindBox.SetItemIndex(v.scheduleKind);
    DataKindBox.SetItemIndex(v.dataKind);
    FtpCheck.SetChecked(v.ftp);
    TimeEdit.SetText(v.time);
    HoursEdit.SetText(v.hours);
    DaysEdit.SetText(v.days);
    CatchUpCheck.SetChecked(v.catchUp);
}

void JobSetupWindow::StorePage(int slot) { StorePageValues(PageValues(), jobs_.Job(slot)); }

void JobSetupWindow::ShowPage(int slot) {
    JobPageValues values = PageValues();
    ShowPageValues(jobs_.Job(slot), values);
    SetPageValues(values);
}

void JobSetupWindow::ApplyScheduleKind() {
    const auto panel = TimePanelFor(ScheduleKindBox.ItemIndex());
    if (!panel) return;
    TimeLabel.SetVisible(*panel == TimePanel::Time);
    TimeEdit.SetVisible(*panel == TimePanel::Time);
    CatchUpCheck.SetVisible(*panel == TimePanel::Time);
    DaysLabel.SetVisible(*panel == TimePanel::Days);
    DaysEdit.SetVisible(*panel == TimePanel::Days);
    HoursLabel.SetVisible(*panel == TimePanel::Hours);
    HoursEdit.SetVisible(*panel == TimePanel::Hours);
}

void JobSetupWindow::ApplyDataKind() {
    const auto layout = DataKindLayoutFor(DataKindBox.ItemIndex());
    if (layout) {
        SourceLabel.SetText(layout->sourceLabel);
        DestinationLabel.SetText(layout->destinationLabel);
        SourceFolderEdit.SetVisible(layout->source == 1);
        SourceFilesBox.SetVisible(layout->source == 2);
        ProgramEdit.SetVisible(layout->source == 3);
        destination_ = layout->destination;
        BrowseDestinationButton.SetVisible(layout->destinationChoice);
        FtpCheck.SetVisible(layout->destinationChoice);
    }
    ApplyFtpChoice();
    // The focus goes where the user continues, once the right controls show.
    if (!layout) return;
    if (layout->destination == 3) {
        if (destinationPanel_) CommandLineEdit.Focus();
    } else {
        BrowseSourceButton.Focus();
    }
}

void JobSetupWindow::ShowDestinationPanel(bool visible) {
    destinationPanel_ = visible;
    DestinationLabel.SetVisible(visible);
    DestinationFolderEdit.SetVisible(visible && destination_ == 1);
    FileListDestinationEdit.SetVisible(visible && destination_ == 2);
    CommandLineEdit.SetVisible(visible && destination_ == 3);
    FtpDestinationLabel.SetVisible(!visible);
    FtpDestinationEdit.SetVisible(!visible);
}

void JobSetupWindow::ApplyFtpChoice() {
    if (FtpCheck.Checked() && FtpCheck.Visible()) {
        ShowDestinationPanel(false);
        std::wstring shown;
        if (const auto ftp = ReadFtpDestination(Slot())) shown = ftp->host + ftp->folder;
        FtpDestinationEdit.SetText(shown);
    } else {
        ShowDestinationPanel(true);
    }
}

void JobSetupWindow::OnTabChanging() { StorePage(Slot()); }

void JobSetupWindow::OnTabChanged() {
    ShowPage(Slot());
    ApplyScheduleKind();
    ApplyDataKind();
}

std::wstring JobSetupWindow::StartFolder(const std::wstring& text) const {
    return text.empty() ? ShellFolder(CSIDL_PERSONAL) : text;
}

void JobSetupWindow::OnBrowseSourceClicked() {
    switch (DataKindBox.ItemIndex()) {
        case kFolder:
            if (const auto chosen = PickFolder(Handle(), StartFolder(SourceFolderEdit.Text())))
                SourceFolderEdit.SetText(*chosen);
            break;
        case kFileList: EditFileList(); break;
        case kLaunchProgram: PickProgram(); break;
        default: break;
    }
}

void JobSetupWindow::EditFileList() {
    const int slot = Slot();
    StorePage(slot);
    HintBar.SetPanelText(0, L"");
    FileListEditor editor(jobs_.Job(slot).files, programFolder_);
    editor.ShowModal(Handle());
    ShowPage(slot);
}

void JobSetupWindow::PickProgram() {
    FileDialogRequest request;
    request.owner = Handle();
    request.title = L"Selezionare un programma";
    request.filter = L"Programmi|*.exe;*.com;*.bat|Tutti i file|*.*";
    // The chosen program's folder first, so that a change starts where the program is.
    const std::wstring program = ProgramEdit.Text();
    request.initialFolder = StartFolder(program.empty() ? SourceFolderEdit.Text() : FolderOf(program));
    const FileDialogResult result = PickFiles(request);
    if (result.status == FileDialogResult::Chosen && !result.files.empty()) ProgramEdit.SetText(result.files.front());
}

void JobSetupWindow::OnBrowseDestinationClicked() {
    if (FtpCheck.Checked()) {
        FtpDestinationDialog dialog(Slot());
        dialog.ShowModal(Handle());
        ApplyFtpChoice();
        return;
    }
    const Edit& target = DataKindBox.ItemIndex() == kFileList ? FileListDestinationEdit : DestinationFolderEdit;
    if (const auto chosen = PickFolder(Handle(), StartFolder(target.Text()))) target.SetText(*chosen);
}

void JobSetupWindow::OnClearClicked() {
    const bool sourceSet = !SourceFolderEdit.Text().empty() || !SourceFilesBox.Text().empty() || !ProgramEdit.Text().empty();
    if (sourceSet && AskYesNo(L"Cancellare tutti i dati di questo backup?") != YesNo::Yes) return;
    SourceFolderEdit.SetText(L"");
    SourceFilesBox.SetItemIndex(-1);
    ProgramEdit.SetText(L"");
    DestinationFolderEdit.SetText(L"");
    FileListDestinationEdit.SetText(L"");
    CommandLineEdit.SetText(L"");
    ScheduleKindBox.SetItemIndex(kAtTime);
    DataKindBox.SetItemIndex(kFolder);
    TimeEdit.SetText(L"");
    CatchUpCheck.SetChecked(false);
    FtpCheck.SetChecked(false);
    ApplyScheduleKind();
    ApplyDataKind();
}

void JobSetupWindow::OnLogFileClicked() {
    LogFileDialog dialog;
    dialog.ShowModal(Handle());
}

void JobSetupWindow::OnCopiesClicked() {
    CopiesDialog dialog;
    dialog.ShowModal(Handle());
}

void JobSetupWindow::OnCommand(int id, int notifyCode) {
    switch (id) {
        case IDC_SETUP_SCHEDULE_KIND:
            if (notifyCode == CBN_SELCHANGE) ApplyScheduleKind();
            return;
        case IDC_SETUP_DATA_KIND:
            if (notifyCode == CBN_SELCHANGE) ApplyDataKind();
            return;
        default:
            break;
    }
    if (notifyCode != BN_CLICKED) return;
    switch (id) {
        case IDX_SETUP_FTP: ApplyFtpChoice(); break;
        case IDB_SETUP_BROWSE_SOURCE: OnBrowseSourceClicked(); break;
        case IDB_SETUP_BROWSE_DEST: OnBrowseDestinationClicked(); break;
        case IDB_SETUP_CLEAR: OnClearClicked(); break;
        case IDB_SETUP_LOGFILE: OnLogFileClicked(); break;
        case IDB_SETUP_COPIES: OnCopiesClicked(); break;
        case IDB_SETUP_HELP: RequestHelp(L"ImpostaBackups"); break;
        // No default button: Enter while typing the command line or the time must not close
        // the window, so the dialog manager's IDOK is not a close.
        case IDB_SETUP_CLOSE: SaveAndClose(); break;
        default: break;
    }
}

void JobSetupWindow::OnClose() { SaveAndClose(); }

void JobSetupWindow::SaveAndClose() {
    // Every way of closing saves; there is no cancel.
    if (closed_) return;
    closed_ = true;
    {
        WaitCursor wait;
        StorePage(Slot());
        jobs_.trayIcon = TaskbarCheck.Checked();
        jobs_.showDuringRun = ShowDuringRunsCheck.Checked();
        SaveAllJobs(jobs_, dataFolder_);
    }
    Form::OnClose();
}

INT_PTR JobSetupWindow::OnMessage(UINT msg, WPARAM, LPARAM lParam, bool& handled) {
    handled = false;
    if (msg != WM_NOTIFY) return 0;
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != JobTabs.Handle()) return 0;
    if (header->code == TCN_SELCHANGING) {
        OnTabChanging();
        handled = true;
        return FALSE;
    }
    if (header->code == TCN_SELCHANGE) {
        OnTabChanged();
        handled = true;
    }
    return 0;
}

}  // namespace vt
