#pragma once
// What the user is told, from the tray, after a run that did not go well.
#include <optional>
#include <string>

#include "engine/RunRecord.h"

namespace vt {

struct RunNotice {
    std::wstring title;    // "Vaultick - Backup N"
    std::wstring text;
    std::wstring logPath;  // opened by a click on the balloon; empty when there is no log to open
};

// Nothing for a run that went well. With the log switch off the balloon still tells of the
// failure, but offers no click.
std::optional<RunNotice> NoticeAfterRun(const RunRecord& run, bool logEnabled, const std::wstring& logPath);

}  // namespace vt
