#pragma once
// Every registry key, section and value name the program uses, with the defaults and cuts its
// readers apply. No other source file spells these names; the typed records in this folder
// read and write them.
#include "win/Product.h"

namespace vt {

// The per-user settings key; the version is part of its name.
inline constexpr wchar_t kSettingsKey[] = L"Software\\Dorvi\\DorviVaultick" VT_PRODUCT_VERSION;

inline constexpr wchar_t kMainSection[] = L"Principale";
inline constexpr wchar_t kCopiesSection[] = L"NrBackup";
inline constexpr wchar_t kLogSection[] = L"FileLog";
// Followed by the slot digit: the slot's own section.
inline constexpr wchar_t kJobSectionPrefix[] = L"Vaultick";

// Per-job values in kMainSection, named for slot 1; slots 2 to 5 append their digit.
inline constexpr wchar_t kSourceValue[] = L"Sorgente";
inline constexpr wchar_t kProgramValue[] = L"SorgenteExe";
inline constexpr wchar_t kDestinationValue[] = L"Destinazione";
inline constexpr wchar_t kFileListDestinationValue[] = L"DestinazioneFile";
inline constexpr wchar_t kCommandLineValue[] = L"DestinazioneExe";
inline constexpr wchar_t kTimeValue[] = L"Orario";
inline constexpr wchar_t kAtTimeValue[] = L"TipoOrario";
inline constexpr wchar_t kAtStartupValue[] = L"Avvio";
inline constexpr wchar_t kAtShutdownValue[] = L"Chiusura";
inline constexpr wchar_t kIsFolderValue[] = L"TipoDir";
inline constexpr wchar_t kIsFileListValue[] = L"TipoFile";
inline constexpr wchar_t kIsProgramValue[] = L"TipoExe";
inline constexpr wchar_t kJobEnabledValue[] = L"Attesa";
// An AtTime job whose minute passed while the program was not running runs when it can.
inline constexpr wchar_t kCatchUpValue[] = L"Recupera";

// Per-job values in the slot's own section.
inline constexpr wchar_t kEveryNDaysValue[] = L"Giorni";
inline constexpr wchar_t kEveryNHoursValue[] = L"Ore";
inline constexpr wchar_t kManualValue[] = L"Manuale";
inline constexpr wchar_t kDaysIntervalValue[] = L"NrGiorni";
inline constexpr wchar_t kHoursIntervalValue[] = L"NrOre";
inline constexpr wchar_t kDestIsFtpValue[] = L"DestFTP";
inline constexpr wchar_t kLastRunValue[] = L"Tempo";
// The full path of the job's last complete local copy, which retention never removes.
inline constexpr wchar_t kLastCompleteCopyValue[] = L"UltimaCompleta";
// The start of the job's last run and what became of it (LastRunOutcome).
inline constexpr wchar_t kLastStartValue[] = L"UltimoAvvio";
inline constexpr wchar_t kLastOutcomeValue[] = L"UltimoEsito";
inline constexpr wchar_t kFtpHostValue[] = L"ftp-HN";
inline constexpr wchar_t kFtpFolderValue[] = L"ftp-HDN";
inline constexpr wchar_t kFtpUserValue[] = L"ftp-UN";
inline constexpr wchar_t kFtpPasswordValue[] = L"ftp-Pswd";
inline constexpr wchar_t kFtpAsciiValue[] = L"ftp-ASCII";
inline constexpr wchar_t kFtpBinaryValue[] = L"ftp-Binari";
inline constexpr wchar_t kFtpTlsValue[] = L"ftp-TLS";
// SHA-256 fingerprint of a server certificate the system does not trust, 64 hexadecimal digits.
inline constexpr wchar_t kFtpCertValue[] = L"ftp-Cert";

// Defaults of the per-job values (strings default to empty, flags to false, unless named here).
inline constexpr wchar_t kTimeDefault[] = L"--:--";
inline constexpr bool kAtTimeDefault = true;
inline constexpr bool kIsFolderDefault = true;
// The schedule snapshot has always read "TipoOrario" and "Orario" with these instead: a job
// whose values were never saved then runs at no time of day.
inline constexpr bool kAtTimeDefaultForSchedule = false;
inline constexpr wchar_t kTimeDefaultForSchedule[] = L"";

// How much of "Orario" each reader keeps: the set-up window's field holds 5 characters, the
// job page has always shown up to 6, the schedule snapshot keeps 7.
inline constexpr size_t kTimeCutForSetupWindow = 5;
inline constexpr size_t kTimeCutForJobPage = 6;
inline constexpr size_t kTimeCutForSchedule = 7;
// The set-up window's interval fields hold 2 characters.
inline constexpr size_t kIntervalCutForSetupWindow = 2;

// Global values in kMainSection.
inline constexpr wchar_t kTrayIconValue[] = L"Task Bar";
inline constexpr bool kTrayIconDefault = false;
inline constexpr wchar_t kShowDuringRunValue[] = L"Mostra";
inline constexpr bool kShowDuringRunDefault = true;
inline constexpr wchar_t kProgramOnValue[] = L"CBAttiva";
inline constexpr bool kProgramOnDefault = true;
inline constexpr wchar_t kSelectedPageValue[] = L"Selez";
inline constexpr wchar_t kWindowHandleValue[] = L"HProc";
inline constexpr wchar_t kShowInstallValue[] = L"ShowInst";
inline constexpr bool kShowInstallDefault = true;
inline constexpr wchar_t kInstalledVersionValue[] = L"Versione";
// When the program last saw the clock (a tick, or its orderly end) and when the computer last
// went to sleep under it: a minute after both passed while nothing was watching.
inline constexpr wchar_t kLastSeenValue[] = L"UltimoControllo";
inline constexpr wchar_t kSuspendedValue[] = L"Sospensione";
// Folders last used by the file-list editor; their default is the program folder.
inline constexpr wchar_t kAddFilesFolderValue[] = L"CartAddFile";
inline constexpr wchar_t kAddFolderFolderValue[] = L"CartAddCard";

// kCopiesSection: the one copy policy of all jobs, Limited(2) when nothing is stored.
inline constexpr wchar_t kNoCopiesValue[] = L"RB1";
inline constexpr wchar_t kUnlimitedValue[] = L"RB2";
inline constexpr wchar_t kLimitedValue[] = L"RB3";
inline constexpr wchar_t kCopiesCountValue[] = L"NumBkp";
inline constexpr int kCopiesCountDefault = 2;
// Beside the policy: unchanged files are linked to the previous copy.
inline constexpr wchar_t kLinkUnchangedValue[] = L"Collega";

// kLogSection; the folder defaults to the user's documents folder. This "CBAttiva" is not the
// one in kMainSection.
inline constexpr wchar_t kLogFolderValue[] = L"CartDest";
inline constexpr wchar_t kLogEnabledValue[] = L"CBAttiva";

// The machine-wide values, in kMainSection of kSettingsKey under HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kInstallingUserValue[] = L"Utente";
inline constexpr wchar_t kAllUsersValue[] = L"Per Tutti";

// The autostart entry: a value of the per-user Run key.
inline constexpr wchar_t kRunKey[] = L"SoftWare\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kAutostartValue[] = L"Vaultick";

// Written and deleted to learn whether the user may write the machine's hive.
inline constexpr wchar_t kAdminProbeKey[] = L"Software\\ProvaKeyDorvi";
// Where another user's hive is mounted under HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kTempHiveKey[] = L"DorviTempKey";
// The shell's own value naming the Quick Launch folder, read where no folder lookup answers.
inline constexpr wchar_t kQuickLaunchValue[] = L"Quick Launch";

}  // namespace vt
