#pragma once
// Facts of the system the program runs on.
namespace vt {

// Wine stands in for Windows; some of its facilities differ (a mounted hive is not written back,
// every program gets an administrator's full token).
bool RunningUnderWine();
// Started "as administrator": the full token of an administrator whose rights Windows splits.
// Under Wine every program gets that token, chosen by nobody: there it answers false.
bool StartedElevatedFromSplitToken();

}  // namespace vt
