#include "settings/FtpDestination.h"

#include "settings/JobNames.h"
#include "settings/SettingsStore.h"

namespace vt {

FtpDestination ReadFtpDestination(const SettingsStore& store, int slot) {
    const std::wstring section = JobSection(slot);
    FtpDestination ftp;
    ftp.host = store.ReadString(section, kFtpHostValue, L"");
    ftp.folder = store.ReadString(section, kFtpFolderValue, L"");
    ftp.user = store.ReadString(section, kFtpUserValue, L"");
    ftp.storedPassword = store.ReadString(section, kFtpPasswordValue, L"");
    ftp.binary = store.ReadBool(section, kFtpBinaryValue, false);
    ftp.ascii = !ftp.binary;
    ftp.secure = store.ReadBool(section, kFtpTlsValue, false);
    ftp.certificatePin = store.ReadString(section, kFtpCertValue, L"");
    return ftp;
}

std::optional<FtpDestination> ReadFtpDestination(int slot) {
    const SettingsStore store;
    if (!store.IsOpen()) return std::nullopt;
    return ReadFtpDestination(store, slot);
}

void WriteFtpDestination(int slot, const FtpDestination& ftp) {
    const std::wstring section = JobSection(slot);
    SettingsStore store;
    store.WriteString(section, kFtpHostValue, ftp.host);
    store.WriteString(section, kFtpFolderValue, ftp.folder);
    store.WriteString(section, kFtpUserValue, ftp.user);
    store.WriteString(section, kFtpPasswordValue, ftp.storedPassword);
    store.WriteBool(section, kFtpAsciiValue, ftp.ascii);
    store.WriteBool(section, kFtpBinaryValue, ftp.binary);
    store.WriteBool(section, kFtpTlsValue, ftp.secure);
    store.WriteString(section, kFtpCertValue, ftp.certificatePin);
}

}  // namespace vt
