#include "ftp/CertificatePin.h"

namespace vt {

std::string FingerprintHex(const uint8_t* bytes, size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 15];
    }
    return hex;
}

std::string FingerprintPairs(const std::string& hex) {
    std::string out;
    for (size_t i = 0; i < hex.size(); i += 2) {
        if (i > 0) out += ':';
        out += hex.substr(i, 2);
    }
    return out;
}

std::string NormalPin(const std::string& stored) {
    if (stored.size() != 64) return "";
    std::string pin;
    for (char c : stored) {
        if (c >= '0' && c <= '9') pin += c;
        else if (c >= 'a' && c <= 'f') pin += static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'F') pin += c;
        else return "";
    }
    return pin;
}

bool CertificateAccepted(bool trusted, const std::string& fingerprint, const std::string& pin) {
    if (trusted) return true;
    // An empty fingerprint never equals anything, not even an empty or malformed pin.
    const std::string normal = NormalPin(pin);
    return !normal.empty() && fingerprint.size() == 64 && normal == NormalPin(fingerprint);
}

}  // namespace vt
