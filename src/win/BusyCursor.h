#pragma once
// The hourglass over every window of the program while a run works without pumping messages.

namespace vt {

void SetBusyCursor(bool busy);
bool BusyCursorOn();

}  // namespace vt
