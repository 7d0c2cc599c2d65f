#include <gtest/gtest.h>

#include "config/JobPageRules.h"
#include "config/TimeMask.h"
#include "win/Controls.h"

namespace vt {
namespace {

TEST(TimeMask, StoresAValidTimePaddedAndAnythingElseAsNoTime) {
    EXPECT_EQ(StoredTime(L"08:30"), L"08:30");
    EXPECT_EQ(StoredTime(L"23:59"), L"23:59");
    EXPECT_EQ(StoredTime(L"00:00"), L"00:00");
    // A blank position would never match the clock: padded.
    EXPECT_EQ(StoredTime(L" 8:30"), L"08:30");
    EXPECT_EQ(StoredTime(L"12: 5"), L"12:05");
    for (const wchar_t* bad : {L"25:00", L"12:60", L"  :  ", L"", L"--:--", L"1a:00", L"12:", L":30", L"123:00"})
        EXPECT_EQ(StoredTime(bad), L"--:--") << bad;
}

TEST(TimeMask, IntervalsKeepTheirFirstTwoCharactersWhenWhole) {
    EXPECT_EQ(StoredInterval(L"12"), L"12");
    EXPECT_EQ(StoredInterval(L"-1"), L"-1");
    EXPECT_EQ(StoredInterval(L"7"), L"7");
    EXPECT_EQ(StoredInterval(L"a"), L"");
    EXPECT_EQ(StoredInterval(L"1a"), L"");
    EXPECT_EQ(StoredInterval(L""), L"");
}

TEST(TimeMask, DisplayKeepsTheLayoutAndShowsBlanksAsDashes) {
    EXPECT_EQ(TimeMaskDisplay(L""), L"--:--");
    EXPECT_EQ(TimeMaskDisplay(L"--:--"), L"--:--");
    EXPECT_EQ(TimeMaskDisplay(L"21:30"), L"21:30");
    EXPECT_EQ(TimeMaskDisplay(L" 8:30"), L"-8:30");
    EXPECT_EQ(TimeMaskDisplay(L"8:30"), L"08:30");
    EXPECT_EQ(TimeMaskDisplay(L"nonsense"), L"--:--");
    EXPECT_EQ(TimeMaskValue(L"-8:3-"), L" 8:3 ");
}

TEST(TimeMask, TheEditTypesDigitsOverTheBlanksAndSkipsTheColon) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    AttachTimeMask(edit);
    Edit field;
    field.Attach(edit);
    EXPECT_EQ(field.Text(), L"--:--");

    SendMessageW(edit, EM_SETSEL, 0, 0);
    for (wchar_t c : std::wstring(L"0x93")) SendMessageW(edit, WM_CHAR, c, 0);
    EXPECT_EQ(field.Text(), L"09:3-");  // the letter is refused
    SendMessageW(edit, WM_CHAR, L'0', 0);
    SendMessageW(edit, WM_CHAR, L'5', 0);  // past the end: nothing
    EXPECT_EQ(field.Text(), L"09:30");

    SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    SendMessageW(edit, WM_CHAR, VK_BACK, 0);  // over the colon
    EXPECT_EQ(field.Text(), L"0-:--");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(field.Text(), L"--:--");

    field.SetText(L"7:05");
    EXPECT_EQ(field.Text(), L"07:05");
    DestroyWindow(edit);
}

TEST(TimeMask, EveryCharacterHasOneAction) {
    for (wchar_t c = 0; c < 0x3000; ++c) {
        const TimeMaskCharAction action = TimeMaskCharActionFor(c);
        if (c >= L'0' && c <= L'9') EXPECT_EQ(action, TimeMaskCharAction::Type) << int(c);
        else if (c >= L' ') EXPECT_EQ(action, TimeMaskCharAction::Refuse) << int(c);
        else EXPECT_NE(action, TimeMaskCharAction::Type) << int(c);
    }
    EXPECT_EQ(TimeMaskCharActionFor(VK_BACK), TimeMaskCharAction::Backspace);
    EXPECT_EQ(TimeMaskCharActionFor(3), TimeMaskCharAction::Copy);
    EXPECT_EQ(TimeMaskCharActionFor(22), TimeMaskCharAction::Paste);
    EXPECT_EQ(TimeMaskCharActionFor(24), TimeMaskCharAction::Cut);
    EXPECT_EQ(TimeMaskCharActionFor(L'\r'), TimeMaskCharAction::Ignore);
}

TEST(TimeMask, CutAndPasteMoveTheTimeThroughTheClipboard) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    AttachTimeMask(edit);
    Edit field;
    field.Attach(edit);
    field.SetText(L"21:45");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_CHAR, 24, 0);
    EXPECT_EQ(field.Text(), L"--:--");
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, WM_CHAR, 22, 0);
    EXPECT_EQ(field.Text(), L"21:45");  // the colon in the pasted text is skipped, not typed
    SendMessageW(edit, EM_SETSEL, 3, 5);
    SendMessageW(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(L"0a7"));
    EXPECT_EQ(field.Text(), L"21:07");
    DestroyWindow(edit);
}

TEST(JobPageRules, ShowPageLetsTheLastFlagWinAndKeepsTheSelectionWithoutFlags) {
    BackupJob job;
    job.atTime = true;
    job.manual = true;
    JobPageValues page;
    ShowPageValues(job, page);
    EXPECT_EQ(page.scheduleKind, kManual);

    job.atTime = job.manual = false;
    job.isFolder = false;
    page.scheduleKind = kEveryNDays;
    page.dataKind = kLaunchProgram;
    ShowPageValues(job, page);
    EXPECT_EQ(page.scheduleKind, kEveryNDays);
    EXPECT_EQ(page.dataKind, kLaunchProgram);
    EXPECT_EQ(page.fileIndex, -1);
}

TEST(JobPageRules, StorePageSetsExactlyTheSelectedKinds) {
    JobPageValues page;
    page.scheduleKind = kEveryNHours;
    page.dataKind = kFileList;
    page.files = {L"C:\\a.txt", L"C:\\a.txt"};
    page.time = L"  :  ";
    page.hours = L"x";
    BackupJob job;
    StorePageValues(page, job);
    EXPECT_TRUE(job.everyNHours);
    EXPECT_FALSE(job.atTime || job.atStartup || job.atShutdown || job.everyNDays || job.manual);
    EXPECT_TRUE(job.isFileList);
    EXPECT_FALSE(job.isFolder || job.isProgram);
    EXPECT_EQ(job.files.size(), 2u);
    EXPECT_EQ(job.time, L"--:--");
    EXPECT_EQ(job.hoursInterval, L"");
}

}  // namespace
}  // namespace vt
