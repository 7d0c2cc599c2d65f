#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "win/Paths.h"

namespace vt {
namespace {

std::wstring Program(const wchar_t* name) { return FolderOf(ModuleFileName()) + L"\\" + name; }

// What Explorer's Properties shows, read the way it reads it.
class VersionBlock {
public:
    explicit VersionBlock(const std::wstring& file) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
        if (size == 0) return;
        data_.resize(size);
        if (!GetFileVersionInfoW(file.c_str(), 0, size, data_.data())) data_.clear();
    }
    bool Present() const { return !data_.empty(); }
    const VS_FIXEDFILEINFO* Fixed() const {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data_.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) return nullptr;
        return static_cast<const VS_FIXEDFILEINFO*>(value);
    }
    std::vector<std::pair<WORD, WORD>> Translations() const {
        void* value = nullptr;
        UINT length = 0;
        std::vector<std::pair<WORD, WORD>> found;
        if (!VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length)) return found;
        const WORD* words = static_cast<const WORD*>(value);
        for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) found.emplace_back(words[i], words[i + 1]);
        return found;
    }
    // The string under the block's first translation, as Properties picks it.
    std::wstring String(const std::wstring& name) const {
        const auto translations = Translations();
        if (translations.empty()) return L"<no translation>";
        wchar_t path[96];
        swprintf(path, 96, L"\\StringFileInfo\\%04x%04x\\%ls", translations[0].first, translations[0].second,
                 name.c_str());
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data_.data(), path, &value, &length) || length == 0) return L"<missing>";
        return static_cast<const wchar_t*>(value);
    }

private:
    std::vector<BYTE> data_;
};

struct Expected {
    const wchar_t* file;
    const wchar_t* description;
};

TEST(VersionResource, BothProgramsSayWhatTheyAre) {
    for (const Expected& program : {Expected{L"DorviVaultick.exe", L"Vaultick - pianificazione automatica dei backup"},
                                    Expected{L"Sweepex.exe", L"Vaultick - rimozione e riavvio del programma"}}) {
        SCOPED_TRACE(testing::Message() << "program " << program.file);
        const VersionBlock block(Program(program.file));
        ASSERT_TRUE(block.Present());

        const VS_FIXEDFILEINFO* fixed = block.Fixed();
        ASSERT_TRUE(fixed);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS, DWORD{0x00030007});
        EXPECT_EQ(fixed->dwFileVersionLS, 0u);
        EXPECT_EQ(fixed->dwProductVersionMS, DWORD{0x00030007});
        EXPECT_EQ(fixed->dwProductVersionLS, 0u);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
        EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask & (VS_FF_DEBUG | VS_FF_PRERELEASE), 0u);

        ASSERT_EQ(block.Translations().size(), 1u);
        EXPECT_EQ(block.Translations()[0], std::make_pair(WORD{0x0410}, WORD{1200}));  // Italian, Unicode
        EXPECT_EQ(block.String(L"FileVersion"), L"3.7.0.0");
        EXPECT_EQ(block.String(L"ProductVersion"), L"3.7.0.0");
        EXPECT_EQ(block.String(L"ProductName"), L"Vaultick");
        EXPECT_EQ(block.String(L"CompanyName"), L"Dorvi");
        EXPECT_EQ(block.String(L"FileDescription"), program.description);
        EXPECT_EQ(block.String(L"OriginalFilename"), program.file);
    }
}

TEST(VersionResource, ACopyUnderAnotherNameKeepsItsOriginalName) {
    // Sweepex runs from a copy in the temporary folder at removal: the block travels with it.
    test::TempFolder temp;
    const std::wstring copy = temp / L"copia.exe";
    ASSERT_TRUE(CopyFileW(Program(L"Sweepex.exe").c_str(), copy.c_str(), FALSE));
    EXPECT_EQ(VersionBlock(copy).String(L"OriginalFilename"), L"Sweepex.exe");
    EXPECT_FALSE(VersionBlock(temp / L"manca.exe").Present());
}

// The link time would make every build differ: the headers carry none.
TEST(VersionResource, ProgramsCarryNoBuildTime) {
    for (const wchar_t* name : {L"DorviVaultick.exe", L"Sweepex.exe"}) {
        SCOPED_TRACE(testing::Message() << "program " << name);
        const std::string bytes = test::ReadBytes(Program(name));
        ASSERT_GT(bytes.size(), sizeof(IMAGE_DOS_HEADER));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
        ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
        ASSERT_LT(static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64), bytes.size());
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes.data() + dos->e_lfanew);
        ASSERT_EQ(nt->Signature, DWORD{IMAGE_NT_SIGNATURE});
        EXPECT_EQ(nt->FileHeader.TimeDateStamp, 0u);

        // The resource directory's own stamp, found through the section that holds it.
        const IMAGE_DATA_DIRECTORY& resources = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE];
        ASSERT_GT(resources.Size, 0u);
        const auto* sections = IMAGE_FIRST_SECTION(nt);
        size_t offset = 0;
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& section = sections[i];
            if (resources.VirtualAddress >= section.VirtualAddress &&
                resources.VirtualAddress < section.VirtualAddress + section.SizeOfRawData)
                offset = resources.VirtualAddress - section.VirtualAddress + section.PointerToRawData;
        }
        ASSERT_NE(offset, 0u);
        ASSERT_LT(offset + sizeof(IMAGE_RESOURCE_DIRECTORY), bytes.size());
        const auto* root = reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY*>(bytes.data() + offset);
        EXPECT_EQ(root->TimeDateStamp, 0u);
    }
}

}  // namespace
}  // namespace vt
