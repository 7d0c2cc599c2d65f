#pragma once
// The about box's two memory lines, in kilobytes with the locale's thousands separators.
#include <windows.h>

#include <cstdint>
#include <string>

namespace vt {

// Whole number, rounded, grouped as the locale groups digits ("524.288" in Italian).
std::wstring FormatGrouped(double value, LCID locale);

// "Memoria fisica disponibile 524.288 Kb"
std::wstring TotalMemoryLine(std::uint64_t totalBytes, LCID locale);
// "Memoria in uso 50% (262.144 Kb)"
std::wstring UsedMemoryLine(std::uint64_t totalBytes, unsigned loadPercent, LCID locale);

struct MemoryStatus {
    std::uint64_t totalBytes = 0;
    unsigned loadPercent = 0;
};
MemoryStatus ReadMemoryStatus();

}  // namespace vt
