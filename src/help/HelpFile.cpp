#include "help/HelpFile.h"

#include <windows.h>

#include <unordered_map>
#include <vector>

#include "win/FileHelpers.h"
#include "win/Text.h"

namespace vt {

namespace {

constexpr DWORD kLargestFile = 4 * 1024 * 1024;
// More than any help file holds; a damaged one does not fill the topic list without end.
constexpr size_t kMostTopics = 1000;
// Links beyond these in one topic are shown as plain words: each costs the view some work.
constexpr size_t kMostLinksPerTopic = 500;

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

// "{words|Keyword}" at the start of the text: the words and the keyword, or nothing when the
// text there is not a whole link. A link stays within one paragraph or item.
struct LinkMarkup {
    std::wstring_view words, keyword;
    size_t length = 0;
};
std::optional<LinkMarkup> LinkAt(std::wstring_view text) {
    if (text.empty() || text.front() != L'{') return std::nullopt;
    const size_t end = text.find_first_of(L"{}\r\n", 1);
    if (end == std::wstring_view::npos || text[end] != L'}') return std::nullopt;
    const std::wstring_view inside = text.substr(1, end - 1);
    const size_t bar = inside.find(L'|');
    if (bar == std::wstring_view::npos || inside.find(L'|', bar + 1) != std::wstring_view::npos) return std::nullopt;
    LinkMarkup link{inside.substr(0, bar), Trim(inside.substr(bar + 1)), end + 1};
    if (Trim(link.words).empty() || link.keyword.empty()) return std::nullopt;
    return link;
}

// Keywords to topics, so that a large damaged file is still read in linear time.
class KeywordIndex {
public:
    // False when the keyword is there already.
    bool Add(const std::wstring& keyword, size_t topic) {
        if (!exact_.emplace(keyword, topic).second) return false;
        folded_.emplace(ToLower(keyword), topic);
        return true;
    }
    std::optional<size_t> Find(const std::wstring& keyword) const {
        if (const auto found = exact_.find(keyword); found != exact_.end()) return found->second;
        if (const auto found = folded_.find(ToLower(keyword)); found != folded_.end()) return found->second;
        return std::nullopt;
    }

private:
    std::unordered_map<std::wstring, size_t> exact_, folded_;
};

// Takes the link markup out of the topic's text; links are kept where their keyword has a topic.
void ResolveLinks(HelpTopic& topic, const HelpTopics& topics, const KeywordIndex& index) {
    std::wstring text;
    text.reserve(topic.text.size());
    for (size_t i = 0; i < topic.text.size();) {
        if (const auto link = LinkAt(std::wstring_view(topic.text).substr(i))) {
            const auto target = index.Find(std::wstring(link->keyword));
            if (target && topic.links.size() < kMostLinksPerTopic)
                topic.links.push_back({text.size(), link->words.size(), topics[*target].keyword});
            text += link->words;
            i += link->length;
        } else {
            text += topic.text[i++];
        }
    }
    topic.text = std::move(text);
}

}  // namespace

HelpTopics ParseHelpFile(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const std::wstring text = FromUtf8(bytes);
    HelpTopics topics;
    KeywordIndex index;
    std::optional<std::wstring> keyword;
    HelpTopic topic;
    TopicBuilder body;
    const auto finish = [&] {
        topic.text = body.Take();
        if (keyword && topics.size() < kMostTopics) {
            topic.keyword = *keyword;
            if (topic.title.empty()) topic.title = *keyword;
            if (index.Add(topic.keyword, topics.size())) topics.push_back(std::move(topic));
        }
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
    // Links may lead forward: they are resolved once every topic is known.
    for (HelpTopic& each : topics) ResolveLinks(each, topics, index);
    return topics;
}

const HelpTopic* FindTopic(const HelpTopics& topics, const std::wstring& keyword) {
    for (const HelpTopic& topic : topics)
        if (topic.keyword == keyword) return &topic;
    for (const HelpTopic& topic : topics)
        if (EqualsNoCase(topic.keyword, keyword)) return &topic;
    return nullptr;
}

std::optional<std::string> ReadHelpFile(const std::wstring& path) { return ReadWholeFile(path, kLargestFile); }

}  // namespace vt
