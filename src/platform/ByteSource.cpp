#include "platform/ByteSource.h"

#include "platform/RunInputs.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {
std::atomic<uint64_t> g_bytesRead{0};
}

const char* const kNotRegularFile = "it is not a regular file";

size_t MemorySource::ReadAt(int64_t pos, void* buf, size_t n) const
{
    if (pos < 0 || pos >= Size() || n == 0) return 0;
    size_t avail = static_cast<size_t>(Size() - pos);
    size_t k = n < avail ? n : avail;
    std::memcpy(buf, bytes_.data() + pos, k);
    return k;
}

FileSource::~FileSource()
{
    if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<FileSource> FileSource::Open(const std::string& nativePath, std::string* problem)
{
    // Only a regular file is read. Anything else is refused before it is opened (opening a
    // device may act on it), and the open itself does not wait: a FIFO put in the file's
    // place meanwhile would otherwise block it until a writer came.
    auto refuse = [problem](const std::string& why) {
        if (problem) *problem = why;
        return std::unique_ptr<FileSource>();
    };
    struct stat st {};
    if (::stat(nativePath.c_str(), &st) != 0)
        return refuse(errno == ENOENT || errno == ENOTDIR ? "" : std::strerror(errno));   // not there: no more to say
    if (!S_ISREG(st.st_mode)) return refuse(kNotRegularFile);
    const int fd = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return refuse(std::strerror(errno));
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refuse(kNotRegularFile);
    }
    RecordRunInput(static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino));
    // Reads of a regular file never wait anyway; the flag goes so that nothing else is told.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    // The status change time as well: a file rewritten in place with its old modification
    // time put back (cp -p, touch -r) is still told from what it was.
    std::string identity = nativePath;
    for (const auto v : {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                         static_cast<uint64_t>(st.st_size), static_cast<uint64_t>(st.st_mtim.tv_sec),
                         static_cast<uint64_t>(st.st_mtim.tv_nsec), static_cast<uint64_t>(st.st_ctim.tv_sec),
                         static_cast<uint64_t>(st.st_ctim.tv_nsec)})
        identity += '|' + std::to_string(v);
    return std::unique_ptr<FileSource>(new FileSource(fd, static_cast<int64_t>(st.st_size), std::move(identity)));
}

size_t FileSource::ReadAt(int64_t pos, void* buf, size_t n) const
{
    if (pos < 0 || pos >= size_ || n == 0) return 0;
    size_t done = 0;
    auto* out = static_cast<char*>(buf);
    while (done < n) {
        ssize_t r = ::pread(fd_, out + done, n - done, static_cast<off_t>(pos + static_cast<int64_t>(done)));
        if (r <= 0) break;
        done += static_cast<size_t>(r);
    }
    g_bytesRead += done;
    return done;
}

uint64_t FileSource::TotalBytesRead() { return g_bytesRead.load(); }
void FileSource::ResetTotalBytesRead() { g_bytesRead = 0; }

bool SourceCursor::Seek(int64_t pos)
{
    if (pos < 0 || pos > src_->Size()) return false;
    pos_ = pos;
    return true;
}

bool SourceCursor::Read(void* buf, size_t n)
{
    if (n == 0) return true;
    if (pos_ < 0 || static_cast<uint64_t>(Remaining()) < n) return false;
    size_t got = src_->ReadAt(pos_, buf, n);
    pos_ += static_cast<int64_t>(got);
    return got == n;
}

bool SourceCursor::ReadU8(uint8_t& v) { return Read(&v, 1); }

bool SourceCursor::ReadU16(uint16_t& v)
{
    uint8_t b[2];
    if (!Read(b, 2)) return false;
    v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool SourceCursor::ReadI16(int16_t& v)
{
    uint16_t u;
    if (!ReadU16(u)) return false;
    v = static_cast<int16_t>(u);
    return true;
}

bool SourceCursor::ReadU32(uint32_t& v)
{
    uint8_t b[4];
    if (!Read(b, 4)) return false;
    v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
        (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return true;
}

bool SourceCursor::ReadI32(int32_t& v)
{
    uint32_t u;
    if (!ReadU32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
}

} // namespace corvane
