#include "install/Manifest.h"

#include <windows.h>

#include "win/FileHelpers.h"

namespace vt {

const char* ManifestArchitecture() {
#if defined(_M_X64) || defined(__x86_64__)
    return "amd64";
#else
    return "X86";
#endif
}

std::string ManifestText(const char* architecture) {
    const std::string arch = architecture;
    const char* lines[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>",
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">",
        "\t<assemblyIdentity",
        "\t   version=\"1.0.0.0\"",
        nullptr,  // processorArchitecture
        "\t   name=\"Microsoft.Winweb.DorviVaultick\"",
        "\t   type=\"win32\"",
        "\t/>",
        "\t<description>Project Manifest by Dorvi Multimedia</description>",
        "\t<dependency>",
        "\t   <dependentAssembly>",
        "\t     <assemblyIdentity",
        "\t       type=\"win32\"",
        "\t       name=\"Microsoft.Windows.Common-Controls\"",
        "\t       version=\"6.0.0.0\"",
        nullptr,  // processorArchitecture
        "\t       publicKeyToken=\"6595b64144ccf1df\"",
        "\t       language=\"*\"",
        "\t     />",
        "\t   </dependentAssembly>",
        "\t</dependency>",
        "</assembly>",
    };
    std::string text;
    for (size_t i = 0; i < std::size(lines); ++i) {
        if (i == 4) text += "\t   processorArchitecture=\"" + arch + "\"";
        else if (i == 15) text += "\t       processorArchitecture=\"" + arch + "\"";
        else text += lines[i];
        text += "\r\n";
    }
    return text;
}

bool WriteManifest(const std::wstring& programFolder) {
    const std::wstring path = programFolder + L"\\DorviVaultick.exe.manifest";
    return WriteWholeFile(path, ManifestText(ManifestArchitecture()));
}

}  // namespace vt
