#pragma once
// Who makes the program and where users reach the maker (addresses under a reserved domain).

namespace vt {

inline constexpr wchar_t kProductVersion[] = L"3.7";
inline constexpr wchar_t kPublisher[] = L"Dorvi Multimedia";
inline constexpr wchar_t kMakerMail[] = L"info@dorvi.example";
inline constexpr wchar_t kMakerWeb[] = L"http://www.dorvi.example";

}  // namespace vt
