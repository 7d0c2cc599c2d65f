#pragma once
// The "GoUninstal" run: reads the uninstall log next to the uninstaller, deletes what it
// lists, deletes the log and tells the user what could not be removed.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "uninstaller/RunScreen.h"
#include "uninstaller/UninstallLog.h"

namespace vt::sweepex {

class UninstallRun {
public:
    // ownFolder: the uninstaller's folder, without trailing backslash, where the log lies.
    UninstallRun(std::wstring ownFolder, std::wstring productName, RunScreen& screen);

    // The whole run; waitForMainProgram is called once the log is known to be there.
    void Run(const std::function<void()>& waitForMainProgram);

    // Carries out the steps in order; BaseFolder follows the "[dircorrente]" steps.
    void Execute(const std::vector<Step>& steps);
    void DeleteTreeFlagged(const std::wstring& folderWithBackslash);
    void EmptyFolderPrompt(const std::wstring& folder);

    bool RemovalIncomplete() const { return removalIncomplete_; }
    const std::wstring& BaseFolder() const { return baseFolder_; }
    std::wstring LogPath() const;

private:
    void ExecuteStep(const Step& step);
    void DeleteTreeStep(const std::wstring& folder);
    void DeleteMatching(const std::wstring& folder, const std::wstring& extension);

    std::wstring ownFolder_;
    std::wstring productName_;
    RunScreen& screen_;
    std::wstring baseFolder_;
    bool removalIncomplete_ = false;
};

// Deletes a file of the "[file...]" sections: read-only ones too; false when it is missing
// or stays. A file that stays gets its attributes back.
bool DeleteListedFile(const std::wstring& path);

}  // namespace vt::sweepex
