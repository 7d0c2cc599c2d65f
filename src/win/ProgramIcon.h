#pragma once
// The program's icon, shared by the main resource script and the windows that show it.
#define IDI_VAULTICK 1
