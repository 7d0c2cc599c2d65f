#include "engine/FtpUpload.h"

#include <exception>

#include "engine/CopyNaming.h"
#include "engine/EngineFiles.h"
#include "engine/FileListCopy.h"
#include "engine/FolderCopy.h"
#include "engine/SourceWalk.h"
#include "engine/TimeStamps.h"
#include "ftp/CertificatePin.h"
#include "ftp/FtpClient.h"
#include "settings/FtpDestination.h"
#include "settings/JobValues.h"
#include "settings/PasswordScrambling.h"
#include "settings/SettingsStore.h"
#include "win/Clock.h"
#include "win/MessagePump.h"
#include "win/Paths.h"
#include "win/Text.h"

namespace vt {

void RunFtpFolderJob(RunContext& run) {
    if (!ConnectFtp(run)) return;
    // Read after logging in, not taken from the start of the run: the message loop ran
    // meanwhile, and the source has always been read at this point of an FTP run.
    const std::wstring source = TypedPath(ReadJobValues(run.slot).source);
    const std::wstring stamp = FolderStamp(LocalNow());
    run.datedDestination = RemoteDatedDestination(run.remoteBase, SourceFolderName(source) + L"_" + stamp);
    EnsureRemoteFolders(run, run.datedDestination);
    run.sourceRoot = SourceRoot(source);
    if (run.sourceRoot.empty() || (run.sourceRoot[0] != L'\\' && !DriveReady(run.sourceRoot[0])))
        return run.Refuse(L"Percorso sorgente non pronto : " + run.sourceRoot);
    if (!CheckSourceRoot(run)) return;
    run.stopRequested = false;
    UploadFolderTree(run, run.sourceRoot + L"\\");
    run.Log(L"Copia sul sito ftp effettuata : " + LogTimeNow());
}

void RunFtpFileListJob(RunContext& run, const std::vector<std::wstring>& files) {
    const std::wstring stamp = FolderStamp(LocalNow());
    run.datedDestination = RemoteDatedDestination(run.remoteBase, L"File" + std::to_wstring(run.slot) + L"_" + stamp);
    EnsureRemoteFolders(run, run.datedDestination);
    run.stopRequested = false;
    run.Status(L"ATTENDERE! Copia backup in corso... Premere <Esc> per fermare");
    UploadFileList(run, files);
    run.Log(L"Copia sul sito ftp effettuata : " + LogTimeNow());
}

bool ConnectFtp(RunContext& run) {
    TFtpClient& ftp = *run.ftp;
    run.knownRemoteFolders.clear();
    bool connected = false;
    bool securityTold = false;
    try {
        for (int attempt = 1; attempt <= 3 && !connected; ++attempt) {
            run.Status(L"ATTENDERE! Connessione al sito ftp in corso... (tentativo " + std::to_wstring(attempt) + L")");
            {
                // Read at every attempt: the message loop runs in the wait between attempts.
                const FtpDestination site = ReadFtpDestination(SettingsStore(), run.slot);
                ftp.HostName = site.host;
                run.remoteBase = site.folder;
                ftp.UserName = site.user;
                ftp.PassWord = FromAnsi(UnscramblePassword(kPasswordKey, StoredToScrambled(site.storedPassword)));
                ftp.Binary = site.binary;
                ftp.Secure = site.secure;
                ftp.CertificatePin = site.certificatePin;
            }
            connected = ftp.Connect();
            // The attempts go on as for any failure (the server may be a different one next
            // time); the reason is told once.
            if (!connected && !securityTold && ftp.SecurityFailure() == FtpSecurityFailure::Refused) {
                run.Fail(L"Il server ftp non accetta connessioni protette");
                securityTold = true;
            }
            if (!connected && !securityTold && ftp.SecurityFailure() == FtpSecurityFailure::Untrusted) {
                run.Fail(L"Certificato del server ftp non attendibile : " +
                         FromAnsi(FingerprintPairs(ftp.ServerFingerprint())));
                securityTold = true;
            }
            // The program is ending: no further attempt.
            if (!connected && !WaitSeconds(3)) break;
        }
    } catch (const std::exception&) {
        run.Fail(L"Problemi durante la connessione al sito ftp");
    }
    if (connected) {
        run.Status(L"Connesso");
        return true;
    }
    run.Status(L"Non connesso. Chiusura in corso...");
    run.Fail(L"Sito ftp non trovato o connessione non attivata");
    WaitSeconds(3);
    return false;
}

std::wstring RemoteDatedDestination(std::wstring base, const std::wstring& datedName) {
    // "backup/" would give "/backup//name" and a request for the empty folder between.
    while (!base.empty() && base.back() == L'/') base.pop_back();
    std::wstring path = base + L"/" + datedName;
    return path[0] == L'/' ? path : L"/" + path;
}

// Equal to a known folder, or an ancestor of one. A bare substring test would also take a
// sibling with a longer name ("Data2" for "Data"), and the files of the shorter one would
// then go to a folder that was never made.
bool IsKnownRemoteFolder(const std::vector<std::wstring>& known, std::wstring path) {
    if (!path.empty() && path.back() == L'/') path.pop_back();
    for (const std::wstring& folder : known) {
        if (folder.compare(0, path.size(), path) != 0) continue;
        if (folder.size() == path.size() || folder[path.size()] == L'/') return true;
    }
    return false;
}

void EnsureRemoteFolders(RunContext& run, const std::wstring& path) {
    if (path.empty() || IsKnownRemoteFolder(run.knownRemoteFolders, path)) return;
    std::wstring rest = path.substr(1);
    if (rest.empty() || rest.back() != L'/') rest += L'/';
    std::wstring prefix;
    for (size_t cut = rest.find(L'/'); cut != std::wstring::npos; cut = rest.find(L'/')) {
        prefix += L"/" + rest.substr(0, cut);
        if (!IsKnownRemoteFolder(run.knownRemoteFolders, prefix)) MakeRemoteFolder(run, prefix);
        rest.erase(0, cut + 1);
    }
}

void MakeRemoteFolder(RunContext& run, const std::wstring& path) {
    run.ftp->HostFileName = path;
    if (run.ftp->Mkd()) run.knownRemoteFolders.push_back(path);
    else run.Log(L"Cartella non creata (già esistente) : " + path);
}

void UploadFolderTree(RunContext& run, const std::wstring& root) {
    SourceWalk walk(run, [&](const std::wstring& folder, const std::vector<FolderEntry>& entries) {
        const std::wstring remoteFolder = run.datedDestination + RelativeFolder(run.sourceRoot, folder, true);
        bool first = true;
        for (const FolderEntry& entry : entries) {
            if (entry.IsFolder()) continue;
            if (run.AskStop(L"ATTENDERE! Chiusura in corso...")) return false;
            run.host.Repaint();
            run.Status(L"Copia file su sito ftp : " + entry.name);
            if (first) EnsureRemoteFolders(run, remoteFolder);
            first = false;
            UploadFile(run, folder + entry.name, remoteFolder + entry.name);
        }
        return true;
    });
    walk.Run(root);
}

void UploadFileList(RunContext& run, const std::vector<std::wstring>& files) {
    for (const std::wstring& entry : files) {
        run.host.Repaint();
        if (run.AskStop(L"ATTENDERE! Chiusura in corso...")) break;
        run.Status(L"Copia File su ftp : " + EntryFileName(entry));
        UploadFile(run, entry, run.datedDestination + L"/" + EntryFileName(entry));
    }
}

void UploadFile(RunContext& run, const std::wstring& local, const std::wstring& remote) {
    try {
        run.ftp->LocalFileName = LongPath(local);
        run.ftp->HostFileName = remote;
        if (!run.ftp->Put()) run.Fail(L"File non copiato (corrotto o in uso) : " + local);
    } catch (const std::exception&) {
    }
}

}  // namespace vt
