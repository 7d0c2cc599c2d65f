#include <gtest/gtest.h>

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
        for (const auto& [keyword, topic] : lf) {
            const HelpTopic* same = FindTopic(other, keyword);
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
    for (const auto& [keyword, topic] : ParseHelpFile(garbage)) EXPECT_FALSE(keyword.empty());
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
        const auto found = topics.find(keyword);  // exact spelling, as the windows ask
        ASSERT_NE(found, topics.end()) << "no topic " << ToUtf8(keyword);
        EXPECT_GT(found->second.text.size(), 200u) << ToUtf8(keyword);
        EXPECT_EQ(found->second.text.find(L'\uFFFD'), std::wstring::npos) << "not UTF-8";
    }
}

}  // namespace
}  // namespace vt
