#pragma once
// The program's own version items (compiled in) and how the version is shown.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corvane {

// The block of version items of the program: name and text pairs of the string table.
struct VersionBlock {
    std::vector<std::pair<std::string, std::string>> items;
};

extern uint32_t Ver_Size;                      // size of the block, 0 when none is loaded
extern std::unique_ptr<VersionBlock> Ver_pData;

// The string table the items are read from (language 0809, code page 1252).
constexpr const char* kVersionStringTable = "StringFileInfo\\080904E4\\";

// Loads the program's version block into Ver_pData.
void GetVersionInfo();
// The text of a named item ("ProductName", "FileVersion", "CompanyName", "LegalCopyright"),
// at most 255 characters; empty when the item is missing or no block is loaded.
std::string GetVersionItem(const std::string& item);
void FreeVersionInfo();

// The displayed version of a file version a.b.c.d: a + "." + b + c, then, when the first
// character of d is above "0", the letter whose code is that character's code + 48
// ("3.0.1.2" shows "3.01b").
std::string DisplayVersion(const std::string& fileVersion);

// A count with thousands separators and the suffix " KB" (the pattern #,###" KB").
std::string FormatKilobytes(uint64_t kb, char separator = ',');

// The operating system line of the about box: " <kernel> <release> (<distribution>)", or
// without the parentheses when the distribution is unknown.
std::string FormatSystemLine(const std::string& kernel, const std::string& release, const std::string& distribution);

} // namespace corvane
