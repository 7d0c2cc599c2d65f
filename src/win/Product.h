#pragma once
// Who makes the program and where users reach the maker (addresses under a reserved domain).

// A macro too, so that key names and texts can be joined with it at compile time.
#define VT_PRODUCT_VERSION L"3.7"

namespace vt {

inline constexpr wchar_t kProductVersion[] = VT_PRODUCT_VERSION;
inline constexpr wchar_t kPublisher[] = L"Dorvi Multimedia";
inline constexpr wchar_t kMakerMail[] = L"info@dorvi.example";
inline constexpr wchar_t kMakerWeb[] = L"http://www.dorvi.example";

}  // namespace vt
