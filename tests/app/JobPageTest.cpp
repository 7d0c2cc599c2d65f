#include <gtest/gtest.h>

#include "app/JobPage.h"
#include "win/DateTime.h"
#include "settings/FileListFile.h"
#include "support/RegistryGuard.h"
#include "support/TempFolder.h"
#include "win/RegKey.h"

namespace vt {
namespace {

StoredJobValues FolderJob() {
    StoredJobValues v;
    v.time = L"08:30";
    v.enabled = true;
    v.source = L"C:\\Dati";
    v.destination = L"D:\\Copie";
    return v;
}

TEST(JobPage, NeverConfiguredSlotIsIncompleteAndShowsItsDefaults) {
    const JobPageView page = ComputeJobPage(StoredJobValues{});
    EXPECT_EQ(page.scheduleText, L"Alle ore: --:--");
    EXPECT_EQ(page.sourcePath, L"Nessuna");
    EXPECT_EQ(page.destinationPath, L"Nessuna");
    EXPECT_EQ(page.sourceTitle, L"Cartella sorgente");
    EXPECT_FALSE(page.enabled || page.enableBoxEnabled || page.runButtonEnabled);
}

TEST(JobPage, CompleteFolderJobKeepsItsSwitch) {
    const JobPageView page = ComputeJobPage(FolderJob());
    EXPECT_EQ(page.scheduleText, L"Alle ore: 08:30");
    EXPECT_EQ(page.sourcePath, L"C:\\Dati");
    EXPECT_EQ(page.sourceHint, L"Cartella sorgente (quella che verrà copiata)");
    EXPECT_EQ(page.destinationHint, L"Cartella di destinazione (dove verrà effettuato il backup)");
    EXPECT_TRUE(page.enabled && page.enableBoxEnabled && page.runButtonEnabled);
    StoredJobValues off = FolderJob();
    off.enabled = false;
    EXPECT_FALSE(ComputeJobPage(off).enabled);
    EXPECT_TRUE(ComputeJobPage(off).enableBoxEnabled);
}

TEST(JobPage, LaterScheduleKindsOverrideEarlierOnes) {
    StoredJobValues v = FolderJob();
    v.atStartup = true;
    EXPECT_EQ(ComputeJobPage(v).scheduleText, L"All'avvio");
    v.atShutdown = true;
    EXPECT_EQ(ComputeJobPage(v).scheduleText, L"Alla chiusura");
    v.manual = true;
    const JobPageView manual = ComputeJobPage(v);
    EXPECT_EQ(manual.scheduleText, L"Manuale");
    EXPECT_FALSE(manual.enableBoxEnabled);
    EXPECT_TRUE(manual.runButtonEnabled);
    EXPECT_TRUE(manual.enabled);  // the box keeps its state, only greyed
}

TEST(JobPage, IntervalsInWordsAndNonNumbersAreIncomplete) {
    StoredJobValues v = FolderJob();
    v.atTime = false;
    v.everyNDays = true;
    struct Case { const wchar_t* stored; const wchar_t* text; bool flag; };
    for (const Case& c : {Case{L"1", L"Uno al giorno", true}, Case{L"12", L"Ogni 12 giorni", true},
                          Case{L"-1", L"Ogni -1 giorni", true}, Case{L"x", L"Nessuno", false},
                          Case{L"", L"Nessuno", false}}) {
        v.daysInterval = c.stored;
        const JobPageView page = ComputeJobPage(v);
        EXPECT_EQ(page.scheduleText, c.text);
        EXPECT_EQ(page.daysFlag, c.flag);
        EXPECT_EQ(page.enabled, c.flag) << c.stored;  // "Nessuno" marks the job incomplete
    }
    v.everyNDays = false;
    v.everyNHours = true;
    v.hoursInterval = L"1";
    EXPECT_EQ(ComputeJobPage(v).scheduleText, L"Ogni ora");
    v.hoursInterval = L"6";
    EXPECT_EQ(ComputeJobPage(v).scheduleText, L"Ogni 6 ore");
    EXPECT_TRUE(ComputeJobPage(v).hoursFlag);
    EXPECT_FALSE(ComputeJobPage(v).daysFlag);
}

TEST(JobPage, LaunchProgramNeedsNoCommandLine) {
    StoredJobValues v = FolderJob();
    v.isFolder = false;
    v.isProgram = true;
    v.program = L"C:\\Programmi\\salva.exe";
    const JobPageView page = ComputeJobPage(v);
    EXPECT_EQ(page.sourceTitle, L"Programma selezionato");
    EXPECT_EQ(page.destinationTitle, L"Riga di comando");
    EXPECT_EQ(page.sourcePath, L"C:\\Programmi\\salva.exe");
    EXPECT_EQ(page.destinationPath, L"Nessuna");
    EXPECT_EQ(page.sourceHint, L"Nome del programma da lanciare");
    EXPECT_EQ(page.destinationHint, L"Riga di comando da inviare al programma");
    EXPECT_TRUE(page.enabled && page.runButtonEnabled);
}

TEST(JobPage, FileListShowsItsFilesOrNone) {
    StoredJobValues v = FolderJob();
    v.isFolder = false;
    v.isFileList = true;
    v.fileListDestination = L"E:\\Copie";
    v.files = {L"C:\\a.doc", L"C:\\b.doc"};
    JobPageView page = ComputeJobPage(v);
    EXPECT_TRUE(page.listSource);
    EXPECT_EQ(page.sourceTitle, L"File selezionati");
    EXPECT_EQ(page.sourceFiles, v.files);
    EXPECT_EQ(page.destinationPath, L"E:\\Copie");
    EXPECT_TRUE(page.enabled);
    v.files.clear();
    page = ComputeJobPage(v);
    EXPECT_EQ(page.sourceFiles, std::vector<std::wstring>{L"Nessuno"});
    EXPECT_FALSE(page.enabled || page.runButtonEnabled);
}

TEST(JobPage, FtpDestinationShowsServerAndFolder) {
    StoredJobValues v = FolderJob();
    v.destination.clear();
    v.destIsFtp = true;
    v.ftpHost = L"ftp.example.org";
    v.ftpFolder = L"/copie";
    const JobPageView page = ComputeJobPage(v);
    EXPECT_EQ(page.destinationTitle, L"Cartella ftp destinazione");
    EXPECT_EQ(page.destinationPath, L"ftp.example.org/copie");
    EXPECT_TRUE(page.enabled);
}

TEST(JobPage, NoKindChosenShowsNothingOfAnotherSlot) {
    StoredJobValues v = FolderJob();
    v.atTime = false;
    const JobPageView page = ComputeJobPage(v);
    EXPECT_EQ(page.scheduleText, L"Nessuno");
    EXPECT_FALSE(page.enabled);
}

TEST(JobPage, ReadsTheSlotsOwnValues) {
    test::SettingsGuard guard;
    test::TempFolder data;
    const std::wstring key = L"Software\\Dorvi\\DorviVaultick3.7\\";
    RegKey main = RegKey::Create(HKEY_CURRENT_USER, key + L"Principale");
    main.WriteString(L"Orario3", L"21:40:00");
    main.WriteString(L"TipoFile3", L"1");
    main.WriteString(L"TipoDir3", L"0");
    main.WriteString(L"Orario", L"07:00");
    RegKey::Create(HKEY_CURRENT_USER, key + L"Vaultick3").WriteString(L"ftp-HN", L"host");
    ASSERT_TRUE(WriteFileList(FileListPath(data.Path(), 3), {L"C:\\x.txt"}));
    const StoredJobValues v = ReadStoredJobValues(3, data.Path());
    EXPECT_EQ(v.time, L"21:40:");  // six characters at most
    EXPECT_TRUE(v.isFileList);
    EXPECT_FALSE(v.isFolder);
    EXPECT_EQ(v.ftpHost, L"host");
    EXPECT_EQ(v.files, std::vector<std::wstring>{L"C:\\x.txt"});
}

TEST(JobPage, LastRunLineTellsWhenAndHowTheJobLastRan) {
    const double started = ToDateTime(SYSTEMTIME{2026, 3, 0, 7, 9, 5, 59, 0});
    const auto line = [&](RunOutcome outcome, const wchar_t* dateSep = L"/", const wchar_t* timeSep = L":") {
        return ComputeLastRunLine(LastRunOutcome{started, outcome}, dateSep, timeSep);
    };
    EXPECT_EQ(line(RunOutcome::Completed).text, L"Ultimo backup: 07/03/2026 09:05 - completato");
    EXPECT_EQ(line(RunOutcome::WithErrors).text, L"Ultimo backup: 07/03/2026 09:05 - con errori");
    EXPECT_EQ(line(RunOutcome::Stopped).text, L"Ultimo backup: 07/03/2026 09:05 - interrotto");
    EXPECT_EQ(line(RunOutcome::Completed, L".", L".").text, L"Ultimo backup: 07.03.2026 09.05 - completato");
    EXPECT_EQ(ComputeLastRunLine(std::nullopt, L"/", L":").text, L"Ultimo backup: nessuno");
    // Only errors are drawn in red.
    EXPECT_TRUE(line(RunOutcome::WithErrors).failed);
    EXPECT_FALSE(line(RunOutcome::Completed).failed || line(RunOutcome::Stopped).failed ||
                 ComputeLastRunLine(std::nullopt, L"/", L":").failed);
}

}  // namespace
}  // namespace vt
