#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <memory>
#include <thread>

#include "LinkReader.h"
#include "install/InstallDialogForm.h"
#include "install/InstallIds.h"
#include "install/RemovalFolder.h"
#include "install/InstallTexts.h"
#include "install/Shortcuts.h"
#include "settings/SettingsStore.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "support/UnixShell.h"
#include "win/Help.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"
#include "win/RegKey.h"
#include "win/Text.h"

namespace vt {
namespace {

constexpr wchar_t kRun[] = L"SoftWare\\Microsoft\\Windows\\CurrentVersion\\Run";

class DialogProbe : public InstallDialog {
public:
    using InstallDialog::InstallDialog;
    using Form::HelpContext;
};

// The box breaks the line where the message has a carriage return.
std::wstring Shown(std::wstring text) {
    for (size_t at = text.find(L'\r'); at != std::wstring::npos; at = text.find(L'\r', at + 2)) text.insert(at + 1, L"\n");
    return text;
}

std::wstring Caption(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// Runs the message loop until the condition holds; the dialog's own timer needs it.
bool PumpUntil(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class InstallDialogTest : public ::testing::Test {
protected:
    test::SettingsGuard settings_;
    test::RegistryGuard machine_{HKEY_LOCAL_MACHINE, kSettingsKey};
    test::RegistryGuard entry_{HKEY_LOCAL_MACHINE, kInstalledProgramsKey};
    test::RegistryGuard run_{HKEY_CURRENT_USER, kRun};
    test::TempFolder root_;
    InstallEnvironment env_;
    std::vector<MessageBoxRequest> boxes_;
    std::deque<int> answers_;
    std::vector<std::wstring> help_;

    void SetUp() override {
        for (const wchar_t* name : {L"Prog", L"Temp", L"Data", L"Programs", L"Desktop", L"QL", L"AllPrograms"})
            CreateDirectoryW((root_ / name).c_str(), nullptr);
        env_.exePath = root_ / L"Prog\\DorviVaultick.exe";
        test::WriteBytes(env_.exePath, "MZ");
        env_.removalFolder = PlanRemovalFolder(true, root_ / L"Temp", L"", L"");
        // Stands in for the uninstaller: it records how it was started, beside itself.
        CopyFileW((FolderOf(ModuleFileName()) + L"\\SweepexProbe.exe").c_str(), (root_ / L"Prog\\Sweepex.exe").c_str(), FALSE);
        env_.dataFolder = root_ / L"Data";
        env_.currentUser = L"Mario";
        env_.places = {root_ / L"Programs", root_ / L"Desktop", root_ / L"QL", root_ / L"AllPrograms"};
        SetMessageBoxSeam([this](const MessageBoxRequest& request) {
            boxes_.push_back(request);
            if (answers_.empty()) return IDOK;
            const int answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
        SetHelpHandler([this](const std::wstring& keyword) { help_.push_back(keyword); });
    }
    void TearDown() override {
        SetMessageBoxSeam(nullptr);
        SetHelpHandler(nullptr);
    }

    std::unique_ptr<DialogProbe> Open(InstallMode mode) {
        auto form = std::make_unique<DialogProbe>(mode, env_);
        EXPECT_TRUE(form->CreateModeless(nullptr));
        return form;
    }
    static void Click(const DialogProbe& form, const Button& button) {
        SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(button.Id(), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button.Handle()));
    }
    void SetInstallingUser(const std::wstring& user, bool allUsers = false) {
        RegKey key = RegKey::Create(HKEY_LOCAL_MACHINE, std::wstring(kSettingsKey) + L"\\Principale");
        key.WriteString(L"Utente", user);
        key.WriteString(L"Per Tutti", allUsers ? L"1" : L"0");
    }
    std::wstring Places(const wchar_t* sub) const { return root_ / sub; }
    // The one folder a removal made for the uninstaller; empty when there is none.
    std::wstring RemovalFolderMade() const {
        std::wstring made;
        int count = 0;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((root_ / L"Temp\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do
                if (data.cFileName[0] != L'.') ++count, made = root_ / L"Temp\\" + data.cFileName;
            while (FindNextFileW(find, &data));
            FindClose(find);
        }
        return count == 1 ? made : std::wstring();
    }
    bool AnyFileIn(const wchar_t* folder) const {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((root_ / folder + L"\\*").c_str(), &data);
        bool any = false;
        if (find != INVALID_HANDLE_VALUE) {
            do any = any || data.cFileName[0] != L'.';
            while (FindNextFileW(find, &data));
            FindClose(find);
        }
        return any;
    }
};

TEST_F(InstallDialogTest, InstallModeClosedByItsTitleBarButtonStillRegistersTheProgram) {
    auto form = Open(InstallMode::Install);
    EXPECT_EQ(Caption(form->Handle()), L"Vaultick - Installazione Amministratore");
    EXPECT_EQ(form->CurrentUserRadio.Text(), L"Per l'utente \"Mario\"");
    EXPECT_EQ(form->AllUsersRadio.Text(), L"Per tutti gli utenti");
    EXPECT_EQ(form->AvailabilityGroup.Text(), L"Disponibilità");
    EXPECT_EQ(form->StartMenuCheck.Text(), L"Nel menù \"Start\"");
    EXPECT_EQ(form->ApplyButton.Text(), L"     &Imposta");
    EXPECT_EQ(form->HelpButton.Text(), L"    &Help");
    EXPECT_EQ(form->HelpContext(), 30);
    EXPECT_FALSE(form->CancelButton.Visible());
    EXPECT_FALSE(form->UninstallButton.Visible());
    EXPECT_FALSE(form->FilesToRemoveList.Visible());
    EXPECT_TRUE(form->CurrentUserRadio.Checked());
    EXPECT_TRUE(form->StartMenuCheck.Checked());
    EXPECT_TRUE(form->AvailabilityGroup.Enabled());
    // Esc belongs to the hidden "Annulla": nothing happens.
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_NE(form->Handle(), nullptr);
    Click(*form, form->HelpButton);
    EXPECT_EQ(help_, std::vector<std::wstring>{L"Installazione"});

    SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form->Handle(), nullptr);
    for (const wchar_t* folder : {L"Programs", L"Desktop", L"QL", L"AllPrograms"}) EXPECT_FALSE(AnyFileIn(folder)) << folder;
    const SettingsStore store;
    EXPECT_EQ(store.ReadString(L"Principale", L"ShowInst", L""), L"0");
    EXPECT_EQ(store.ReadString(L"Principale", L"Versione", L""), L"3.7");
    RegKey machine = RegKey::Open(HKEY_LOCAL_MACHINE, std::wstring(kSettingsKey) + L"\\Principale");
    EXPECT_EQ(machine.ReadString(L"Utente"), L"Mario");
    EXPECT_EQ(machine.ReadString(L"Per Tutti"), L"0");
    const auto link = test::ReadLink(root_ / L"Prog\\Rimuovi Vaultick.Lnk");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->arguments, L"Rimuovi");
    EXPECT_EQ(link->iconIndex, 2);
    EXPECT_EQ(RegKey::Open(HKEY_LOCAL_MACHINE, kInstalledProgramsKey).ReadString(L"UninstallString"),
              env_.exePath + L" Rimuovi");
}

TEST_F(InstallDialogTest, ApplyAppliesEachBoxAndTheChangeModeProbesThemBack) {
    auto form = Open(InstallMode::Install);
    for (const CheckBox* box : {&form->DesktopCheck, &form->StartMenuCheck, &form->QuickLaunchCheck}) box->SetChecked(true);
    Click(*form, form->ApplyButton);
    EXPECT_EQ(form->Handle(), nullptr);
    const std::wstring start = Places(L"Programs\\Dorvi\\Vaultick\\");
    for (const std::wstring& file : {Places(L"Desktop\\Vaultick.Lnk"), Places(L"QL\\Vaultick.Lnk"), start + L"Vaultick.Lnk",
                                     start + L"Rimuovi Vaultick.Lnk"})
        EXPECT_TRUE(FileExists(file)) << file;
    const auto guide = test::ReadLink(start + L"Guida a Vaultick.Lnk");
    ASSERT_TRUE(guide);
    EXPECT_TRUE(EqualsNoCase(guide->target, env_.exePath)) << guide->target;
    EXPECT_EQ(guide->arguments, L"/guida");
    EXPECT_EQ(guide->iconIndex, 1);

    form = Open(InstallMode::Change);
    EXPECT_EQ(Caption(form->Handle()), L"Vaultick - Modifica Installazione Amministratore");
    EXPECT_TRUE(form->DesktopCheck.Checked() && form->StartMenuCheck.Checked() && form->QuickLaunchCheck.Checked());
    EXPECT_TRUE(form->UninstallButton.Visible() && form->UninstallButton.Enabled());
    EXPECT_EQ(form->UninstallButton.Text(), L"      &Uninstall");
    EXPECT_FALSE(form->CancelButton.Visible());
    for (const CheckBox* box : {&form->DesktopCheck, &form->StartMenuCheck, &form->QuickLaunchCheck}) box->SetChecked(false);
    Click(*form, form->ApplyButton);
    for (const wchar_t* folder : {L"Programs", L"Desktop", L"QL"}) EXPECT_FALSE(AnyFileIn(folder)) << folder;

    // All users: the Start-menu shortcuts of everybody, and the choice is remembered.
    form = Open(InstallMode::Change);
    form->CurrentUserRadio.SetChecked(false);
    form->AllUsersRadio.SetChecked(true);
    Click(*form, form->ApplyButton);
    EXPECT_TRUE(FileExists(Places(L"AllPrograms\\Dorvi\\Vaultick\\Rimuovi Vaultick.Lnk")));
    const auto everybodysGuide = test::ReadLink(Places(L"AllPrograms\\Dorvi\\Vaultick\\Guida a Vaultick.Lnk"));
    ASSERT_TRUE(everybodysGuide);
    EXPECT_EQ(everybodysGuide->arguments, L"/guida");
    form = Open(InstallMode::Change);
    EXPECT_TRUE(form->AllUsersRadio.Checked());
    EXPECT_TRUE(form->StartMenuCheck.Checked());
}

TEST_F(InstallDialogTest, NonAdministratorGetsStartMenuShortcutsOnlyAndCannotUninstall) {
    env_.administratorTest = [] { return false; };
    auto form = Open(InstallMode::Install);
    EXPECT_EQ(Caption(form->Handle()), L"Vaultick - Installazione Utente");
    EXPECT_TRUE(form->StartMenuCheck.Checked());
    EXPECT_FALSE(form->StartMenuCheck.Enabled() || form->CurrentUserRadio.Enabled() || form->AllUsersRadio.Enabled() ||
                 form->AvailabilityGroup.Enabled());
    Click(*form, form->ApplyButton);
    EXPECT_TRUE(FileExists(Places(L"Programs\\Dorvi\\Vaultick\\Vaultick.Lnk")));
    EXPECT_FALSE(FileExists(root_ / L"Prog\\Rimuovi Vaultick.Lnk"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kInstalledProgramsKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
    EXPECT_EQ(SettingsStore().ReadString(L"Principale", L"Versione", L""), L"3.7");

    form = Open(InstallMode::Change);
    EXPECT_EQ(Caption(form->Handle()), L"Vaultick - Modifica Installazione Utente");
    EXPECT_FALSE(form->UninstallButton.Enabled());
    SendMessageW(form->Handle(), WM_CLOSE, 0, 0);

    form = Open(InstallMode::Uninstall);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, Shown(kNotAdminMessage));
    EXPECT_EQ(boxes_[0].caption, L"Errore");
    EXPECT_FALSE(form->UninstallButton.Enabled());
    EXPECT_TRUE(PumpUntil([&] { return form->Handle() == nullptr; }));
    EXPECT_FALSE(form->UninstallStarted());
    EXPECT_TRUE(FileExists(Places(L"Programs\\Dorvi\\Vaultick\\Vaultick.Lnk")));
}

TEST_F(InstallDialogTest, UninstallModeAsksWhenAnotherUserInstalled) {
    SetInstallingUser(L"Giulia");
    SettingsStore().WriteString(L"Principale", L"Selez", L"2");
    answers_ = {IDNO};
    auto form = Open(InstallMode::Uninstall);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, Shown(L"Questo programma è stato installato dall'utente \"Giulia\"\rpertanto è opportuno "
                                    L"che sia lui a procedere alla disinstallazione.\rContinuare ugualmente?"));
    EXPECT_EQ(boxes_[0].caption, L"Conferma");
    EXPECT_TRUE(PumpUntil([&] { return form->Handle() == nullptr; }));
    EXPECT_FALSE(form->UninstallStarted());
    EXPECT_EQ(SettingsStore().ReadString(L"Principale", L"Selez", L""), L"2");

    answers_ = {IDYES};
    form = Open(InstallMode::Uninstall);
    ASSERT_NE(form->Handle(), nullptr);
    EXPECT_EQ(Caption(form->Handle()), L"Dorvi Vaultick - Disinstallazione");
    EXPECT_EQ(form->HelpContext(), 40);
    EXPECT_EQ(form->AvailabilityGroup.Text(), L"File da rimuovere");
    EXPECT_EQ(form->PromptLabel.Text(), L"Rimuovere il programma?");
    EXPECT_EQ(form->UninstallButton.Text(), L"    Si");
    EXPECT_EQ(form->CancelButton.Text(), L"   No");
    EXPECT_TRUE(form->FilesToRemoveList.Visible());
    EXPECT_EQ(form->FilesToRemoveList.Count(), 11);
    EXPECT_FALSE(form->ApplyButton.Visible() || form->CurrentUserRadio.Visible() || form->DesktopCheck.Visible());
    Click(*form, form->HelpButton);
    EXPECT_EQ(help_, std::vector<std::wstring>{L"Disinstallazione"});
    // "No" removes nothing and writes nothing.
    Click(*form, form->CancelButton);
    EXPECT_EQ(form->Handle(), nullptr);
    EXPECT_FALSE(form->UninstallStarted());
    EXPECT_EQ(SettingsStore().ReadString(L"Principale", L"Versione", L"-"), L"-");
}

TEST_F(InstallDialogTest, ChangeModeTurnsIntoUninstallModeAndRemovesEverything) {
    SetInstallingUser(L"MARIO");
    auto form = Open(InstallMode::Install);
    for (const CheckBox* box : {&form->DesktopCheck, &form->StartMenuCheck, &form->QuickLaunchCheck}) box->SetChecked(true);
    Click(*form, form->ApplyButton);
    ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kInstalledProgramsKey));
    RegKey::Create(HKEY_CURRENT_USER, kRun).WriteString(L"Vaultick", env_.exePath + L" /go");
    test::WriteBytes(root_ / L"Data\\BkpFile1.Dat", "C:\\a\r\n");

    form = Open(InstallMode::Change);
    Click(*form, form->UninstallButton);
    EXPECT_EQ(form->Mode(), InstallMode::Uninstall);
    EXPECT_EQ(Caption(form->Handle()), L"Dorvi Vaultick - Disinstallazione");
    EXPECT_TRUE(boxes_.empty());  // the installing user is the current one
    Click(*form, form->UninstallButton);
    EXPECT_EQ(form->Handle(), nullptr);
    EXPECT_TRUE(form->UninstallStarted());

    // The uninstaller and its log are in a new folder of their own, and the uninstaller was
    // started from there by its full path.
    const std::wstring made = RemovalFolderMade();
    ASSERT_FALSE(made.empty());
    EXPECT_EQ(test::ReadBytes(made + L"\\UnLogF.Dat").substr(0, 15), "[DirCorrente]\r\n");
    ASSERT_TRUE(PumpUntil([&] { return FileExists(made + L"\\probe-ran.txt"); }));
    const std::string ran = test::ReadBytes(made + L"\\probe-ran.txt");
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(ran.data()), ran.size() / 2),
              L"\"" + made + L"\\Sweepex.exe\" GoUninstal DorviVaultick");
    for (const wchar_t* folder : {L"Programs", L"Desktop", L"QL", L"Data"}) EXPECT_FALSE(AnyFileIn(folder)) << folder;
    EXPECT_FALSE(FolderExists(root_ / L"Data"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kInstalledProgramsKey));
    EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, kRun).ValueExists(L"Vaultick"));
}

// Wine keeps no access list: what the folder is given is the decision tested here.
TEST(RemovalFolder, OnlyTheRemovalsOwnRightsCanWriteItsNewFolder) {
    const RemovalFolderPlan elevated = PlanRemovalFolder(true, L"C:\\Windows\\Temp\\", L"C:\\Users\\Mario\\Temp", L"S-1-5-21-1-2-3-1001");
    EXPECT_EQ(elevated.parent, L"C:\\Windows\\Temp");
    EXPECT_EQ(elevated.accessList, L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)");
    const RemovalFolderPlan own = PlanRemovalFolder(false, L"C:\\Windows\\Temp", L"C:\\Users\\Mario\\Temp\\", L"S-1-5-21-1-2-3-1001");
    EXPECT_EQ(own.parent, L"C:\\Users\\Mario\\Temp");
    EXPECT_EQ(own.accessList, L"D:P(A;OICI;FA;;;S-1-5-21-1-2-3-1001)");

    // Each removal gets a folder that did not exist before.
    test::TempFolder temp;
    const RemovalFolderPlan plan = PlanRemovalFolder(true, temp.Path(), L"", L"");
    const std::wstring first = CreateRemovalFolder(plan), second = CreateRemovalFolder(plan);
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(FolderOf(first), temp.Path());
    EXPECT_TRUE(CreateRemovalFolder({temp / L"manca", plan.accessList}).empty());
}

TEST_F(InstallDialogTest, RemovalThatCannotStartTheUninstallerRemovesNothing) {
    SetInstallingUser(L"Mario");
    test::WriteBytes(root_ / L"Data\\BkpFile1.Dat", "C:\\a\r\n");
    RegKey::Create(HKEY_CURRENT_USER, kRun).WriteString(L"Vaultick", env_.exePath + L" /go");
    ASSERT_TRUE(DeleteFileW((root_ / L"Prog\\Sweepex.exe").c_str()));
    auto form = Open(InstallMode::Uninstall);
    Click(*form, form->UninstallButton);
    EXPECT_FALSE(form->UninstallStarted());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].caption, L"Errore");
    EXPECT_EQ(boxes_[0].text, Shown(kRemovalNotStartedMessage));
    EXPECT_TRUE(FileExists(root_ / L"Data\\BkpFile1.Dat"));
    EXPECT_TRUE(RegKey::Open(HKEY_CURRENT_USER, kRun).ValueExists(L"Vaultick"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
    EXPECT_FALSE(AnyFileIn(L"Temp")) << "a removal that did not start leaves nothing behind";
}

// The user's own Start-menu and data folders, changed into links by a program of the user before
// an elevated removal: nothing they lead to is deleted.
TEST_F(InstallDialogTest, LinksInTheUsersOwnFoldersLeadTheRemovalNowhere) {
    SetInstallingUser(L"Mario");
    const std::wstring victim = root_ / L"Sistema";
    ASSERT_TRUE(ForceFolders(victim + L"\\Vaultick"));
    ASSERT_TRUE(test::WriteBytes(victim + L"\\Vaultick\\Vaultick.lnk", "resta"));
    ASSERT_TRUE(ForceFolders(root_ / L"AppData"));
    env_.dataFolder = root_ / L"AppData\\Dorvi\\Vaultick";
    test::UnixLinks links;
    ASSERT_TRUE(links.Make(victim, root_ / L"AppData\\Dorvi"));
    ASSERT_TRUE(links.Make(victim, root_ / L"Programs\\Dorvi"));
    auto form = Open(InstallMode::Uninstall);
    Click(*form, form->UninstallButton);
    EXPECT_TRUE(form->UninstallStarted());
    EXPECT_EQ(test::ReadBytes(victim + L"\\Vaultick\\Vaultick.lnk"), "resta");
}

TEST_F(InstallDialogTest, RemovalLeavesADataFolderThatIsNotAnAbsolutePath) {
    SetInstallingUser(L"Mario");
    test::WriteBytes(root_ / L"Data\\BkpFile1.Dat", "C:\\a\r\n");
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(root_.Path().c_str()));
    // Relative, it would name the folder of the same name under the current one.
    env_.dataFolder = L"Data";
    auto form = Open(InstallMode::Uninstall);
    Click(*form, form->UninstallButton);
    EXPECT_TRUE(form->UninstallStarted());
    EXPECT_TRUE(FileExists(root_ / L"Data\\BkpFile1.Dat"));
    SetCurrentDirectoryW(saved);
}

TEST_F(InstallDialogTest, LeavingAllUsersWhileOthersAreLoggedOnCanBeTakenBack) {
    SetInstallingUser(L"Mario", true);
    CreateDirectoryW((root_ / L"Giulia").c_str(), nullptr);  // no hive: taken as logged on
    env_.profiles.folders = {root_ / L"Giulia"};
    env_.profiles.currentUser = L"Mario";
    auto form = Open(InstallMode::Change);
    SendMessageW(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    form->AllUsersRadio.SetChecked(false);
    form->CurrentUserRadio.SetChecked(true);
    answers_ = {IDNO};
    Click(*form, form->ApplyButton);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, Shown(kLoggedOnChangeQuestion));
    ASSERT_NE(form->Handle(), nullptr);
    EXPECT_TRUE(form->AllUsersRadio.Checked());
    EXPECT_FALSE(form->CurrentUserRadio.Checked());

    // The removal asks too; No ends the dialog without removing anything.
    Click(*form, form->UninstallButton);
    answers_ = {IDNO};
    Click(*form, form->UninstallButton);
    EXPECT_EQ(boxes_.back().text, Shown(kLoggedOnRemoveQuestion));
    EXPECT_EQ(form->Handle(), nullptr);
    EXPECT_FALSE(form->UninstallStarted());
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
}

}  // namespace
}  // namespace vt
