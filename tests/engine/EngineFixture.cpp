#include "EngineFixture.h"

#include <algorithm>

#include "engine/CopyPool.h"
#include "engine/EngineFiles.h"
#include "engine/LinkedCopy.h"
#include "engine/StopKey.h"
#include "engine/TimeStamps.h"
#include "settings/JobNames.h"
#include "settings/SettingsStore.h"
#include "win/Clock.h"
#include "win/NotifyUser.h"
#include "win/Text.h"

namespace vt::test {

std::vector<std::wstring> RecordingHost::LinesAfter(const std::wstring& marker) const {
    const auto at = std::find(log.begin(), log.end(), marker);
    return at == log.end() ? std::vector<std::wstring>{L"<no line " + marker + L">"}
                           : std::vector<std::wstring>(at + 1, log.end());
}

bool RecordingHost::Showed(const std::wstring& status) const {
    return std::find(statuses.begin(), statuses.end(), status) != statuses.end();
}

std::wstring Long(const std::wstring& path) { return path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path; }

namespace {

template <typename Visit>
void Walk(const std::wstring& folder, Visit visit) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Long(folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") visit(name, found);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void ReadInto(Tree& tree, const std::wstring& root, const std::wstring& relative) {
    Walk(relative.empty() ? root : root + L"\\" + relative, [&](const std::wstring& name, const WIN32_FIND_DATAW& found) {
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        TreeEntry entry;
        entry.attributes = found.dwFileAttributes;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[path] = entry;
            ReadInto(tree, root, path);
            return;
        }
        entry.bytes = ReadBytes(Long(root + L"\\" + path));
        entry.lastWrite = (ULONGLONG(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime;
        tree[path] = entry;
    });
}

}  // namespace

Tree ReadTree(const std::wstring& root) {
    Tree tree;
    ReadInto(tree, root, L"");
    return tree;
}

std::map<std::wstring, std::string> Contents(const Tree& tree) {
    std::map<std::wstring, std::string> out;
    for (const auto& [path, entry] : tree) out[path] = entry.bytes;
    return out;
}

bool MakeFolder(const std::wstring& path) {
    const size_t cut = path.rfind(L'\\');
    if (GetFileAttributesW(Long(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    if (cut != std::wstring::npos && cut > 2) MakeFolder(path.substr(0, cut));
    return CreateDirectoryW(Long(path).c_str(), nullptr) != FALSE;
}

bool MakeFile(const std::wstring& path, const std::string& bytes) {
    const bool made = MakeFolder(path.substr(0, path.rfind(L'\\'))) && WriteBytes(Long(path), bytes);
    // A file the test could not make would turn its checks into nothing.
    if (!made) ADD_FAILURE() << "cannot make " << ToUtf8(path);
    return made;
}

void RemoveLongTree(const std::wstring& path) {
    Walk(path, [&](const std::wstring& name, const WIN32_FIND_DATAW& found) {
        const std::wstring child = path + L"\\" + name;
        SetFileAttributesW(Long(child).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveLongTree(child);
        else DeleteFileW(Long(child).c_str());
    });
    RemoveDirectoryW(Long(path).c_str());
}

std::vector<std::wstring> FolderNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    Walk(folder, [&](const std::wstring& name, const WIN32_FIND_DATAW& found) {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) names.push_back(name);
    });
    std::sort(names.begin(), names.end());
    return names;
}

FileInfo InfoOf(const std::wstring& path) {
    const HANDLE file = CreateFileW(Long(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return {(ULONGLONG(info.nFileIndexHigh) << 32) | info.nFileIndexLow, info.nNumberOfLinks};
}

UnixLink::UnixLink(const std::wstring& target, const std::wstring& link) {
    // Wine shows a link to a folder with the reparse attribute, which tells that it is made.
    const DWORD attributes = links_.Make(target, link) ? GetFileAttributesW(Long(link).c_str()) : INVALID_FILE_ATTRIBUTES;
    made = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (!made) ADD_FAILURE() << "cannot link " << ToUtf8(link);
}

CopyGate::CopyGate() {
    SetCopyStartSeam([this](const std::wstring& from) {
        std::unique_lock lock(mutex_);
        const size_t ticket = started_.size();
        started_.push_back(from);
        moved_.notify_all();
        moved_.wait_for(lock, std::chrono::seconds(60), [&] { return open_ || ticket < passes_; });
    });
}

CopyGate::~CopyGate() {
    Open();
    SetCopyStartSeam(nullptr);
}

size_t CopyGate::Waiting() const {
    std::lock_guard lock(mutex_);
    return open_ || started_.size() < passes_ ? 0 : started_.size() - passes_;
}

size_t CopyGate::Passed() const {
    std::lock_guard lock(mutex_);
    return std::min(passes_, started_.size());
}

std::vector<std::wstring> CopyGate::Started() const {
    std::lock_guard lock(mutex_);
    return started_;
}

void CopyGate::Let(size_t files) {
    std::lock_guard lock(mutex_);
    passes_ += files;
    moved_.notify_all();
}

void CopyGate::Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    moved_.notify_all();
}

EngineTest::EngineTest() {
    SetNow(2013, 6, 6, 9, 45, 0);
    SetClockSeam([this] { return now; });
    SetEscapeSeam([this] { ++escPolls; return false; });
    SetMessageBoxSeam([this](const MessageBoxRequest& request) {
        questions.push_back(request.text);
        return IDNO;
    });
    host.enabled.fill(true);
}

EngineTest::~EngineTest() {
    SetClockSeam(nullptr);
    SetEscapeSeam(nullptr);
    SetMessageBoxSeam(nullptr);
    SetListingSeam(nullptr);
    SetCopyWorkers(kWorkersByRule);
    SetCopyStartSeam(nullptr);
    SetLinkSeam(nullptr);
    RemoveLongTree(temp.Path());
}

void EngineTest::SetNow(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    now = SYSTEMTIME{year, month, 0, day, hour, minute, second, 0};
}

std::wstring EngineTest::Stamp() const { return FolderStamp(now); }

std::wstring EngineTest::LogTime() const { return LogTimeStamp(now, DateSeparator(), TimeSeparator()); }

void EngineTest::SetString(const std::wstring& section, const std::wstring& name, const std::wstring& value) {
    ASSERT_TRUE(SettingsStore().WriteString(section, name, value));
}

void EngineTest::SetBool(const std::wstring& section, const std::wstring& name, bool value) {
    ASSERT_TRUE(SettingsStore().WriteBool(section, name, value));
}

void EngineTest::Policy(bool noCopies, bool unlimited, bool limited, int copiesCount) {
    SetBool(kCopiesSection, L"RB1", noCopies);
    SetBool(kCopiesSection, L"RB2", unlimited);
    SetBool(kCopiesSection, L"RB3", limited);
    SetString(kCopiesSection, L"NumBkp", std::to_wstring(copiesCount));
}

void EngineTest::FolderJob(int slot, const std::wstring& source, const std::wstring& destination) {
    SetString(kMainSection, SlotValueName(L"Sorgente", slot), source);
    SetString(kMainSection, SlotValueName(L"Destinazione", slot), destination);
}

void EngineTest::VanishWhenListed(const std::wstring& folder) {
    SetListingSeam([folder](const std::wstring& listed) {
        if (LongPath(listed) == LongPath(folder + L"\\")) RemoveLongTree(folder);
    });
}

void EngineTest::PressEscAt(std::vector<int> polls, std::vector<int> answers) {
    PressEscWhen([this, polls] { return std::find(polls.begin(), polls.end(), escPolls) != polls.end(); },
                 std::move(answers));
}

void EngineTest::PressEscWhen(std::function<bool()> when, std::vector<int> answers) {
    SetEscapeSeam([this, when] {
        ++escPolls;
        return when();
    });
    SetMessageBoxSeam([this, answers](const MessageBoxRequest& request) {
        questions.push_back(request.caption + L"|" + request.text);
        if (whileAsked) whileAsked();
        EXPECT_EQ(request.flags & (MB_YESNO | MB_ICONQUESTION), UINT(MB_YESNO | MB_ICONQUESTION));
        const size_t i = questions.size() - 1;
        return i < answers.size() ? answers[i] : IDNO;
    });
}

}  // namespace vt::test
