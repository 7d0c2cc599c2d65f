#pragma once
// The FTP site of one job, in the job's own section.
#include <optional>
#include <string>

namespace vt {

class SettingsStore;

struct FtpDestination {
    std::wstring host, folder, user;
    std::wstring storedPassword;  // scrambled, as stored
    bool ascii = true;
    bool binary = false;
    bool secure = false;          // explicit TLS
    std::wstring certificatePin;  // as stored; checked where it is used
};

// "ftp-ASCII" is written for the dialog's sake but never read: "ftp-Binari" alone decides.
FtpDestination ReadFtpDestination(const SettingsStore& store, int slot);
// nullopt when the store cannot be opened.
std::optional<FtpDestination> ReadFtpDestination(int slot);
void WriteFtpDestination(int slot, const FtpDestination& ftp);

}  // namespace vt
