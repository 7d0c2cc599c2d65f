#pragma once
// What the set-up window's job page holds, how it goes into and out of a job record, and which
// of the overlapping controls each choice shows. No window here.
#include <optional>
#include <string>
#include <vector>

#include "settings/BackupJob.h"

namespace vt {

// Items of the kind boxes, in the order of the job flags.
enum ScheduleItem { kAtTime = 0, kAtStartup, kAtShutdown, kEveryNDays, kEveryNHours, kManual };
enum DataItem { kFolder = 0, kFileList, kLaunchProgram };

struct JobPageValues {
    std::wstring sourceFolder;
    std::vector<std::wstring> files;
    int fileIndex = -1;  // selected entry of the file box
    std::wstring program, destinationFolder, fileListDestination, commandLine;
    int scheduleKind = -1;  // -1: nothing selected
    int dataKind = -1;
    bool ftp = false;
    std::wstring time;  // the time field's value, blanks for unfilled positions
    std::wstring hours, days;
    bool catchUp = false;  // "Recupera se perso"
};

// StorePage: the page into the slot's record.
void StorePageValues(const JobPageValues& page, BackupJob& job);
// ShowPage: the record onto the page; a kind box keeps its selection when no flag is set.
void ShowPageValues(const BackupJob& job, JobPageValues& page);

enum class TimePanel { None, Time, Days, Hours };
// Which time field a schedule kind shows; nothing when no kind is selected.
std::optional<TimePanel> TimePanelFor(int scheduleKind);

struct DataKindLayout {
    const wchar_t* sourceLabel;
    const wchar_t* destinationLabel;
    int source;       // 1..3: source folder, file box, program
    int destination;  // 1..3: destination folder, files' destination, command line
    bool destinationChoice;  // the destination's browse button and the FTP check box show
};
std::optional<DataKindLayout> DataKindLayoutFor(int dataKind);

}  // namespace vt
