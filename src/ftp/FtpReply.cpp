#include "ftp/FtpReply.h"

#include <cctype>

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

bool CompletesReply(const std::string& line, int& code) {
    if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0]))) return false;
    size_t i = 0;
    int value = 0;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])) && value < 100000)
        value = value * 10 + (line[i++] - '0');
    if (i < line.size() && line[i] == '-') return false;
    code = value;
    return true;
}

}  // namespace vt
