#pragma once
// Random-access byte sources: every layer, master file, data list and information file is
// read through one of these, so that it may come from a file or from memory (tests,
// fuzzing). Readers check every count and offset against Size() before trusting it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual int64_t Size() const = 0;
    // Reads up to n bytes at pos into buf; returns how many were read (0 at or past the end,
    // or for a negative position).
    virtual size_t ReadAt(int64_t pos, void* buf, size_t n) const = 0;
    // Names the bytes for caches kept across openings: the same identity means the same
    // bytes. Empty (the default) when the source cannot promise that.
    virtual std::string Identity() const { return {}; }
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    explicit MemorySource(const std::string& bytes) : bytes_(bytes.begin(), bytes.end()) {}
    int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
    size_t ReadAt(int64_t pos, void* buf, size_t n) const override;
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// Why a path that names something other than a regular file is not read.
extern const char* const kNotRegularFile;

class FileSource : public ByteSource {
public:
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    // Opens a native path read-only, without waiting; nullptr when it cannot be opened or is
    // not a regular file (a FIFO, a device, a folder), with the reason in problem: the
    // system's ("Permission denied") or kNotRegularFile; empty when there is no such file.
    static std::unique_ptr<FileSource> Open(const std::string& nativePath, std::string* problem = nullptr);
    int64_t Size() const override { return size_; }
    size_t ReadAt(int64_t pos, void* buf, size_t n) const override;
    // The path with the file's device, inode, size, modification and status change times.
    std::string Identity() const override { return identity_; }

    // Bytes read from files since the start of the process (for the benchmarks).
    static uint64_t TotalBytesRead();
    static void ResetTotalBytesRead();

private:
    FileSource(int fd, int64_t size, std::string identity) : fd_(fd), size_(size), identity_(std::move(identity)) {}
    int fd_;
    int64_t size_;
    std::string identity_;
};

// A read position over a source, with little-endian integer reads. Every read either
// delivers all its bytes or reports failure and leaves the buffer untouched past what it got.
class SourceCursor {
public:
    explicit SourceCursor(const ByteSource& src) : src_(&src) {}
    bool Seek(int64_t pos);                 // false (position unchanged) outside 0..Size
    int64_t Pos() const { return pos_; }
    int64_t Remaining() const { return src_->Size() - pos_; }
    bool AtEnd() const { return pos_ >= src_->Size(); }
    bool Read(void* buf, size_t n);         // true only when n bytes were read
    bool ReadU8(uint8_t& v);
    bool ReadU16(uint16_t& v);
    bool ReadI16(int16_t& v);
    bool ReadU32(uint32_t& v);
    bool ReadI32(int32_t& v);
    const ByteSource& Source() const { return *src_; }

private:
    const ByteSource* src_;
    int64_t pos_ = 0;
};

} // namespace corvane
