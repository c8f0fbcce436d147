// Disc images. Images are mostly zeros, so the input gives only the sectors that hold
// something: records of a sector number (2 bytes, little-endian, taken modulo 1024), a length
// n (2 bytes, at most 2048) and the sector's first n bytes; the image is as long as its last
// sector, zeros elsewhere. The image is opened as the viewer opens one (its directory read in
// a child process), and every file found is looked up by its path in another case and read at
// its start and end.
#include "FuzzSupport.h"
#include "FuzzTarget.h"
#include "platform/ByteSource.h"
#include "platform/DataPath.h"
#include "platform/DiscImage.h"

#include <fcntl.h>
#include <algorithm>
#include <functional>
#include <unistd.h>
#include <vector>

using namespace corvane;
using namespace corvane::fuzz;

namespace {

constexpr size_t kSector = 2048;
constexpr size_t kMostSectors = 1024;

// Writes the image the records describe; its path.
std::string WriteImage(const uint8_t* data, size_t size)
{
    const std::string path = ScratchDir() + "/Fuzz.iso";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    size_t sectors = 0;
    for (size_t at = 0; at + 4 <= size;) {
        const size_t sector = (size_t{data[at]} | size_t{data[at + 1]} << 8) % kMostSectors;
        const size_t n = std::min({size_t{data[at + 2]} | size_t{data[at + 3]} << 8, kSector, size - at - 4});
        if (::pwrite(fd, data + at + 4, n, static_cast<off_t>(sector * kSector)) != static_cast<ssize_t>(n)) std::abort();
        sectors = std::max(sectors, sector + 1);
        at += 4 + n;
    }
    if (::ftruncate(fd, static_cast<off_t>(sectors * kSector)) != 0) std::abort();
    ::close(fd);
    return path;
}

} // namespace

CORVANE_FUZZ_TARGET(discimage)
{
    const std::string path = WriteImage(data, size);
    std::string error;
    std::shared_ptr<const DiscImage> disc = DiscImage::Open(path, error);
    if (!disc) {
        FUZZ_CHECK(!error.empty());
        return;
    }
    FUZZ_CHECK(disc->EntryCount() <= DiscImage::kMaxEntries);
    int files = 0;
    std::function<void(const DiscEntry&, const std::string&)> walk = [&](const DiscEntry& folder,
                                                                         const std::string& at) {
        for (const DiscEntry& e : folder.children) {
            const std::string inner = at + "/" + e.name;
            FUZZ_CHECK(disc->Find(LowerCase(inner)) != nullptr);
            if (e.folder) {
                walk(e, inner);
                continue;
            }
            if (++files > 64) continue;
            std::unique_ptr<ByteSource> src = disc->OpenFile(e);
            FUZZ_CHECK(src != nullptr && src->Size() == e.size);
            uint8_t buf[4096];
            FUZZ_CHECK(src->ReadAt(0, buf, sizeof buf) <= sizeof buf);
            FUZZ_CHECK(src->ReadAt(src->Size() - 100, buf, sizeof buf) <= 100);
        }
    };
    walk(disc->Root(), "");
}
