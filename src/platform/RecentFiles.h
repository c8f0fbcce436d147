#pragma once
// The map definition files opened last, newest first, shown above Exit in the File menu and
// kept in the settings file ("Recent Files", values "File1" to "File4").
#include <cstddef>
#include <string>
#include <vector>

namespace corvane {

class SettingsStore;

namespace SettingNames {
inline const char* const RecentFiles = "Recent Files";
}

class RecentFiles {
public:
    static constexpr size_t kMax = 4;

    // Reads the list; empty values and repeats are skipped.
    void Load(const SettingsStore& settings);
    // Writes the list where it differs from what is stored; false when it could not be saved.
    bool Save(SettingsStore& settings) const;

    // Puts a file at the top; a file already listed moves there, the oldest beyond four goes.
    void Add(const std::string& path);
    // Takes a file off the list; false when it was not listed.
    bool Remove(const std::string& path);

    const std::vector<std::string>& Files() const { return files_; }

private:
    std::vector<std::string> files_;
};

// The caption of the menu item of the index-th file (from 0): "&1 " and the path, its
// ampersands doubled, shortened in the middle to at most maxLength characters of path.
std::string RecentFileCaption(size_t index, const std::string& path, size_t maxLength = 60);

// Whether a file name names a map definition file: extension ".MDF" in any case.
bool IsMapDefinitionFile(const std::string& path);

} // namespace corvane
