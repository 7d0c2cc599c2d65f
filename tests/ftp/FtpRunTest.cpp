// Whole Folder and FileList runs to an FTP site, through the engine as the main window runs them.
#include <gtest/gtest.h>

#include <cwctype>
#include <random>

#include "EngineFixture.h"
#include "FtpServers.h"
#include "engine/FtpUpload.h"
#include "settings/FileListFile.h"
#include "settings/JobNames.h"
#include "settings/PasswordScrambling.h"
#include "win/Text.h"

namespace vt::test {
namespace {

class FtpRunTest : public EngineTest {
protected:
    FtpRunTest() { ClearFtpRoot(); }

    void FtpJob(int slot, const std::string& server, const std::wstring& baseFolder,
                const std::wstring& password = kFtpPassword) {
        const std::wstring section = JobSection(slot);
        SetBool(section, L"DestFTP", true);
        SetString(section, L"ftp-HN", FtpServerHost(server));
        SetString(section, L"ftp-HDN", baseFolder);
        SetString(section, L"ftp-UN", kFtpUser);
        SetString(section, L"ftp-Pswd", ScrambledToStored(ScramblePassword(kPasswordKey, ToAnsi(password))));
    }
    std::vector<std::wstring> RunLines(int slot) {
        engine.RunJob(slot);
        return host.LinesAfter(L"Avvio backup numero " + std::to_wstring(slot));
    }
};

TEST_F(FtpRunTest, FolderJobUploadsTheTreeIntoADatedFolder) {
    const std::wstring source = temp / L"Documenti";
    ASSERT_TRUE(MakeFile(source + L"\\a.txt", "alfa\r\n"));
    ASSERT_TRUE(MakeFile(source + L"\\Sub\\b.bin", std::string("\0\1\2\r\n", 5)));
    ASSERT_TRUE(MakeFile(source + L"\\Sub\\Deep\\c.txt", "gamma"));
    ASSERT_TRUE(MakeFile(source + L"\\.git\\config", "skipped"));
    ASSERT_TRUE(MakeFolder(source + L"\\Vuota"));
    FolderJob(1, source, L"");
    FtpJob(1, "real", L"backup");
    SetBool(JobSection(1), L"ftp-Binari", true);
    ASSERT_TRUE(MakeFolder(FtpRoot() + L"\\backup"));

    EXPECT_EQ(RunLines(1), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : Cartelle",
                                                      L"Cartella non creata (già esistente) : /backup",
                                                      L"Copia sul sito ftp effettuata : " + LogTime()}));
    EXPECT_FALSE(LastRunFailed());
    const std::wstring dated = FtpRoot() + L"\\backup\\Documenti_" + Stamp();
    EXPECT_EQ(Contents(ReadTree(dated)), (std::map<std::wstring, std::string>{
                                             {L"Sub", ""},
                                             {L"Sub\\Deep", ""},
                                             {L"Sub\\Deep\\c.txt", "gamma"},
                                             {L"Sub\\b.bin", std::string("\0\1\2\r\n", 5)},
                                             {L"a.txt", "alfa\r\n"}}));
    EXPECT_TRUE(host.Showed(L"ATTENDERE! Connessione al sito ftp in corso... (tentativo 1)"));
    EXPECT_TRUE(host.Showed(L"Connesso"));
    EXPECT_TRUE(host.Showed(L"Copia file su sito ftp : c.txt"));
    EXPECT_FALSE(host.Showed(L"ATTENDERE! Connessione al sito ftp in corso... (tentativo 2)"));
    EXPECT_EQ(host.statuses.back(), L"");
}

TEST_F(FtpRunTest, FileListJobUploadsAsTextByDefaultAndLogsWhatIsMissing) {
    ASSERT_TRUE(MakeFile(temp / L"one.txt", "uno\r\n"));
    ASSERT_TRUE(MakeFile(temp / L"two\\two.txt", "due"));
    ASSERT_TRUE(WriteFileList(FileListPath(temp.Path(), 2),
                              {temp / L"one.txt", temp / L"missing.txt", temp / L"two\\two.txt"}));
    SetBool(kMainSection, L"TipoDir2", false);
    SetBool(kMainSection, L"TipoFile2", true);
    FtpJob(2, "real", L"");

    EXPECT_EQ(RunLines(2), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : File",
                                                      L"File non copiato (corrotto o in uso) : " + (temp / L"missing.txt"),
                                                      L"Copia sul sito ftp effettuata : " + LogTime()}));
    EXPECT_TRUE(LastRunFailed());
    EXPECT_EQ(Contents(ReadTree(FtpRoot() + L"\\File2_" + Stamp())),
              (std::map<std::wstring, std::string>{{L"one.txt", "uno\n"}, {L"two.txt", "due"}}));
    EXPECT_TRUE(host.Showed(L"Copia File su ftp : two.txt"));
}

TEST_F(FtpRunTest, WrongPasswordTriesThreeTimesAndCopiesNothing) {
    const std::wstring source = temp / L"Documenti";
    ASSERT_TRUE(MakeFile(source + L"\\a.txt", "alfa"));
    FolderJob(1, source, L"");
    FtpJob(1, "real", L"backup", L"sbagliata");
    EXPECT_EQ(RunLines(1), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : Cartelle",
                                                      L"Sito ftp non trovato o connessione non attivata"}));
    EXPECT_TRUE(LastRunFailed());
    for (const wchar_t* status : {L"ATTENDERE! Connessione al sito ftp in corso... (tentativo 1)",
                                  L"ATTENDERE! Connessione al sito ftp in corso... (tentativo 2)",
                                  L"ATTENDERE! Connessione al sito ftp in corso... (tentativo 3)",
                                  L"Non connesso. Chiusura in corso..."})
        EXPECT_TRUE(host.Showed(status)) << ToUtf8(status);
    EXPECT_FALSE(host.Showed(L"Connesso"));
    EXPECT_TRUE(ReadTree(FtpRoot()).empty());
    for (const auto& text : host.statuses) EXPECT_EQ(text.find(L"sbagliata"), std::wstring::npos);
}

// The message loop runs while the client connects, so a job saved meanwhile decides what the
// run sends and with which login: those values are read when they are used.
TEST_F(FtpRunTest, SettingsSavedWhileConnectingAreTheOnesUsed) {
    const std::wstring first = temp / L"Documenti", second = temp / L"Altro";
    ASSERT_TRUE(MakeFile(first + L"\\a.txt", "alfa"));
    ASSERT_TRUE(MakeFile(second + L"\\b.txt", "beta"));
    FolderJob(1, first, L"");
    FtpJob(1, "real", L"", L"sbagliata");
    host.onStatus = [&](const std::wstring& status) {
        if (status == L"ATTENDERE! Connessione al sito ftp in corso... (tentativo 2)")
            SetString(JobSection(1), L"ftp-Pswd", ScrambledToStored(ScramblePassword(kPasswordKey, ToAnsi(kFtpPassword))));
        if (status == L"Connesso") SetString(kMainSection, L"Sorgente", second);
    };
    EXPECT_EQ(RunLines(1), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : Cartelle",
                                                      L"Copia sul sito ftp effettuata : " + LogTime()}));
    EXPECT_FALSE(host.Showed(L"ATTENDERE! Connessione al sito ftp in corso... (tentativo 3)"));
    EXPECT_EQ(Contents(ReadTree(FtpRoot())),
              (std::map<std::wstring, std::string>{{L"Altro_" + Stamp(), ""}, {L"Altro_" + Stamp() + L"\\b.txt", "beta"}}));
}

TEST_F(FtpRunTest, ProtectedFolderJobUploadsTheTreeToAPinnedCertificate) {
    const std::wstring source = temp / L"Documenti";
    const std::string big(3 * 1024 * 1024 + 7, 'b');
    ASSERT_TRUE(MakeFile(source + L"\\a.txt", "alfa"));
    ASSERT_TRUE(MakeFile(source + L"\\Sub\\big.bin", big));
    ASSERT_TRUE(MakeFile(source + L"\\Sub\\empty.bin", ""));
    FolderJob(1, source, L"");
    FtpJob(1, "tls", L"backup");
    SetBool(JobSection(1), L"ftp-Binari", true);
    SetBool(JobSection(1), L"ftp-TLS", true);
    std::wstring pin = TlsFingerprint();
    for (wchar_t& c : pin) c = static_cast<wchar_t>(std::towlower(c));  // stored in any case
    SetString(JobSection(1), L"ftp-Cert", pin);
    ForgetTlsCommands();

    EXPECT_EQ(RunLines(1), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : Cartelle",
                                                      L"Copia sul sito ftp effettuata : " + LogTime()}));
    EXPECT_FALSE(LastRunFailed());
    EXPECT_EQ(Contents(ReadTree(FtpRoot() + L"\\backup\\Documenti_" + Stamp())),
              (std::map<std::wstring, std::string>{
                  {L"Sub", ""}, {L"Sub\\big.bin", big}, {L"Sub\\empty.bin", ""}, {L"a.txt", "alfa"}}));
    const std::vector<std::string> commands = TlsCommands();
    ASSERT_GE(commands.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(commands.begin(), commands.begin() + 5),
              (std::vector<std::string>{"AUTH", "USER", "PASS", "PBSZ", "PROT"}));
}

TEST_F(FtpRunTest, AnUntrustedCertificateOrAServerWithoutTlsNeverGetsThePassword) {
    const std::wstring source = temp / L"Documenti";
    ASSERT_TRUE(MakeFile(source + L"\\a.txt", "alfa"));
    FolderJob(1, source, L"");
    FtpJob(1, "tls", L"");
    SetBool(JobSection(1), L"ftp-TLS", true);
    std::wstring pairs;
    for (size_t i = 0; i < TlsFingerprint().size(); i += 2) pairs += (i ? L":" : L"") + TlsFingerprint().substr(i, 2);
    for (const std::wstring& pin : {std::wstring(), std::wstring(64, L'0'), TlsFingerprint().substr(1)}) {
        SetString(JobSection(1), L"ftp-Cert", pin);
        ForgetTlsCommands();
        host.log.clear();
        host.statuses.clear();
        EXPECT_EQ(RunLines(1), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : Cartelle",
                                                          L"Certificato del server ftp non attendibile : " + pairs,
                                                          L"Sito ftp non trovato o connessione non attivata"}));
        EXPECT_TRUE(LastRunFailed());
        // Three attempts as for any failure, the reason told once, the login never sent.
        EXPECT_TRUE(host.Showed(L"ATTENDERE! Connessione al sito ftp in corso... (tentativo 3)"));
        EXPECT_EQ(TlsCommands(), (std::vector<std::string>{"AUTH", "AUTH", "AUTH"}));
    }

    FtpJob(1, "plain", L"");
    ForgetTranscript("plain");
    host.log.clear();
    host.statuses.clear();
    EXPECT_EQ(RunLines(1), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : Cartelle",
                                                      L"Il server ftp non accetta connessioni protette",
                                                      L"Sito ftp non trovato o connessione non attivata"}));
    EXPECT_TRUE(host.Showed(L"ATTENDERE! Connessione al sito ftp in corso... (tentativo 3)"));
    EXPECT_EQ(Transcript("plain"), (std::vector<std::string>{"AUTH TLS"}));  // the last attempt's
    EXPECT_TRUE(ReadTree(FtpRoot()).empty());
}

// vsftpd with TLS required for the login and the data: every file arrives byte for byte,
// through PORT on one server and through the fall-back to PASV on the other.
TEST_F(FtpRunTest, ProtectedRunsToVsftpdUploadTheTreeWholeActiveAndPassive) {
    const std::wstring source = temp / L"Documenti";
    std::mt19937 random(26);
    auto bytes = [&](size_t size) {
        std::string out(size, '\0');
        for (char& c : out) c = static_cast<char>(random());
        return out;
    };
    // A record's worth, one byte either side of it, and a large file of many records.
    const std::map<std::wstring, std::string> files{{L"a.txt", "alfa\r\n"},
                                                    {L"Sub\\record.bin", bytes(16384)},
                                                    {L"Sub\\less.bin", bytes(16383)},
                                                    {L"Sub\\more.bin", bytes(16385)},
                                                    {L"Sub\\Deep\\big.bin", bytes(5 * 1024 * 1024 + 11)},
                                                    {L"Sub\\Deep\\empty.bin", ""}};
    std::map<std::wstring, std::string> expected{{L"Sub", ""}, {L"Sub\\Deep", ""}};
    for (const auto& [path, content] : files) {
        ASSERT_TRUE(MakeFile(source + L"\\" + path, content));
        expected[path] = content;
    }
    FolderJob(1, source, L"");
    const std::wstring section = JobSection(1);
    SetBool(section, L"DestFTP", true);
    SetString(section, L"ftp-UN", kVsftpdUser);
    SetString(section, L"ftp-Pswd", ScrambledToStored(ScramblePassword(kPasswordKey, VsftpdPassword())));
    SetBool(section, L"ftp-Binari", true);
    SetBool(section, L"ftp-TLS", true);
    SetString(section, L"ftp-Cert", VsftpdFingerprint());

    for (const auto& [server, folder] : {std::pair<std::string, std::wstring>{"vsftpd", L"attivo"},
                                         std::pair<std::string, std::wstring>{"vsftpd-passive", L"passivo"}}) {
        SCOPED_TRACE(server);
        RemoveTree(VsftpdRoot() + L"\\" + folder);
        SetString(section, L"ftp-HN", VsftpdHost(server));
        SetString(section, L"ftp-HDN", folder);
        host.log.clear();
        EXPECT_EQ(RunLines(1), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : Cartelle",
                                                          L"Copia sul sito ftp effettuata : " + LogTime()}));
        EXPECT_FALSE(LastRunFailed());
        EXPECT_TRUE(Contents(ReadTree(VsftpdRoot() + L"\\" + folder + L"\\Documenti_" + Stamp())) == expected);
    }
    // The active server took every file through PORT; the other refused it and served PASV.
    EXPECT_EQ(VsftpdLog("vsftpd").find("\"PASV\""), std::string::npos);
    EXPECT_NE(VsftpdLog("vsftpd").find("\"PORT "), std::string::npos);
    EXPECT_NE(VsftpdLog("vsftpd-passive").find("\"PASV\""), std::string::npos);
}

TEST_F(FtpRunTest, ServerThatNeverAnswersGivesUpWithinTheBound) {
    FolderJob(1, temp / L"Documenti", L"");
    FtpJob(1, "silent", L"");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(RunLines(1), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : Cartelle",
                                                      L"Sito ftp non trovato o connessione non attivata"}));
    EXPECT_TRUE(LastRunFailed());
    // Three attempts of 10 s and their 3-second waits, the last wait, and the closing Quit's 1 s.
    const ULONGLONG took = GetTickCount64() - start;
    EXPECT_GE(took, 42000u);
    EXPECT_LE(took, 46000u);
}

TEST_F(FtpRunTest, FailuresInsideTheRunAreLoggedAndTheRunGoesOn) {
    const std::wstring source = temp / L"Documenti";
    ASSERT_TRUE(MakeFile(source + L"\\a.txt", "alfa"));
    ASSERT_TRUE(MakeFile(source + L"\\S\\b.txt", "beta"));
    FolderJob(1, source, L"");
    FtpJob(1, "refuse", L"/bk/");
    // Nothing is ever made, so each folder's first file asks for the whole path again.
    const std::wstring dated = L"/bk/Documenti_" + Stamp();
    auto refused = [](const std::wstring& folder) { return L"Cartella non creata (già esistente) : " + folder; };
    EXPECT_EQ(RunLines(1), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : Cartelle",
                                                      refused(L"/bk"), refused(dated), refused(L"/bk"), refused(dated),
                                                      L"File non copiato (corrotto o in uso) : " + source + L"\\a.txt",
                                                      refused(L"/bk"), refused(dated), refused(dated + L"/S"),
                                                      L"File non copiato (corrotto o in uso) : " + source + L"\\S\\b.txt",
                                                      L"Copia sul sito ftp effettuata : " + LogTime()}));
    EXPECT_TRUE(LastRunFailed());
}

TEST_F(FtpRunTest, AFolderThatCannotBeListedIsLoggedAndTheUploadGoesOn) {
    const std::wstring source = temp / L"Documenti";
    ASSERT_TRUE(MakeFile(source + L"\\nota.", "con il punto"));
    ASSERT_TRUE(MakeFile(source + L"\\nota", "senza"));
    ASSERT_TRUE(MakeFile(source + L"\\Sparita\\c.txt", "c"));
    ASSERT_TRUE(MakeFile(source + L"\\Zeta\\d.txt", "d"));
    FolderJob(1, source, L"");
    FtpJob(1, "real", L"");
    SetBool(JobSection(1), L"ftp-Binari", true);
    VanishWhenListed(source + L"\\Sparita");
    EXPECT_EQ(RunLines(1), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : Cartelle",
                                                      L"Cartella non copiata (non leggibile) : " + source + L"\\Sparita",
                                                      L"Copia sul sito ftp effettuata : " + LogTime()}));
    EXPECT_TRUE(LastRunFailed());
    EXPECT_EQ(Contents(ReadTree(FtpRoot() + L"\\Documenti_" + Stamp())),
              (std::map<std::wstring, std::string>{
                  {L"nota.", "con il punto"}, {L"nota", "senza"}, {L"Zeta", ""}, {L"Zeta\\d.txt", "d"}}));

    VanishWhenListed(source);
    SetNow(2013, 6, 6, 10, 0, 0);
    host.log.clear();
    EXPECT_EQ(RunLines(1), (std::vector<std::wstring>{L"Destinazione sito ftp", L"Tipo di backup : Cartelle",
                                                      L"Cartella non copiata (non leggibile) : " + source}));
    EXPECT_TRUE(LastRunFailed());
}

TEST(RemoteFoldersTest, KnownFoldersAreTheMadeOnesAndTheirAncestors) {
    const std::vector<std::wstring> known{L"/backup/Doc_1/Data2", L"/x"};
    EXPECT_TRUE(IsKnownRemoteFolder(known, L"/backup"));
    EXPECT_TRUE(IsKnownRemoteFolder(known, L"/backup/Doc_1/"));
    EXPECT_TRUE(IsKnownRemoteFolder(known, L"/backup/Doc_1/Data2/"));
    EXPECT_TRUE(IsKnownRemoteFolder(known, L"/x"));
    // A sibling whose name is a prefix was never made.
    EXPECT_FALSE(IsKnownRemoteFolder(known, L"/backup/Doc_1/Data"));
    EXPECT_FALSE(IsKnownRemoteFolder(known, L"/back"));
    EXPECT_FALSE(IsKnownRemoteFolder({}, L"/backup"));
    EXPECT_EQ(RemoteDatedDestination(L"", L"D_1"), L"/D_1");
    EXPECT_EQ(RemoteDatedDestination(L"backup", L"D_1"), L"/backup/D_1");
    EXPECT_EQ(RemoteDatedDestination(L"/a/b/", L"D_1"), L"/a/b/D_1");
}

}  // namespace
}  // namespace vt::test
