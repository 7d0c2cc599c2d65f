#include "ftp/FtpReply.h"

#include <cstring>

namespace vt {

void ReplyAssembler::Feed(const char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        buffer_.push_back(bytes[i]);
        if (bytes[i] == '\n') {
            pending_ = 0;
        } else if (++pending_ >= kCapacity) {
            buffer_.push_back('\n');
            pending_ = 0;
        }
    }
}

bool ReplyAssembler::NextLine(std::string& line) {
    size_t end = buffer_.find('\n');
    if (end == std::string::npos) return false;
    line = buffer_.substr(0, end);
    buffer_.erase(0, end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return true;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

ReplyLine ClassifyReplyLine(const std::string& line, int& code) {
    size_t digits = 0;
    while (digits < line.size() && IsDigit(line[digits])) ++digits;
    if (digits == 0 || (digits < line.size() && line[digits] == '-')) return ReplyLine::Continues;
    if (digits != 3) return ReplyLine::Malformed;
    const int value = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    if (value < 100 || value > 599) return ReplyLine::Malformed;
    code = value;
    return ReplyLine::Completes;
}

bool ParsePassiveReply(const std::string& line, uint32_t& address, uint16_t& port) {
    size_t i = 3;
    while (i < line.size() && !IsDigit(line[i])) ++i;
    if (i >= line.size() || line[i - 1] == '+' || line[i - 1] == '-') return false;
    unsigned char bytes[6];
    for (int n = 0; n < 6; ++n) {
        if (n > 0 && (i >= line.size() || line[i++] != ',')) return false;
        // Some servers write "(1, 2, 3, ...)".
        while (n > 0 && i < line.size() && line[i] == ' ') ++i;
        unsigned value = 0;
        size_t digits = 0;
        for (; i < line.size() && IsDigit(line[i]); ++i, ++digits)
            if (digits < 3) value = value * 10 + (line[i] - '0');
        if (digits == 0 || digits > 3 || value > 255) return false;
        bytes[n] = static_cast<unsigned char>(value);
    }
    if (i < line.size() && (IsDigit(line[i]) || line[i] == ',')) return false;
    const uint16_t announced = static_cast<uint16_t>(bytes[4] * 256 + bytes[5]);
    if (announced == 0) return false;
    std::memcpy(&address, bytes, 4);
    port = announced;
    return true;
}

}  // namespace vt
