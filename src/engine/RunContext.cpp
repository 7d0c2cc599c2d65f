#include "engine/RunContext.h"

#include "engine/StopKey.h"
#include "win/NotifyUser.h"

namespace vt {

bool RunContext::AskStop(const wchar_t* closing, const std::function<void()>& beforeLine) {
    if (!EscapePressed()) return false;
    Status(L"Backup Bloccato da Utente.");
    if (AskYesNo(L"Interrompere il Backup?") != YesNo::Yes) {
        host.Repaint();
        return false;
    }
    if (beforeLine) beforeLine();
    Log(L"Backup Bloccato da Utente.");
    stopRequested = true;
    stoppedByUser = true;
    Status(closing);
    return true;
}

}  // namespace vt
