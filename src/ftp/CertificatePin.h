#pragma once
// The fingerprint a job keeps for a server certificate the system does not trust.
#include <cstdint>
#include <string>

namespace vt {

// 64 upper-case hexadecimal digits of 32 bytes.
std::string FingerprintHex(const uint8_t* bytes, size_t count);
// "AB:CD:..." for showing to a person.
std::string FingerprintPairs(const std::string& hex);
// A stored pin in its normal form (64 upper-case digits); empty when it is not one.
std::string NormalPin(const std::string& stored);
// The certificate may be used: trusted by the system, or its fingerprint equals the pin.
bool CertificateAccepted(bool trusted, const std::string& fingerprint, const std::string& pin);

}  // namespace vt
