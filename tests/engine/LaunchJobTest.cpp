// LaunchProgram jobs: a real program started in its own folder.
#include "EngineFixture.h"
#include "settings/JobNames.h"
#include "win/Paths.h"

namespace vt::test {
namespace {

class LaunchJobTest : public EngineTest {
protected:
    LaunchJobTest() {
        SetBool(kMainSection, L"TipoDir", false);
        SetBool(kMainSection, L"TipoExe", true);
        program = temp / L"Programma con spazi\\engine_marker.exe";
        MakeFolder(FolderOf(program));
        CopyFileW((FolderOf(ModuleFileName()) + L"\\engine_marker.exe").c_str(), program.c_str(), FALSE);
    }
    ~LaunchJobTest() override {
        // The started program may still be ending; its file goes once it has.
        for (DWORD until = GetTickCount() + 60000; GetTickCount() < until && !DeleteFileW(program.c_str());) Sleep(50);
    }
    void Launch(const std::wstring& file, const std::wstring& parameters) {
        SetString(kMainSection, L"SorgenteExe", file);
        SetString(kMainSection, L"DestinazioneExe", parameters);
        engine.RunJob(1);
    }
    // What the marker program wrote, waiting up to a minute for it.
    std::wstring Marker() const {
        const std::wstring path = FolderOf(program) + L"\\marker.txt";
        for (DWORD until = GetTickCount() + 60000; GetTickCount() < until; Sleep(50)) {
            if (FileExists(path)) {
                const std::string bytes = ReadBytes(path);
                return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
            }
        }
        return L"<no marker>";
    }
    std::wstring program;
};

TEST_F(LaunchJobTest, StartsTheProgramInItsOwnFolderWithItsParameters) {
    Launch(program, L"uno due");
    EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Lancio di un file"),
              std::vector<std::wstring>{L"File lanciato : " + LogTime()});
    EXPECT_FALSE(LastRunFailed());
    EXPECT_EQ(Marker(), L"uno due");
}

TEST_F(LaunchJobTest, ParametersOfExactly512CharactersPass) {
    Launch(program, std::wstring(512, L'p'));
    EXPECT_EQ(Marker(), std::wstring(512, L'p'));
}

TEST_F(LaunchJobTest, ParametersOver512CharactersAreRefused) {
    Launch(program, std::wstring(513, L'p'));
    const auto lines = host.LinesAfter(L"Tipo di backup : Lancio di un file");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(L"512"), std::wstring::npos) << lines[0];
    EXPECT_EQ(lines[0].find(L"File lanciato"), std::wstring::npos);
    EXPECT_TRUE(LastRunFailed());
    EXPECT_FALSE(FileExists(FolderOf(program) + L"\\marker.txt"));
}

TEST_F(LaunchJobTest, AMissingFileOrAFolderIsNotFound) {
    for (const std::wstring& file : {temp / L"manca.exe", FolderOf(program), std::wstring()}) {
        host.log.clear();
        Launch(file, L"");
        EXPECT_EQ(host.LinesAfter(L"Tipo di backup : Lancio di un file"),
                  std::vector<std::wstring>{L"Il file selezionato non \u00e8 stato trovato"})
            << file;
        EXPECT_TRUE(LastRunFailed()) << file;
    }
}

}  // namespace
}  // namespace vt::test
