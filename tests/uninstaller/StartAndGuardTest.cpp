#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string_view>

#include "uninstaller/CommandLine.h"
#include "uninstaller/WaitTicks.h"
#include "win/WholeDrive.h"

namespace vt::sweepex {
namespace {

TEST(CommandLine, OnlyTheExactRequestWordsDoSomething) {
    const Command uninstall = ParseCommand(CommandArguments(L"C:\\Temp\\Sweepex.exe GoUninstal DorviVaultick"));
    EXPECT_EQ(uninstall.mode, Mode::Uninstall);
    EXPECT_EQ(uninstall.argument, L"DorviVaultick");
    const Command launch = ParseCommand(CommandArguments(L"\"C:\\Program Files\\Sweepex.exe\" LanciaFile DorviVaultick.Exe"));
    EXPECT_EQ(launch.mode, Mode::LaunchFile);
    EXPECT_EQ(launch.argument, L"DorviVaultick.Exe");
    for (const wchar_t* line : {L"Sweepex.exe", L"Sweepex.exe goUninstal DorviVaultick", L"Sweepex.exe GOUNINSTAL x",
                                L"Sweepex.exe lanciafile a.exe", L"Sweepex.exe Rimuovi", L""})
        EXPECT_EQ(ParseCommand(CommandArguments(line)).mode, Mode::None) << line;
    EXPECT_EQ(ParseCommand(CommandArguments(L"Sweepex.exe GoUninstal")).argument, L"");
}

TEST(WaitTicks, EndsOnTheNthTickAcrossTheOldThirtyTwoBitWrap) {
    // A clock read in 100 ms steps from just before 2^32 ms, where a 32-bit tick count wraps.
    std::uint64_t now = 0xFFFFFFFFull - 1000;
    WaitTicks(5, [&] { return now; }, [&] { now += 100; });
    const std::uint64_t first = (0xFFFFFFFFull - 1000 + 432) / 864;
    EXPECT_EQ((now + 432) / 864 - first, 5u);
    EXPECT_LT(now - (0xFFFFFFFFull - 1000), 5u * 864 + 100);

    int pauses = 0;
    WaitTicks(0, [] { return std::uint64_t{7}; }, [&] { ++pauses; });
    EXPECT_EQ(pauses, 0);
}

TEST(WholeDrive, OnlyAbsoluteFoldersBelowADriveOrShareRootPass) {
    const std::wstring volume = L"Volume{12345678-1234-1234-1234-123456789abc}";
    for (const std::wstring& refused :
         {std::wstring(L""), std::wstring(L"\\"), std::wstring(L"/"), std::wstring(L"C:"), std::wstring(L"C:\\"),
          std::wstring(L"c:/"), std::wstring(L"C:\\\\"), std::wstring(L"C:\\."), std::wstring(L"C:\\windows\\.."),
          std::wstring(L"C:\\Dati\\..\\"), std::wstring(L"C:\\..."), std::wstring(L"C:\\ "), std::wstring(L"C:Dati"),
          std::wstring(L"Dati"), std::wstring(L"\\Dati"), std::wstring(L"..\\Dati"), std::wstring(L"\\\\server"),
          std::wstring(L"\\\\server\\share"), std::wstring(L"//server/share/"), std::wstring(L"\\\\server\\\\share"),
          std::wstring(L"\\\\\\server\\share"), std::wstring(L"\\\\server\\share\\x\\.."),
          std::wstring(L"\\\\?\\C:\\"), std::wstring(L"\\\\?\\c:"), std::wstring(L"\\\\?\\UNC\\server\\share"),
          std::wstring(L"\\\\?\\unc\\server\\share\\"), L"\\\\?\\" + volume + L"\\", L"\\\\?\\" + volume + L"\\Dati",
          L"\\\\.\\" + volume, std::wstring(L"\\\\.\\C:\\Dati"), std::wstring(L"\\\\.\\UNC\\server\\share\\x"),
          std::wstring(L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\Dati"),
          std::wstring(L"\\\\?\\globalroot\\device\\harddiskvolume1"), std::wstring(L"\\??\\C:\\Dati"),
          std::wstring(L"\\\\?\\C:\\Dati\\.."), std::wstring(L"\\\\?\\C:\\Dati\\\\x"), std::wstring(L"\\\\.\\pipe\\x"),
          std::wstring(L"C:\\Dati\\*"), std::wstring(L"C:\\Dati::$INDEX_ALLOCATION"), std::wstring(L"C:\\Dati\\CON"),
          std::wstring(L"C:\\Dati\0x", 9)})
        EXPECT_FALSE(IsAbsoluteBelowRoot(refused)) << refused;
    for (const wchar_t* accepted :
         {L"C:\\Programmi\\Dorvi", L"c:/programmi/dorvi", L"C:\\Dati\\", L"C:\\\\Dati", L"C:\\Dati\\.", L"C:\\a\\..\\b",
          L"\\\\server\\share\\Vaultick", L"//server/share/Vaultick", L"\\\\?\\C:\\x", L"\\\\?\\unc\\server\\share\\x",
          L"\\\\?\\UNC\\server\\share\\x\\"})
        EXPECT_TRUE(IsAbsoluteBelowRoot(accepted)) << accepted;
}

// Spellings made at random from the pieces the system accepts: every one that still names a
// root, a device or a volume is refused; every one that names a folder below a root passes.
class Spelling {
public:
    explicit Spelling(unsigned seed) : seed_(seed) {}
    unsigned Next(unsigned range) { return ((seed_ = seed_ * 1103515245 + 12345) >> 16) % range; }
    std::wstring Case(std::wstring_view text) {
        std::wstring out(text);
        for (wchar_t& c : out) c = Next(2) ? static_cast<wchar_t>(towupper(c)) : static_cast<wchar_t>(towlower(c));
        return out;
    }
    std::wstring Separators() { return std::wstring(1 + Next(3), L'\\') + (Next(3) == 0 ? L"/" : L""); }
    std::wstring Name() { return Case(std::wstring(L"dati vecchi").substr(0, 1 + Next(11))) + std::to_wstring(Next(10)); }
    // Parts that leave the folder where it was.
    std::wstring Nothing() {
        std::wstring out;
        for (unsigned i = Next(4); i > 0; --i) {
            switch (Next(3)) {
                case 0: out += L".\\"; break;
                case 1: out += Name() + Separators() + L"..\\"; break;
                default: out += Separators(); break;
            }
        }
        return out;
    }
    std::wstring Drive() { return std::wstring(1, static_cast<wchar_t>((Next(2) ? L'A' : L'a') + Next(26))) + L":"; }
    std::wstring Share() { return L"\\\\" + Name() + Separators() + Name(); }

private:
    unsigned seed_;
};

TEST(WholeDrive, NoSpellingOfARootOrDeviceGetsThrough) {
    Spelling s(5);
    for (int i = 0; i < 20000; ++i) {
        std::wstring path;
        switch (s.Next(9)) {
            case 7: path = (s.Next(2) ? L"\\\\" : L"\\\\?\\" + s.Case(L"unc") + L"\\") + s.Case(L";lanmanredirector") +
                           L"\\" + s.Name() + L"\\" + s.Name() + (s.Next(2) ? L"\\" : L""); break;
            case 0: path = s.Drive() + s.Separators() + s.Nothing() + (s.Next(2) ? L"." : L""); break;
            case 1: path = s.Share() + s.Separators() + s.Nothing(); break;
            case 2: path = s.Share() + L"\\" + s.Name() + L"\\.." + (s.Next(2) ? L"\\" : L""); break;
            case 3: path = L"\\\\?\\" + s.Drive() + (s.Next(2) ? L"\\" : L""); break;
            case 4: path = L"\\\\?\\" + s.Case(L"unc") + L"\\" + s.Name() + L"\\" + s.Name() + (s.Next(2) ? L"\\" : L""); break;
            case 5: path = L"\\\\.\\" + (s.Next(2) ? s.Drive() : s.Case(L"volume{1b3c}")) + L"\\" + s.Name(); break;
            case 6: path = L"\\\\?\\" + s.Case(s.Next(2) ? L"globalroot\\device\\harddiskvolume2" : L"volume{1b3c}") +
                           s.Separators() + s.Name(); break;
            default: path = s.Nothing() + s.Name(); break;  // relative
        }
        ASSERT_FALSE(IsAbsoluteBelowRoot(path)) << path;
    }
}

TEST(WholeDrive, EverySpellingOfAFolderBelowARootPasses) {
    Spelling s(9);
    for (int i = 0; i < 20000; ++i) {
        const std::wstring below = s.Nothing() + s.Name() + s.Separators() + s.Nothing() + (s.Next(2) ? s.Name() : L"");
        std::wstring path;
        switch (s.Next(3)) {
            case 0: path = s.Drive() + L"\\" + below; break;
            case 1: path = s.Share() + L"\\" + below; break;
            default: path = L"\\\\?\\" + s.Drive() + L"\\" + s.Name() + L"\\" + s.Name(); break;
        }
        std::replace_if(path.begin() + 2, path.end(), [&s](wchar_t c) { return c == L'\\' && s.Next(5) == 0; }, L'/');
        ASSERT_TRUE(IsAbsoluteBelowRoot(path)) << path;
    }
}

}  // namespace
}  // namespace vt::sweepex
