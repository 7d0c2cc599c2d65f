#include "help/HelpFile.h"

#include <windows.h>

#include <vector>

#include "win/FileHelpers.h"
#include "win/Text.h"

namespace vt {

namespace {

constexpr DWORD kLargestFile = 4 * 1024 * 1024;

std::wstring_view Trim(std::wstring_view line) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == 0xFEFF; };
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && blank(line.back())) line.remove_suffix(1);
    return line;
}

std::vector<std::wstring_view> SplitLines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\r' && text[i] != L'\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// "[Keyword]" gives the keyword; anything else gives nothing.
std::optional<std::wstring> KeywordOf(std::wstring_view line) {
    line = Trim(line);
    if (line.size() < 3 || line.front() != L'[' || line.back() != L']') return std::nullopt;
    const std::wstring_view inside = Trim(line.substr(1, line.size() - 2));
    if (inside.empty() || inside.find_first_of(L"[]") != std::wstring_view::npos) return std::nullopt;
    return std::wstring(inside);
}

// Builds one topic's text from its lines, as the file's header describes.
class TopicBuilder {
public:
    void Add(std::wstring_view line) {
        line = Trim(line);
        if (line.empty()) {
            pendingParagraph_ = !text_.empty();
            return;
        }
        if (!text_.empty()) {
            if (pendingParagraph_) text_ += L"\r\n\r\n";
            else if (line.starts_with(L"- ")) text_ += L"\r\n";
            else text_ += L' ';
        }
        pendingParagraph_ = false;
        text_ += line;
    }
    std::wstring Take() { return std::move(text_); }

private:
    std::wstring text_;
    bool pendingParagraph_ = false;
};

}  // namespace

HelpTopics ParseHelpFile(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const std::wstring text = FromUtf8(bytes);
    HelpTopics topics;
    std::optional<std::wstring> keyword;
    HelpTopic topic;
    TopicBuilder body;
    const auto finish = [&] {
        if (!keyword) return;
        if (topic.title.empty()) topic.title = *keyword;
        topic.text = body.Take();
        topics.emplace(*keyword, std::move(topic));
        topic = {};
    };
    for (std::wstring_view line : SplitLines(text)) {
        if (auto next = KeywordOf(line)) {
            finish();
            keyword = std::move(next);
        } else if (!keyword) {
            continue;
        } else if (topic.title.empty()) {
            topic.title = Trim(line);
        } else {
            body.Add(line);
        }
    }
    finish();
    return topics;
}

const HelpTopic* FindTopic(const HelpTopics& topics, const std::wstring& keyword) {
    if (const auto exact = topics.find(keyword); exact != topics.end()) return &exact->second;
    for (const auto& [name, topic] : topics)
        if (EqualsNoCase(name, keyword)) return &topic;
    return nullptr;
}

std::optional<std::string> ReadHelpFile(const std::wstring& path) { return ReadWholeFile(path, kLargestFile); }

}  // namespace vt
