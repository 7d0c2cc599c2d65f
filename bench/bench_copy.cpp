// bench_copy [--workers N] [--link <previous copy>] <source folder> <destination folder>: the
// engine's folder copy, nothing else; --link shares unchanged files with an earlier copy.
#include <windows.h>

#include <cstdio>
#include <string>

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring previous;
    int at = 1;
    for (; at + 1 < argc && argv[at][0] == L'-'; at += 2) {
        const std::wstring option = argv[at];
        if (option == L"--workers") vt::SetCopyWorkers(static_cast<unsigned>(_wtoi(argv[at + 1])));
        else if (option == L"--link") previous = WithoutTrailingSlash(argv[at + 1]);
        else break;
    }
    if (argc - at != 2) {
        fwprintf(stderr, L"usage: bench_copy [--workers N] [--link <previous copy>] <source folder> <destination folder>\n");
        return 2;
    }
    const std::wstring source = WithoutTrailingSlash(argv[at]);
    const DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        fwprintf(stderr, L"not a folder: %ls\n", source.c_str());
        return 1;
    }
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
