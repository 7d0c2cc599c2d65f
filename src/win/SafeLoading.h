#pragma once
// Libraries the program loads come from the system folder only, never from its own folder or the
// current one, where somebody else may have put a file of the same name.
namespace vt {

// Called first thing in each program. False when the system cannot restrict the search.
bool LoadLibrariesFromSystemOnly();

}  // namespace vt
