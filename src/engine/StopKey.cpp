#include "engine/StopKey.h"

#include <windows.h>

namespace vt {

namespace {
std::function<bool()> g_seam;
}  // namespace

bool EscapePressed() {
    if (g_seam) return g_seam();
    const SHORT state = GetAsyncKeyState(VK_ESCAPE);
    return (state & 0x8000) && (state & 0x0001) && GetInputState();
}

void SetEscapeSeam(std::function<bool()> seam) { g_seam = std::move(seam); }

}  // namespace vt
