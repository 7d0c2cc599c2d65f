#pragma once
// Resource ids of the main window.
#define IDD_VAULTICK 100
