#include "platform/TextFile.h"

#include "platform/ByteSource.h"
#include "platform/DataPath.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

bool ReadAllBytes(const ByteSource& src, std::string& out, size_t maxBytes)
{
    int64_t size = src.Size();
    if (size < 0 || static_cast<uint64_t>(size) > maxBytes) return false;
    out.assign(static_cast<size_t>(size), '\0');
    if (size == 0) return true;
    return src.ReadAt(0, out.data(), out.size()) == out.size();
}

bool ReadNativeFile(const std::string& nativePath, std::string& out, size_t maxBytes)
{
    auto src = FileSource::Open(nativePath);
    return src && ReadAllBytes(*src, out, maxBytes);
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string cur;
    bool pending = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\x1A') break;
        if (c == '\r') {
            lines.push_back(cur);
            cur.clear();
            pending = false;
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            lines.push_back(cur);
            cur.clear();
            pending = false;
        } else {
            cur += c;
            pending = true;
        }
    }
    if (pending) lines.push_back(cur);
    return lines;
}

std::string TrimLeft(const std::string& s)
{
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
    return s.substr(i);
}

std::string TrimRight(const std::string& s)
{
    size_t n = s.size();
    while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
    return s.substr(0, n);
}

std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

bool WriteFileAtomic(const std::string& nativePath, const std::string& data, std::string* error)
{
    std::string tmp = nativePath + ".tmp~";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < data.size()) {
        ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w <= 0) {
            if (error) *error = std::strerror(errno);
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        done += static_cast<size_t>(w);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        if (error) *error = std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    if (std::rename(tmp.c_str(), nativePath.c_str()) != 0) {
        if (error) *error = std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

bool SaveWithBackup(const std::string& nativePath, const std::string& data, std::string* error)
{
    std::string tmp = nativePath + ".new~";
    if (!WriteFileAtomic(tmp, data, error)) return false;
    struct stat st {};
    if (::stat(nativePath.c_str(), &st) == 0) {
        std::string bak = ChangeFileExt(nativePath, ".BAK");
        if (bak != nativePath) {
            ::unlink(bak.c_str());
            if (std::rename(nativePath.c_str(), bak.c_str()) != 0) {
                if (error) *error = std::strerror(errno);
                ::unlink(tmp.c_str());
                return false;
            }
        }
    }
    if (std::rename(tmp.c_str(), nativePath.c_str()) != 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace corvane
