#pragma once
// The program's help: every help request shows its topic of the help file in one viewer
// window, reused from request to request.
#include <windows.h>

#include <string>

namespace vt {

// Makes every RequestHelp show its topic of this file. The file is read at each request, so a
// file that appears or changes later is picked up. A file that cannot be read, or holds no
// topic to show, gives the message "La guida non è disponibile." and nothing else; an unknown
// keyword shows the "Principale" topic.
void InstallHelpViewer(const std::wstring& helpFilePath);
// At the program's end: closes the viewer and stops answering requests.
void CloseHelpViewer();
// The start from the "Guida a Vaultick" shortcut: the main topic in a viewer of its own, with
// the program's only message loop; returns when the user closes the viewer.
void ShowHelpAlone(const std::wstring& helpFilePath);
// The viewer window while it is open, else nullptr.
HWND HelpViewerWindow();

}  // namespace vt
