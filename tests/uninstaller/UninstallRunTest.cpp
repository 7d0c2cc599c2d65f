#include <gtest/gtest.h>

#include <windows.h>

#include <deque>

#include "LogText.h"
#include "support/TempFolder.h"
#include "support/UnixShell.h"
#include "uninstaller/UninstallRun.h"
#include "win/Paths.h"

namespace vt::sweepex {
namespace {

// Answers the boxes in order and remembers whether the window was hidden before each one.
class ScriptedScreen : public RunScreen {
public:
    std::deque<int> answers;
    std::vector<MessageBoxRequest> boxes;
    bool hidden = false;
    bool shownWhileVisible = false;

    void HideProgress() override { hidden = true; }
    int ShowBox(const MessageBoxRequest& request) override {
        if (!hidden) shownWhileVisible = true;
        boxes.push_back(request);
        if (answers.empty()) return IDOK;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

void Touch(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(test::WriteBytes(path, "x")) << path;
    SetFileAttributesW(path.c_str(), attributes);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Everything lives under one temporary folder: "own" holds the log like the uninstaller's
// folder, "prog" is the program folder, and the test's folder is the current one until the
// clean-up.
class UninstallRunTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t current[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, current);
        savedCurrent_ = current;
        own_ = temp_ / L"own";
        prog_ = temp_ / L"prog";
        CreateDirectoryW(own_.c_str(), nullptr);
        CreateDirectoryW(prog_.c_str(), nullptr);
        // Relative names in a log must never reach beyond the test's folder.
        SetCurrentDirectoryW(temp_.Path().c_str());
    }
    void TearDown() override { SetCurrentDirectoryW(savedCurrent_.c_str()); }

    void WriteLog(const std::vector<std::wstring>& lines) {
        ASSERT_TRUE(test::WriteBytes(own_ + L"\\UnLogF.Dat", test::LogBytes(lines)));
    }
    void InstallFiles() {
        for (const std::wstring& name : test::InstalledFileNames()) Touch(prog_ + L"\\" + name);
        // Left read-only by a copy from a CD, say.
        SetFileAttributesW((prog_ + L"\\BkpFile3.Dat").c_str(), FILE_ATTRIBUTE_READONLY);
    }
    int InstalledFilesLeft() const {
        int left = 0;
        for (const std::wstring& name : test::InstalledFileNames()) left += Exists(prog_ + L"\\" + name);
        return left;
    }
    void RunWith(ScriptedScreen& screen, bool* waited = nullptr) {
        UninstallRun run(own_, L"DorviVaultick", screen);
        run.Run([&] { if (waited) *waited = true; });
        incomplete_ = run.RemovalIncomplete();
    }

    test::TempFolder temp_;
    std::wstring savedCurrent_, own_, prog_;
    bool incomplete_ = false;
};

// Texts and captions are checked on the real boxes by the whole-program tests; here the
// icons, buttons and owner, which the real boxes do not show to a test.
TEST_F(UninstallRunTest, EachBoxHasItsIconAndButtonsNoOwnerAndAHiddenWindow) {
    ScriptedScreen missing;
    bool waited = false;
    RunWith(missing, &waited);
    EXPECT_FALSE(waited);
    ASSERT_EQ(missing.boxes.size(), 1u);
    EXPECT_EQ(missing.boxes[0].caption, L"Errore");
    EXPECT_EQ(missing.boxes[0].flags, static_cast<UINT>(MB_ICONWARNING | MB_OK));

    InstallFiles();
    WriteLog(test::MainProgramLog(prog_));
    ScriptedScreen question;
    question.answers = {IDYES};
    RunWith(question, &waited);
    EXPECT_TRUE(waited);
    EXPECT_FALSE(Exists(prog_));
    ASSERT_EQ(question.boxes.size(), 1u);
    EXPECT_EQ(question.boxes[0].flags, static_cast<UINT>(MB_ICONQUESTION | MB_YESNO));

    CreateDirectoryW(prog_.c_str(), nullptr);
    InstallFiles();
    Touch(prog_ + L"\\Note mie.txt");
    WriteLog(test::MainProgramLog(prog_));
    ScriptedScreen closing;
    RunWith(closing);
    EXPECT_EQ(InstalledFilesLeft(), 0);
    ASSERT_EQ(closing.boxes.size(), 1u);
    EXPECT_EQ(closing.boxes[0].flags, static_cast<UINT>(MB_ICONINFORMATION | MB_OK));
    EXPECT_EQ(closing.boxes[0].text.substr(closing.boxes[0].text.size() - prog_.size() - 3), L"\r\n" + prog_ + L"\\");

    for (const ScriptedScreen* screen : {&missing, &question, &closing}) {
        EXPECT_EQ(screen->boxes[0].owner, nullptr);
        EXPECT_FALSE(screen->shownWhileVisible);
    }
}

TEST_F(UninstallRunTest, UnreadableLogStopsEverythingAndStays) {
    InstallFiles();
    WriteLog(test::MainProgramLog(prog_));
    HANDLE lock = CreateFileW((own_ + L"\\UnLogF.Dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ScriptedScreen screen;
    RunWith(screen);
    CloseHandle(lock);
    EXPECT_TRUE(incomplete_);
    EXPECT_TRUE(Exists(own_ + L"\\UnLogF.Dat"));
    EXPECT_TRUE(Exists(prog_ + L"\\DorviVaultick.exe"));
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].caption, L"DorviVaultick - Disinstalla");
}

TEST_F(UninstallRunTest, FileSectionsCountFailuresOnlyInFile1) {
    Touch(prog_ + L"\\sola lettura.dat", FILE_ATTRIBUTE_READONLY);
    Touch(prog_ + L"\\tre.dat", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    WriteLog({L"[file2]", L"manca2.dat", L"-", L"[file3]", prog_ + L"\\tre.dat", prog_ + L"\\manca3.dat", L"-",
              L"[dircorrente]", prog_, L"[file1]", L"sola lettura.dat", L"-"});
    ScriptedScreen screen;
    RunWith(screen);
    EXPECT_FALSE(incomplete_);
    EXPECT_FALSE(Exists(prog_ + L"\\sola lettura.dat"));
    EXPECT_FALSE(Exists(prog_ + L"\\tre.dat"));
    EXPECT_TRUE(screen.boxes.empty());

    WriteLog({L"[dircorrente]", prog_, L"[file1]", L"manca1.dat", L"-"});
    ScriptedScreen second;
    RunWith(second);
    EXPECT_TRUE(incomplete_);
    ASSERT_EQ(second.boxes.size(), 1u);
}

TEST_F(UninstallRunTest, ListedFileThatStaysKeepsItsAttributes) {
    const std::wstring kept = prog_ + L"\\in uso.dat";
    Touch(kept, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    HANDLE lock = CreateFileW(kept.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    WriteLog({L"[dircorrente]", prog_, L"[file1]", L"in uso.dat", L"-"});
    ScriptedScreen screen;
    RunWith(screen);
    CloseHandle(lock);
    EXPECT_TRUE(incomplete_);
    EXPECT_EQ(GetFileAttributesW(kept.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    SetFileAttributesW(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(UninstallRunTest, WithoutBaseFolderNamesAreTakenFromTheCurrentFolder) {
    Touch(prog_ + L"\\relativo.dat");
    Touch(own_ + L"\\relativo.dat");
    ASSERT_TRUE(SetCurrentDirectoryW(prog_.c_str()));
    WriteLog({L"[file1]", L"relativo.dat", L"assente.dat"});
    ScriptedScreen screen;
    RunWith(screen);
    EXPECT_FALSE(Exists(prog_ + L"\\relativo.dat"));
    EXPECT_TRUE(Exists(own_ + L"\\relativo.dat"));
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text.substr(screen.boxes[0].text.size() - 11), L"cartella:\r\n")
        << "no base folder: the message ends with an empty folder name";
}

TEST_F(UninstallRunTest, File4DeletesOnlyTheThreeLetterExtension) {
    for (const wchar_t* name : {L"a.htm", L"B.HTM", L"c.html", L"d.txt", L"d.txt2", L".e.htm"}) Touch(prog_ + L"\\" + name);
    Touch(prog_ + L"\\f.htm", FILE_ATTRIBUTE_READONLY);
    WriteLog({L"[file4]", L"html", prog_, L"[file4]", L"txt2", prog_, L"[FILE4]", L"HTM", prog_});
    ScriptedScreen screen;
    RunWith(screen);
    EXPECT_FALSE(Exists(prog_ + L"\\a.htm"));
    EXPECT_FALSE(Exists(prog_ + L"\\B.HTM"));
    EXPECT_FALSE(Exists(prog_ + L"\\f.htm"));
    // "txt2" lists only "*.txt2" and then compares with ".txt": nothing of either goes.
    EXPECT_TRUE(Exists(prog_ + L"\\d.txt"));
    EXPECT_TRUE(Exists(prog_ + L"\\d.txt2"));
    EXPECT_TRUE(Exists(prog_ + L"\\c.html")) << "listed under \"html\" but compared as \".htm\"";
    EXPECT_TRUE(Exists(prog_ + L"\\.e.htm"));
    EXPECT_FALSE(incomplete_);
}

TEST_F(UninstallRunTest, DirectoryDeletesTheTreeButNotReadOnlyFilesNorDotFolders) {
    const std::wstring tree = prog_ + L"\\Albero";
    ForceFolders(tree + L"\\uno\\due");
    ForceFolders(tree + L"\\Nascosta");
    SetFileAttributesW((tree + L"\\Nascosta").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Touch(tree + L"\\radice.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    Touch(tree + L"\\uno\\due\\fondo.txt");
    Touch(tree + L"\\Nascosta\\n.txt", FILE_ATTRIBUTE_ARCHIVE);
    WriteLog({L"[Directory]", tree});
    ScriptedScreen plain;
    RunWith(plain);
    EXPECT_FALSE(Exists(tree));
    EXPECT_FALSE(incomplete_);
    EXPECT_TRUE(FolderExists(prog_));

    ForceFolders(tree + L"\\uno");
    ForceFolders(tree + L"\\.svn");
    Touch(tree + L"\\uno\\protetto.txt", FILE_ATTRIBUTE_READONLY);
    Touch(tree + L"\\uno\\via.txt");
    Touch(tree + L"\\.svn\\entries");
    WriteLog({L"[directory]", tree + L"\\"});
    ScriptedScreen stubborn;
    RunWith(stubborn);
    EXPECT_TRUE(incomplete_);
    EXPECT_TRUE(Exists(tree + L"\\uno\\protetto.txt"));
    EXPECT_FALSE(Exists(tree + L"\\uno\\via.txt"));
    EXPECT_TRUE(Exists(tree + L"\\.svn\\entries"));
    EXPECT_EQ(stubborn.boxes.size(), 1u);
    SetFileAttributesW((tree + L"\\uno\\protetto.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(UninstallRunTest, FolderSectionsTakeRelativePathsFromTheUninstallersFolder) {
    CreateDirectoryW((own_ + L"\\vuota").c_str(), nullptr);
    CreateDirectoryW((own_ + L"\\piena").c_str(), nullptr);
    CreateDirectoryW((own_ + L"\\punto").c_str(), nullptr);
    Touch(own_ + L"\\piena\\x.txt");
    Touch(own_ + L"\\punto\\.solo");
    ASSERT_TRUE(SetCurrentDirectoryW(prog_.c_str()));
    WriteLog({L"[rimuovidir]", L"vuota", L"[rimuovidir]", L"piena", L"[rimuovidirmsg]", L"punto",
              L"[rimuovidirmsg]", L"manca"});
    ScriptedScreen screen;
    screen.answers = {IDYES};
    RunWith(screen);
    EXPECT_FALSE(Exists(own_ + L"\\vuota"));
    EXPECT_TRUE(Exists(own_ + L"\\piena\\x.txt"));
    // A folder holding only a dot-name counts as empty; removing it then fails.
    ASSERT_GE(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, L"Questa cartella risulta vuota:\r\npunto\r\nRimuoverla?");
    EXPECT_TRUE(Exists(own_ + L"\\punto\\.solo"));
    EXPECT_TRUE(incomplete_);
    EXPECT_EQ(screen.boxes.size(), 2u);
}

TEST_F(UninstallRunTest, ListedNamesCannotReachOutsideTheBaseFolder) {
    const std::wstring outside = temp_ / L"fuori.txt";
    Touch(outside);
    Touch(prog_ + L"\\dentro.txt");
    WriteLog({L"[dircorrente]", prog_, L"[file1]", L"..\\fuori.txt", L"dentro.txt", L"-", L"[file2]", outside,
              L"\\" + outside.substr(3), L"..", L"-"});
    ScriptedScreen screen;
    RunWith(screen);
    EXPECT_TRUE(Exists(outside));
    EXPECT_FALSE(Exists(prog_ + L"\\dentro.txt"));
    EXPECT_TRUE(incomplete_) << "a name that was skipped leaves the removal incomplete";
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_FALSE(Exists(own_ + L"\\UnLogF.Dat")) << "the log itself was processed to its end";
}

TEST_F(UninstallRunTest, ABaseFolderNotBelowARootDeletesNothing) {
    Touch(prog_ + L"\\a.txt");
    Touch(temp_ / L"a.txt");
    for (const std::wstring& base : {std::wstring(L""), std::wstring(L"\\"), std::wstring(L"/"), std::wstring(L"prog")}) {
        WriteLog({L"[file3]", prog_ + L"\\a.txt", L"-", L"[dircorrente]", base, L"[file1]", L"a.txt", L"-"});
        ScriptedScreen screen;
        RunWith(screen);
        EXPECT_TRUE(incomplete_) << base;
        EXPECT_TRUE(Exists(prog_ + L"\\a.txt")) << base;
        EXPECT_TRUE(Exists(temp_ / L"a.txt")) << base;
        EXPECT_TRUE(Exists(own_ + L"\\UnLogF.Dat")) << base;
        ASSERT_EQ(screen.boxes.size(), 1u);
        EXPECT_EQ(screen.boxes[0].caption, L"DorviVaultick - Disinstalla");
    }
}

// A "[directory]" folder with a link inside, and one that is itself a link: what they lead to
// stays (Wine shows a Unix symbolic link as a reparse point without a tag).
TEST_F(UninstallRunTest, DirectoryWithLinksNeverDeletesWhatTheyLeadTo) {
    const std::wstring victim = temp_ / L"Vittima";
    ForceFolders(victim);
    Touch(victim + L"\\marker.txt");
    ForceFolders(prog_ + L"\\Vecchia\\sub");
    Touch(prog_ + L"\\Vecchia\\sub\\x.txt");
    test::UnixLinks links;
    ASSERT_TRUE(links.Make(victim, prog_ + L"\\Vecchia\\sub\\Collegata"));
    ASSERT_TRUE(links.Make(victim, prog_ + L"\\SoloLink"));
    WriteLog({L"[directory]", prog_ + L"\\Vecchia", L"[directory]", prog_ + L"\\SoloLink"});
    ScriptedScreen screen;
    RunWith(screen);
    EXPECT_TRUE(Exists(victim + L"\\marker.txt"));
    EXPECT_FALSE(Exists(prog_ + L"\\Vecchia\\sub\\x.txt"));
}

// The log is read only where the uninstaller lies: one that a link in its folder leads to lies
// elsewhere, and counts as no log at all.
TEST_F(UninstallRunTest, ALogThatLiesInAnotherFolderIsRefused) {
    const std::wstring victim = temp_ / L"Vittima";
    ForceFolders(victim);
    Touch(victim + L"\\marker.txt");
    const std::wstring elsewhere = temp_ / L"altrove.dat";
    ASSERT_TRUE(test::WriteBytes(elsewhere, test::LogBytes({L"[directory]", victim})));
    test::UnixLinks links;
    ASSERT_TRUE(links.Make(elsewhere, own_ + L"\\UnLogF.Dat"));
    ScriptedScreen screen;
    RunWith(screen);
    EXPECT_TRUE(Exists(victim + L"\\marker.txt"));
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, L"Problemi durante la disinstallazione.\r\nFile non trovato: UnLogF.Dat");
    EXPECT_TRUE(Exists(elsewhere));
}

// "C:" alone is the root of C:, which is never emptied, not the current folder on C:.
TEST_F(UninstallRunTest, DirectoryOfABareDriveDeletesNothing) {
    InstallFiles();
    Touch(own_ + L"\\testimone.txt");
    for (const std::wstring& current : {temp_.Path(), own_}) {
        SetCurrentDirectoryW(current.c_str());
        WriteLog({L"[directory]", temp_.Path().substr(0, 2)});
        ScriptedScreen screen;
        RunWith(screen);
        EXPECT_EQ(InstalledFilesLeft(), static_cast<int>(test::InstalledFileNames().size()));
        EXPECT_TRUE(Exists(own_ + L"\\testimone.txt"));
        EXPECT_TRUE(incomplete_);
    }
}

TEST_F(UninstallRunTest, DirectoryOfARelativeFolderIsTakenFromTheCurrentOne) {
    ForceFolders(prog_ + L"\\Rel\\sub");
    Touch(prog_ + L"\\Rel\\sub\\x.txt");
    WriteLog({L"[directory]", L"prog\\Rel"});
    ScriptedScreen screen;
    RunWith(screen);
    EXPECT_FALSE(Exists(prog_ + L"\\Rel"));
    EXPECT_FALSE(incomplete_);
}

}  // namespace
}  // namespace vt::sweepex
