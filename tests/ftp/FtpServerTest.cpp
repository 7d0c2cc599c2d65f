// The client with real sockets: pyftpdlib as a good server, scripted servers for the faults.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "FtpServers.h"
#include "ftp/FtpClient.h"
#include "support/TempFolder.h"
#include "win/Text.h"

namespace vt {
namespace {

using test::FtpRoot;
using test::FtpServerHost;
using test::ReadBytes;
using test::Transcript;
using test::WriteBytes;

class FtpServerTest : public ::testing::Test {
protected:
    FtpServerTest() { test::ClearFtpRoot(); }
    ~FtpServerTest() override {
        ftp.Timeout = 1;
        ftp.Quit();
    }
    bool LogIn(const std::string& server, const std::wstring& password = test::kFtpPassword) {
        ftp.HostName = FtpServerHost(server);
        ftp.UserName = test::kFtpUser;
        ftp.PassWord = password;
        return ftp.Connect();
    }
    bool Put(const std::wstring& local, const std::wstring& remote) {
        ftp.LocalFileName = local;
        ftp.HostFileName = remote;
        return ftp.Put();
    }
    static std::string Random(size_t size) {
        std::string bytes(size, '\0');
        unsigned x = 12345;
        for (char& c : bytes) c = static_cast<char>((x = x * 1103515245 + 12345) >> 16);
        return bytes;
    }

    TFtpClient ftp;
    test::TempFolder temp;
};

TEST_F(FtpServerTest, StoresFilesUnchangedInBinaryAndAsTextInAscii) {
    ASSERT_TRUE(LogIn("real"));
    ftp.HostFileName = L"/dati";
    ASSERT_TRUE(ftp.Mkd());
    const std::string big = Random(3 * 1024 * 1024 + 5);
    ASSERT_TRUE(WriteBytes(temp / L"big.bin", big));
    ASSERT_TRUE(WriteBytes(temp / L"empty.bin", ""));
    ASSERT_TRUE(WriteBytes(temp / L"note.txt", "uno\r\ndue\r\n"));
    EXPECT_TRUE(Put(temp / L"big.bin", L"/dati/big.bin")) << ftp.ErrorMessage().c_str();
    EXPECT_TRUE(Put(temp / L"empty.bin", L"/dati/empty.bin")) << ftp.ErrorMessage().c_str();
    ftp.Binary = false;
    EXPECT_TRUE(Put(temp / L"note.txt", L"/dati/note.txt")) << ftp.ErrorMessage().c_str();
    EXPECT_TRUE(ftp.Quit());
    EXPECT_FALSE(ftp.Connected());
    EXPECT_TRUE(ReadBytes(FtpRoot() + L"\\dati\\big.bin") == big);
    EXPECT_EQ(GetFileAttributesW((FtpRoot() + L"\\dati\\empty.bin").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(ReadBytes(FtpRoot() + L"\\dati\\empty.bin"), "");
    // The server keeps text in its own line ends.
    EXPECT_EQ(ReadBytes(FtpRoot() + L"\\dati\\note.txt"), "uno\ndue\n");
}

TEST_F(FtpServerTest, ProtectedSessionStoresFilesWithAPinnedCertificate) {
    ftp.Secure = true;
    ftp.CertificatePin = test::TlsFingerprint();
    ASSERT_TRUE(LogIn("tls")) << ToUtf8(ftp.ErrorMessage()) << " / " << ToUtf8(ftp.LastResponse());
    const std::string big = Random(2 * 1024 * 1024 + 3);
    ASSERT_TRUE(WriteBytes(temp / L"big.bin", big));
    EXPECT_TRUE(Put(temp / L"big.bin", L"/big.bin")) << ToUtf8(ftp.ErrorMessage());
    EXPECT_TRUE(ftp.Quit());
    EXPECT_TRUE(ReadBytes(FtpRoot() + L"\\big.bin") == big);
}

TEST_F(FtpServerTest, RefusedRequestsReportTheServersReply) {
    ASSERT_TRUE(LogIn("real"));
    ftp.HostFileName = L"/dati";
    ASSERT_TRUE(ftp.Mkd());
    EXPECT_FALSE(ftp.Mkd());
    EXPECT_EQ(ftp.RequestError(), 550);
    ASSERT_TRUE(WriteBytes(temp / L"f", "x"));
    EXPECT_FALSE(Put(temp / L"f", L"/nowhere/f"));
    EXPECT_EQ(ftp.RequestError(), 550);
    // A file that another program holds open cannot be read exclusively.
    HANDLE held = CreateFileW((temp / L"f").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Put(temp / L"f", L"/dati/f"));
    CloseHandle(held);
    EXPECT_EQ(ftp.ErrorMessage(), L"426 Unable to open local file " + (temp / L"f"));
    // The session is still usable after each failure.
    EXPECT_TRUE(Put(temp / L"f", L"/dati/f")) << ftp.ErrorMessage().c_str();
}

TEST_F(FtpServerTest, WrongPasswordAndAbsentServer) {
    EXPECT_FALSE(LogIn("real", L"sbagliata"));
    EXPECT_EQ(ftp.RequestError(), 530);
    EXPECT_FALSE(ftp.Connected());
    EXPECT_EQ(ftp.ErrorMessage().find(L"sbagliata"), std::wstring::npos);
    // A port where nothing listens: refused at once, not after the timeout.
    ftp.HostName = L"127.0.0.1:1";
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(ftp.Connect());
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_EQ(ftp.ErrorMessage(), L"500 Connection refused (Winsock error #10061)");
    ftp.HostName = L"no-such-host.invalid";
    EXPECT_FALSE(ftp.Connect());
    EXPECT_EQ(ftp.RequestError(), 500);
}

TEST_F(FtpServerTest, QuitWithoutAConnectionEndsAfterItsTimeout) {
    ftp.Timeout = 1;
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(ftp.Quit());
    const ULONGLONG took = GetTickCount64() - start;
    EXPECT_GE(took, 900u);
    EXPECT_LT(took, 3000u);
    EXPECT_EQ(ftp.ErrorMessage(), L"426 Timeout");
    EXPECT_FALSE(ftp.Connected());
}

TEST_F(FtpServerTest, ASuccessfulUploadSendsExactlyTheExpectedCommands) {
    test::ForgetTranscript("plain");
    ASSERT_TRUE(LogIn("plain"));
    ASSERT_TRUE(WriteBytes(temp / L"f", Random(200000)));
    EXPECT_TRUE(Put(temp / L"f", L"/a/f")) << ftp.ErrorMessage().c_str();
    EXPECT_TRUE(ftp.Quit());
    auto lines = Transcript("plain");
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[3].substr(0, 15), "PORT 127,0,0,1,");
    lines[3] = "PORT";
    EXPECT_EQ(lines, (std::vector<std::string>{"USER vaultick", "PASS Segr3ta!", "TYPE I", "PORT", "STOR /a/f",
                                               "# received 200000", "QUIT"}));
}

// Anyone on the machine can connect to the announced data port; only the server may have it.
TEST_F(FtpServerTest, AnotherConnectionToTheDataPortIsClosedAndTheServerStillGetsTheFile) {
    test::ForgetTranscript("intruder");
    ASSERT_TRUE(LogIn("intruder"));
    const std::string content = Random(200000);
    ASSERT_TRUE(WriteBytes(temp / L"dati.bin", content));
    EXPECT_TRUE(Put(temp / L"dati.bin", L"/dati.bin")) << ftp.ErrorMessage().c_str();
    ftp.Quit();
    const auto lines = Transcript("intruder");
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[4], "# intruder closed");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "# received " + std::to_string(content.size())), lines.end());
}

TEST_F(FtpServerTest, ServerRefusingActiveModeGetsPassiveModeFromThenOn) {
    test::ForgetTranscript("port500");
    ASSERT_TRUE(LogIn("port500"));
    ASSERT_TRUE(WriteBytes(temp / L"f", "abc"));
    EXPECT_TRUE(Put(temp / L"f", L"/f1")) << ftp.ErrorMessage().c_str();
    EXPECT_TRUE(Put(temp / L"f", L"/f2")) << ftp.ErrorMessage().c_str();
    EXPECT_TRUE(ftp.Passive());
    EXPECT_TRUE(ftp.Quit());
    auto lines = Transcript("port500");
    ASSERT_EQ(lines.size(), 12u);
    lines[3] = "PORT";
    EXPECT_EQ(lines, (std::vector<std::string>{"USER vaultick", "PASS Segr3ta!", "TYPE I", "PORT", "PASV", "STOR /f1",
                                               "# received 3", "TYPE I", "PASV", "STOR /f2", "# received 3", "QUIT"}));
}

TEST_F(FtpServerTest, ServerNeverConnectingToTheActivePortGetsTheFileAgainPassively) {
    test::ForgetTranscript("noactive");
    ftp.Timeout = 2;
    ASSERT_TRUE(LogIn("noactive"));
    ASSERT_TRUE(WriteBytes(temp / L"f", Random(300000)));
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(Put(temp / L"f", L"/f")) << ftp.ErrorMessage().c_str();
    EXPECT_LT(GetTickCount64() - start, 6000u);
    EXPECT_TRUE(ftp.Passive());
    EXPECT_TRUE(ftp.Quit());
    auto lines = Transcript("noactive");
    ASSERT_EQ(lines.size(), 10u);
    lines[3] = "PORT";
    EXPECT_EQ(lines, (std::vector<std::string>{"USER vaultick", "PASS Segr3ta!", "TYPE I", "PORT", "STOR /f", "ABOR",
                                               "PASV", "STOR /f", "# received 300000", "QUIT"}));
}

TEST_F(FtpServerTest, OddButValidRepliesFromScriptedServers) {
    // USER answered 230: logged in without PASS.
    test::ForgetTranscript("user230");
    EXPECT_TRUE(LogIn("user230"));
    EXPECT_TRUE(ftp.Quit());
    EXPECT_EQ(Transcript("user230"), (std::vector<std::string>{"USER vaultick", "QUIT"}));
    // Multi-line greeting and USER reply with blank- and letter-led lines.
    EXPECT_TRUE(LogIn("multiline")) << ftp.ErrorMessage().c_str();
    EXPECT_EQ(ftp.LastResponse(), L"230 Logged in.");
    EXPECT_TRUE(ftp.Quit());
}

TEST_F(FtpServerTest, FaultsEndTheRequestWithTheirCode) {
    ftp.Timeout = 2;
    EXPECT_FALSE(LogIn("greeting"));
    EXPECT_EQ(ftp.RequestError(), 421);
    EXPECT_EQ(ftp.ErrorMessage(), L"421 Too many users, try later.");
    EXPECT_FALSE(ftp.Connected());

    ASSERT_TRUE(LogIn("refuse"));
    ftp.HostFileName = L"/x";
    EXPECT_FALSE(ftp.Mkd());
    EXPECT_EQ(ftp.RequestError(), 550);
    ASSERT_TRUE(WriteBytes(temp / L"f", "abc"));
    EXPECT_FALSE(Put(temp / L"f", L"/x/f"));
    EXPECT_EQ(ftp.RequestError(), 550);
    EXPECT_TRUE(ftp.Quit());

    // A reply that stops in the middle of its line.
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(LogIn("stallreply"));
    EXPECT_EQ(ftp.ErrorMessage(), L"426 Timeout");
    EXPECT_EQ(ftp.StatusCode(), 426);
    EXPECT_FALSE(ftp.Connected());
    EXPECT_LT(GetTickCount64() - start, 5000u);
}

TEST_F(FtpServerTest, TransfersThatStallOrBreakFailWithinTheTimeout) {
    ftp.Timeout = 2;
    const std::string big = Random(32 * 1024 * 1024);
    ASSERT_TRUE(WriteBytes(temp / L"big", big));
    struct Case {
        const char* server;
        std::wstring message;
    };
    for (const Case& c : {Case{"stalldata", L"426 Timeout"}, Case{"noaccept", L"426 Timeout"},
                          Case{"drop", L""}}) {
        ASSERT_TRUE(LogIn(c.server)) << c.server;
        const ULONGLONG start = GetTickCount64();
        EXPECT_FALSE(Put(temp / L"big", L"/big")) << c.server;
        EXPECT_LT(GetTickCount64() - start, 6000u) << c.server;
        if (!c.message.empty()) EXPECT_EQ(ftp.ErrorMessage(), c.message) << c.server;
        else EXPECT_NE(ftp.RequestError(), 0) << c.server;
        ftp.Timeout = 1;
        ftp.Quit();
        ftp.Timeout = 2;
    }
}

TEST_F(FtpServerTest, AReplyThatNeverEndsStillTimesOut) {
    // A continuation line every tenth of a second, for minutes: lines are no progress.
    ftp.Timeout = 1;
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(LogIn("chatty"));
    EXPECT_LT(GetTickCount64() - start, 4000u);
    EXPECT_EQ(ftp.ErrorMessage(), L"426 Timeout");
    EXPECT_FALSE(ftp.Connected());
}

TFtpClient* quitting = nullptr;
bool quitAnswered = false;

TEST_F(FtpServerTest, QuitClosesTheSessionWhileAPutIsWaiting) {
    test::ForgetTranscript("noaccept");
    ftp.Timeout = 5;
    ASSERT_TRUE(LogIn("noaccept"));
    ASSERT_TRUE(WriteBytes(temp / L"f", "abc"));
    // A timer the Put's message loop runs stands for whatever asks to close in the middle.
    quitting = &ftp;
    quitAnswered = false;
    SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        quitAnswered = quitting->Quit();
    });
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(Put(temp / L"f", L"/f"));
    EXPECT_LT(GetTickCount64() - start, 4000u);
    EXPECT_TRUE(quitAnswered);
    EXPECT_FALSE(ftp.Connected());
    EXPECT_EQ(ftp.Phase(), FtpPhase::Ready);
    auto lines = Transcript("noaccept");
    ASSERT_EQ(lines.size(), 6u);
    lines[3] = "PORT";
    EXPECT_EQ(lines, (std::vector<std::string>{"USER vaultick", "PASS Segr3ta!", "TYPE I", "PORT", "STOR /f", "QUIT"}));
}

}  // namespace
}  // namespace vt
