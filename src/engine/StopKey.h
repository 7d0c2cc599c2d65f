#pragma once
// The Esc key that stops a copy or a removal, read without the message loop.
#include <functional>

namespace vt {

// True when Esc is down now, has been pressed since the last query, and input is waiting.
bool EscapePressed();
// Tests play the key through this; an empty function puts the keyboard back.
void SetEscapeSeam(std::function<bool()> seam);

}  // namespace vt
