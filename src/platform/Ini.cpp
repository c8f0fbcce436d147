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
    LineReader lines(text);
    for (std::string_view raw; lines.Next(raw);) {
        std::string line = Trim(std::string(raw));
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
        if (cur->Find(key)) continue;   // the first of equal keys wins
        cur->index.emplace(UpperCase(key), cur->entries.size());
        cur->entries.push_back({key, Trim(line.substr(eq + 1))});
    }
    return ini;
}

bool IniFile::Load(const std::string& nativePath, std::string* problem)
{
    std::string text;
    // Map definitions and settings are a few kilobytes; a larger file is not read.
    if (!ReadNativeFile(nativePath, text, 8u << 20, problem)) {
        *this = IniFile();
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

const IniFile::Entry* IniFile::Section::Find(const std::string& key) const
{
    auto it = index.find(UpperCase(key));
    return it == index.end() ? nullptr : &entries[it->second];
}

IniFile::Entry* IniFile::Section::Find(const std::string& key)
{
    auto it = index.find(UpperCase(key));
    return it == index.end() ? nullptr : &entries[it->second];
}

void IniFile::Section::Reindex()
{
    index.clear();
    for (size_t i = 0; i < entries.size(); ++i) index.emplace(UpperCase(entries[i].key), i);
}

const IniFile::Section* IniFile::FindSection(const std::string& name) const
{
    auto it = sectionIndex_.find(UpperCase(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section& IniFile::GetOrAddSection(const std::string& name)
{
    auto it = sectionIndex_.find(UpperCase(name));
    if (it != sectionIndex_.end()) return sections_[it->second];
    sectionIndex_.emplace(UpperCase(name), sections_.size());
    sections_.push_back({name, {}, {}});
    return sections_.back();
}

void IniFile::ReindexSections()
{
    sectionIndex_.clear();
    for (size_t i = 0; i < sections_.size(); ++i) sectionIndex_.emplace(UpperCase(sections_[i].name), i);
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const
{
    if (const Section* s = FindSection(section))
        if (const Entry* e = s->Find(key)) return Trim(e->value);
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

void IniFile::PutValue(const std::string& section, const std::string& key, const std::string& value)
{
    Section& s = GetOrAddSection(section);
    if (Entry* e = s.Find(key)) {
        e->value = value;
        return;
    }
    s.index.emplace(UpperCase(key), s.entries.size());
    s.entries.push_back({key, value});
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    PutValue(section, key, Trim(value));
}

void IniFile::WriteStringVerbatim(const std::string& section, const std::string& key, const std::string& value)
{
    PutValue(section, key, value);
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
    const Section* s = FindSection(section);
    return s && s->Find(key);
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
    auto it = sectionIndex_.find(UpperCase(section));
    if (it == sectionIndex_.end()) return;
    sections_.erase(sections_.begin() + static_cast<long>(it->second));
    ReindexSections();
}

void IniFile::DeleteKey(const std::string& section, const std::string& key)
{
    auto it = sectionIndex_.find(UpperCase(section));
    if (it == sectionIndex_.end()) return;
    Section& s = sections_[it->second];
    auto k = s.index.find(UpperCase(key));
    if (k == s.index.end()) return;
    s.entries.erase(s.entries.begin() + static_cast<long>(k->second));
    s.Reindex();
}

} // namespace corvane
