#pragma once
#define IDD_TESTFORM 200
#define IDB_THROW 201
#define IDE_TEXT 202
