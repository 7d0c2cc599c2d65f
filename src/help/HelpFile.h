#pragma once
// The help file: UTF-8 text (a byte-order mark is allowed), one topic after another.
//
//   [Principale]            the keyword, alone on its line in square brackets
//   Vaultick                the title: the first non-blank line after the keyword
//   Text of a paragraph,    lines of one paragraph are joined with a blank;
//   over several lines.     a blank line starts a new paragraph;
//   - an item               a line starting with "- " keeps its own line.
//   {vedere qui|Keyword}    words shown as a link to the keyword's topic; a link to a topic
//                           the file does not hold shows its words as plain text.
//
// Lines before the first keyword are notes for whoever edits the file. When a keyword
// appears twice its first topic counts.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt {

struct HelpLink {
    size_t start = 0;  // position of the words in the topic's text
    size_t length = 0;
    std::wstring keyword;
};

struct HelpTopic {
    std::wstring keyword;
    std::wstring title;
    std::wstring text;  // paragraphs separated by an empty line, CR LF line ends
    std::vector<HelpLink> links;  // in text order, none overlapping
};

// In the order of the file.
using HelpTopics = std::vector<HelpTopic>;

HelpTopics ParseHelpFile(std::string_view bytes);
// The keyword's topic, an exact match first, else one compared without regard to case;
// nullptr when there is none.
const HelpTopic* FindTopic(const HelpTopics& topics, const std::wstring& keyword);
// Whole file; nullopt when it is missing, unreadable or unreasonably large.
std::optional<std::string> ReadHelpFile(const std::wstring& path);

}  // namespace vt
