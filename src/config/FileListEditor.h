#pragma once
// The file-list editor of one FileList job. It edits a copy of the job's list; "Salva" puts the
// copy back. Every close remembers the folders last used for adding.
#include <windows.h>

#include <string>
#include <vector>

#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

class TFormSelezFile : public Form {
public:
    // files: the job record's list, replaced on "Salva". programFolder: where adding starts
    // when no folder is remembered.
    TFormSelezFile(std::vector<std::wstring>& files, std::wstring programFolder);
    ~TFormSelezFile() override;

    Label Label1, Panel1;
    ListBox LB1;
    Button BtnAddFile, BtnSalva, BtnAnnulla, BtnHelp;
    HMENU PopupMenu1 = nullptr;

    const std::wstring& AddFileFolder() const { return addFileFolder_; }
    const std::wstring& AddFolderFolder() const { return addFolderFolder_; }

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnClose() override;
    void OnHint(const std::wstring& hint) override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void CreatePopupMenu1();
    void ShowPopupMenu1(LPARAM where);
    void MenuSelect(UINT item, UINT flags);
    void Append(const std::wstring& entry);
    void AddFiles();
    void AddFolder();
    void RemoveSelection();
    void RemoveAll();
    void BtnSalvaClick();
    void FormClose();

    std::vector<std::wstring>& files_;
    std::wstring programFolder_;
    std::wstring addFileFolder_;
    std::wstring addFolderFolder_;
    int widest_ = 0;
    bool closed_ = false;
};

}  // namespace vt
