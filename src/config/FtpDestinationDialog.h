#pragma once
// The FTP destination of one job: server, folder, user, password (stored scrambled), transfer type.
#include <string>

#include "config/ToolTips.h"
#include "win/Controls.h"
#include "win/Form.h"

namespace vt {

inline constexpr int kMaxFtpPassword = 200;

// Host, folder and user are required; the password may be empty.
bool FtpDataComplete(const std::wstring& host, const std::wstring& folder, const std::wstring& user);
// The remote folder as stored: with a leading "/".
std::wstring WithLeadingSlash(const std::wstring& folder);
// The password as the store keeps it, and back.
std::wstring StoredFtpPassword(const std::wstring& password);
std::wstring FtpPasswordFromStore(const std::wstring& stored);
// The question for a certificate the system does not trust; `fingerprint` is 64 hex digits.
std::wstring UntrustedCertificateQuestion(const std::string& fingerprint);

class FtpDestinationDialog : public Form {
public:
    explicit FtpDestinationDialog(int slot);

    Label HostLabel, FolderLabel, UserLabel, PasswordLabel;
    Edit HostEdit, FolderEdit, UserEdit, PasswordEdit;
    RadioButton AsciiRadio, BinaryRadio;
    CheckBox SecureCheck;
    Button CancelButton, SaveButton, HelpButton, CheckButton;
    ToolTips Hints;

protected:
    void OnCreate() override;
    void OnCommand(int id, int notifyCode) override;
    void OnClose() override;

private:
    void ReadValues();
    void OnSaveClicked();
    void OnCheckClicked();
    // One connection with the dialog's values; false when the check is over.
    bool TryConnection();

    int slot_;
    std::wstring certificatePin_;  // stored on Save; set by a Yes to the fingerprint question
    bool checking_ = false;
};

}  // namespace vt
