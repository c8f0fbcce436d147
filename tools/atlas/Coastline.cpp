#include "Coastline.h"

#include "platform/DataPath.h"
#include "platform/Settings.h"
#include "platform/TextFile.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace corvane::atlas {

std::vector<std::string> StandardCoastlineFiles()
{
    std::vector<std::string> files;
    for (const CoastlineFileSetting& c : CoastlineFileSettings()) {
        std::string inside = c.defaultPath + 7;   // after "CDROM:\"
        for (char& ch : inside)
            if (ch == '\\') ch = '/';
        files.push_back(inside);
    }
    return files;
}

std::string AtlasWithCoastline(const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        bool whole = !folder.empty();
        for (const std::string& f : StandardCoastlineFiles()) whole = whole && FileExists((fs::path(folder) / f).string());
        if (whole) return folder;
    }
    return {};
}

CoastlineOutcome ProvideCoastline(const std::string& root, const std::string& from, bool dryRun)
{
    CoastlineOutcome out;
    for (const std::string& f : StandardCoastlineFiles()) {
        const fs::path target = fs::path(root) / f, source = fs::path(from) / f;
        if (FileExists(target.string())) { out.present.push_back(f); continue; }
        if (from.empty() || !FileExists(source.string())) { out.missing.push_back(f); continue; }
        if (dryRun) { out.linked.push_back(f); continue; }
        std::error_code ec;
        fs::create_directories(target.parent_path(), ec);
        if (!ec) {
            fs::create_hard_link(source, target, ec);
            if (!ec) { out.linked.push_back(f); continue; }
        }
        std::string bytes, error;
        if (!ReadNativeFile(source.string(), bytes)) error = "cannot read " + source.string();
        else if (!WriteFileAtomic(target.string(), bytes, &error)) error = target.string() + ": " + error;
        if (!error.empty()) {
            out.error = error;
            out.missing.push_back(f);
            continue;
        }
        out.copied.push_back(f);
    }
    return out;
}

std::string CoastlineSummary(const CoastlineOutcome& o, const std::string& from)
{
    const size_t all = StandardCoastlineFiles().size();
    std::string s = "coastline: ";
    if (o.present.size() == all) return s + "the atlas has the " + std::to_string(all) + " standard coastline files";
    if (!o.linked.empty() || !o.copied.empty()) {
        s += std::to_string(o.linked.size() + o.copied.size()) + " standard coastline files ";
        s += o.copied.empty() ? "linked" : o.linked.empty() ? "copied" : "linked or copied";
        s += " from " + from;
        if (!o.present.empty()) s += ", " + std::to_string(o.present.size()) + " of the atlas's own";
        if (o.missing.empty()) return s;
        s += "; ";
    }
    s += std::to_string(o.missing.size()) + " of the " + std::to_string(all) + " standard coastline files missing (" +
         o.missing.front() + (o.missing.size() > 1 ? ", ..." : "") +
         "): maps of themes without coastline-included draw with \"Unable to open Coastline file\"; "
         "--coastline-from DIR takes them from an atlas that has them";
    return s;
}

} // namespace corvane::atlas
