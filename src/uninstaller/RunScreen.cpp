#include "uninstaller/RunScreen.h"

namespace vt::sweepex {

MessageBoxRequest UninstallerBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
    // The shared builder turns a lone CR into a line break; caption, icon and owner are ours.
    MessageBoxRequest request = BuildMessageBoxRequest(text, -1, 0);
    request.caption = caption;
    request.flags = flags;
    request.owner = nullptr;
    return request;
}

}  // namespace vt::sweepex
