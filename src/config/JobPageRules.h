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
    std::wstring sorg1;               // EditSorg1
    std::vector<std::wstring> files;  // entries of EditSorg2
    int fileIndex = -1;               // selected entry of EditSorg2
    std::wstring sorg3, dest1, dest2, dest3;
    int scheduleKind = -1;  // -1: nothing selected
    int dataKind = -1;
    bool ftp = false;
    std::wstring ora;  // the time field's value, blanks for unfilled positions
    std::wstring ore, giorni;
};

// StorePage: the page into the slot's record.
void StorePageValues(const JobPageValues& page, BackupJob& job);
// ShowPage: the record onto the page; a kind box keeps its selection when no flag is set.
void ShowPageValues(const BackupJob& job, JobPageValues& page);

enum class TimePanel { None, Orario, Giorni, Ore };
// Which time field a schedule kind shows; nothing when no kind is selected.
std::optional<TimePanel> TimePanelFor(int scheduleKind);

struct DataKindLayout {
    const wchar_t* label1;
    const wchar_t* label2;
    int source;       // 1..3: EditSorg1..3
    int destination;  // 1..3: EditDest1..3
    bool destinationChoice;  // BtnBrowse2 and CBFTP visible
};
std::optional<DataKindLayout> DataKindLayoutFor(int dataKind);

}  // namespace vt
