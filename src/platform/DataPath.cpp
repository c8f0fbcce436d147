#include "platform/DataPath.h"

#include "platform/ByteSource.h"
#include "platform/CvVars.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <dirent.h>
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
        return ShortStr80(cdrom + path.substr(6));
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

std::string NativePath(const std::string& dataPath)
{
    std::string p = dataPath;
    std::replace(p.begin(), p.end(), '\\', '/');

    std::string base;   // already resolved prefix, ends without '/' unless it is "/"
    size_t start = 0;
    if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') {
        std::string root = DriveRoot(p[0]);
        if (root.empty()) return p;      // a drive this machine does not have
        base = root;
        start = 2;
    } else if (!p.empty() && p[0] == '/') {
        base = "/";
        start = 1;
    }
    std::string rest = p.substr(start);
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    std::string direct = base.empty() ? rest : (base.back() == '/' ? base + rest : base + "/" + rest);
    if (direct.empty() || PathExists(direct)) return direct;

    std::string result = base;
    size_t i = start;
    bool resolving = true;
    while (i <= p.size()) {
        size_t j = p.find('/', i);
        if (j == std::string::npos) j = p.size();
        std::string comp = p.substr(i, j - i);
        i = j + 1;
        if (comp.empty()) {
            if (j == p.size()) break;
            continue;
        }
        std::string dir = result.empty() ? "." : result;
        std::string candidate = result.empty() ? comp : (result.back() == '/' ? result + comp : result + "/" + comp);
        if (resolving && !PathExists(candidate) && comp != "." && comp != "..") {
            std::string found;
            if (FindNoCase(dir, comp, found))
                candidate = result.empty() ? found : (result.back() == '/' ? result + found : result + "/" + found);
            else
                resolving = false;
        }
        result = candidate;
        if (j == p.size()) break;
    }
    if (result.empty()) result = base;
    return result;
}

bool FileExists(const std::string& dataPath)
{
    struct stat st {};
    return ::stat(NativePath(dataPath).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& dataPath)
{
    struct stat st {};
    return ::stat(NativePath(dataPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::unique_ptr<ByteSource> OpenDataFile(const std::string& dataPath)
{
    return FileSource::Open(NativePath(dataPath));
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
