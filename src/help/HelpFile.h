#pragma once
// The help file: UTF-8 text (a byte-order mark is allowed), one topic after another.
//
//   [Principale]            the keyword, alone on its line in square brackets
//   Vaultick                the title: the first non-blank line after the keyword
//   Text of a paragraph,    lines of one paragraph are joined with a blank;
//   over several lines.     a blank line starts a new paragraph;
//   - an item               a line starting with "- " keeps its own line.
//
// Lines before the first keyword are notes for whoever edits the file. When a keyword
// appears twice its first topic counts.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vt {

struct HelpTopic {
    std::wstring title;
    std::wstring text;  // paragraphs separated by an empty line, CR LF line ends
};

using HelpTopics = std::map<std::wstring, HelpTopic>;

HelpTopics ParseHelpFile(std::string_view bytes);
// The keyword's topic, compared without regard to case; nullptr when there is none.
const HelpTopic* FindTopic(const HelpTopics& topics, const std::wstring& keyword);
// Whole file; nullopt when it is missing, unreadable or unreasonably large.
std::optional<std::string> ReadHelpFile(const std::wstring& path);

}  // namespace vt
