#include "help/HelpViewer.h"

#include <memory>

#include "help/HelpWindow.h"
#include "help/HelpFile.h"
#include "win/Help.h"
#include "win/MessagePump.h"
#include "win/NotifyUser.h"

namespace vt {

namespace {

std::unique_ptr<HelpWindow> g_viewer;

void ShowHelp(const std::wstring& helpFile, const std::wstring& keyword) {
    const std::optional<std::string> bytes = ReadHelpFile(helpFile);
    HelpTopics topics = bytes ? ParseHelpFile(*bytes) : HelpTopics();
    const HelpTopic* topic = FindTopic(topics, keyword);
    if (!topic) topic = FindTopic(topics, L"Principale");
    if (!topic) {
        ShowMessage(L"La guida non è disponibile.", kNotifyInformation);
        return;
    }
    // A viewer the user closed is gone: a fresh one takes its place.
    if (!g_viewer || !g_viewer->Handle()) {
        g_viewer = std::make_unique<HelpWindow>();
        if (!g_viewer->CreateModeless(nullptr)) {
            g_viewer.reset();
            ShowMessage(L"La guida non è disponibile.", kNotifyInformation);
            return;
        }
    }
    HWND window = g_viewer->Handle();
    const std::wstring shown = topic->keyword;
    g_viewer->SetTopics(std::move(topics));
    g_viewer->ShowTopic(shown);
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window);
}

}  // namespace

void InstallHelpViewer(const std::wstring& helpFilePath) {
    SetHelpHandler([helpFilePath](const std::wstring& keyword) { ShowHelp(helpFilePath, keyword); });
}

void CloseHelpViewer() {
    SetHelpHandler(nullptr);
    g_viewer.reset();
}

void ShowHelpAlone(const std::wstring& helpFilePath) {
    InstallHelpViewer(helpFilePath);
    RequestHelp(L"Principale");
    // Without a topic to show, the message has been given: nothing is left to wait for.
    if (g_viewer && g_viewer->Handle()) {
        g_viewer->EndProgramWhenClosed();
        RunMessageLoop();
    }
    CloseHelpViewer();
}

HWND HelpViewerWindow() { return g_viewer ? g_viewer->Handle() : nullptr; }

}  // namespace vt
