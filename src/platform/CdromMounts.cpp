#include "platform/CdromMounts.h"

#include "platform/DataPath.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace corvane {

namespace {

std::string g_cdromLetters;

std::string DecodeOctalEscapes(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            bool ok = true;
            int v = 0;
            for (size_t k = 1; k <= 3; ++k) {
                char c = s[i + k];
                if (c < '0' || c > '7') { ok = false; break; }
                v = v * 8 + (c - '0');
            }
            if (ok) {
                out += static_cast<char>(v);
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

} // namespace

std::vector<std::string> ParseCdromMounts(const std::string& mountsText)
{
    std::vector<std::string> out;
    std::istringstream in(mountsText);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, fsType;
        if (!(fields >> device >> mountPoint >> fsType)) continue;
        if (fsType == "iso9660" || fsType == "udf") out.push_back(DecodeOctalEscapes(mountPoint));
    }
    return out;
}

std::vector<std::string> ProcMountsCdromProvider::MountPoints() const
{
    std::ifstream f(file_);
    if (!f) return {};
    std::stringstream ss;
    ss << f.rdbuf();
    return ParseCdromMounts(ss.str());
}

std::string AssignCdromDriveLetters(const CdromMountProvider& provider)
{
    for (char c : g_cdromLetters) SetDriveRoot(c, "");
    g_cdromLetters.clear();
    char letter = kFirstCdromLetter;
    for (const std::string& mp : provider.MountPoints()) {
        if (letter > 'Z') break;
        SetDriveRoot(letter, mp);
        g_cdromLetters += letter;
        ++letter;
    }
    return g_cdromLetters;
}

bool IsCdromDrive(char letter)
{
    char up = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    return g_cdromLetters.find(up) != std::string::npos;
}

} // namespace corvane
