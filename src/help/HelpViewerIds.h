#pragma once
// Resource ids of the help viewer.
#define IDD_HELPVIEWER 400
#define IDT_HELP_TITLE 401
#define IDE_HELP_TEXT 402
#define IDB_HELP_CLOSE 403
#define IDT_HELP_TOPICS 404
#define IDL_HELP_TOPICS 405
#define IDB_HELP_BACK 406
