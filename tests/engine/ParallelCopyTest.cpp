// Copies on four workers show what a one-thread copy shows: the same files, the same lines in
// the same order, and a stop after which no file starts.
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <set>

#include "EngineFixture.h"
#include "engine/CopyPool.h"
#include "settings/FileListFile.h"
#include "settings/JobNames.h"

namespace vt::test {
namespace {

const std::wstring kNotCopied = L"File non copiato (corrotto o in uso) : ";

// Files held open without sharing by this process, as an editor holds them: they cannot be copied.
class Locks {
public:
    ~Locks() {
        for (HANDLE lock : locks_) CloseHandle(lock);
    }
    void Hold(const std::wstring& path) {
        const HANDLE lock = CreateFileW(Long(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(lock, INVALID_HANDLE_VALUE);
        locks_.push_back(lock);
    }

private:
    std::vector<HANDLE> locks_;
};

size_t Count(const std::vector<std::wstring>& lines, const std::wstring& prefix) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::wstring& l) { return l.rfind(prefix, 0) == 0; });
}

// On a worker, holds each file named in `late` until four more files have started after it:
// with three other workers, at least one file after it in walk order has then finished.
void FinishLate(std::set<std::wstring> late) {
    auto started = std::make_shared<std::atomic<size_t>>(0);
    SetCopyStartSeam([started, late = std::move(late)](const std::wstring& from) {
        const size_t mine = ++*started;
        if (!late.count(from.substr(from.rfind(L'\\') + 1))) return;
        // The last files of the walk have too few behind them: they go on after a while.
        const DWORD until = GetTickCount() + 2000;
        while (*started < mine + 4 && GetTickCount() < until) Sleep(1);
    });
}

class ParallelCopyTest : public EngineTest {
protected:
    ParallelCopyTest() { source = temp / L"Dati\\Documenti"; }
    std::vector<std::wstring> RunWith(unsigned workers, const std::wstring& kindLine) {
        SetCopyWorkers(workers);
        host.log.clear();
        engine.RunJob(1);
        return host.LinesAfter(kindLine);
    }
    std::wstring NewCopy(const std::wstring& dest, const std::wstring& copyName) const {
        return dest + L"\\" + copyName + L"_" + Stamp();
    }
    std::wstring source;
};

TEST_F(ParallelCopyTest, AFolderCopyOnFourWorkersLogsWhatOneWorkerLogs) {
    Policy(false, true, false);
    // 200 files of varied sizes, so that the workers finish out of order; every 13th is held
    // open, a folder vanishes when it is listed, and the copies' own folder sits in the walk.
    Locks locks;
    std::set<std::wstring> held;
    const wchar_t* folders[] = {L"", L"\\A", L"\\A\\B", L"\\C", L"\\D", L"\\D\\E"};
    for (int i = 0; i < 200; ++i) {
        const std::wstring name = L"f" + std::to_wstring(i) + L".txt";
        const std::wstring path = source + folders[i % 6] + L"\\" + name;
        MakeFile(path, std::string(static_cast<size_t>(i * 7919 % 60000), static_cast<char>('a' + i % 26)));
        if (i % 13 == 5) {
            locks.Hold(path);
            held.insert(name);
        }
    }
    const std::wstring vanishing = source + L"\\C\\Sparisce";
    VanishWhenListed(vanishing);
    const std::wstring dest = source + L"\\D\\Copie";
    FolderJob(1, source, dest);

    MakeFile(vanishing + L"\\s.txt", "s");
    const std::vector<std::wstring> one = RunWith(1, L"Tipo di backup : Cartelle");
    EXPECT_TRUE(LastRunFailed());
    const auto copiedByOne = Contents(ReadTree(NewCopy(dest, L"Documenti")));
    RemoveLongTree(NewCopy(dest, L"Documenti"));
    // No thread at all: the window's thread copies each file itself.
    MakeFile(vanishing + L"\\s.txt", "s");
    EXPECT_EQ(RunWith(0, L"Tipo di backup : Cartelle"), one);
    EXPECT_EQ(Contents(ReadTree(NewCopy(dest, L"Documenti"))), copiedByOne);
    RemoveLongTree(NewCopy(dest, L"Documenti"));
    // Each file that fails finishes after files that come later in the walk.
    FinishLate(held);
    MakeFile(vanishing + L"\\s.txt", "s");
    const std::vector<std::wstring> four = RunWith(4, L"Tipo di backup : Cartelle");
    EXPECT_TRUE(LastRunFailed());

    EXPECT_EQ(four, one);
    EXPECT_EQ(Contents(ReadTree(NewCopy(dest, L"Documenti"))), copiedByOne);
    EXPECT_EQ(Count(one, kNotCopied), 15u);
    EXPECT_EQ(Count(one, L"Cartella esclusa dalla copia (contiene i backup) : " + dest), 1u);
    EXPECT_EQ(Count(one, L"Cartella non copiata (non leggibile) : " + vanishing), 1u);
    EXPECT_EQ(one.back(), L"Copia infinita effettuata : " + LogTime());
    EXPECT_EQ(copiedByOne.size(), 200u - 15u + 5u);  // the files that could be read, and their folders
}

TEST_F(ParallelCopyTest, AFileListOnFourWorkersLogsWhatOneWorkerLogs) {
    Policy(false, true, false);
    const std::wstring dest = temp / L"Copie";
    SetBool(kMainSection, L"TipoDir", false);
    SetBool(kMainSection, L"TipoFile", true);
    SetString(kMainSection, L"DestinazioneFile", dest);
    // Missing files, files held open, and one name listed from several folders: the last wins.
    Locks locks;
    std::vector<std::wstring> files;
    std::set<std::wstring> failing;
    for (int i = 0; i < 200; ++i) {
        const std::wstring folder = temp / (L"Elenco\\" + std::to_wstring(i % 9));
        const std::wstring name = i % 40 == 3 ? L"doppio.txt" : L"f" + std::to_wstring(i) + L".txt";
        const std::wstring path = folder + L"\\" + name;
        files.push_back(path);
        if (i % 11 == 4) {  // missing
            failing.insert(name);
            continue;
        }
        MakeFile(path, std::string(static_cast<size_t>(i * 7919 % 60000), 'x') + std::to_string(i));
        if (i % 17 == 8) {
            locks.Hold(path);
            failing.insert(name);
        }
    }
    ASSERT_TRUE(WriteFileList(FileListPath(temp.Path(), 1), files));

    const std::vector<std::wstring> one = RunWith(1, L"Tipo di backup : File");
    EXPECT_TRUE(LastRunFailed());
    const auto copiedByOne = Contents(ReadTree(NewCopy(dest, L"File1")));
    RemoveLongTree(NewCopy(dest, L"File1"));
    FinishLate(failing);
    const std::vector<std::wstring> four = RunWith(4, L"Tipo di backup : File");
    EXPECT_TRUE(LastRunFailed());

    EXPECT_EQ(four, one);
    EXPECT_EQ(Contents(ReadTree(NewCopy(dest, L"File1"))), copiedByOne);
    EXPECT_EQ(Count(one, kNotCopied), 18u + 11u);  // missing, and held
    EXPECT_EQ(copiedByOne.at(L"doppio.txt").substr(copiedByOne.at(L"doppio.txt").size() - 3), "163");
}

TEST_F(ParallelCopyTest, AStopAnsweredYesMidTreeStartsNoFurtherFile) {
    Policy(false, true, false);
    for (int i = 0; i < 50; ++i) MakeFile(source + L"\\r" + std::to_wstring(i) + L".txt", "r");
    for (int i = 0; i < 100; ++i) MakeFile(source + L"\\Sotto\\s" + std::to_wstring(i) + L".txt", "s");
    for (int i = 0; i < 50; ++i) MakeFile(source + L"\\Sotto\\Dentro\\d" + std::to_wstring(i) + L".txt", "d");
    FolderJob(1, source, temp / L"Copie");
    // Four files at a time go through the gate; after 100, Esc is pressed while four are in
    // flight, and the question is answered Yes.
    SetCopyWorkers(kCopyWorkers);
    CopyGate gate;
    std::vector<std::wstring> startedAtYes;
    PressEscWhen(
        [&] {
            if (gate.Waiting() < 4) return false;
            if (gate.Passed() < 100) {
                gate.Let(4);
                return false;
            }
            return true;
        },
        {IDYES});
    // One of the files in flight cannot be read: its line comes before the stop's, as it would
    // on one thread.
    Locks locks;
    std::wstring failedInFlight;
    whileAsked = [&] {
        startedAtYes = gate.Started();
        failedInFlight = startedAtYes.back().substr(4);  // without "\\?\"
        locks.Hold(failedInFlight);
        gate.Open();
    };
    engine.RunJob(1);

    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"),
              (std::vector<std::wstring>{kNotCopied + failedInFlight, L"Backup Bloccato da Utente.",
                                         L"Copia infinita effettuata : " + LogTime()}));
    EXPECT_TRUE(LastRunFailed());  // the file that could not be read
    EXPECT_EQ(startedAtYes.size(), 104u);
    EXPECT_EQ(gate.Started(), startedAtYes);
    // The files in flight were finished; the walk order put every root file first and no file
    // of Dentro among them.
    size_t copied = 0, root = 0, inside = 0;
    for (const auto& [path, entry] : ReadTree(temp / (L"Copie\\Documenti_" + Stamp()))) {
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        ++copied;
        root += path.find(L'\\') == std::wstring::npos;
        inside += path.rfind(L"Sotto\\Dentro\\", 0) == 0;
    }
    EXPECT_EQ(copied, 103u);
    EXPECT_EQ(root, 50u);
    EXPECT_EQ(inside, 0u);
}

TEST(CopyWorkersTest, OnlyLargeFilesAndNetworkFoldersGetMoreThanOneWorker) {
    EXPECT_EQ(WorkersFor(false, std::nullopt), kCopyWorkers);  // a listed file: size not known
    EXPECT_EQ(WorkersFor(false, 4096), 1u);
    EXPECT_EQ(WorkersFor(false, kLargeFile - 1), 1u);
    EXPECT_EQ(WorkersFor(false, kLargeFile), kCopyWorkers);
    EXPECT_EQ(WorkersFor(true, std::nullopt), kCopyWorkers);
    EXPECT_EQ(WorkersFor(true, 0), kCopyWorkers);
    EXPECT_TRUE(IsNetworkPath(L"\\\\server\\share\\Copie"));
    EXPECT_TRUE(IsNetworkPath(L"\\\\?\\UNC\\server\\share\\Copie"));
    EXPECT_FALSE(IsNetworkPath(L"\\\\?\\C:\\Copie"));
    EXPECT_FALSE(IsNetworkPath(L"C:\\Copie"));
    EXPECT_FALSE(IsNetworkPath(L"\\Copie"));  // the root of the current drive
    EXPECT_FALSE(IsNetworkPath(L""));
}

TEST_F(ParallelCopyTest, ByTheRuleSmallFilesGoOneAtATimeAndLargeOnesSideBySide) {
    Policy(false, true, false);
    // Walk order: two small files, four large ones in a sub-folder, then small ones again.
    for (int i = 0; i < 2; ++i) MakeFile(source + L"\\a" + std::to_wstring(i) + L".txt", "a");
    for (int i = 0; i < 4; ++i)
        MakeFile(source + L"\\B\\large" + std::to_wstring(i) + L".bin", std::string(size_t(kLargeFile), 'L'));
    for (int i = 0; i < 4; ++i) MakeFile(source + L"\\C\\c" + std::to_wstring(i) + L".txt", "c");
    FolderJob(1, source, temp / L"Copie");
    // Each large file is held until all four are in flight; a small one is held a moment, long
    // enough for a second small file started beside it to be seen.
    struct Seen {
        std::mutex mutex;
        int smallInFlight = 0, largeStarted = 0, mostSmall = 0, largeTimedOut = 0;
    };
    auto seen = std::make_shared<Seen>();
    SetCopyStartSeam([seen](const std::wstring& from) {
        const bool large = from.find(L"large") != std::wstring::npos;
        {
            std::lock_guard lock(seen->mutex);
            seen->smallInFlight += !large;
            seen->largeStarted += large;
        }
        const DWORD until = GetTickCount() + (large ? 60000 : 30);
        for (;;) {
            {
                std::lock_guard lock(seen->mutex);
                seen->mostSmall = std::max(seen->mostSmall, seen->smallInFlight);
                if ((large && seen->largeStarted == 4) || GetTickCount() >= until) {
                    seen->smallInFlight -= !large;
                    seen->largeTimedOut += large && seen->largeStarted < 4;
                    return;
                }
            }
            Sleep(1);
        }
    });
    engine.RunJob(1);

    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"),
              std::vector<std::wstring>{L"Copia infinita effettuata : " + LogTime()});
    EXPECT_EQ(seen->largeStarted, 4);
    EXPECT_EQ(seen->largeTimedOut, 0);  // the four were in flight together
    EXPECT_EQ(seen->mostSmall, 1);      // no small file ever had another beside it
    EXPECT_EQ(Contents(ReadTree(NewCopy(temp / L"Copie", L"Documenti"))).size(), 10u + 2u);
}

// A tree that opens with a large file: its small files are copied while the large one is.
TEST_F(ParallelCopyTest, SmallFilesNeverWaitForALargeCopyToEnd) {
    Policy(false, true, false);
    MakeFile(source + L"\\big.bin", std::string(size_t(kLargeFile), 'L'));
    for (int i = 0; i < 3; ++i) MakeFile(source + L"\\S\\s" + std::to_wstring(i) + L".txt", "s");
    FolderJob(1, source, temp / L"Copie");
    auto smallStarted = std::make_shared<std::atomic<bool>>(false);
    auto bigWaited = std::make_shared<std::atomic<bool>>(false);
    SetCopyStartSeam([=](const std::wstring& from) {
        if (from.find(L"big.bin") == std::wstring::npos) return smallStarted->store(true);
        for (const DWORD until = GetTickCount() + 60000; !smallStarted->load(); Sleep(1))
            if (GetTickCount() >= until) return bigWaited->store(true);
    });
    engine.RunJob(1);

    EXPECT_FALSE(bigWaited->load());
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Cartelle"),
              std::vector<std::wstring>{L"Copia infinita effettuata : " + LogTime()});
    EXPECT_EQ(Contents(ReadTree(NewCopy(temp / L"Copie", L"Documenti"))).size(), 4u + 1u);
}

}  // namespace
}  // namespace vt::test
