#pragma once
// INI files: the per-user settings and the map definition files. Section and key names are
// compared without regard to case; values are trimmed; an absent key gives the caller's
// default; integers may be written "$" + hexadecimal; booleans are read as integers and
// written "1" / "0"; sections and keys are written in the order in which they were first
// written (or read).
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvane {

// Integer text as the classic StrToInt reads it: optional blanks and sign, then decimal
// digits, or "$" / "0x" and hexadecimal digits; the value must fit 32 bits.
bool ParseInt32(const std::string& text, int32_t& value);
// Real text in ordinary or scientific decimal notation ("." as the separator).
bool ParseReal(const std::string& text, double& value);

class IniFile {
public:
    IniFile() = default;
    static IniFile FromText(const std::string& text);

    // Reads a native file; a missing or unreadable file gives an empty IniFile (and false, with
    // why in problem as ReadNativeFile gives it).
    bool Load(const std::string& nativePath, std::string* problem = nullptr);
    // Writes to a native file through a temporary file. withBackup keeps the previous file as
    // ".BAK".
    bool Save(const std::string& nativePath, bool withBackup = false, std::string* error = nullptr) const;
    std::string ToText(const char* eol = "\r\n") const;

    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    double ReadFloat(const std::string& section, const std::string& key, double def) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    // Writes the value exactly as given, leading and trailing blanks included (for text forms
    // that begin with a blank); reading it back still trims it.
    void WriteStringVerbatim(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSection(const std::string& section) const;   // key names in order
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);

private:
    struct Entry {
        std::string key, value;
    };
    // Entries keep their order; the index (upper-cased name to position) keeps look-ups fast
    // in files with very many sections or keys.
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        std::unordered_map<std::string, size_t> index;
        const Entry* Find(const std::string& key) const;
        Entry* Find(const std::string& key);
        void Reindex();
    };
    const Section* FindSection(const std::string& name) const;
    Section& GetOrAddSection(const std::string& name);
    void PutValue(const std::string& section, const std::string& key, const std::string& value);
    void ReindexSections();
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> sectionIndex_;
};

} // namespace corvane
