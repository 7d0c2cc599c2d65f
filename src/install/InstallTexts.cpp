#include "install/InstallTexts.h"

#include "win/Text.h"

namespace vt {

std::wstring InstallCaption(InstallMode mode, bool isNT, bool isAdmin) {
    const std::wstring product = kProductName;
    const std::wstring role = isNT ? L"Amministratore" : L"";
    switch (mode) {
        case InstallMode::Install:
            return product + (isAdmin ? L" - Installazione " + role : L" - Installazione Utente");
        case InstallMode::Change:
            return product + (isAdmin ? L" - Modifica Installazione " + role : L" - Modifica Installazione Utente");
        case InstallMode::Uninstall:
            return L"Dorvi " + product + L" - Disinstallazione";
    }
    return product;
}

std::wstring UserRadioCaption(const std::wstring& currentUser) { return L"Per l'utente \"" + currentUser + L"\""; }

UninstallGate UninstallGateFor(bool isAdmin, const std::wstring& installingUser, const std::wstring& currentUser) {
    if (!isAdmin) return UninstallGate::NotAdministrator;
    if (!EqualsNoCase(installingUser, currentUser)) return UninstallGate::AskOtherInstaller;
    return UninstallGate::Proceed;
}

std::wstring OtherInstallerQuestion(const std::wstring& installingUser) {
    return L"Questo programma è stato installato dall'utente \"" + installingUser +
           L"\"\rpertanto è opportuno che sia lui a procedere alla disinstallazione.\rContinuare ugualmente?";
}

}  // namespace vt
