#pragma once
// The file-list editor of one FileList job. It edits a copy of the job's list; "Salva" puts the
// copy back. Every close remembers the folders last used for adding.
#include <windows.h>

#include <string>
#include <vector>

#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

class FileListEditor : public Form {
public:
    // files: the job record's list, replaced on "Salva". programFolder: where adding starts
    // when no folder is remembered.
    FileListEditor(std::vector<std::wstring>& files, std::wstring programFolder);
    ~FileListEditor() override;

    Label ListLabel, HintPanel;
    ListBox FileList;
    Button AddFileButton, SaveButton, CancelButton, HelpButton;
    HMENU ListMenu = nullptr;

    const std::wstring& AddFileFolder() const { return addFileFolder_; }
    const std::wstring& AddFolderFolder() const { return addFolderFolder_; }

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnClose() override;
    void OnHint(const std::wstring& hint) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void CreateListMenu();
    void ShowListMenu(LPARAM where);
    void OnMenuSelect(UINT item, UINT flags);
    void Append(const std::wstring& entry);
    void AddFiles();
    void AddFolder();
    void RemoveSelection();
    void RemoveAll();
    void OnSaveClicked();
    void RememberFoldersAndClose();

    std::vector<std::wstring>& files_;
    std::wstring programFolder_;
    std::wstring addFileFolder_;
    std::wstring addFolderFolder_;
    int widest_ = 0;
    bool closed_ = false;
};

}  // namespace vt
