#pragma once
// The guard in front of every tree deletion. Deleting "everything below" a path must never
// start from the root of a drive or share, nor from a device or volume name, however the path
// is spelled: letter case, "/" for "\", doubled separators, "." and "..", trailing dots and
// blanks, the "\\?\" and "\\.\" prefixes.
#include <string>
#include <string_view>

namespace vt {

// True for an absolute path below the root of a drive or share: "X:\name..." or
// "\\server\share\name...", also in the long forms "\\?\X:\name..." and
// "\\?\UNC\server\share\name...". Everything else is refused: empty, relative and rooted
// paths, roots, device paths ("\\.\"), volume and GLOBALROOT names, object-manager paths
// ("\??\"), and names the system would read as wildcards, streams or "nothing".
bool IsAbsoluteBelowRoot(const std::wstring& path);

// One name inside a folder: not empty, no separator, drive or stream colon, wildcard or
// control character, and not made of dots and blanks only ("..", "...", " ").
bool IsPlainName(std::wstring_view name);

// The path made absolute against the current folder, as the system itself would; empty
// when the system cannot.
std::wstring AbsolutePathOf(const std::wstring& path);

}  // namespace vt
