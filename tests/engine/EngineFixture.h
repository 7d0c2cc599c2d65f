#pragma once
// What the engine tests share: a host that records what a run shows, a fixed clock, scripted
// answers and Esc key, a guarded settings key and a temporary folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/BackupEngine.h"
#include "engine/RunHost.h"
#include "support/RegistryGuard.h"
#include "support/UnixShell.h"
#include "support/TempFolder.h"

namespace vt::test {

class RecordingHost : public RunHost {
public:
    std::vector<std::wstring> log, statuses, clocks;
    int repaints = 0, shows = 0, hides = 0;
    bool busy = false;
    std::array<bool, 6> enabled{};
    // Called before a line is recorded; may throw to stand for a log that cannot be written.
    std::function<void(const std::wstring&)> onLog;

    void AppendLog(const std::wstring& line) override {
        if (onLog) onLog(line);
        log.push_back(line);
    }
    // Called as a status is shown: stands for what the user does while the message loop runs.
    std::function<void(const std::wstring&)> onStatus;
    void SetStatusText(const std::wstring& text) override {
        statuses.push_back(text);
        if (onStatus) onStatus(text);
    }
    void SetClockText(const std::wstring& text) override { clocks.push_back(text); }
    void Repaint() override { ++repaints; }
    void ShowForRun() override { ++shows; }
    void HideAfterRun() override { ++hides; }
    void SetBusyCursor(bool on) override { busy = on; }
    bool JobEnabled(int slot) const override { return slot >= 1 && slot <= 5 && enabled[slot]; }

    // The lines logged after the first line equal to `marker`.
    std::vector<std::wstring> LinesAfter(const std::wstring& marker) const;
    bool Showed(const std::wstring& status) const;
};

// One file or folder of a tree: folders have attributes with FILE_ATTRIBUTE_DIRECTORY and no bytes.
struct TreeEntry {
    std::string bytes;
    DWORD attributes = 0;
    ULONGLONG lastWrite = 0;
    bool operator==(const TreeEntry&) const = default;
};
// Relative path ("A\B\f.txt") -> entry, read through long paths.
using Tree = std::map<std::wstring, TreeEntry>;
Tree ReadTree(const std::wstring& root);
// The same tree seen only as names and contents, as a copy must reproduce it.
std::map<std::wstring, std::string> Contents(const Tree& tree);

std::wstring Long(const std::wstring& path);
bool MakeFile(const std::wstring& path, const std::string& bytes);  // creates the folders above
bool MakeFolder(const std::wstring& path);
void RemoveLongTree(const std::wstring& path);
// Sub-folder names of a folder, sorted.
std::vector<std::wstring> FolderNames(const std::wstring& folder);

// A Unix symbolic link to a folder, made from the Linux side as a user or another program would
// make it: Wine shows it to the program as a reparse point without a tag. Only the link goes at
// the end, before the temporary folder is removed, so nothing walks through it then.
class UnixLink {
public:
    UnixLink(const std::wstring& target, const std::wstring& link);
    bool made = false;

private:
    UnixLinks links_;
};

// What the file system tells of one file: which data it is, and how many names it has.
struct FileInfo {
    ULONGLONG index = 0;
    DWORD links = 0;
};
FileInfo InfoOf(const std::wstring& path);

// Holds every file a copy worker starts until the test lets it through, in the order the
// workers reached it; no file waits longer than 30 s, so a fault fails instead of hanging.
class CopyGate {
public:
    CopyGate();
    ~CopyGate();
    size_t Waiting() const;  // files held now
    size_t Passed() const;
    std::vector<std::wstring> Started() const;  // sources, in the order they reached the gate
    void Let(size_t files);                     // lets that many more through
    void Open();                                // lets every file through from now on

private:
    mutable std::mutex mutex_;
    std::condition_variable moved_;
    std::vector<std::wstring> started_;
    size_t passes_ = 0;
    bool open_ = false;
};

class EngineTest : public ::testing::Test {
protected:
    EngineTest();
    ~EngineTest() override;

    // The day the fixed clock starts at: 06/06/2013 09:45:00.
    void SetNow(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second);
    std::wstring Stamp() const;  // "ddmmyy-hhnnss" of the clock
    std::wstring LogTime() const;  // the clock in log form, with the user's separators

    void SetString(const std::wstring& section, const std::wstring& name, const std::wstring& value);
    void SetBool(const std::wstring& section, const std::wstring& name, bool value);
    void Policy(bool noCopies, bool unlimited, bool limited, int copiesCount = 2);
    void FolderJob(int slot, const std::wstring& source, const std::wstring& destination);

    // Whether the last run counts as failed; a run that left no record fails the test.
    bool LastRunFailed() {
        const std::optional<RunRecord> run = engine.TakeLastRun();
        EXPECT_TRUE(run) << "no run recorded";
        return run && run->Failed();
    }

    // Another program removes the folder after the run has seen it and before it lists it.
    void VanishWhenListed(const std::wstring& folder);

    // Esc is "pressed" at these polls (1-based); each press is answered from `answers` in turn.
    void PressEscAt(std::vector<int> polls, std::vector<int> answers);
    // Esc is "pressed" at every poll where `when` holds; answered as above.
    void PressEscWhen(std::function<bool()> when, std::vector<int> answers);
    int escPolls = 0;
    std::vector<std::wstring> questions;
    // Called while the stop question is open, before it is answered.
    std::function<void()> whileAsked;

    SettingsGuard settings;
    TempFolder temp;
    RecordingHost host;
    BackupEngine engine{host, temp.Path()};
    SYSTEMTIME now{};
};

}  // namespace vt::test
