#pragma once
// Reply lines of the control connection: assembled from the bytes as they arrive, then told
// apart into lines that only continue a reply and the line that completes it.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vt {

class ReplyAssembler {
public:
    static constexpr size_t kCapacity = 4096;

    // Appends what arrived; a line that fills the whole buffer without a line end is cut
    // there, so an endless line cannot grow the buffer.
    void Feed(const char* bytes, size_t count);
    // Takes the next complete line off the front, trailing CR and LF removed.
    bool NextLine(std::string& line);
    void Clear() { buffer_.clear(); pending_ = 0; }

private:
    std::string buffer_;
    size_t pending_ = 0;  // bytes since the last line end
};

enum class ReplyLine { Continues, Completes, Malformed };

// A line that does not begin with a digit, or whose leading number is followed by "-", only
// continues a reply. Any other line completes it, and its code must be three digits from 100
// to 599; a line with anything else there ("0", "00 text", "2200") is a protocol error.
ReplyLine ClassifyReplyLine(const std::string& line, int& code);

// "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)": exactly six numbers of 0 to 255 from the
// first digit after the code, with no sign before them and no further number after them, and
// a port other than 0. The address comes back in network byte order.
bool ParsePassiveReply(const std::string& line, uint32_t& address, uint16_t& port);

}  // namespace vt
