#include <gtest/gtest.h>

#include "LinkReader.h"
#include "install/Shortcuts.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/Paths.h"
#include "win/RegKey.h"
#include "win/Text.h"

namespace vt {
namespace {

class Shortcuts : public ::testing::Test {
protected:
    test::TempFolder root_;
    ShellPlaces places_;
    std::wstring exe_;

    void SetUp() override {
        places_ = {root_ / L"Programs", root_ / L"Desktop", root_ / L"QuickLaunch", root_ / L"AllPrograms"};
        for (const auto* folder : {&places_.userPrograms, &places_.userDesktop, &places_.quickLaunch, &places_.allUsersPrograms})
            CreateDirectoryW(folder->c_str(), nullptr);
        CreateDirectoryW((root_ / L"Prog").c_str(), nullptr);
        exe_ = root_ / L"Prog\\DorviVaultick.exe";
        test::WriteBytes(exe_, "MZ");
    }
    std::wstring Make(const wchar_t* kind, const std::wstring& name, bool probe = false,
                      const std::wstring& arguments = L"", int icon = 0) {
        return CreateShortcut(places_, exe_, arguments, root_ / L"Prog", probe, icon, exe_, kind, name);
    }
};

TEST_F(Shortcuts, EachKindIsARealLinkInItsFolderAndProbesBack) {
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"Desktop", places_.userDesktop + L"\\Vaultick.Lnk"},
        {L"QuickLaunch", places_.quickLaunch + L"\\Vaultick.Lnk"},
        {L"Start", places_.userPrograms + L"\\Dorvi\\Vaultick\\Vaultick.Lnk"},
        {L"StartAll", places_.allUsersPrograms + L"\\Dorvi\\Vaultick\\Vaultick.Lnk"},
    };
    for (const auto& [kind, file] : cases) {
        const std::wstring name = std::wstring(kind).starts_with(L"Start") ? L"Dorvi\\Vaultick\\Vaultick" : L"Vaultick";
        // Probing a missing link answers nothing and creates nothing, not even its folders.
        EXPECT_EQ(Make(kind, name, true), L"") << kind;
        if (std::wstring(kind).starts_with(L"Start")) {
            EXPECT_FALSE(FolderExists(FolderOf(file))) << kind;
        }
        EXPECT_EQ(Make(kind, name, false, L"Rimuovi", 2), file) << kind;
        EXPECT_EQ(Make(kind, name, true), file) << kind;
        const auto link = test::ReadLink(file);
        ASSERT_TRUE(link) << kind;
        EXPECT_TRUE(EqualsNoCase(link->target, exe_)) << link->target;
        EXPECT_EQ(link->arguments, L"Rimuovi");
        EXPECT_EQ(link->workingFolder, root_ / L"Prog");
        EXPECT_EQ(link->iconIndex, 2);
    }
    // "File" names a full path; its folders are made first.
    const std::wstring file = root_ / L"Nuova\\Rimuovi Vaultick";
    EXPECT_EQ(Make(L"File", file), file + L".Lnk");
    EXPECT_TRUE(FileExists(file + L".Lnk"));
    EXPECT_EQ(Make(L"Altro", L"Vaultick"), L"");
}

TEST_F(Shortcuts, SavingIntoAMissingFolderGivesAnEmptyResult) {
    places_.userDesktop = root_ / L"NonEsiste";
    EXPECT_EQ(Make(L"Desktop", L"Vaultick"), L"");
    EXPECT_FALSE(FolderExists(places_.userDesktop));
}

TEST_F(Shortcuts, DeletingItemsAnswersWhetherEveryStepSucceeded) {
    Make(L"Start", L"Dorvi\\Vaultick\\Vaultick");
    Make(L"Start", L"Dorvi\\Altro");
    Make(L"Desktop", L"Vaultick");
    // "Dorvi" still holds another link: the empty-folder removal leaves it and says so.
    EXPECT_TRUE(DeleteShortcutItem(places_, L"Dorvi\\Vaultick", L"Start_Folder"));
    EXPECT_FALSE(FolderExists(places_.userPrograms + L"\\Dorvi\\Vaultick"));
    EXPECT_FALSE(DeleteShortcutItem(places_, L"Dorvi", L"Start_Folder_Vuoto"));
    EXPECT_TRUE(FileExists(places_.userPrograms + L"\\Dorvi\\Altro.Lnk"));
    DeleteFileW((places_.userPrograms + L"\\Dorvi\\Altro.Lnk").c_str());
    EXPECT_TRUE(DeleteShortcutItem(places_, L"Dorvi", L"Start_Folder_Vuoto"));
    EXPECT_FALSE(FolderExists(places_.userPrograms + L"\\Dorvi"));

    SetFileAttributesW((places_.userDesktop + L"\\Vaultick.Lnk").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DeleteShortcutItem(places_, L"Vaultick", L"Desktop"));
    EXPECT_FALSE(FileExists(places_.userDesktop + L"\\Vaultick.Lnk"));
    EXPECT_FALSE(DeleteShortcutItem(places_, L"Vaultick", L"QuickLaunch"));
    EXPECT_TRUE(DeleteShortcutItem(places_, L"Dorvi\\Vaultick", L"Start_FolderAll"));
}

TEST(InstalledProgramsEntry, WritesEveryValueUnderTheMachineKey) {
    test::RegistryGuard guard(HKEY_LOCAL_MACHINE, kInstalledProgramsKey);
    const std::wstring exe = L"C:\\Vaultick\\DorviVaultick.exe";
    ASSERT_TRUE(WriteInstalledProgramsEntry(exe));
    RegKey key = RegKey::Open(HKEY_LOCAL_MACHINE, kInstalledProgramsKey);
    ASSERT_TRUE(key.IsOpen());
    EXPECT_EQ(key.ReadString(L"DisplayName"), L"DorviVaultick 3.7  (Dorvi Multimedia)");
    EXPECT_EQ(key.ReadString(L"UninstallString"), exe + L" Rimuovi");
    EXPECT_EQ(key.ReadString(L"DisplayVersion"), L"3.7.0.0");
    EXPECT_EQ(key.ReadString(L"DisplayIcon"), exe);
    EXPECT_EQ(key.ReadString(L"URLInfoAbout"), L"MailTo: info@dorvi.example");
    for (const wchar_t* name : {L"HelpLink", L"URLUpdateInfo", L"Publisher", L"Comments"})
        EXPECT_FALSE(key.ReadString(name).value_or(L"").empty()) << name;
}

TEST(InstalledProgramsEntry, UninstallCommandIsQuotedOnlyWhenThePathHasABlank) {
    EXPECT_EQ(UninstallCommand(L"C:\\Vaultick\\DorviVaultick.exe"), L"C:\\Vaultick\\DorviVaultick.exe Rimuovi");
    EXPECT_EQ(UninstallCommand(L"C:\\Program Files\\Vaultick\\DorviVaultick.exe"),
              L"\"C:\\Program Files\\Vaultick\\DorviVaultick.exe\" Rimuovi");
}

}  // namespace
}  // namespace vt
