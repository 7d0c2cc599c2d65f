#pragma once
// Resource ids of the help viewer.
#define IDD_HELPVIEWER 400
#define IDT_HELP_TITLE 401
#define IDE_HELP_TEXT 402
#define IDB_HELP_CLOSE 403
