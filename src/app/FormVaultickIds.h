#pragma once
// Resource ids of the main window and the program's icons.
#include "win/ProgramIcon.h"  // IDI_VAULTICK
#define IDI_GUIDA 2
#define IDI_RIMUOVI 3
#define IDI_TRAY_ON 4
#define IDI_TRAY_OFF 5
#define IDI_NUM1 11  // .. IDI_NUM1 + 4

#define IDD_VAULTICK 100
#define IDD_VAULTICK_PAGE 102
#define IDC_TABSET1 101
#define IDC_IMAGENUM1 111  // .. IDC_IMAGENUM1 + 4
#define IDT_LABEL6 120
#define IDE_SORG 121
#define IDC_FILESORG 122
#define IDT_LABEL7 123
#define IDE_DEST 124
#define IDT_LABEL8 125
#define IDE_EDIT3 126
#define IDX_ABILITA 127
#define IDB_AVVIA 128
#define IDX_ATTIVA 130
#define IDB_INFO 131
#define IDB_SETUP 132
#define IDB_INSTALLAZ 133
#define IDB_HELP 134
#define IDB_CHIUDI 135
#define IDC_STATUSBAR1 140
#define IDT_EDIT2 141
