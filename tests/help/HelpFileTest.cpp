#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "help/HelpFile.h"
#include "support/TempFolder.h"
#include "win/Paths.h"
#include "win/Text.h"

namespace vt {
namespace {

const char kSample[] =
    "\xEF\xBB\xBF"
    "Notes for whoever edits the file.\n"
    "[Principale]\n"
    "Vaultick - la finestra principale\n"
    "\n"
    "Prima riga del paragrafo\n"
    "  che continua qui.\n"
    "\n"
    "\n"
    "Elenco:\n"
    "- primo punto;\n"
    "- secondo punto.\n"
    "\n"
    "[ DestinazioneFTP ]\n"
    "\n"
    "Destinazione FTP\n"
    "Il server \xC3\xA8 qui.\n";

std::string WithLineEnds(std::string text, const std::string& end) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += end;
        else out += c;
    }
    return out;
}

TEST(HelpFile, TopicsTitlesParagraphsAndItems) {
    const HelpTopics topics = ParseHelpFile(kSample);
    ASSERT_EQ(topics.size(), 2u);
    const HelpTopic* main = FindTopic(topics, L"Principale");
    ASSERT_TRUE(main);
    EXPECT_EQ(main->title, L"Vaultick - la finestra principale");
    EXPECT_EQ(main->text,
              L"Prima riga del paragrafo che continua qui.\r\n\r\nElenco:\r\n- primo punto;\r\n- secondo punto.");
    const HelpTopic* ftp = FindTopic(topics, L"DestinazioneFTP");
    ASSERT_TRUE(ftp);
    EXPECT_EQ(ftp->title, L"Destinazione FTP");
    EXPECT_EQ(ftp->text, L"Il server è qui.");
}

TEST(HelpFile, EveryLineEndGivesTheSameTopics) {
    const HelpTopics lf = ParseHelpFile(kSample);
    for (const char* end : {"\r\n", "\r"}) {
        const HelpTopics other = ParseHelpFile(WithLineEnds(kSample, end));
        ASSERT_EQ(other.size(), lf.size()) << "line end " << int(end[1]);
        for (const HelpTopic& topic : lf) {
            const HelpTopic* same = FindTopic(other, topic.keyword);
            ASSERT_TRUE(same);
            EXPECT_EQ(same->title, topic.title);
            EXPECT_EQ(same->text, topic.text);
        }
    }
}

TEST(HelpFile, LookupIgnoresCaseAndMissesUnknownKeywords) {
    const HelpTopics topics = ParseHelpFile(kSample);
    EXPECT_EQ(FindTopic(topics, L"principale"), FindTopic(topics, L"Principale"));
    EXPECT_EQ(FindTopic(topics, L"Ringraziamenti"), nullptr);
    EXPECT_EQ(FindTopic(topics, L""), nullptr);
}

TEST(HelpFile, OddTopicsKeepTheirPlace) {
    const HelpTopics topics = ParseHelpFile(
        "[Vuoto]\n[Doppio]\nPrimo\nTesto uno\n[Doppio]\nSecondo\n[]\nnon \xC3\xA8 una parola chiave\n");
    ASSERT_EQ(topics.size(), 2u);
    // A topic without a title is named by its keyword.
    EXPECT_EQ(FindTopic(topics, L"Vuoto")->title, L"Vuoto");
    EXPECT_EQ(FindTopic(topics, L"Vuoto")->text, L"");
    // The first of two topics with one keyword counts; "[]" is text.
    EXPECT_EQ(FindTopic(topics, L"Doppio")->title, L"Primo");
    EXPECT_EQ(FindTopic(topics, L"Doppio")->text, L"Testo uno");
}

TEST(HelpFile, EmptyOrGarbageFilesHoldNoTopics) {
    EXPECT_TRUE(ParseHelpFile("").empty());
    EXPECT_TRUE(ParseHelpFile("\xEF\xBB\xBF").empty());
    EXPECT_TRUE(ParseHelpFile("solo testo\nsenza argomenti\n").empty());
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919 + 13) % 256);
    for (const HelpTopic& topic : ParseHelpFile(garbage)) EXPECT_FALSE(topic.keyword.empty());
    EXPECT_TRUE(ParseHelpFile(std::string("\0\0[\0]\0\xFF\xFE", 9)).empty());
}

TEST(HelpFile, ReadingAMissingFileGivesNothing) {
    test::TempFolder temp;
    EXPECT_FALSE(ReadHelpFile(temp / L"manca.Hlp"));
    ASSERT_TRUE(test::WriteBytes(temp / L"vuoto.Hlp", ""));
    EXPECT_EQ(ReadHelpFile(temp / L"vuoto.Hlp"), std::string());
    ASSERT_TRUE(test::WriteBytes(temp / L"guida.Hlp", kSample));
    EXPECT_EQ(ReadHelpFile(temp / L"guida.Hlp"), std::string(kSample));
}

TEST(HelpFile, ShippedFileHoldsEveryTopicTheProgramAsksFor) {
    const std::wstring path = FolderOf(ModuleFileName()) + L"\\DorviVaultick.Hlp";
    const std::optional<std::string> bytes = ReadHelpFile(path);
    ASSERT_TRUE(bytes) << "missing beside the test program";
    const HelpTopics topics = ParseHelpFile(*bytes);
    for (const wchar_t* keyword :
         {L"Principale", L"ImpostaBackups", L"NumeroCopieBackup", L"DestinazioneFTP", L"ImpostazioneFileLog",
          L"SelezionaFile", L"Installazione", L"Disinstallazione", L"CondizionidiUtilizzo", L"Ringraziamenti"}) {
        const HelpTopic* found = FindTopic(topics, keyword);
        ASSERT_TRUE(found) << "no topic " << ToUtf8(keyword);
        EXPECT_EQ(found->keyword, keyword);  // exact spelling, as the windows ask
        EXPECT_GT(found->text.size(), 200u) << ToUtf8(keyword);
        EXPECT_EQ(found->text.find(L'\uFFFD'), std::wstring::npos) << "not UTF-8";
    }
    // Every link written in the file leads somewhere: no markup is left in a text.
    size_t links = 0;
    for (const HelpTopic& topic : topics) {
        EXPECT_EQ(topic.text.find_first_of(L"{}|"), std::wstring::npos) << ToUtf8(topic.keyword);
        links += topic.links.size();
    }
    EXPECT_GE(links, 10u);
    EXPECT_EQ(topics.front().keyword, L"Principale");  // the list starts where the program does
}

TEST(HelpFile, TopicsKeepTheOrderOfTheFile) {
    const HelpTopics topics = ParseHelpFile("[Zeta]\nUltimo\n[Alfa]\nPrimo\n[Media]\nMezzo\n[alfa]\nAltro\n");
    std::vector<std::wstring> keywords;
    for (const HelpTopic& topic : topics) keywords.push_back(topic.keyword);
    EXPECT_EQ(keywords, (std::vector<std::wstring>{L"Zeta", L"Alfa", L"Media", L"alfa"}));
    // The exact spelling wins over a match in another case.
    EXPECT_EQ(FindTopic(topics, L"alfa")->title, L"Altro");
    EXPECT_EQ(FindTopic(topics, L"ALFA")->title, L"Primo");

    // A damaged file with a topic per line does not fill the list without end.
    std::string many;
    for (int i = 0; i < 1500; ++i) many += "[T" + std::to_string(i) + "]\n";
    const HelpTopics capped = ParseHelpFile(many);
    ASSERT_EQ(capped.size(), 1000u);
    EXPECT_EQ(capped.back().keyword, L"T999");
}

// The words of each link as the viewer shows them.
std::vector<std::wstring> LinkWords(const HelpTopic& topic) {
    std::vector<std::wstring> words;
    for (const HelpLink& link : topic.links) words.push_back(topic.text.substr(link.start, link.length));
    return words;
}

TEST(HelpFile, LinksShowTheirWordsAndLeadToTheirTopic) {
    const HelpTopics topics = ParseHelpFile(
        "[Uno]\nPrimo\nVedere {il secondo|Due} e {il terzo,\nsu due righe|tre}.\n\n- {Uno|Uno} stesso\n"
        "[Due]\nSecondo\n{Manca|Nessuno} resta testo; {torna| Uno }.\n"
        "[Tre]\nTerzo\nnulla\n");
    const HelpTopic& one = topics[0];
    EXPECT_EQ(one.text, L"Vedere il secondo e il terzo, su due righe.\r\n\r\n- Uno stesso");
    EXPECT_EQ(LinkWords(one), (std::vector<std::wstring>{L"il secondo", L"il terzo, su due righe", L"Uno"}));
    // A link names its topic as the file spells the keyword, forward and back alike.
    ASSERT_EQ(one.links.size(), 3u);
    EXPECT_EQ(one.links[0].keyword, L"Due");
    EXPECT_EQ(one.links[1].keyword, L"Tre");
    EXPECT_EQ(one.links[2].keyword, L"Uno");

    const HelpTopic& two = topics[1];
    EXPECT_EQ(two.text, L"Manca resta testo; torna.");
    EXPECT_EQ(LinkWords(two), (std::vector<std::wstring>{L"torna"}));
    EXPECT_EQ(two.links[0].keyword, L"Uno");
}

TEST(HelpFile, WhatIsNotAWholeLinkStaysText) {
    for (const char* text : {"{senza barra}", "{|Uno}", "{ |Uno}", "{parole|}", "{a|b|Uno}", "{aperta|Uno",
                             "chiusa|Uno}", "{due\n\nparagrafi|Uno}", "{riga\n- voce|Uno}"}) {
        const HelpTopics topics = ParseHelpFile(std::string("[Uno]\nTitolo\n") + text + "\n");
        ASSERT_EQ(topics.size(), 1u);
        EXPECT_TRUE(topics[0].links.empty()) << text;
        EXPECT_NE(topics[0].text.find_first_of(L"{}|"), std::wstring::npos) << text;  // shown as typed
    }
    // Inside stray braces a whole link still counts.
    const HelpTopics nested = ParseHelpFile("[Uno]\nTitolo\n{a{b|Uno}|c}\n");
    EXPECT_EQ(nested[0].text, L"{ab|c}");
    EXPECT_EQ(LinkWords(nested[0]), (std::vector<std::wstring>{L"b"}));
}

TEST(HelpFile, AFileFullOfLinksStaysCheapToShow) {
    // A damaged file of a few megabytes made of links: the view would spend minutes marking them.
    std::string file = "[Uno]\nTitolo\n";
    for (int i = 0; i < 200000; ++i) file += "{a|Uno}";
    const HelpTopics topics = ParseHelpFile(file + "\n");
    ASSERT_EQ(topics.size(), 1u);
    EXPECT_EQ(topics[0].links.size(), 500u);
    EXPECT_EQ(topics[0].text.size(), 200000u);  // the rest shown as plain words
}

// Any file at all gives topics the viewer can show: unique keywords, links inside their text,
// in order, each leading to a topic of the same file.
TEST(HelpFile, AnyFileGivesTopicsTheViewerCanShow) {
    const char* pieces[] = {"[", "]", "{", "}", "|", "\n", "\r\n", "\r", " ", "- ", "Uno", "due", "\xC3\xA8",
                            "[Uno]\n", "[Due]\n", "{vai|Uno}", "{vai|Due}", "{x|Manca}", "\xFF", "\t", "uno"};
    unsigned seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string file;
        const unsigned length = next() % 120;
        for (unsigned i = 0; i < length; ++i) file += pieces[next() % std::size(pieces)];
        const HelpTopics topics = ParseHelpFile(file);
        for (size_t i = 0; i < topics.size(); ++i) {
            const HelpTopic& topic = topics[i];
            ASSERT_FALSE(topic.keyword.empty()) << file;
            ASSERT_FALSE(topic.title.empty()) << file;
            for (size_t j = 0; j < i; ++j) ASSERT_NE(topics[j].keyword, topic.keyword) << file;
            size_t end = 0;
            for (const HelpLink& link : topic.links) {
                ASSERT_GE(link.start, end) << file;
                ASSERT_GT(link.length, 0u) << file;
                ASSERT_LE(link.start + link.length, topic.text.size()) << file;
                const std::wstring words = topic.text.substr(link.start, link.length);
                ASSERT_EQ(words.find_first_of(L"\r\n"), std::wstring::npos) << file;
                const HelpTopic* target = FindTopic(topics, link.keyword);
                ASSERT_TRUE(target) << file;
                ASSERT_EQ(target->keyword, link.keyword) << file;
                end = link.start + link.length;
            }
        }
    }
}

}  // namespace
}  // namespace vt
