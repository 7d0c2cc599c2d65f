#pragma once
// A Folder or FileList job sent to an FTP site: log-in attempts, the remote folders and the
// upload of each file.
#include <string>
#include <vector>

#include "engine/RunContext.h"

namespace vt {

// The whole job with an FTP destination, from the connection to the closing line.
void RunFtpFolderJob(RunContext& run);
void RunFtpFileListJob(RunContext& run, const std::vector<std::wstring>& files);

// Up to three log-in attempts with the job's settings read afresh at each; true when logged in.
bool ConnectFtp(RunContext& run);

// base + "/" + dated name, always absolute.
std::wstring RemoteDatedDestination(std::wstring base, const std::wstring& datedName);
// A folder counts as known when this connection made it or one of its sub-folders.
bool IsKnownRemoteFolder(const std::vector<std::wstring>& known, std::wstring path);
// Makes every folder along an absolute remote path that is not known yet.
void EnsureRemoteFolders(RunContext& run, const std::wstring& path);
void MakeRemoteFolder(RunContext& run, const std::wstring& path);

// The source tree from its root (ending with "\"): each folder's files, then its sub-folders.
void UploadFolderTree(RunContext& run, const std::wstring& root);
void UploadFileList(RunContext& run, const std::vector<std::wstring>& files);
void UploadFile(RunContext& run, const std::wstring& local, const std::wstring& remote);

}  // namespace vt
