// FileList jobs: listed files copied side by side into one dated folder.
#include "EngineFixture.h"
#include "engine/CopyPool.h"
#include "settings/FileListFile.h"
#include "settings/JobNames.h"

namespace vt::test {
namespace {

class FileListJobTest : public EngineTest {
protected:
    FileListJobTest() { dest = temp / L"Copie"; }
    void Job(int slot, const std::vector<std::wstring>& files) {
        SetBool(kMainSection, SlotValueName(L"TipoDir", slot), false);
        SetBool(kMainSection, SlotValueName(L"TipoFile", slot), true);
        SetString(kMainSection, SlotValueName(L"DestinazioneFile", slot), dest);
        ASSERT_TRUE(WriteFileList(FileListPath(temp.Path(), slot), files));
    }
    std::wstring dest;
};

TEST_F(FileListJobTest, AMissingFileIsLoggedAndTheOthersCopied) {
    MakeFile(temp / L"a\\uno.txt", "1");
    MakeFile(temp / L"b\\tre.txt", "3");
    Job(1, {temp / L"a\\uno.txt", temp / L"a\\manca.txt", temp / L"b\\tre.txt"});
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : File"),
              (std::vector<std::wstring>{L"File non copiato (corrotto o in uso) : " + (temp / L"a\\manca.txt"),
                                         L"Copia limitata nel numero effettuata : " + LogTime()}));
    EXPECT_EQ(Contents(ReadTree(dest)), (std::map<std::wstring, std::string>{{L"File1_060613-094500", ""},
                                                                              {L"File1_060613-094500\\tre.txt", "3"},
                                                                              {L"File1_060613-094500\\uno.txt", "1"}}));
}

TEST_F(FileListJobTest, TheLaterOfTwoSameNamesWinsSilently) {
    Policy(false, true, false);
    MakeFile(temp / L"a\\nota.txt", "prima");
    MakeFile(temp / L"b\\nota.txt", "seconda");
    Job(3, {temp / L"a\\nota.txt", temp / L"b\\nota.txt"});
    engine.RunJob(3);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : File"),
              std::vector<std::wstring>{L"Copia infinita effettuata : " + LogTime()});
    EXPECT_EQ(ReadBytes(dest + L"\\File3_060613-094500\\nota.txt"), "seconda");
}

TEST_F(FileListJobTest, ATypedDestinationIsReadAsWindowsReadsIt) {
    Policy(false, true, false);
    MakeFile(temp / L"a\\nota.", "con il punto");
    dest = temp / L"Copie. ";
    Job(1, {temp / L"a\\nota."});
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : File"),
              std::vector<std::wstring>{L"Copia infinita effettuata : " + LogTime()});
    EXPECT_EQ(FolderNames(temp.Path()), (std::vector<std::wstring>{L"Copie", L"a"}));
    EXPECT_EQ(ReadBytes(Long(temp / L"Copie\\File1_060613-094500\\nota.")), "con il punto");
}

TEST_F(FileListJobTest, NoCopiesRemovesOnlyThisSlotsCopies) {
    Policy(true, false, false);
    MakeFile(temp / L"a\\uno.txt", "1");
    for (const wchar_t* name : {L"File2_010613-080000", L"file2_020613-080000", L"File1_010613-080000", L"File22_010613-080000"})
        MakeFile(dest + L"\\" + name + L"\\x.txt", "x");
    Job(2, {temp / L"a\\uno.txt"});
    engine.RunJob(2);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : File"),
              std::vector<std::wstring>{L"Singola copia effettuata : " + LogTime()});
    EXPECT_EQ(FolderNames(dest), (std::vector<std::wstring>{L"File1_010613-080000", L"File22_010613-080000",
                                                            L"File2_060613-094500"}));
}

TEST_F(FileListJobTest, AnEmptyOrMissingListEndsSilently) {
    Job(1, {});
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : File"), std::vector<std::wstring>{});
    EXPECT_TRUE(FolderNames(temp.Path()).empty());
    EXPECT_EQ(host.statuses.back(), L"");
}

TEST_F(FileListJobTest, EscYesStopsTheLoopAndTheClosingLineFollows) {
    Policy(false, true, false);
    for (const wchar_t* name : {L"1.txt", L"2.txt", L"3.txt"}) MakeFile(temp / (std::wstring(L"a\\") + name), "n");
    Job(1, {temp / L"a\\1.txt", temp / L"a\\2.txt", temp / L"a\\3.txt"});
    // One worker: 1.txt goes through, 2.txt is in flight at the Yes and is finished.
    SetCopyWorkers(1);
    CopyGate gate;
    PressEscWhen(
        [&] {
            if (escPolls == 1) return true;
            if (gate.Waiting() == 0) return false;
            if (gate.Passed() == 0) gate.Let(1);
            return gate.Passed() == 1 && gate.Waiting() == 1;
        },
        {IDNO, IDYES});
    whileAsked = [&] {
        if (questions.size() == 2) gate.Open();
    };
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : File"),
              (std::vector<std::wstring>{L"Backup Bloccato da Utente.", L"Copia infinita effettuata : " + LogTime()}));
    EXPECT_EQ(Contents(ReadTree(dest + L"\\File1_060613-094500")),
              (std::map<std::wstring, std::string>{{L"1.txt", "n"}, {L"2.txt", "n"}}));
    EXPECT_EQ(gate.Started().size(), 2u);
    EXPECT_TRUE(host.Showed(L"ATTENDERE! Chiusura in corso..."));
}

TEST_F(FileListJobTest, AnUnreadyDestinationIsLoggedOnce) {
    MakeFile(temp / L"a\\uno.txt", "1");
    Job(1, {temp / L"a\\uno.txt"});
    SetString(kMainSection, L"DestinazioneFile", L"Q:\\");
    engine.RunJob(1);
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : File"),
              std::vector<std::wstring>{L"Percorso destinazione non pronto : Q:\\File1_060613-094500"});
}

}  // namespace
}  // namespace vt::test
