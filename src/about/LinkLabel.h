#pragma once
// A static text that acts as a link: hand cursor, clicks reported as STN_CLICKED (the
// template gives it SS_NOTIFY), its width cut to its text so only the words are clickable.
#include <windows.h>

namespace vt {

void MakeLinkLabel(HWND label);
// Moves the label so that it starts right after the text of the one before it.
void PlaceAfterText(HWND label, HWND before);

}  // namespace vt
