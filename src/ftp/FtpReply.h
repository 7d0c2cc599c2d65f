#pragma once
// Reply lines of the control connection: assembled from the bytes as they arrive, then told
// apart into lines that only continue a reply and the line that completes it.
#include <cstddef>
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

// A line completes a reply when it begins with a digit and its number is not followed by
// "-"; the code is then the leading number (leading blanks skipped).
bool CompletesReply(const std::string& line, int& code);

}  // namespace vt
