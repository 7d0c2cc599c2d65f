// bench_ftp <host:port> <user> <password> <local file or folder> <remote path> [certificate pin]:
// one session of the FTP client uploads a file, or a folder tree (making its folders), and quits;
// prints the seconds taken. With a pin (SHA-256, 64 hexadecimal digits) the session is over TLS.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ftp/FtpClient.h"

namespace {

bool UploadTree(vt::TFtpClient& ftp, const std::wstring& local, const std::wstring& remote) {
    ftp.HostFileName = remote;
    if (!ftp.Mkd()) fwprintf(stderr, L"MKD %ls: %ls\n", remote.c_str(), ftp.ErrorMessage().c_str());
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((local + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = UploadTree(ftp, local + L"\\" + name, remote + L"/" + name) && ok;
            continue;
        }
        ftp.LocalFileName = local + L"\\" + name;
        ftp.HostFileName = remote + L"/" + name;
        if (!ftp.Put()) {
            fwprintf(stderr, L"STOR %ls: %ls\n", ftp.HostFileName.c_str(), ftp.ErrorMessage().c_str());
            ok = false;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 6 && argc != 7) {
        fwprintf(stderr,
                 L"usage: bench_ftp <host:port> <user> <password> <local file or folder> <remote path> [pin]\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    vt::TFtpClient ftp;
    ftp.HostName = argv[1];
    ftp.UserName = argv[2];
    ftp.PassWord = argv[3];
    if (argc == 7) {
        ftp.Secure = true;
        ftp.CertificatePin = argv[6];
    }
    if (!ftp.Connect()) {
        fwprintf(stderr, L"connect: %ls\n", ftp.ErrorMessage().c_str());
        return 1;
    }
    const std::wstring local = argv[4];
    bool ok;
    const DWORD attributes = GetFileAttributesW(local.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ok = UploadTree(ftp, local, argv[5]);
    } else {
        ftp.LocalFileName = local;
        ftp.HostFileName = argv[5];
        ok = ftp.Put();
        if (!ok) fwprintf(stderr, L"STOR: %ls\n", ftp.ErrorMessage().c_str());
    }
    ftp.Quit();
    QueryPerformanceCounter(&end);
    // The session's own time, from the first connection to the end of the Quit: Wine's start
    // of a process is not the client's doing.
    printf("%.3f\n", double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    return ok ? 0 : 1;
}
