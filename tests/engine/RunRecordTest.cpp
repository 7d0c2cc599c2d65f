// The record of a run: it counts as failed exactly when it wrote a line telling of something
// not done, or when a raised failure ended it.
#include "EngineFixture.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "settings/FileListFile.h"
#include "settings/JobNames.h"
#include "win/Failure.h"

namespace vt::test {
namespace {

// The lines a user must hear of, as the log shows them.
bool IsFailureLine(const std::wstring& line) {
    for (const wchar_t* start :
         {L"Percorso sorgente non pronto : ", L"Percorso destinazione non pronto : ", L"Cartella sorgente inesistente.",
          L"Cartella non copiata (non leggibile) : ", L"File non copiato (corrotto o in uso) : ",
          L"Il file selezionato non \u00e8 stato trovato", L"Copia precedente non rimossa : ",
          L"Problemi nell'identificazione del tipo di backup", L"Sito ftp non trovato o connessione non attivata"})
        if (line.rfind(start, 0) == 0) return true;
    return false;
}

class RunRecordTest : public EngineTest {
protected:
    RunRecord Run(int slot) {
        host = RecordingHost{};
        engine.RunJob(slot);
        const std::optional<RunRecord> run = engine.TakeLastRun();
        EXPECT_TRUE(run);
        return run.value_or(RunRecord{});
    }
    // Slot as a job of this kind ("TipoFile", "TipoExe"; "" for none at all).
    void Kind(int slot, const wchar_t* kind) {
        for (const wchar_t* name : {L"TipoDir", L"TipoExe", L"TipoFile"})
            SetBool(kMainSection, SlotValueName(name, slot), std::wstring(name) == kind);
    }
};

TEST_F(RunRecordTest, FailedExactlyWhenAFailureLineWasLogged) {
    MakeFile(temp / L"Dati\\a.txt", "a");
    MakeFile(temp / L"Dati\\Sotto\\b.txt", "b");
    MakeFile(temp / L"uno.txt", "1");
    struct Case {
        const char* what;
        std::function<int()> job;
        bool failed;
    } cases[] = {
        {"a folder copied whole", [&] { FolderJob(1, temp / L"Dati", temp / L"Copie"); return 1; }, false},
        {"a missing source", [&] { FolderJob(2, temp / L"Manca", temp / L"Copie"); return 2; }, true},
        {"no destination", [&] { FolderJob(3, temp / L"Dati", L""); return 3; }, true},
        // Left out on purpose, and said so: the copy itself is whole.
        {"the copies inside the source", [&] { FolderJob(4, temp / L"Dati", temp / L"Dati\\Sotto"); return 4; }, false},
        {"a sub-folder that cannot be listed",
         [&] {
             FolderJob(5, temp / L"Dati", temp / L"Copie");
             MakeFile(temp / L"Dati\\Sparita\\c.txt", "c");
             VanishWhenListed(temp / L"Dati\\Sparita");
             return 5;
         },
         true},
        {"a list with a missing file",
         [&] {
             Kind(1, L"TipoFile");
             SetString(kMainSection, L"DestinazioneFile", temp / L"Copie");
             WriteFileList(FileListPath(temp.Path(), 1), {temp / L"uno.txt", temp / L"due.txt"});
             return 1;
         },
         true},
        {"a program that is not there",
         [&] {
             Kind(3, L"TipoExe");
             SetString(kMainSection, L"SorgenteExe3", temp / L"manca.exe");
             return 3;
         },
         true},
        {"no kind", [&] { Kind(4, L""); return 4; }, true},
    };
    for (Case& c : cases) {
        const int slot = c.job();
        const RunRecord run = Run(slot);
        EXPECT_EQ(run.slot, slot) << c.what;
        EXPECT_EQ(run.failureLogged, std::any_of(host.log.begin(), host.log.end(), IsFailureLine)) << c.what;
        EXPECT_EQ(run.Failed(), c.failed) << c.what;
        EXPECT_FALSE(run.endedByFailure) << c.what;
    }
}

TEST_F(RunRecordTest, AStopAnsweredYesIsNoFailure) {
    MakeFile(temp / L"Dati\\a.txt", "a");
    FolderJob(1, temp / L"Dati", temp / L"Copie");
    PressEscAt({1}, {IDYES});
    const RunRecord run = Run(1);
    EXPECT_NE(std::find(host.log.begin(), host.log.end(), L"Backup Bloccato da Utente."), host.log.end());
    EXPECT_FALSE(run.Failed());
    EXPECT_TRUE(run.stoppedByUser);
    // Esc answered No: the run goes on to its end and was not stopped.
    escPolls = 0;
    questions.clear();
    PressEscAt({1}, {IDNO});
    EXPECT_FALSE(Run(1).stoppedByUser);
    EXPECT_EQ(questions.size(), 1u);
}

TEST_F(RunRecordTest, ALeadLineComesBetweenTheTimeAndTheJobNumber) {
    FolderJob(2, temp / L"Manca", temp / L"Copie");
    host = RecordingHost{};
    engine.RunJob(2, L"Recupero del backup delle 21:30 non eseguito");
    ASSERT_GE(host.log.size(), 4u);
    EXPECT_EQ(host.log[0], L"");
    EXPECT_EQ(host.log[2], L"Recupero del backup delle 21:30 non eseguito");
    EXPECT_EQ(host.log[3], L"Avvio backup numero 2");
    host = RecordingHost{};
    engine.RunJob(2);
    EXPECT_EQ(host.log.at(2), L"Avvio backup numero 2");
}

TEST_F(RunRecordTest, ARaisedFailureMarksTheRunWhereverItStops) {
    MakeFile(temp / L"Dati\\a.txt", "a");
    FolderJob(1, temp / L"Dati", temp / L"Copie");
    FolderJob(2, temp / L"Manca", temp / L"Copie");
    auto failAt = [this](const std::wstring& failing) {
        host = RecordingHost{};
        host.onLog = [failing](const std::wstring& line) {
            if (line.rfind(failing, 0) == 0) throw IoFailure("log folder missing");
        };
    };

    // Inside the job: the run ends silently, but not as a success.
    failAt(L"Copia limitata");
    engine.RunJob(1);
    std::optional<RunRecord> run = engine.TakeLastRun();
    ASSERT_TRUE(run);
    EXPECT_TRUE(run->endedByFailure);
    EXPECT_FALSE(run->failureLogged);

    // At an opening line the failure passes on, and the record still tells of it.
    failAt(L"Avvio backup numero");
    EXPECT_THROW(engine.RunJob(1), IoFailure);
    run = engine.TakeLastRun();
    ASSERT_TRUE(run);
    EXPECT_TRUE(run->endedByFailure);
    EXPECT_EQ(run->slot, 1);

    // A failure line the log cannot take still counts.
    failAt(L"Cartella sorgente inesistente.");
    engine.RunJob(2);
    run = engine.TakeLastRun();
    ASSERT_TRUE(run);
    EXPECT_TRUE(run->failureLogged);
}

TEST_F(RunRecordTest, HandedOverOncePerRun) {
    host.enabled[1] = true;
    engine.RunIfHoursElapsed(1);  // no count of hours: no run, and no record to tell of
    EXPECT_FALSE(engine.TakeLastRun());
    FolderJob(1, temp / L"Manca", temp / L"Copie");
    engine.RunJob(1);
    EXPECT_TRUE(engine.TakeLastRun());
    EXPECT_FALSE(engine.TakeLastRun());
}

}  // namespace
}  // namespace vt::test
