#pragma once
// Resource ids of the main window and its job page.
#define IDD_MAIN_WINDOW 100
#define IDD_JOB_PAGE 102
#define IDC_JOB_TABS 101
#define IDC_SLOT_PICTURE1 111  // one per slot, in order
#define IDC_SLOT_PICTURE2 112
#define IDC_SLOT_PICTURE3 113
#define IDC_SLOT_PICTURE4 114
#define IDC_SLOT_PICTURE5 115
#define IDT_SOURCE_TITLE 120
#define IDE_SOURCE 121
#define IDC_SOURCE_FILES 122
#define IDT_DESTINATION_TITLE 123
#define IDE_DESTINATION 124
#define IDT_SCHEDULE_TITLE 125
#define IDE_SCHEDULE 126
#define IDX_JOB_ENABLED 127
#define IDB_RUN_NOW 128
#define IDT_LAST_RUN 129
#define IDX_PROGRAM_ON 130
#define IDB_ABOUT 131
#define IDB_SET_UP 132
#define IDB_INSTALLATION 133
#define IDB_HELP 134
#define IDB_EXIT 135
#define IDC_STATUS_BAR 140
#define IDT_CLOCK 141
