#pragma once
// The reversible scrambling that keeps the FTP password out of the registry in clear text.
#include <string>
#include <string_view>

namespace vt {

inline constexpr std::string_view kPasswordKey = "8qzd";

// Byte-wise, one byte out for each byte in; the key is used cyclically from its first byte.
std::string ScramblePassword(std::string_view key, std::string_view clear);
std::string UnscramblePassword(std::string_view key, std::string_view scrambled);

// The scrambled bytes as a registry string and back. Each byte goes through the ANSI code page
// so that stored values stay readable as before; a byte the code page cannot carry alone
// (the 0 byte above all, which would end a registry string) is stored as U+E000 + byte, a
// private-use character that no single ANSI byte ever turns into.
std::wstring ScrambledToStored(std::string_view scrambled);
std::string StoredToScrambled(std::wstring_view stored);

}  // namespace vt
