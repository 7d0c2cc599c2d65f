// The protocol without sockets: a scripted transport stands for the network.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "ftp/CertificatePin.h"
#include "ftp/FtpReply.h"
#include "ftp/FtpSession.h"
#include "ftp/SocketErrors.h"
#include "support/TempFolder.h"

namespace vt {
namespace {

// The same numbers on every run, so that a failing input comes back when the test is run again.
class Random {
public:
    explicit Random(unsigned seed) : seed_(seed) {}
    unsigned operator()(unsigned range) {
        seed_ = seed_ * 1103515245 + 12345;
        return (seed_ >> 16) % range;
    }

private:
    unsigned seed_;
};

std::vector<std::string> Lines(ReplyAssembler& replies) {
    std::vector<std::string> lines;
    for (std::string line; replies.NextLine(line);) lines.push_back(line);
    return lines;
}

TEST(FtpReplyTest, AssemblesLinesFromPiecesWithOrWithoutCarriageReturn) {
    ReplyAssembler replies;
    replies.Feed("220 he", 6);
    EXPECT_TRUE(Lines(replies).empty());
    replies.Feed("llo\r\n331 a\n\r\n230", 16);
    EXPECT_EQ(Lines(replies), (std::vector<std::string>{"220 hello", "331 a", ""}));
    replies.Feed(" x\r\r\n", 5);
    EXPECT_EQ(Lines(replies), (std::vector<std::string>{"230 x"}));
}

TEST(FtpReplyTest, CutsALineThatFillsTheWholeBuffer) {
    ReplyAssembler replies;
    const std::string endless(ReplyAssembler::kCapacity + 10, 'x');
    replies.Feed(endless.data(), endless.size());
    replies.Feed("\n", 1);
    const auto lines = Lines(replies);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), ReplyAssembler::kCapacity);
    EXPECT_EQ(lines[1], std::string(10, 'x'));
}

TEST(FtpReplyTest, AThreeDigitCodeCompletesAReplyAnyOtherNumberIsAProtocolError) {
    struct Case {
        const char* line;
        ReplyLine kind;
        int code;
    };
    for (const Case& c : {Case{"226 Transfer complete", ReplyLine::Completes, 226}, Case{"250", ReplyLine::Completes, 250},
                          Case{"100x", ReplyLine::Completes, 100}, Case{"599 end", ReplyLine::Completes, 599},
                          Case{"220-Welcome", ReplyLine::Continues, 0}, Case{"0-x", ReplyLine::Continues, 0},
                          Case{" 220 indented", ReplyLine::Continues, 0}, Case{"Hello 220", ReplyLine::Continues, 0},
                          Case{"", ReplyLine::Continues, 0}, Case{"0", ReplyLine::Malformed, 0},
                          Case{"000", ReplyLine::Malformed, 0}, Case{"00 text", ReplyLine::Malformed, 0},
                          Case{"099 low", ReplyLine::Malformed, 0}, Case{"600 high", ReplyLine::Malformed, 0},
                          Case{"2200 long", ReplyLine::Malformed, 0}, Case{"22", ReplyLine::Malformed, 0}}) {
        int code = 0;
        EXPECT_EQ(ClassifyReplyLine(c.line, code), c.kind) << c.line;
        if (c.kind == ReplyLine::Completes) {
            EXPECT_EQ(code, c.code) << c.line;
        }
    }
}

// Lines from a small alphabet that makes every shape likely: codes of any length, hyphens, blanks.
std::string RandomLine(Random& next, const char* alphabet = "0123456789-  aZ,()+") {
    const auto letters = static_cast<unsigned>(std::strlen(alphabet));
    std::string line;
    const unsigned length = next(8);
    for (unsigned i = 0; i < length; ++i) line.push_back(alphabet[next(letters)]);
    return line;
}

TEST(FtpReplyTest, EveryCompletedReplyCarriesAValidCode) {
    Random next{7};
    for (int i = 0; i < 200000; ++i) {
        const std::string line = RandomLine(next);
        int code = -1;
        const ReplyLine kind = ClassifyReplyLine(line, code);
        const bool digitLed = !line.empty() && line[0] >= '0' && line[0] <= '9';
        if (kind == ReplyLine::Completes) {
            ASSERT_TRUE(code >= 100 && code <= 599) << line;
            ASSERT_EQ(line.substr(0, 3), std::to_string(code)) << line;
            ASSERT_TRUE(line.size() == 3 || ((line[3] < '0' || line[3] > '9') && line[3] != '-')) << line;
        } else {
            ASSERT_EQ(code, -1) << line;
            if (kind == ReplyLine::Malformed) {
                ASSERT_TRUE(digitLed) << line;
            }
            if (!digitLed) {
                ASSERT_EQ(kind, ReplyLine::Continues) << line;
            }
        }
    }
}

TEST(FtpReplyTest, PassiveReplyIsExactlySixNumbersAndAPort) {
    uint32_t address = 0;
    uint16_t port = 0;
    ASSERT_TRUE(ParsePassiveReply("227 Entering Passive Mode (10,9,8,7,4,1).", address, port));
    EXPECT_EQ(address, 0x0708090Au);
    EXPECT_EQ(port, 1025);
    EXPECT_TRUE(ParsePassiveReply("227 =127,0,0,1,255,255", address, port));
    EXPECT_EQ(port, 65535);
    ASSERT_TRUE(ParsePassiveReply("227 Entering Passive Mode (10, 9, 8, 7, 4, 2)", address, port));
    EXPECT_EQ(address, 0x0708090Au);
    EXPECT_EQ(port, 1026);
    for (const char* refused : {"227 (1,2,3,4,5,6,7)", "227 (+1,2,3,4,5,6)", "227 (1,2,3,4,0,0)", "227 (1,2,3,4,5)",
                                "227 (1,2,3,256,5,6)", "227 (1,2,3,4,5,0006)", "227 (1 ,2,3,4,5,6)", "227 (1,2,3,4,5, -6)",
                                "227 no numbers", "227", ""})
        EXPECT_FALSE(ParsePassiveReply(refused, address, port)) << refused;
}

TEST(FtpReplyTest, PassiveReplyTakesSixNumbersOnlyWhenNothingIsAddedToThem) {
    Random next{11};
    for (int i = 0; i < 50000; ++i) {
        unsigned v[6];
        std::string numbers;
        for (int n = 0; n < 6; ++n) {
            v[n] = next(4) == 0 ? next(400) : next(256);
            if (n > 0) numbers += ',';
            numbers += std::to_string(v[n]);
        }
        const bool seventh = next(5) == 0, sign = next(5) == 0;
        std::string line = "227 " + RandomLine(next, "aZ (=");
        if (sign) line += next(2) ? '+' : '-';
        line += numbers;
        if (seventh) line += ',' + std::to_string(next(300));
        line += RandomLine(next, "aZ ).");
        bool valid = !seventh && !sign && v[4] * 256 + v[5] != 0;
        for (unsigned x : v) valid = valid && x <= 255;
        uint32_t address = 0;
        uint16_t port = 0;
        ASSERT_EQ(ParsePassiveReply(line, address, port), valid) << line;
        if (!valid) continue;
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&address);
        for (int n = 0; n < 4; ++n) ASSERT_EQ(bytes[n], v[n]) << line;
        ASSERT_EQ(port, v[4] * 256 + v[5]) << line;
    }
}

TEST(FtpReplyTest, SocketErrorTexts) {
    EXPECT_EQ(SocketErrorText(0), "No Error");
    EXPECT_EQ(SocketErrorText(10048), "Address already in use");
    EXPECT_EQ(SocketErrorText(10051), "Network is unreachable");
    EXPECT_EQ(SocketErrorText(10060), "Connection timed out");
    EXPECT_EQ(SocketErrorText(10061), "Connection refused");
    EXPECT_EQ(SocketErrorText(11001), "Host not found");
    EXPECT_EQ(SocketErrorText(11004), "No Data");
    EXPECT_EQ(SocketErrorText(12345), "Not a WinSock error");
    EXPECT_EQ(SocketErrorDetail(10061), "Connection refused (Winsock error #10061)");
}

// Records what the session asks of the network; the test plays the server's side.
class ScriptedTransport : public FtpTransport {
public:
    std::vector<std::string> commands, actions;
    std::string data;
    int room = 1 << 30;  // bytes the network takes before it is full
    int sendError = 0;
    bool pendingConnection = false;  // the server has connected, its event not yet seen
    uint32_t localAddress = 0x0501A8C0;  // 192.168.1.5

    void Resolve(const std::string& host) override { actions.push_back("resolve " + host); }
    void ConnectControl(uint32_t, uint16_t port) override { actions.push_back("connect " + std::to_string(port)); }
    bool SendControl(const std::string& bytes) override {
        commands.push_back(bytes.substr(0, bytes.size() - 2));
        return true;
    }
    void CloseControl() override { actions.push_back("close control"); }
    uint32_t ControlLocalAddress() override { return localAddress; }
    int Listen(uint16_t& port) override {
        port = 5001;
        actions.push_back("listen");
        return 0;
    }
    bool AcceptPending() override { return pendingConnection; }
    void ConnectData(uint32_t, uint16_t port) override { actions.push_back("connect data " + std::to_string(port)); }
    int SendData(const char* bytes, int count) override {
        if (sendError) return -sendError;
        const int taken = std::min(count, room);
        room -= taken;
        data.append(bytes, taken);
        return taken;
    }
    void ContinueData() override { ++continues; }
    void ShutdownData() override { actions.push_back("shutdown data"); }
    void CloseData() override { actions.push_back("close data"); }
    void StartControlTls(const std::string& host) override { actions.push_back("tls " + host); }
    CertificateVerdict ControlCertificate(const std::string&) override { return certificate; }
    void ProtectData(bool on) override { actions.push_back(on ? "protect data" : "plain data"); }
    int continues = 0;
    CertificateVerdict certificate;
};

constexpr uint32_t kLoopback = 0x0100007F;
constexpr uint32_t kRemote = 0x0A00000A;  // 10.0.0.10

void SetAccount(FtpSession& s) {
    // Whole strings moved in: assigning the literals trips a false -Wrestrict of this compiler.
    s.hostName = std::string("h");
    s.userName = std::string("u");
    s.password = std::string("p");
}

class FtpSessionTest : public ::testing::Test {
protected:
    FtpSessionTest() {
        session.hostName = "server";
        session.userName = "anna";
        session.password = "s3greta";
    }
    void Reply(const std::string& text) { session.OnControlData(text.data(), text.size()); }
    void LogIn(uint32_t server = kLoopback) {
        ASSERT_TRUE(session.StartConnect());
        session.OnResolved(0, server);
        session.OnControlConnected(0);
        Reply("220 ready\r\n331 pass\r\n230 in\r\n");
        ASSERT_EQ(session.Phase(), FtpPhase::Ready);
        ASSERT_EQ(session.RequestError(), 0);
        transport.commands.clear();
        transport.actions.clear();
    }
    // A Put of `size` bytes under way: the server has answered up to 150 and connected, and
    // the network has taken `room` bytes.
    void PutUnderWay(size_t size, int room) {
        ASSERT_TRUE(test::WriteBytes(temp / L"f", std::string(size, 'x')));
        session.localFileName = temp / L"f";
        ASSERT_TRUE(session.StartPut());
        transport.room = room;
        Reply("200 ok\r\n200 ok\r\n150 go\r\n");
        session.OnDataAccepted(0);
    }
    // Runs the data side until the file has gone out.
    void Drain() {
        for (int guard = 0; guard < 10000 && transport.continues > 0; ++guard) {
            --transport.continues;
            session.OnDataWritable();
        }
    }

    ScriptedTransport transport;
    FtpSession session{transport};
    test::TempFolder temp;
};

TEST_F(FtpSessionTest, LogsInWithUserAndPassOnAPortGivenWithTheHost) {
    session.hostName = "server:2121";
    ASSERT_TRUE(session.StartConnect());
    EXPECT_EQ(session.Phase(), FtpPhase::Resolving);
    session.OnResolved(0, kRemote);
    session.OnControlConnected(0);
    EXPECT_EQ(session.Phase(), FtpPhase::WaitingBanner);
    // A multi-line greeting completes only on its "220 " line.
    Reply("220-Welcome\r\n 220 indented\r\nText 220\r\n");
    EXPECT_TRUE(transport.commands.empty());
    Reply("220 ready\n");
    Reply("331 Password required\r\n230 Logged in\r\n");
    EXPECT_EQ(transport.actions, (std::vector<std::string>{"plain data", "resolve server", "connect 2121"}));
    EXPECT_EQ(transport.commands, (std::vector<std::string>{"USER anna", "PASS s3greta"}));
    EXPECT_EQ(session.Phase(), FtpPhase::Ready);
    EXPECT_EQ(session.RequestError(), 0);
    EXPECT_EQ(session.StatusCode(), 230);
    EXPECT_EQ(session.LastResponse(), "230 Logged in");
    EXPECT_TRUE(session.Connected());
}

TEST_F(FtpSessionTest, LoginFailuresEndTheRequestAndLeaveNoConnection) {
    struct Case {
        std::string user, password, replies, message;
        int error;
        std::vector<std::string> commands;
    };
    const std::vector<Case> cases = {
        {"anna", "pw", "421 Too many users\r\n", "421 Too many users", 421, {}},
        {"", "pw", "220 ready\r\n", "UserName empty", 500, {}},
        {"anna", "", "220 ready\r\n331 pass\r\n", "Password empty", 500, {"USER anna"}},
        {"anna", "pw", "220 ready\r\n331 pass\r\n530 Login incorrect\r\n", "530 Login incorrect", 530,
         {"USER anna", "PASS pw"}},
    };
    for (const Case& c : cases) {
        ScriptedTransport net;
        FtpSession s{net};
        s.hostName = "h";
        s.userName = c.user;
        s.password = c.password;
        ASSERT_TRUE(s.StartConnect());
        s.OnResolved(0, kRemote);
        s.OnControlConnected(0);
        s.OnControlData(c.replies.data(), c.replies.size());
        EXPECT_EQ(s.Phase(), FtpPhase::Ready) << c.message;
        EXPECT_EQ(s.RequestError(), c.error) << c.message;
        EXPECT_EQ(s.ErrorMessage(), c.message);
        EXPECT_EQ(net.commands, c.commands) << c.message;
        EXPECT_FALSE(s.Connected()) << c.message;
        EXPECT_EQ(net.actions.back(), "close control") << c.message;
    }
}

TEST_F(FtpSessionTest, UserAnswered230NeedsNoPassword) {
    ASSERT_TRUE(session.StartConnect());
    session.OnResolved(0, kRemote);
    session.OnControlConnected(0);
    Reply("220 ready\r\n230 Welcome\r\n");
    EXPECT_EQ(transport.commands, (std::vector<std::string>{"USER anna"}));
    EXPECT_EQ(session.RequestError(), 0);
    EXPECT_TRUE(session.Connected());
}

TEST_F(FtpSessionTest, LookupAndConnectionFailuresCarryTheSocketText) {
    ASSERT_TRUE(session.StartConnect());
    session.OnResolved(11001, 0);
    EXPECT_EQ(session.RequestError(), 500);
    EXPECT_EQ(session.ErrorMessage(), "500 Host not found (Winsock error #11001)");
    ASSERT_TRUE(session.StartConnect());
    session.OnResolved(0, kRemote);
    session.OnControlConnected(10061);
    EXPECT_EQ(session.ErrorMessage(), "500 Connection refused (Winsock error #10061)");
    EXPECT_EQ(session.Phase(), FtpPhase::Ready);
    session.hostName = "";
    EXPECT_FALSE(session.StartConnect());
    EXPECT_EQ(session.ErrorMessage(), "500 Host not found (Winsock error #11001)");
}

TEST_F(FtpSessionTest, StartChecks) {
    EXPECT_FALSE(session.StartMkd());
    EXPECT_EQ(session.ErrorMessage(), "FTP component not connected");
    EXPECT_FALSE(session.StartPut());
    EXPECT_EQ(session.ErrorMessage(), "FTP component not connected");
    LogIn();
    EXPECT_FALSE(session.StartConnect());
    EXPECT_EQ(session.ErrorMessage(), "FTP component already connected");
    session.hostFileName = "/a";
    ASSERT_TRUE(session.StartMkd());
    EXPECT_FALSE(session.StartPut());
    EXPECT_EQ(session.ErrorMessage(), "FTP component not ready");
    Reply("257 \"/a\" created\r\n");
    EXPECT_EQ(session.RequestError(), 0);
    EXPECT_EQ(transport.commands, (std::vector<std::string>{"MKD /a"}));
}

TEST_F(FtpSessionTest, TheServersRepliesNeverShowThePassword) {
    ASSERT_TRUE(session.StartConnect());
    session.OnResolved(0, kRemote);
    session.OnControlConnected(0);
    Reply("220 ready\r\n331 pass\r\n530 Wrong password s3greta\r\n");
    EXPECT_EQ(session.ErrorMessage(), "530 Wrong password ***");
    EXPECT_EQ(session.LastResponse(), "530 Wrong password ***");
}

TEST_F(FtpSessionTest, PutSendsTheFileInBlocksAndEndsOnTheFinalReplyAndTheClosedConnection) {
    std::string content;
    for (int i = 0; i < 3 * FtpSession::kBlockSize + 17; ++i) content.push_back(static_cast<char>(i * 7));
    ASSERT_TRUE(test::WriteBytes(temp / L"f.bin", content));
    LogIn();
    session.localFileName = temp / L"f.bin";
    session.hostFileName = "/b/f.bin";
    session.binary = false;
    ASSERT_TRUE(session.StartPut());
    Reply("200 Type A\r\n");
    Reply("200 PORT ok\r\n");
    // The server connects before it answers STOR, as pyftpdlib does.
    session.OnDataAccepted(0);
    EXPECT_TRUE(transport.data.empty());
    transport.room = 1000;  // the network fills up in the middle of the first block
    Reply("125 Data connection open\r\n");
    EXPECT_EQ(transport.data.size(), 1000u);
    transport.room = 1 << 30;
    session.OnDataWritable();
    Drain();
    EXPECT_EQ(transport.data, content);
    EXPECT_EQ(transport.actions, (std::vector<std::string>{"listen", "shutdown data"}));
    EXPECT_EQ(session.Phase(), FtpPhase::WaitingResponse);
    session.OnDataClosed(0);
    Reply("226 Done\r\n");
    EXPECT_EQ(session.Phase(), FtpPhase::Ready);
    EXPECT_EQ(session.RequestError(), 0);
    EXPECT_EQ(transport.commands,
              (std::vector<std::string>{"TYPE A", "PORT 127,0,0,1,19,137", "STOR /b/f.bin"}));
}

TEST_F(FtpSessionTest, PortAnnouncesTheControlConnectionsAddressAndAnEmptyFileSendsNothing) {
    ASSERT_TRUE(test::WriteBytes(temp / L"empty", ""));
    LogIn(kRemote);
    session.localFileName = temp / L"empty";
    session.hostFileName = "/empty";
    ASSERT_TRUE(session.StartPut());
    // The server's connection is taken at 150 even though its event has not come yet.
    transport.pendingConnection = true;
    Reply("200 ok\r\n200 ok\r\n150 go\r\n");
    EXPECT_EQ(transport.actions, (std::vector<std::string>{"listen", "shutdown data"}));
    // The final reply first: the data connection is closed at once, everything was sent.
    Reply("226 Done\r\n");
    EXPECT_EQ(session.RequestError(), 0);
    EXPECT_EQ(session.Phase(), FtpPhase::Ready);
    EXPECT_EQ(transport.commands[1], "PORT 192,168,1,5,19,137");
    EXPECT_TRUE(transport.data.empty());
}

TEST_F(FtpSessionTest, ALostDataConnectionFailsThePutAfterTheServersReply) {
    ASSERT_TRUE(test::WriteBytes(temp / L"f", std::string(100000, 'x')));
    LogIn();
    session.localFileName = temp / L"f";
    ASSERT_TRUE(session.StartPut());
    Reply("200 ok\r\n200 ok\r\n150 go\r\n");
    transport.sendError = 10054;
    session.OnDataAccepted(0);
    // Still waiting: the server's reply to STOR must not be left for the next request.
    EXPECT_EQ(session.Phase(), FtpPhase::WaitingResponse);
    Reply("226 Done\r\n");
    EXPECT_EQ(session.Phase(), FtpPhase::Ready);
    EXPECT_EQ(session.RequestError(), 10054);
}

TEST_F(FtpSessionTest, ServerClosingTheDataConnectionEarlyIsNotASuccess) {
    LogIn();
    PutUnderWay(100000, 10);
    session.OnDataClosed(0);
    Reply("226 Done\r\n");
    EXPECT_NE(session.RequestError(), 0);
}

TEST_F(FtpSessionTest, RefusedActiveModeFallsBackToPassiveOnceAndKeepsIt) {
    ASSERT_TRUE(test::WriteBytes(temp / L"f", "abc"));
    LogIn();
    session.localFileName = temp / L"f";
    session.hostFileName = "/f";
    ASSERT_TRUE(session.StartPut());
    Reply("200 ok\r\n500 PORT not allowed\r\n");
    session.password = "1";  // hidden in what is shown, but not in the numbers read from the reply
    Reply("227 Entering Passive Mode (10,9,8,7,4,1)\r\n");
    EXPECT_EQ(transport.actions.back(), "connect data 1025");
    EXPECT_EQ(session.LastResponse(), "227 Entering Passive Mode (***0,9,8,7,4,***)");
    session.OnDataConnected(0);
    Reply("150 go\r\n");
    Drain();
    session.OnDataClosed(0);
    Reply("226 Done\r\n");
    EXPECT_EQ(session.RequestError(), 0);
    EXPECT_EQ(transport.data, "abc");
    EXPECT_TRUE(session.Passive());
    ASSERT_TRUE(session.StartPut());
    Reply("200 ok\r\n");
    EXPECT_EQ(transport.commands,
              (std::vector<std::string>{"TYPE I", "PORT 127,0,0,1,19,137", "PASV", "STOR /f", "TYPE I", "PASV"}));
}

TEST_F(FtpSessionTest, ActivePortNeverConnectedIsAbortedAndTheFileGoesAgainPassively) {
    ASSERT_TRUE(test::WriteBytes(temp / L"f", "abc"));
    LogIn();
    session.localFileName = temp / L"f";
    session.hostFileName = "/f";
    // Nothing to retry before STOR has been answered.
    ASSERT_TRUE(session.StartPut());
    Reply("200 ok\r\n200 ok\r\n");
    EXPECT_FALSE(session.RetryPassiveAfterTimeout());
    Reply("150 go\r\n");  // ...and the server never connects
    ASSERT_TRUE(session.RetryPassiveAfterTimeout());
    EXPECT_FALSE(session.RetryPassiveAfterTimeout());  // once per file
    Reply("426 Transfer aborted\r\n");
    EXPECT_EQ(transport.commands.back(), "ABOR");
    Reply("226 ABOR ok\r\n");
    Reply("227 Entering Passive Mode (127,0,0,1,4,2)\r\n");
    session.OnDataConnected(0);
    Reply("150 go\r\n");
    Drain();
    session.OnDataClosed(0);
    Reply("226 Done\r\n");
    EXPECT_EQ(session.RequestError(), 0);
    EXPECT_EQ(transport.data, "abc");
    EXPECT_TRUE(session.Passive());
    EXPECT_EQ(transport.commands, (std::vector<std::string>{"TYPE I", "PORT 127,0,0,1,19,137", "STOR /f", "ABOR",
                                                            "PASV", "STOR /f"}));

    // A 425 after 150 falls back too; an ABOR the server does not know ends like the timeout.
    ASSERT_TRUE(session.StartQuit());
    Reply("221 Bye\r\n");
    LogIn();
    ASSERT_TRUE(session.StartPut());
    Reply("200 ok\r\n200 ok\r\n150 go\r\n425 Cannot open data connection\r\n");
    EXPECT_EQ(transport.commands.back(), "PASV");
    session.Abandon();
    LogIn();
    ASSERT_TRUE(session.StartPut());
    Reply("200 ok\r\n200 ok\r\n150 go\r\n");
    ASSERT_TRUE(session.RetryPassiveAfterTimeout());
    Reply("502 Not implemented\r\n");
    EXPECT_EQ(session.ErrorMessage(), "426 Timeout");
    EXPECT_FALSE(session.Connected());
    EXPECT_EQ(session.Phase(), FtpPhase::Ready);
}

TEST_F(FtpSessionTest, UnreadableLocalFileAndEmptyName) {
    LogIn();
    session.localFileName = temp / L"missing";
    ASSERT_TRUE(session.StartPut());
    Reply("200 ok\r\n200 ok\r\n");
    EXPECT_EQ(session.RequestError(), 426);
    EXPECT_EQ(session.ErrorMessage().rfind("426 Unable to open local file ", 0), 0u);
    EXPECT_EQ(transport.commands.size(), 2u);  // no STOR
    session.localFileName.clear();
    ASSERT_TRUE(session.StartPut());
    Reply("200 ok\r\n200 ok\r\n");
    EXPECT_EQ(session.ErrorMessage(), "LocalFileName empty");
}

TEST_F(FtpSessionTest, AbandonAndQuit) {
    LogIn();
    session.hostFileName = "/x";
    ASSERT_TRUE(session.StartMkd());
    session.Abandon();
    EXPECT_EQ(session.ErrorMessage(), "426 Timeout");
    EXPECT_EQ(session.StatusCode(), 426);
    EXPECT_FALSE(session.Connected());
    EXPECT_EQ(session.Phase(), FtpPhase::Ready);
    // Quit without a connection sends nothing and waits for its timeout.
    transport.commands.clear();
    ASSERT_TRUE(session.StartQuit());
    EXPECT_TRUE(transport.commands.empty());
    session.Abandon();
    LogIn();
    ASSERT_TRUE(session.StartQuit());
    Reply("500 what?\r\n");
    EXPECT_FALSE(session.Connected());
    EXPECT_EQ(transport.actions.back(), "close control");
}

TEST_F(FtpSessionTest, AReplyWithoutAValidCodeFailsTheRequestWith500AndItsLine) {
    for (const std::string banner : {"0", "000 hi", "00 text", "2200 too long"}) {
        ScriptedTransport net;
        FtpSession s{net};
        SetAccount(s);
        ASSERT_TRUE(s.StartConnect());
        s.OnResolved(0, kRemote);
        s.OnControlConnected(0);
        const std::string bytes = banner + "\r\n";
        s.OnControlData(bytes.data(), bytes.size());
        EXPECT_EQ(s.Phase(), FtpPhase::Ready) << banner;
        EXPECT_EQ(s.RequestError(), 500) << banner;
        EXPECT_EQ(s.StatusCode(), 500) << banner;
        EXPECT_EQ(s.ErrorMessage(), banner);
        EXPECT_FALSE(s.Connected()) << banner;
        EXPECT_TRUE(net.commands.empty()) << banner;
    }

    LogIn();
    session.hostFileName = "/a";
    ASSERT_TRUE(session.StartMkd());
    Reply("0\r\n");
    EXPECT_EQ(session.RequestError(), 500);
    EXPECT_EQ(session.ErrorMessage(), "0");
    EXPECT_TRUE(session.Connected());

    // The transfer has begun when the server answers without a code: not a success.
    PutUnderWay(100000, 1000);
    EXPECT_EQ(transport.data.size(), 1000u);
    Reply("0 aborted\r\n");
    EXPECT_EQ(session.Phase(), FtpPhase::Ready);
    EXPECT_EQ(session.RequestError(), 500);
    EXPECT_EQ(session.ErrorMessage(), "0 aborted");
    EXPECT_EQ(transport.actions.back(), "close data");

    // A garbled answer to PORT is no refusal of active mode: no passive retry.
    transport.commands.clear();
    ASSERT_TRUE(session.StartPut());
    Reply("200 ok\r\n99 what\r\n");
    EXPECT_EQ(session.RequestError(), 500);
    EXPECT_EQ(transport.commands, (std::vector<std::string>{"TYPE I", "PORT 127,0,0,1,19,137"}));

    ASSERT_TRUE(session.StartQuit());
    Reply("000\r\n");
    EXPECT_EQ(session.RequestError(), 500);
    EXPECT_FALSE(session.Connected());
}

TEST_F(FtpSessionTest, APassiveReplyThatIsNotSixNumbersEndsThePut) {
    ASSERT_TRUE(test::WriteBytes(temp / L"f", "abc"));
    LogIn();
    session.localFileName = temp / L"f";
    for (const std::string reply : {"227 Entering Passive Mode (127,0,0,1,4,1,9)", "227 (+127,0,0,1,4,1)",
                                    "227 Entering Passive Mode (127,0,0,1,0,0)"}) {
        ASSERT_TRUE(session.StartPut());
        // Active mode refused once, passive mode is kept for the session.
        Reply(session.Passive() ? "200 ok\r\n" + reply + "\r\n" : "200 ok\r\n500 PORT not allowed\r\n" + reply + "\r\n");
        EXPECT_EQ(session.Phase(), FtpPhase::Ready) << reply;
        EXPECT_EQ(session.RequestError(), 500) << reply;
        EXPECT_EQ(session.ErrorMessage(), reply);
    }
    for (const std::string& action : transport.actions) EXPECT_EQ(action.find("connect data"), std::string::npos);
}

// Whatever a server answers, a request that ends without error has had its success replies
// and, for a Put, has sent the whole file.
TEST(FtpSessionProperty, NoServerReplyTurnsAFailureIntoSuccess) {
    test::TempFolder temp;
    const std::string content(3000, 'z');
    ASSERT_TRUE(test::WriteBytes(temp / L"f", content));
    const char* const replies[] = {"220 hi", "331 pass", "230 in", "200 ok", "227 (127,0,0,1,4,1)", "150 go",
                                   "125 go", "226 done", "250 ok", "0", "000", "00 text", "0 aborted", "1",
                                   "99 x", "600 x", "2300 x", "220-more", " 230 blank", "text", ""};
    Random next{3};
    for (int round = 0; round < 20000; ++round) {
        ScriptedTransport net;
        FtpSession s{net};
        SetAccount(s);
        s.localFileName = temp / L"f";
        ASSERT_TRUE(s.StartConnect());
        s.OnResolved(0, kLoopback);
        s.OnControlConnected(0);
        bool putting = false;
        std::vector<std::string> sent;
        for (int i = 0; i < 14; ++i) {
            if (s.Phase() == FtpPhase::Ready) {
                if (s.RequestError() != 0) {
                    ASSERT_FALSE(s.ErrorMessage().empty());
                    break;
                }
                ASSERT_TRUE(s.Connected());
                if (putting) {
                    ASSERT_EQ(net.data, content);
                } else {
                    ASSERT_EQ(sent.back().substr(0, 3), "230");
                }
                if (putting || !s.StartPut()) break;
                putting = true;
                net.pendingConnection = true;
            }
            const std::string line = replies[next(std::size(replies))];
            sent.push_back(line);
            const std::string bytes = line + "\r\n";
            s.OnControlData(bytes.data(), bytes.size());
            if (next(3) == 0) s.OnDataConnected(0);
            for (int guard = 0; guard < 100 && net.continues > 0; ++guard) {
                --net.continues;
                s.OnDataWritable();
            }
            if (next(4) == 0) s.OnDataClosed(0);
        }
        if (putting && s.Phase() == FtpPhase::Ready && s.RequestError() == 0) {
            ASSERT_EQ(net.data, content);
            const std::string last = sent.back().substr(0, 3);
            ASSERT_TRUE(last == "226" || last == "250") << last;
        }
    }
}

TEST_F(FtpSessionTest, QuitClosesTheSessionEvenInTheMiddleOfATransfer) {
    LogIn();
    PutUnderWay(100000, 1000);
    const unsigned put = session.Request();
    ASSERT_TRUE(session.StartQuit());
    EXPECT_NE(session.Request(), put);
    EXPECT_EQ(transport.actions.back(), "close data");
    EXPECT_EQ(transport.commands.back(), "QUIT");
    // The dropped transfer sends nothing more.
    transport.room = 1 << 30;
    session.OnDataWritable();
    EXPECT_EQ(transport.data.size(), 1000u);
    Reply("221 Bye\r\n");
    EXPECT_EQ(session.Phase(), FtpPhase::Ready);
    EXPECT_EQ(session.RequestError(), 0);
    EXPECT_FALSE(session.Connected());

    // Also while the name is still being looked up: the lookup is cancelled.
    ASSERT_TRUE(session.StartConnect());
    ASSERT_TRUE(session.StartQuit());
    EXPECT_EQ(transport.actions.back(), "close control");
    session.OnResolved(0, kRemote);
    EXPECT_NE(transport.actions.back(), "connect 21");
}

TEST_F(FtpSessionTest, OnlyBlocksSentCountAsProgress) {
    ASSERT_TRUE(test::WriteBytes(temp / L"f", std::string(100, 'x')));
    LogIn();
    session.hostFileName = "/a";
    const unsigned before = session.Progress();
    ASSERT_TRUE(session.StartMkd());
    for (int i = 0; i < 50; ++i) Reply("257-still going\r\nmore text\r\n");
    EXPECT_EQ(session.Progress(), before);
    Reply("257 done\r\n");
    EXPECT_EQ(session.Progress(), before);
    session.localFileName = temp / L"f";
    ASSERT_TRUE(session.StartPut());
    Reply("200 ok\r\n200 ok\r\n150 go\r\n");
    EXPECT_EQ(session.Progress(), before);
    session.OnDataAccepted(0);
    EXPECT_GT(session.Progress(), before);
}

}  // namespace
}  // namespace vt

namespace vt {
namespace {

const std::string kPin = "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF";

TEST_F(FtpSessionTest, ProtectedLoginAsksForTlsFirstAndProtectsTheData) {
    session.secure = true;
    session.certificatePin = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
    transport.certificate = {false, kPin};
    session.hostName = "nas.local:990";
    ASSERT_TRUE(session.StartConnect());
    session.OnResolved(0, kRemote);
    session.OnControlConnected(0);
    Reply("220 ready\r\n234 go ahead\r\n");
    EXPECT_EQ(transport.commands, (std::vector<std::string>{"AUTH TLS"}));
    EXPECT_EQ(transport.actions.back(), "tls nas.local");
    session.OnControlSecured(0);
    Reply("331 pass\r\n230 in\r\n200 PBSZ=0\r\n");
    EXPECT_EQ(session.Phase(), FtpPhase::WaitingResponse);
    Reply("200 protected\r\n");
    EXPECT_EQ(transport.commands,
              (std::vector<std::string>{"AUTH TLS", "USER anna", "PASS s3greta", "PBSZ 0", "PROT P"}));
    EXPECT_EQ(transport.actions.back(), "protect data");
    EXPECT_EQ(session.Phase(), FtpPhase::Ready);
    EXPECT_EQ(session.RequestError(), 0);

    // The file waits for the data connection's own handshake, then goes whole.
    ASSERT_TRUE(test::WriteBytes(temp / L"f", std::string(5000, 'x')));
    session.localFileName = temp / L"f";
    ASSERT_TRUE(session.StartPut());
    Reply("200 ok\r\n200 ok\r\n150 go\r\n");
    session.OnDataAccepted(0);
    EXPECT_TRUE(transport.data.empty());
    session.OnDataSecured(0);
    Drain();
    EXPECT_EQ(transport.data.size(), 5000u);
    Reply("226 done\r\n");
    session.OnDataClosed(0);
    EXPECT_EQ(session.Phase(), FtpPhase::Ready);
    EXPECT_EQ(session.RequestError(), 0);
}

// GCC 12 reports a false overlap in the inlined string concatenation below (its bug 105329).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
TEST_F(FtpSessionTest, ProtectionFailuresEndTheLoginBeforeUser) {
    const std::string longPin = kPin + "0", otherPin(64, 'A');
    struct Case {
        const char* reply;
        long handshake;
        bool trusted;
        const char *fingerprint, *pin;
        FtpSecurityFailure failure;
    };
    const Case cases[] = {
        {"500 AUTH not understood", 0, false, "", "", FtpSecurityFailure::Refused},
        {"534 policy", 0, false, "", "", FtpSecurityFailure::Refused},
        // A passing refusal says nothing about TLS: an ordinary failed attempt.
        {"421 too many users", 0, false, "", "", FtpSecurityFailure::None},
        {"234 ok", SEC_E_ILLEGAL_MESSAGE, false, "", "", FtpSecurityFailure::None},
        {"234 ok", 0, false, kPin.c_str(), "", FtpSecurityFailure::Untrusted},
        {"234 ok", 0, false, kPin.c_str(), otherPin.c_str(), FtpSecurityFailure::Untrusted},
        {"234 ok", 0, false, kPin.c_str(), longPin.c_str(), FtpSecurityFailure::Untrusted},
        {"234 ok", 0, false, "", "", FtpSecurityFailure::Untrusted},
    };
    for (const Case& c : cases) {
        ScriptedTransport net;
        FtpSession s{net};
        SetAccount(s);
        s.secure = true;
        s.certificatePin = c.pin;
        net.certificate = {c.trusted, c.fingerprint};
        ASSERT_TRUE(s.StartConnect());
        s.OnResolved(0, kLoopback);
        s.OnControlConnected(0);
        const std::string bytes = std::string("220 hi\r\n") + c.reply + "\r\n";
        s.OnControlData(bytes.data(), bytes.size());
        s.OnControlSecured(c.handshake);
        EXPECT_EQ(net.commands, (std::vector<std::string>{"AUTH TLS"})) << c.reply << " " << c.pin;
        EXPECT_EQ(s.Phase(), FtpPhase::Ready);
        EXPECT_NE(s.RequestError(), 0);
        EXPECT_FALSE(s.Connected());
        EXPECT_EQ(s.SecurityFailure(), c.failure) << c.reply << " " << c.pin;
        EXPECT_EQ(s.ServerFingerprint(), std::string(c.handshake == 0 && c.reply[0] == '2' ? c.fingerprint : ""));
    }
}

#pragma GCC diagnostic pop

// Whatever the server answers and however the handshake and the certificate turn out, the
// login goes out only inside a protected connection with an accepted certificate, and a
// protected transfer sends nothing before its own handshake.
TEST(FtpSessionProperty, NothingSecretLeavesBeforeTheServerIsTrusted) {
    test::TempFolder temp;
    ASSERT_TRUE(test::WriteBytes(temp / L"f", std::string(3000, 'z')));
    const char* const replies[] = {"220 hi", "234 ok", "331 pass", "230 in", "200 ok", "150 go", "226 done",
                                   "500 no", "534 no", "0", "220-more", "text"};
    Random next{5};
    for (int round = 0; round < 20000; ++round) {
        ScriptedTransport net;
        FtpSession s{net};
        SetAccount(s);
        s.secure = true;
        s.localFileName = temp / L"f";
        const bool pinned = next(2) == 0;
        s.certificatePin = pinned ? kPin : "";
        net.certificate = {next(3) == 0, next(2) == 0 ? kPin : std::string(64, 'F')};
        const bool acceptable = net.certificate.trusted || (pinned && net.certificate.fingerprint == kPin);
        ASSERT_TRUE(s.StartConnect());
        s.OnResolved(0, kLoopback);
        s.OnControlConnected(0);
        bool secured = false, dataSecured = false, putting = false;
        for (int i = 0; i < 16; ++i) {
            if (s.Phase() == FtpPhase::Ready) {
                if (s.RequestError() != 0 || putting || !s.StartPut()) break;
                putting = true;
                net.pendingConnection = true;
            }
            const std::string bytes = std::string(replies[next(std::size(replies))]) + "\r\n";
            s.OnControlData(bytes.data(), bytes.size());
            if (next(3) == 0) {
                const bool ok = next(4) != 0;
                secured = secured || ok;
                s.OnControlSecured(ok ? 0 : SEC_E_ILLEGAL_MESSAGE);
            }
            if (next(3) == 0) {
                dataSecured = true;
                s.OnDataSecured(0);
            }
            for (int guard = 0; guard < 100 && net.continues > 0; ++guard) {
                --net.continues;
                s.OnDataWritable();
            }
        }
        for (size_t c = 0; c < net.commands.size(); ++c) {
            const std::string& command = net.commands[c];
            if (command.starts_with("USER") || command.starts_with("PASS")) {
                ASSERT_TRUE(secured && acceptable) << command;
                ASSERT_GT(c, 0u);
                ASSERT_EQ(net.commands[0], "AUTH TLS");
            }
        }
        if (!net.data.empty()) {
            ASSERT_TRUE(dataSecured);
        }
    }
}

TEST(CertificatePinTest, FingerprintsAndPins) {
    const uint8_t bytes[] = {0x00, 0x9f, 0xa0, 0xff};
    EXPECT_EQ(FingerprintHex(bytes, 4), "009FA0FF");
    EXPECT_EQ(FingerprintPairs("009FA0FF"), "00:9F:A0:FF");
    EXPECT_EQ(NormalPin(std::string(32, 'a') + std::string(32, '9')), std::string(32, 'A') + std::string(32, '9'));
    for (const std::string& bad : {std::string(), std::string(63, 'A'), std::string(65, 'A'),
                                   std::string(63, 'A') + "G", " " + std::string(63, 'A'),
                                   FingerprintPairs(std::string(64, 'A'))})
        EXPECT_EQ(NormalPin(bad), "") << bad;
    EXPECT_TRUE(CertificateAccepted(true, "", ""));
    EXPECT_FALSE(CertificateAccepted(false, "", ""));
}

// Stored pins come from the registry, where anyone may have typed anything.
TEST(CertificatePinProperty, APinAcceptsExactlyItsOwnFingerprint) {
    Random next{9};
    const char alphabet[] = "0123456789abcdefABCDEFgG: x";
    for (int round = 0; round < 50000; ++round) {
        uint8_t digest[32];
        for (uint8_t& b : digest) b = static_cast<uint8_t>(next(256));
        const std::string fingerprint = FingerprintHex(digest, 32);
        ASSERT_EQ(fingerprint.size(), 64u);
        const std::string pairs = FingerprintPairs(fingerprint);
        ASSERT_EQ(pairs.size(), 95u);
        for (size_t i = 2; i < pairs.size(); i += 3) ASSERT_EQ(pairs[i], ':');
        std::string pin;
        switch (next(4)) {
            case 0: pin = fingerprint; break;
            case 1:  // the same digits in any mix of cases
                for (char c : fingerprint) pin += next(2) ? static_cast<char>(std::tolower(c)) : c;
                break;
            case 2: {  // one character changed
                pin = fingerprint;
                const size_t at = next(64);
                char other = alphabet[next(sizeof alphabet - 1)];
                if (std::toupper(other) == pin[at]) other = pin[at] == '0' ? '1' : '0';
                pin[at] = other;
                break;
            }
            default: {
                const unsigned length = next(100);
                for (unsigned i = 0; i < length; ++i) pin += alphabet[next(sizeof alphabet - 1)];
            }
        }
        std::string upper = pin;
        for (char& c : upper) c = static_cast<char>(std::toupper(c));
        ASSERT_EQ(CertificateAccepted(false, fingerprint, pin), upper == fingerprint) << pin;
        ASSERT_TRUE(CertificateAccepted(true, fingerprint, pin));
        const std::string normal = NormalPin(pin);
        ASSERT_TRUE(normal.empty() || normal.size() == 64);
    }
}

}  // namespace
}  // namespace vt
