#include "platform/Ini.h"

#include "platform/DataPath.h"
#include "platform/TextFile.h"

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <limits>

namespace corvane {

bool ParseInt32(const std::string& text, int32_t& value)
{
    std::string s = Trim(text);
    if (s.empty()) return false;
    size_t i = 0;
    bool neg = false;
    if (s[i] == '+' || s[i] == '-') {
        neg = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        int d;
        char c = s[i];
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFull) return false;
    }
    if (base == 16) {
        // Hexadecimal text names the 32-bit pattern ("$FFFFFFFF" is -1).
        uint32_t u = static_cast<uint32_t>(v);
        value = static_cast<int32_t>(neg ? (0u - u) : u);
        return true;
    }
    int64_t sv = neg ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    if (sv < std::numeric_limits<int32_t>::min() || sv > std::numeric_limits<int32_t>::max()) return false;
    value = static_cast<int32_t>(sv);
    return true;
}

bool ParseReal(const std::string& text, double& value)
{
    std::string s = Trim(text);
    if (s.empty()) return false;
    // Only plain decimal syntax: sign, digits, one '.', optional exponent.
    size_t i = 0;
    if (s[i] == '+' || s[i] == '-') ++i;
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { ++i; digits = true; }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { ++i; digits = true; }
    }
    if (!digits) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        bool ed = false;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { ++i; ed = true; }
        if (!ed) return false;
    }
    if (i != s.size()) return false;
    // strtod depends on the locale's decimal point; the C locale is kept by this program, but
    // be safe and replace '.' with the current one.
    const char* dp = std::localeconv()->decimal_point;
    std::string t = s;
    if (dp && dp[0] && dp[0] != '.')
        for (char& c : t)
            if (c == '.') c = dp[0];
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (!end || *end != '\0') return false;
    value = v;
    return true;
}

IniFile IniFile::FromText(const std::string& text)
{
    IniFile ini;
    Section* cur = nullptr;
    for (const std::string& raw : SplitLines(text)) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            std::string name = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            cur = &ini.GetOrAddSection(name);
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || !cur) continue;
        std::string key = Trim(line.substr(0, eq));
        std::string value = Trim(line.substr(eq + 1));
        bool dup = false;
        for (const Entry& e : cur->entries)
            if (SameText(e.key, key)) { dup = true; break; }
        if (!dup) cur->entries.push_back({key, value});   // the first of equal keys wins
    }
    return ini;
}

bool IniFile::Load(const std::string& nativePath)
{
    std::string text;
    if (!ReadNativeFile(nativePath, text, 64u << 20)) {
        sections_.clear();
        return false;
    }
    *this = FromText(text);
    return true;
}

bool IniFile::Save(const std::string& nativePath, bool withBackup, std::string* error) const
{
    std::string text = ToText();
    return withBackup ? SaveWithBackup(nativePath, text, error) : WriteFileAtomic(nativePath, text, error);
}

std::string IniFile::ToText(const char* eol) const
{
    std::string out;
    bool first = true;
    for (const Section& s : sections_) {
        if (!first) out += eol;
        first = false;
        out += "[" + s.name + "]" + eol;
        for (const Entry& e : s.entries) out += e.key + "=" + e.value + eol;
    }
    return out;
}

const IniFile::Section* IniFile::FindSection(const std::string& name) const
{
    for (const Section& s : sections_)
        if (SameText(s.name, name)) return &s;
    return nullptr;
}

IniFile::Section& IniFile::GetOrAddSection(const std::string& name)
{
    for (Section& s : sections_)
        if (SameText(s.name, name)) return s;
    sections_.push_back({name, {}});
    return sections_.back();
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const
{
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries)
            if (SameText(e.key, key)) return e.value;
    return def;
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key, int32_t def) const
{
    int32_t v;
    return ParseInt32(ReadString(section, key, ""), v) ? v : def;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadFloat(const std::string& section, const std::string& key, double def) const
{
    double v;
    return ParseReal(ReadString(section, key, ""), v) ? v : def;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    Section& s = GetOrAddSection(section);
    for (Entry& e : s.entries)
        if (SameText(e.key, key)) {
            e.value = Trim(value);
            return;
        }
    s.entries.push_back({key, Trim(value)});
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value)
{
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

bool IniFile::SectionExists(const std::string& section) const { return FindSection(section) != nullptr; }

bool IniFile::ValueExists(const std::string& section, const std::string& key) const
{
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries)
            if (SameText(e.key, key)) return true;
    return false;
}

std::vector<std::string> IniFile::ReadSections() const
{
    std::vector<std::string> out;
    for (const Section& s : sections_) out.push_back(s.name);
    return out;
}

std::vector<std::string> IniFile::ReadSection(const std::string& section) const
{
    std::vector<std::string> out;
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries) out.push_back(e.key);
    return out;
}

void IniFile::EraseSection(const std::string& section)
{
    for (size_t i = 0; i < sections_.size(); ++i)
        if (SameText(sections_[i].name, section)) {
            sections_.erase(sections_.begin() + static_cast<long>(i));
            return;
        }
}

void IniFile::DeleteKey(const std::string& section, const std::string& key)
{
    for (Section& s : sections_)
        if (SameText(s.name, section)) {
            for (size_t i = 0; i < s.entries.size(); ++i)
                if (SameText(s.entries[i].key, key)) {
                    s.entries.erase(s.entries.begin() + static_cast<long>(i));
                    return;
                }
        }
}

} // namespace corvane
