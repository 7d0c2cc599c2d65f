// bench_copy [--workers N] [--link <previous copy>] <source folder> <destination folder>: the
// engine's folder copy, nothing else; --link shares unchanged files with an earlier copy.
// bench_copy --bare N <source folder> <destination folder>: the floor of a Win32 copy, a loop that
// only walks the tree, makes the folders and calls CopyFileW, on N threads.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/CopyPool.h"
#include "engine/FolderCopy.h"
#include "engine/RunContext.h"
#include "engine/RunHost.h"

namespace {

// Only the copy is timed, so the window side does nothing; log lines are copy failures.
class SilentHost : public vt::RunHost {
public:
    int logged = 0;
    void AppendLog(const std::wstring& line) override {
        ++logged;
        fwprintf(stderr, L"%ls\n", line.c_str());
    }
    void SetStatusText(const std::wstring&) override {}
    void SetClockText(const std::wstring&) override {}
    void Repaint() override {}
    void ShowForRun() override {}
    void HideAfterRun() override {}
    void SetBusyCursor(bool) override {}
    bool JobEnabled(int) const override { return true; }
};

std::wstring WithoutTrailingSlash(std::wstring path) {
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

// Walks depth first; with `pending` the files are gathered for the threads, otherwise copied here.
bool BareWalk(const std::wstring& from, const std::wstring& to, Pairs* pending) {
    if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    std::vector<std::wstring> folders;
    bool ok = true;
    do {
        const std::wstring name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != L"." && name != L"..") folders.push_back(name);
        } else if (pending) {
            pending->emplace_back(from + L"\\" + name, to + L"\\" + name);
        } else if (!CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), TRUE)) {
            ok = false;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const std::wstring& folder : folders) ok = BareWalk(from + L"\\" + folder, to + L"\\" + folder, pending) && ok;
    return ok;
}

bool BareCopy(const std::wstring& from, const std::wstring& to, unsigned threads) {
    if (threads <= 1) return BareWalk(from, to, nullptr);
    Pairs pending;
    if (!BareWalk(from, to, &pending)) return false;
    std::atomic<size_t> next{0};
    std::atomic<bool> ok{true};
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < threads; ++i)
        workers.emplace_back([&] {
            for (size_t at; (at = next++) < pending.size();)
                if (!CopyFileW(pending[at].first.c_str(), pending[at].second.c_str(), TRUE)) ok = false;
        });
    for (std::thread& worker : workers) worker.join();
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring previous;
    int at = 1;
    unsigned bare = 0;
    for (; at + 1 < argc && argv[at][0] == L'-'; at += 2) {
        const std::wstring option = argv[at];
        if (option == L"--workers") vt::SetCopyWorkers(static_cast<unsigned>(_wtoi(argv[at + 1])));
        else if (option == L"--link") previous = WithoutTrailingSlash(argv[at + 1]);
        else if (option == L"--bare") bare = static_cast<unsigned>(_wtoi(argv[at + 1]));
        else break;
    }
    if (argc - at != 2) {
        fwprintf(stderr, L"usage: bench_copy [--workers N] [--link <previous copy>] <source folder> <destination folder>\n"
                          L"       bench_copy --bare N <source folder> <destination folder>\n");
        return 2;
    }
    const std::wstring source = WithoutTrailingSlash(argv[at]);
    const DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        fwprintf(stderr, L"not a folder: %ls\n", source.c_str());
        return 1;
    }
    if (bare > 0) return BareCopy(source, WithoutTrailingSlash(argv[at + 1]), bare) ? 0 : 1;
    SilentHost host;
    vt::RunContext run{host};
    run.sourceRoot = source;
    run.datedDestination = WithoutTrailingSlash(argv[at + 1]);
    try {
        vt::CopyFolderTree(run, run.datedDestination, L"", previous);
    } catch (const std::exception& failure) {
        fwprintf(stderr, L"copy failed: %hs\n", failure.what());
        return 1;
    }
    return host.logged == 0 ? 0 : 1;
}
