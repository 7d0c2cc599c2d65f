#include "settings/PasswordScrambling.h"

#include <windows.h>

namespace vt {

namespace {

constexpr wchar_t kEscapeBase = 0xE000;

unsigned char KeyByte(std::string_view key, size_t i) {
    return static_cast<unsigned char>(key[i % key.size()]);
}

}  // namespace

std::string ScramblePassword(std::string_view key, std::string_view clear) {
    if (key.empty()) return std::string(clear);
    const unsigned half = static_cast<unsigned>(key.size() / 2);
    std::string out(clear.size(), '\0');
    for (size_t i = 0; i < clear.size(); ++i)
        out[i] = static_cast<char>((KeyByte(key, i) + static_cast<unsigned char>(clear[i]) + half) & 0xFF);
    return out;
}

std::string UnscramblePassword(std::string_view key, std::string_view scrambled) {
    if (key.empty()) return std::string(scrambled);
    const unsigned half = static_cast<unsigned>(key.size() / 2);
    std::string out(scrambled.size(), '\0');
    for (size_t i = 0; i < scrambled.size(); ++i)
        out[i] = static_cast<char>(
            (static_cast<unsigned char>(scrambled[i]) + 512 - KeyByte(key, i) - half) & 0xFF);
    return out;
}

std::wstring ScrambledToStored(std::string_view scrambled) {
    std::wstring stored;
    stored.reserve(scrambled.size());
    for (const char byte : scrambled) {
        wchar_t wide = 0;
        char back = 0;
        BOOL usedDefault = FALSE;
        const bool carried = byte != '\0' && MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) == 1 &&
                             WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide, 1, &back, 1, nullptr,
                                                 &usedDefault) == 1 &&
                             !usedDefault && back == byte && (wide < kEscapeBase || wide > kEscapeBase + 0xFF);
        stored += carried ? wide : static_cast<wchar_t>(kEscapeBase + static_cast<unsigned char>(byte));
    }
    return stored;
}

std::string StoredToScrambled(std::wstring_view stored) {
    std::string scrambled;
    scrambled.reserve(stored.size());
    for (const wchar_t wide : stored) {
        if (wide >= kEscapeBase && wide <= kEscapeBase + 0xFF) {
            scrambled += static_cast<char>(wide - kEscapeBase);
            continue;
        }
        char byte = '?';
        WideCharToMultiByte(CP_ACP, 0, &wide, 1, &byte, 1, nullptr, nullptr);
        scrambled += byte;
    }
    return scrambled;
}

}  // namespace vt
