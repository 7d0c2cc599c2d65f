#pragma once
// Path and file-system helpers shared by every subsystem.
#include <string>
#include <string_view>

namespace vt {

std::wstring ExcludeTrailingBackslash(std::wstring_view path);
std::wstring IncludeTrailingBackslash(std::wstring_view path);
// "C:\a\b.txt" -> "b.txt" and "C:\a".
std::wstring FileNameOf(std::wstring_view path);
std::wstring FolderOf(std::wstring_view path);

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// Creates the folder with every missing parent; true when it exists afterwards.
bool ForceFolders(const std::wstring& path);

std::wstring ModuleFileName();
// A shell folder such as CSIDL_APPDATA or CSIDL_PERSONAL; empty when the shell has none.
std::wstring ShellFolder(int csidl);
std::wstring TempFolder();

}  // namespace vt
