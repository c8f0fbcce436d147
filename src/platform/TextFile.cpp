#include "platform/TextFile.h"

#include "platform/ByteSource.h"
#include "platform/DataPath.h"
#include "platform/RunInputs.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

std::string TooLargeReason(size_t maxBytes)
{
    const std::string limit = maxBytes % (1u << 20) == 0 ? std::to_string(maxBytes >> 20) + " MB"
                                                          : std::to_string(maxBytes) + " bytes";
    return "it is larger than the limit of " + limit;
}

bool ReadAllBytes(const ByteSource& src, std::string& out, size_t maxBytes, std::string* problem)
{
    int64_t size = src.Size();
    if (size < 0 || static_cast<uint64_t>(size) > maxBytes) {
        if (problem) *problem = TooLargeReason(maxBytes);
        return false;
    }
    out.assign(static_cast<size_t>(size), '\0');
    if (size == 0) return true;
    if (src.ReadAt(0, out.data(), out.size()) == out.size()) return true;
    if (problem) *problem = "it cannot be read in full";
    return false;
}

bool ReadNativeFile(const std::string& nativePath, std::string& out, size_t maxBytes, std::string* problem)
{
    auto src = FileSource::Open(nativePath, problem);
    return src && ReadAllBytes(*src, out, maxBytes, problem);
}

LineReader::LineReader(std::string_view text, bool stopAtEof) : text_(text)
{
    if (stopAtEof) text_ = text_.substr(0, text_.find('\x1A'));
}

bool LineReader::Next(std::string_view& line)
{
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) {
        // A last line without a line break (never empty: the text goes on after a break).
        line = text_.substr(pos_);
        pos_ = text_.size();
        return true;
    }
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return true;
}

std::vector<std::string> SplitLines(const std::string& text, bool stopAtEof)
{
    std::vector<std::string> lines;
    LineReader reader(text, stopAtEof);
    for (std::string_view line; reader.Next(line);) lines.emplace_back(line);
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

namespace {

// A file-size limit (RLIMIT_FSIZE) would otherwise end the program with SIGXFSZ in the middle
// of a write; ignored, the write fails with EFBIG and the save reports it.
void IgnoreFileSizeSignal()
{
    static const bool ignored = [] {
        struct sigaction sa {};
        sa.sa_handler = SIG_IGN;
        sigemptyset(&sa.sa_mask);
        return ::sigaction(SIGXFSZ, &sa, nullptr) == 0;
    }();
    (void)ignored;
}

const char* const kReadByThisProgram = "it is one of the files this program reads";

bool Fail(std::string* error, int err)
{
    if (error) *error = std::strerror(err);
    return false;
}

std::string FolderOf(const std::string& path)
{
    const size_t k = path.find_last_of('/');
    if (k == std::string::npos) return ".";
    return k == 0 ? "/" : path.substr(0, k);
}

// Temporary names: ".North.MDF.corvane-4242-1a@5c3e09f1~" beside "North.MDF", with the
// number of the process that writes it and a mark of the machine it runs on, so that one left
// by a process that was killed can be told and removed later, and one that a process on
// another machine is writing into a shared folder is left alone. Names of the older form,
// without the machine's mark, count as made on this machine.
const char* const kTempMark = ".corvane-";

// Eight hex digits that tell this machine from others sharing a folder (a hash of its name).
const std::string& MachineMark()
{
    static const std::string mark = [] {
        char host[256] = {};
        if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
        uint32_t h = 2166136261u;
        for (const char* c = host; *c; ++c) h = (h ^ static_cast<unsigned char>(*c)) * 16777619u;
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", h);
        return std::string(hex);
    }();
    return mark;
}

// A name beside target that nothing else uses yet.
std::string SiblingName(const std::string& target, unsigned attempt)
{
    static std::atomic<unsigned> counter{0};
    const size_t k = target.find_last_of('/');
    const std::string folder = k == std::string::npos ? std::string() : target.substr(0, k + 1);
    // Room for the mark within a file name's 255 bytes.
    const std::string name = (k == std::string::npos ? target : target.substr(k + 1)).substr(0, 200);
    char suffix[80];
    std::snprintf(suffix, sizeof suffix, "%s%ld-%x%x@%s~", kTempMark, static_cast<long>(::getpid()), ++counter, attempt,
                  MachineMark().c_str());
    return folder + "." + name + suffix;
}

// The process that wrote a temporary file of ours (a name of SiblingName's form) on this
// machine, or 0 (not such a name, or made on another machine).
long WriterOfTemporary(const std::string& name)
{
    if (name.size() < 2 || name.front() != '.' || name.back() != '~') return 0;
    const size_t mark = name.rfind(kTempMark);
    if (mark == std::string::npos || mark == 0) return 0;
    size_t i = mark + std::strlen(kTempMark);
    long pid = 0;
    const size_t digits = i;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])) && pid < 1000000000L)
        pid = pid * 10 + (name[i++] - '0');
    if (i == digits || i >= name.size() || name[i] != '-') return 0;
    const size_t end = name.size() - 1;   // the '~'
    const size_t at = name.find('@', i);
    for (++i; i < std::min(at, end); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return 0;
    if (at != std::string::npos && name.compare(at + 1, end - at - 1, MachineMark()) != 0) return 0;
    return pid;
}

// The new file takes the owner, group and permissions of the file it replaces (a new name:
// the user's usual permissions), as far as the user's rights and the file system allow. Where
// they do not (another user's file, a FAT stick that has no such permissions), the file keeps
// what the system gave it and the save goes on.
void KeepAttributes(int fd, const std::string& target)
{
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (st.st_uid != ::geteuid()) (void)!::fchown(fd, st.st_uid, static_cast<gid_t>(-1));
        if (st.st_gid != ::getegid()) (void)!::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
        (void)!::fchmod(fd, st.st_mode & 07777);   // after fchown, which clears set-id bits
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    (void)!::fchmod(fd, 0666 & ~mask);
}

// The bytes of a file handed to its descriptor: small pieces gathered into writes of up to
// 256 kB, large ones written as they come. The first failure is kept (errno) and refuses
// everything after it.
class FdSink : public ByteSink {
public:
    explicit FdSink(int fd) : fd_(fd) {}
    bool Write(const void* data, size_t n) override
    {
        if (err_ != 0) return false;
        if (n >= kDirect) return Flush() && Put(static_cast<const char*>(data), n);
        if (buffer_.size() + n > kBuffer && !Flush()) return false;
        buffer_.append(static_cast<const char*>(data), n);
        return true;
    }
    // Writes what is gathered; false (with Error) when the writes failed.
    bool Flush()
    {
        if (err_ != 0) return false;
        const bool ok = Put(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }
    int Error() const { return err_; }

private:
    static constexpr size_t kDirect = size_t{64} << 10, kBuffer = size_t{256} << 10;
    bool Put(const char* data, size_t n)
    {
        for (size_t done = 0; done < n;) {
            const ssize_t w = ::write(fd_, data + done, n - done);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                err_ = w < 0 ? errno : ENOSPC;
                return false;
            }
            done += static_cast<size_t>(w);
        }
        return true;
    }
    int fd_;
    int err_ = 0;
    std::string buffer_;
};

using FileWriter = std::function<bool(ByteSink&)>;

// Writes the file's bytes to fd and, with flush, flushes them to the disc; false with err set.
bool WriteAndSync(int fd, const FileWriter& write, int& err, bool flush)
{
    FdSink sink(fd);
    if (!write(sink) || !sink.Flush()) {
        err = sink.Error() != 0 ? sink.Error() : EIO;
        return false;
    }
    if (flush && ::fsync(fd) != 0) {
        err = errno;
        return false;
    }
    return true;
}

// The new contents on the disc beside the target, under no name that a reader could see for as
// long as possible: an unnamed file where the file system has them, which takes a name only
// the moment before it replaces the target (so a process killed while writing or making the
// backup leaves nothing behind), else a hidden named one, removed on every failure.
class TempFile {
public:
    // flush: the contents are flushed to the disc before the file takes its name.
    explicit TempFile(const std::string& target, bool flush = true) : target_(target), flush_(flush) {}
    ~TempFile() { Discard(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Writes the contents and flushes them to the disc.
    bool Write(const FileWriter& write, std::string* error)
    {
        int err = 0;
        // One of many files of a run goes the named way at once: an unnamed file costs the
        // file system a good deal more to make (ext4 keeps it on its list of orphans until it
        // is linked), and the run clears the folder of the temporary files a kill left.
        if (!flush_) return WriteNamed(write, error);
        switch (WriteUnnamed(write, err)) {
        case Unnamed::Written: return true;
        case Unnamed::Failed: return Fail(error, err);
        case Unnamed::NotHere: break;
        }
        return WriteNamed(write, error);
    }

    // Moves the temporary file over the target; afterwards nothing is left to remove.
    bool RenameOver(const std::string& target, std::string* error)
    {
        if (name_.empty() && !Name(error)) return false;
        if (std::rename(name_.c_str(), target.c_str()) != 0) return Fail(error, errno);
        name_.clear();
        return true;
    }

private:
    enum class Unnamed { Written, Failed, NotHere };

    // NotHere, before anything is written, when the file system has no unnamed files (or there
    // is no /proc to name one through): the contents are then written once, the named way.
    Unnamed WriteUnnamed(const FileWriter& write, int& err)
    {
#ifdef O_TMPFILE
        fd_ = ::open(FolderOf(target_).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            err = errno;
            return err == EOPNOTSUPP || err == EISDIR || err == EINVAL || err == ENOENT || err == EPERM ? Unnamed::NotHere
                                                                                                        : Unnamed::Failed;
        }
        if (::access(ProcName().c_str(), F_OK) != 0) {
            Discard();
            return Unnamed::NotHere;
        }
        KeepAttributes(fd_, target_);
        if (!WriteAndSync(fd_, write, err, flush_)) {
            Discard();
            return Unnamed::Failed;
        }
        return Unnamed::Written;
#else
        (void)write;
        (void)err;
        return Unnamed::NotHere;
#endif
    }

    bool WriteNamed(const FileWriter& write, std::string* error)
    {
        int err = 0;
        int fd = -1;
        std::string name;
        for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            name = SiblingName(target_, attempt);
            fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd < 0 && errno != EEXIST) return Fail(error, errno);
        }
        if (fd < 0) return Fail(error, EEXIST);
        Discard();
        fd_ = fd;
        name_ = name;
        KeepAttributes(fd_, target_);
        if (!WriteAndSync(fd_, write, err, flush_)) return Fail(error, err);
        fd_ = -1;
        if (::close(fd) != 0) return Fail(error, errno);
        return true;
    }

    // Gives the unnamed file its temporary name, or copies it to a named one where it cannot.
    bool Name(std::string* error)
    {
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            const std::string name = SiblingName(target_, attempt);
            if (::linkat(AT_FDCWD, ProcName().c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                name_ = name;
                ::close(fd_);
                fd_ = -1;
                return true;
            }
            if (errno != EEXIST) break;
        }
        if (fd_ < 0) return Fail(error, EIO);
        const int unnamed = fd_;
        fd_ = -1;   // WriteNamed leaves it open: it is read from there
        const bool copied = WriteNamed([unnamed](ByteSink& sink) {
            char buffer[65536];
            for (off_t at = 0;;) {
                const ssize_t n = ::pread(unnamed, buffer, sizeof buffer, at);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) return false;
                if (n == 0) return true;
                if (!sink.Write(buffer, static_cast<size_t>(n))) return false;
                at += n;
            }
        }, error);
        ::close(unnamed);
        return copied;
    }

    std::string ProcName() const { return "/proc/self/fd/" + std::to_string(fd_); }

    void Discard()
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        if (!name_.empty()) ::unlink(name_.c_str());
        name_.clear();
    }

    std::string target_;
    bool flush_ = true;
    std::string name_;
    int fd_ = -1;
};

// The contents of a file held whole in a string.
FileWriter WholeString(const std::string& data)
{
    return [&data](ByteSink& sink) { return sink.Write(data.data(), data.size()); };
}

// Makes the renames in the folder last across a power cut.
void SyncFolder(const std::string& target)
{
    const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The previous file under the backup name. A second link to the file is made under the backup
// name at once where there is no backup yet; an older backup is replaced in one step by a link
// made under a temporary name (or by a copy where links are not allowed), so there is always a
// whole backup, and the file itself stays in place until the new one replaces it.
bool MakeBackup(const std::string& target, const std::string& bak, std::string* error)
{
    if (::link(target.c_str(), bak.c_str()) == 0) return true;
    for (unsigned attempt = 0; errno == EEXIST && attempt < 100; ++attempt) {
        const std::string name = SiblingName(bak, attempt);
        if (::link(target.c_str(), name.c_str()) == 0) {
            if (std::rename(name.c_str(), bak.c_str()) == 0) return true;
            const int err = errno;
            ::unlink(name.c_str());
            return Fail(error, err);
        }
    }
    std::string previous;
    if (!ReadNativeFile(target, previous)) return Fail(error, errno ? errno : EIO);
    TempFile copy(bak);
    return copy.Write(WholeString(previous), error) && copy.RenameOver(bak, error);
}

// A link the system would not follow for us either: one in a shared sticky folder such as
// /tmp that belongs neither to this user nor to the folder's owner (it may have been put there
// to make us overwrite a file of our own).
bool UntrustedLink(const std::string& link, const struct stat& st)
{
    struct stat folder {};
    if (::stat(FolderOf(link).c_str(), &folder) != 0) return true;
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return shared && st.st_uid != ::geteuid() && st.st_uid != folder.st_uid;
}

// The file a name stands for: a symbolic link is followed (link by link, also when its last
// target does not exist yet), so that a save replaces the file the link points to, keeps the
// link, and puts the backup beside that file. Other names, and links not to be trusted, stand
// for themselves. False for a loop of links.
bool FollowLinks(const std::string& name, std::string& file)
{
    file = name;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(file.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || UntrustedLink(file, st)) return true;
        std::string to(static_cast<size_t>(std::max<off_t>(st.st_size, 0)) + 256, '\0');
        const ssize_t n = ::readlink(file.c_str(), to.data(), to.size());
        if (n <= 0 || static_cast<size_t>(n) >= to.size()) return true;
        to.resize(static_cast<size_t>(n));
        file = to[0] == '/' ? to : FolderOf(file) + "/" + to;
    }
    return false;
}

// flush: the new file is flushed to the disc and the rename made to last (one file of its
// own); otherwise one of many files of a run, which flushes them all at its end and clears the
// folder of stale temporary files itself.
bool SaveThroughTemp(const std::string& name, const FileWriter& write, bool backup, std::string* error,
                     bool flush = true)
{
    IgnoreFileSizeSignal();
    std::string nativePath;
    if (!FollowLinks(name, nativePath)) return Fail(error, ELOOP);
    const std::string bak = backup ? ChangeFileExt(nativePath, ".BAK") : std::string();
    if (IsRunInput(nativePath) || (!bak.empty() && IsRunInput(bak))) {
        if (error) *error = kReadByThisProgram;
        return false;
    }
    if (flush) RemoveStaleTemporaries(FolderOf(nativePath));
    TempFile tmp(nativePath, flush);
    if (!tmp.Write(write, error)) return false;
    struct stat st {};
    if (backup && ::stat(nativePath.c_str(), &st) == 0) {
        if (bak != nativePath && !MakeBackup(nativePath, bak, error)) return false;
    }
    if (!tmp.RenameOver(nativePath, error)) return false;
    if (flush) SyncFolder(nativePath);
    return true;
}

} // namespace

bool WriteFileAtomic(const std::string& nativePath, const std::string& data, std::string* error)
{
    return SaveThroughTemp(nativePath, WholeString(data), false, error);
}

bool StreamFileAtomic(const std::string& nativePath, const std::function<bool(ByteSink&)>& write, std::string* error)
{
    return SaveThroughTemp(nativePath, write, false, error);
}

bool SaveWithBackup(const std::string& nativePath, const std::string& data, std::string* error)
{
    return SaveThroughTemp(nativePath, WholeString(data), true, error);
}

bool WriteFileWhole(const std::string& nativePath, const std::string& data, std::string* error)
{
    return SaveThroughTemp(nativePath, WholeString(data), false, error, false);
}

bool FlushFileSystemOf(const std::string& path, std::string* error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail(error, errno);
    const bool ok = ::syncfs(fd) == 0;
    const int err = errno;
    ::close(fd);
    return ok || Fail(error, err);
}

std::string TemporarySibling(const std::string& target) { return SiblingName(target, 0); }

bool RenameIntoPlace(const std::string& temporary, const std::string& name, std::string* error)
{
    std::string nativePath;
    if (!FollowLinks(name, nativePath)) return Fail(error, ELOOP);
    if (IsRunInput(nativePath)) {
        if (error) *error = kReadByThisProgram;
        return false;
    }
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail(error, errno);
    KeepAttributes(fd, nativePath);
    const bool flushed = ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    if (!flushed) return Fail(error, err);
    if (std::rename(temporary.c_str(), nativePath.c_str()) != 0) return Fail(error, errno);
    SyncFolder(nativePath);
    return true;
}

int RemoveStaleTemporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    int removed = 0;
    while (const struct dirent* e = ::readdir(dir)) {
        const long pid = WriterOfTemporary(e->d_name);
        if (pid <= 0 || pid == static_cast<long>(::getpid())) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;   // its writer still runs
        const std::string path = folder + "/" + e->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || st.st_uid != ::geteuid()) continue;
        if (S_ISDIR(st.st_mode)) {
            // The folder an export makes its files in: its files, then itself.
            if (DIR* inner = ::opendir(path.c_str())) {
                while (const struct dirent* f = ::readdir(inner)) {
                    const std::string file = path + "/" + f->d_name;
                    struct stat fs {};
                    if (::lstat(file.c_str(), &fs) == 0 && S_ISREG(fs.st_mode)) ::unlink(file.c_str());
                }
                ::closedir(inner);
            }
            if (::rmdir(path.c_str()) == 0) ++removed;
        } else if (S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0) {
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

} // namespace corvane
