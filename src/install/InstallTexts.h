#pragma once
// What the installation dialog says, by mode and by who the user is.
#include <string>

#include "install/InstallDialog.h"

namespace vt {

// The product's name in captions, shortcuts and the uninstaller's command line.
inline constexpr wchar_t kProductName[] = L"Vaultick";

std::wstring InstallCaption(InstallMode mode, bool isNT, bool isAdmin);
std::wstring UserRadioCaption(const std::wstring& currentUser);

// What uninstall mode does before it is shown.
enum class UninstallGate { NotAdministrator, AskOtherInstaller, Proceed };
UninstallGate UninstallGateFor(bool isAdmin, const std::wstring& installingUser, const std::wstring& currentUser);

inline constexpr wchar_t kNotAdminMessage[] =
    L"Non è possibile disinstallare da questo profilo,\rsolo l'amministratore può effettuare questa operazione.";
std::wstring OtherInstallerQuestion(const std::wstring& installingUser);
inline constexpr wchar_t kLoggedOnChangeQuestion[] =
    L"Uno o più utenti risulta attualmente collegato.\rPer rendere le modifiche effettive a tutti, si consiglia di "
    L"riavviare e riprovare.\rContinuare ugualmente?";
inline constexpr wchar_t kLoggedOnRemoveQuestion[] =
    L"Uno o più utenti risulta attualmente collegato.\rProseguendo con la disinstallazione non tutti i dati verranno "
    L"rimossi.\rContinuare ugualmente?";
// The uninstaller could not be made ready: nothing has been removed.
inline constexpr wchar_t kRemovalNotStartedMessage[] =
    L"Impossibile avviare la disinstallazione.\rNon è stato rimosso nulla.";

}  // namespace vt
