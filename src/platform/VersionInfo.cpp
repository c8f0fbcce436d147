#include "platform/VersionInfo.h"

#include "platform/CvVars.h"

#include <algorithm>

#ifndef CORVANE_VERSION
#define CORVANE_VERSION "0.0.0.0"
#endif

namespace corvane {

uint32_t Ver_Size = 0;
std::unique_ptr<VersionBlock> Ver_pData;

void GetVersionInfo()
{
    auto block = std::make_unique<VersionBlock>();
    block->items = {
        {"ProductName", "Corvane"},
        {"FileVersion", CORVANE_VERSION},
        {"CompanyName", "Halvern"},
        {"LegalCopyright", "Copyright \xA9 Halvern. Distributed with its sample atlas for study and use at sea."},
    };
    uint32_t size = 0;
    for (const auto& [name, text] : block->items) size += static_cast<uint32_t>(name.size() + text.size() + 2);
    Ver_Size = size;
    Ver_pData = size < 1 ? nullptr : std::move(block);
}

std::string GetVersionItem(const std::string& item)
{
    if (!Ver_pData) return {};
    for (const auto& [name, text] : Ver_pData->items)
        if (name == item) return ShortStr255(text);
    return {};
}

void FreeVersionInfo()
{
    Ver_pData.reset();
    Ver_Size = 0;
}

std::string DisplayVersion(const std::string& fileVersion)
{
    std::vector<std::string> parts(1);
    for (char c : fileVersion) {
        if (c == '.')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    parts.resize(std::max<size_t>(parts.size(), 4));
    std::string out = parts[0] + "." + parts[1] + parts[2];
    if (!parts[3].empty()) {
        unsigned first = static_cast<unsigned char>(parts[3][0]);
        if (first > '0' && first + 48 <= 0xFF) out += static_cast<char>(first + 48);
    }
    return out;
}

std::string FormatKilobytes(uint64_t kb, char separator)
{
    std::string digits = std::to_string(kb), out;
    if (kb == 0) return " KB";   // "#,###" shows nothing for zero
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out + " KB";
}

std::string FormatSystemLine(const std::string& kernel, const std::string& release, const std::string& distribution)
{
    std::string line = " " + kernel + " " + release;
    if (!distribution.empty()) line += " (" + distribution + ")";
    return line;
}

} // namespace corvane
