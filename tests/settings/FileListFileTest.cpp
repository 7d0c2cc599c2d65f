#include <gtest/gtest.h>

#include "settings/FileListFile.h"
#include "support/TempFolder.h"
#include "win/NotifyUser.h"
#include "win/Paths.h"

namespace vt {
namespace {

using Lines = std::vector<std::wstring>;

TEST(FileListParse, LineEndsOfEveryKind) {
    EXPECT_EQ(ParseFileList("a\r\nb\rc\nd"), (Lines{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(ParseFileList("a\r\n"), Lines{L"a"});
    EXPECT_EQ(ParseFileList("a\n\nb\n"), (Lines{L"a", L"", L"b"}));
    EXPECT_EQ(ParseFileList("a\r\r\nb"), (Lines{L"a", L"", L"b"}));
    EXPECT_EQ(ParseFileList(""), Lines{});
    EXPECT_EQ(ParseFileList("\r\n"), Lines{L""});
}

TEST(FileListParse, NulEndsTheText) {
    EXPECT_EQ(ParseFileList(std::string("a\r\nb\0c\r\nd\r\n", 10)), (Lines{L"a", L"b"}));
    EXPECT_EQ(ParseFileList(std::string("\0a\r\n", 4)), Lines{});
}

TEST(FileListParse, AnsiAndUtf8WithMark) {
    EXPECT_EQ(ParseFileList("C:\\Citt\xE0.txt\r\n"), Lines{L"C:\\Città.txt"});
    EXPECT_EQ(ParseFileList("\xEF\xBB\xBF" "C:\\\xC5\x81\xC3\xB3\x64\xC5\xBA.txt\r\n"), Lines{L"C:\\Łódź.txt"});
}

TEST(FileListFormat, AnsiWhenEveryEntryFitsElseUtf8WithMark) {
    EXPECT_EQ(FormatFileList({L"C:\\Città.txt", L"C:\\Città.txt"}), "C:\\Citt\xE0.txt\r\nC:\\Citt\xE0.txt\r\n");
    const Lines mixed{L"C:\\Città.txt", L"C:\\Łódź.txt"};
    const std::string text = FormatFileList(mixed);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(ParseFileList(text), mixed);
}

class FileListFileTest : public ::testing::Test {
protected:
    test::TempFolder data_;
    std::vector<MessageBoxRequest> questions_;

    void SetUp() override {
        SetMessageBoxSeam([this](const MessageBoxRequest& request) {
            questions_.push_back(request);
            return IDOK;
        });
    }
    void TearDown() override { SetMessageBoxSeam(nullptr); }
};

TEST_F(FileListFileTest, WritesExactlyTheEntriesWithCrLf) {
    const std::wstring path = FileListPath(data_.Path(), 1);
    EXPECT_EQ(path, data_.Path() + L"\\BkpFile1.Dat");
    ASSERT_TRUE(WriteFileList(path, {L"C:\\uno.doc", L"\\\\server\\share\\due.xls"}));
    EXPECT_EQ(test::ReadBytes(path), "C:\\uno.doc\r\n\\\\server\\share\\due.xls\r\n");
    EXPECT_EQ(ReadFileList(path), (Lines{L"C:\\uno.doc", L"\\\\server\\share\\due.xls"}));
}

TEST_F(FileListFileTest, EmptyListDeletesTheFileAndAMissingOneIsFine) {
    const std::wstring path = FileListPath(data_.Path(), 2);
    ASSERT_TRUE(WriteFileList(path, {L"C:\\x"}));
    EXPECT_TRUE(WriteFileList(path, {}));
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(WriteFileList(path, {}));
    EXPECT_FALSE(ReadFileList(path).has_value());
}

TEST_F(FileListFileTest, FailingSlotIsReportedAndTheOthersAreStillWritten) {
    // A folder where slot 3's file should be makes its creation fail.
    ASSERT_TRUE(CreateDirectoryW(FileListPath(data_.Path(), 3).c_str(), nullptr));
    JobSet set;
    for (int slot = 1; slot <= kJobCount; ++slot) set.Job(slot).files = {L"C:\\file" + std::to_wstring(slot)};
    SaveFileLists(set, data_.Path());

    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0].text, L"Problemi nel salvataggio dei file per il backup N°3");
    EXPECT_EQ(questions_[0].caption, L"Errore");
    EXPECT_EQ(questions_[0].flags, static_cast<UINT>(MB_ICONERROR | MB_OK));
    EXPECT_EQ(ReadFileList(FileListPath(data_.Path(), 4)), Lines{L"C:\\file4"});
    EXPECT_EQ(ReadFileList(FileListPath(data_.Path(), 5)), Lines{L"C:\\file5"});
    RemoveDirectoryW(FileListPath(data_.Path(), 3).c_str());
}

}  // namespace
}  // namespace vt
