#pragma once
// The program's icons, shared by the resource script and the code.
#include "win/ProgramIcon.h"  // IDI_VAULTICK, the program's own
#define IDI_HELP_SHORTCUT 2
#define IDI_REMOVAL_SHORTCUT 3
#define IDI_TRAY_ON 4
#define IDI_TRAY_OFF 5
// One picture per job slot on the job page.
#define IDI_SLOT1 11
#define IDI_SLOT2 12
#define IDI_SLOT3 13
#define IDI_SLOT4 14
#define IDI_SLOT5 15
