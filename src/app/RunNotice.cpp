#include "app/RunNotice.h"

namespace vt {

std::optional<RunNotice> NoticeAfterRun(const RunRecord& run, bool logEnabled, const std::wstring& logPath) {
    if (!run.Failed()) return std::nullopt;
    RunNotice notice;
    notice.title = L"Vaultick - Backup " + std::to_wstring(run.slot);
    notice.text = L"Il backup è terminato con errori.";
    if (logEnabled && !logPath.empty()) {
        notice.text += L" Fare clic qui per aprire il file di log.";
        notice.logPath = logPath;
    }
    return notice;
}

}  // namespace vt
