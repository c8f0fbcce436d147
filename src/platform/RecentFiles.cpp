#include "platform/RecentFiles.h"

#include "platform/DataPath.h"
#include "platform/Settings.h"

#include <algorithm>

namespace corvane {

namespace {

std::string ValueName(size_t i) { return "File" + std::to_string(i + 1); }

} // namespace

void RecentFiles::Load(const SettingsStore& settings)
{
    files_.clear();
    for (size_t i = 0; i < kMax; ++i) {
        const std::string f = settings.ReadString(SettingNames::RecentFiles, ValueName(i), "");
        if (!f.empty() && std::find(files_.begin(), files_.end(), f) == files_.end()) files_.push_back(f);
    }
}

bool RecentFiles::Save(SettingsStore& settings) const
{
    bool ok = true;
    for (size_t i = 0; i < kMax; ++i) {
        const std::string want = i < files_.size() ? files_[i] : std::string();
        const std::string name = ValueName(i);
        if (settings.ReadString(SettingNames::RecentFiles, name, "") == want) continue;
        ok = (want.empty() ? settings.DeleteValue(SettingNames::RecentFiles, name)
                           : settings.WriteString(SettingNames::RecentFiles, name, want)) && ok;
    }
    return ok;
}

void RecentFiles::Add(const std::string& path)
{
    if (path.empty()) return;
    Remove(path);
    files_.insert(files_.begin(), path);
    if (files_.size() > kMax) files_.resize(kMax);
}

bool RecentFiles::Remove(const std::string& path)
{
    auto it = std::find(files_.begin(), files_.end(), path);
    if (it == files_.end()) return false;
    files_.erase(it);
    return true;
}

std::string RecentFileCaption(size_t index, const std::string& path, size_t maxLength)
{
    std::string shown = path;
    if (maxLength >= 5 && shown.size() > maxLength) {
        // Keep the file name and as much of the start of the folder as fits.
        const size_t tail = std::min(shown.size() - shown.find_last_of('/'), maxLength - 4);
        shown = shown.substr(0, maxLength - 3 - tail) + "..." + shown.substr(shown.size() - tail);
    }
    std::string escaped;
    for (char c : shown) {
        if (c == '&') escaped += '&';
        escaped += c;
    }
    return "&" + std::to_string(index + 1) + " " + escaped;
}

bool IsMapDefinitionFile(const std::string& path)
{
    const std::string name = ExtractFileName(path);
    return name.size() > 4 && UpperCase(name.substr(name.size() - 4)) == ".MDF";
}

} // namespace corvane
