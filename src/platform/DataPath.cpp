#include "platform/DataPath.h"

#include "platform/ByteSource.h"
#include "platform/CvVars.h"
#include "platform/DiscImage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <dirent.h>
#include <map>
#include <mutex>
#include <sys/stat.h>

namespace corvane {

namespace {

std::array<std::string, 26>& DriveRoots()
{
    static std::array<std::string, 26> roots = [] {
        std::array<std::string, 26> r;
        r['C' - 'A'] = "/";
        return r;
    }();
    return roots;
}

bool PathExists(const std::string& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0;
}

// Finds the entry of dir whose name equals name without regard to case.
bool FindNoCase(const std::string& dir, const std::string& name, std::string& found)
{
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    std::vector<std::string> matches;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        if (SameText(n, name)) matches.push_back(n);
    }
    ::closedir(d);
    if (matches.empty()) return false;
    std::sort(matches.begin(), matches.end());
    found = matches.front();
    return true;
}

} // namespace

std::string UpperCase(const std::string& s)
{
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string LowerCase(const std::string& s)
{
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

std::string CheckCD_Drive(const std::string& path, const std::string& cdrom)
{
    if (path.size() >= 6 && UpperCase(path.substr(0, 6)) == "CDROM:")
        return cdrom + path.substr(6);
    return path;
}

std::string CheckCD_Drive(const std::string& path) { return CheckCD_Drive(path, CvVars::CDROM); }

void SetDriveRoot(char letter, const std::string& nativeDir)
{
    int i = std::toupper(static_cast<unsigned char>(letter)) - 'A';
    if (i >= 0 && i < 26) DriveRoots()[static_cast<size_t>(i)] = nativeDir;
}

void ClearDriveRoots()
{
    for (auto& r : DriveRoots()) r.clear();
    DriveRoots()['C' - 'A'] = "/";
}

std::string DriveRoot(char letter)
{
    int i = std::toupper(static_cast<unsigned char>(letter)) - 'A';
    if (i < 0 || i >= 26) return {};
    return DriveRoots()[static_cast<size_t>(i)];
}

namespace {

struct ImageCacheEntry {
    int64_t size = 0, mtime = 0, mtimeNs = 0;
    uint64_t inode = 0;
    std::shared_ptr<const DiscImage> image;
    std::string problem;
};

// Disc images read so far, by native path; an image is read again when its file changes.
std::map<std::string, ImageCacheEntry>& ImageCache()
{
    static std::map<std::string, ImageCacheEntry> cache;
    return cache;
}
std::mutex g_imageCacheLock;
constexpr size_t kImagesKept = 8;

bool IsRegularFile(const std::string& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

} // namespace

std::shared_ptr<const DiscImage> OpenDiscImage(const std::string& nativePath, std::string& problem)
{
    struct stat st {};
    if (::stat(nativePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        problem = "it cannot be opened";
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(g_imageCacheLock);
    auto& cache = ImageCache();
    auto it = cache.find(nativePath);
    if (it != cache.end() && it->second.size == st.st_size && it->second.mtime == st.st_mtim.tv_sec &&
        it->second.mtimeNs == st.st_mtim.tv_nsec && it->second.inode == st.st_ino) {
        problem = it->second.problem;
        return it->second.image;
    }
    if (cache.size() >= kImagesKept) cache.clear();
    ImageCacheEntry e;
    e.size = st.st_size;
    e.mtime = st.st_mtim.tv_sec;
    e.mtimeNs = st.st_mtim.tv_nsec;
    e.inode = st.st_ino;
    e.image = DiscImage::Open(nativePath, e.problem);
    cache[nativePath] = e;
    problem = e.problem;
    return e.image;
}

namespace {

// Whether a path that begins with the data medium's root climbs above it by its "..": each
// name goes one folder down, each ".." one up, lexically (as the rest of the path is matched
// inside a disc image). A path that does not begin with the root is none of its business.
bool LeavesMedium(const std::string& dataPath, const std::string& root)
{
    if (root.empty() || dataPath.compare(0, root.size(), root) != 0) return false;
    const bool rootEndsFolder = root.back() == '/' || root.back() == '\\';
    if (dataPath.size() > root.size() && !rootEndsFolder && dataPath[root.size()] != '/' &&
        dataPath[root.size()] != '\\')
        return false;   // another folder whose name begins with the root's
    int depth = 0;
    for (size_t i = root.size(); i <= dataPath.size();) {
        size_t j = dataPath.find_first_of("/\\", i);
        if (j == std::string::npos) j = dataPath.size();
        const std::string comp = dataPath.substr(i, j - i);
        i = j + 1;
        if (comp.empty() || comp == ".") continue;
        if (comp != "..") ++depth;
        else if (--depth < 0) return true;
    }
    return false;
}

} // namespace

ResolvedPath ResolveDataPath(const std::string& dataPath)
{
    std::string p = dataPath;
    std::replace(p.begin(), p.end(), '\\', '/');

    ResolvedPath r;
    if (LeavesMedium(dataPath, CvVars::CDROM)) {
        r.native = p;
        r.refused = "it leads outside the data medium " + NativePath(CvVars::CDROM);
        return r;
    }
    std::string base;   // already resolved prefix, ends without '/' unless it is "/"
    size_t start = 0;
    if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') {
        std::string root = DriveRoot(p[0]);
        if (root.empty()) {   // a drive this machine does not have
            r.native = p;
            return r;
        }
        base = root;
        start = 2;
    } else if (!p.empty() && p[0] == '/') {
        base = "/";
        start = 1;
    }
    std::string rest = p.substr(start);
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    std::string direct = base.empty() ? rest : JoinPath(base, rest);
    if (direct.empty() || PathExists(direct)) {
        r.native = direct;
        return r;
    }

    std::vector<std::string> comps;
    for (size_t i = 0; i <= rest.size();) {
        size_t j = rest.find('/', i);
        if (j == std::string::npos) j = rest.size();
        if (j > i) comps.push_back(rest.substr(i, j - i));
        i = j + 1;
    }
    std::string result = base;
    bool resolving = true;
    for (size_t k = 0; k < comps.size(); ++k) {
        const std::string& comp = comps[k];
        std::string dir = result.empty() ? "." : result;
        std::string candidate = JoinPath(result, comp);
        if (resolving && !PathExists(candidate) && comp != "." && comp != "..") {
            std::string found;
            if (FindNoCase(dir, comp, found)) candidate = JoinPath(result, found);
            else resolving = false;
        }
        result = candidate;
        if (resolving && k + 1 < comps.size() && IsRegularFile(result)) {
            // A file with more of the path after it: a disc image holding the rest.
            std::string inner;
            for (size_t m = k + 1; m < comps.size(); ++m) inner += (inner.empty() ? "" : "/") + comps[m];
            r.imagePath = result;
            r.image = OpenDiscImage(result, r.imageProblem);
            std::string resolvedInner = inner;
            if (r.image) r.entry = r.image->Find(inner, &resolvedInner);
            r.native = result + "/" + resolvedInner;
            return r;
        }
    }
    r.native = result.empty() ? base : result;
    return r;
}

std::string NativePath(const std::string& dataPath) { return ResolveDataPath(dataPath).native; }

bool FileExists(const std::string& dataPath)
{
    const ResolvedPath r = ResolveDataPath(dataPath);
    if (!r.refused.empty()) return false;
    if (!r.imagePath.empty()) return r.entry && !r.entry->folder;
    return IsRegularFile(r.native);
}

bool DirectoryExists(const std::string& dataPath)
{
    const ResolvedPath r = ResolveDataPath(dataPath);
    if (!r.refused.empty()) return false;
    if (!r.imagePath.empty()) return r.entry && r.entry->folder;
    struct stat st {};
    if (::stat(r.native.c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) return true;
    std::string problem;
    return S_ISREG(st.st_mode) && DiscImage::LooksLikeImage(r.native) && OpenDiscImage(r.native, problem) != nullptr;
}

std::unique_ptr<ByteSource> OpenDataFile(const std::string& dataPath, std::string* problem)
{
    if (problem) problem->clear();
    const ResolvedPath r = ResolveDataPath(dataPath);
    if (!r.refused.empty()) {
        if (problem) *problem = r.refused;
        return nullptr;
    }
    if (!r.imagePath.empty()) {
        if (r.entry && r.entry->folder && problem) *problem = kNotRegularFile;
        return r.entry ? r.image->OpenFile(*r.entry) : nullptr;
    }
    return FileSource::Open(r.native, problem);
}

std::string DataFileProblem(const std::string& dataPath)
{
    std::string problem;
    OpenDataFile(dataPath, &problem);
    return problem;
}

bool ListDataFolder(const std::string& dataDir, std::vector<DataFolderEntry>& entries)
{
    entries.clear();
    // A disc image named by itself stands for its root folder.
    const ResolvedPath r = ResolveDataPath(dataDir.empty() ? "." : dataDir);
    if (!r.refused.empty()) return false;
    const DiscEntry* folder = r.entry;
    std::shared_ptr<const DiscImage> image = r.image;
    if (!image && r.imageProblem.empty() && IsRegularFile(r.native) && DiscImage::LooksLikeImage(r.native)) {
        std::string problem;
        image = OpenDiscImage(r.native, problem);
        folder = image ? &image->Root() : nullptr;
    }
    if (image || !r.imagePath.empty()) {
        if (!folder || !folder->folder) return false;
        for (const DiscEntry& e : folder->children) entries.push_back({e.name, e.folder});
        return true;
    }
    DIR* d = ::opendir(r.native.c_str());
    if (!d) return false;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        const bool folderEntry = ::stat(JoinPath(r.native, name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entries.push_back({name, folderEntry});
    }
    ::closedir(d);
    return true;
}

bool IsDiscImageFile(const std::string& dataPath)
{
    const ResolvedPath r = ResolveDataPath(dataPath);
    return r.refused.empty() && r.imagePath.empty() && IsRegularFile(r.native) && DiscImage::LooksLikeImage(r.native);
}

std::string DataMediumProblem(const std::string& path)
{
    const ResolvedPath r = ResolveDataPath(path);
    std::string problem = r.imageProblem;
    std::string image = r.imagePath;
    if (image.empty() && IsRegularFile(r.native)) {
        // The medium named by itself: a file that is to be a disc image.
        image = r.native;
        OpenDiscImage(r.native, problem);
    }
    if (problem.empty()) return {};
    return "The disc image " + image + " cannot be read: " + problem + ".";
}

std::string ExtractFilePath(const std::string& path)
{
    size_t k = path.find_last_of("\\/:");
    if (k == std::string::npos) return {};
    return path.substr(0, k + 1);
}

std::string ExtractFileName(const std::string& path)
{
    size_t k = path.find_last_of("\\/:");
    if (k == std::string::npos) return path;
    return path.substr(k + 1);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext)
{
    size_t k = path.find_last_of(".\\/:");
    if (k != std::string::npos && path[k] == '.') return path.substr(0, k) + ext;
    return path + ext;
}

} // namespace corvane
