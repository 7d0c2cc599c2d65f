#pragma once
// Reads a shell link back through the shell, to see what was really saved.
#include <optional>
#include <string>

namespace vt::test {

struct LinkFields {
    std::wstring target, arguments, workingFolder, iconFile;
    int iconIndex = -1;
};

std::optional<LinkFields> ReadLink(const std::wstring& file);

}  // namespace vt::test
