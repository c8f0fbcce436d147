#include "platform/DiscImage.h"

#include "platform/ByteSource.h"
#include "platform/ChildProcess.h"
#include "platform/DataPath.h"

#include <cdio/cdio.h>
#include <cdio/iso9660.h>
#include <cdio/logging.h>
#include <cdio/udf.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace corvane {

namespace {

constexpr int64_t kSector = 2048;
// The volume descriptors start at sector 16; a volume has only a handful of them.
constexpr int kFirstDescriptor = 16;
constexpr int kDescriptorsScanned = 32;
// A directory larger than this is taken for a damaged one.
constexpr int64_t kMaxDirectoryBytes = 16 << 20;

const char* const kDamaged = "its directory is damaged";

// libcdio reports what it finds wrong on standard error; the caller gets the reason instead.
void QuietCdioLog(cdio_log_level_t, const char*) {}

void SilenceCdio()
{
    static const bool done = [] {
        cdio_log_set_handler(QuietCdioLog);
        return true;
    }();
    (void)done;
}

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

bool Within(int64_t offset, int64_t length, int64_t imageSize)
{
    return offset >= 0 && length >= 0 && offset <= imageSize && length <= imageSize - offset;
}

// What the volume descriptors of an image say.
struct Descriptors {
    bool iso = false;   // a primary volume descriptor "CD001"
    bool udf = false;   // a UDF volume recognition sequence ("NSR02" or "NSR03")
    bool rootsInside = true;   // every ISO root directory lies inside the image
};

Descriptors ReadDescriptors(const ByteSource& src)
{
    Descriptors d;
    uint8_t sector[kSector];
    for (int i = 0; i < kDescriptorsScanned; ++i) {
        const int64_t at = (kFirstDescriptor + i) * kSector;
        if (src.ReadAt(at, sector, sizeof sector) != sizeof sector) break;
        const std::string id(reinterpret_cast<const char*>(sector + 1), 5);
        if (id == "CD001") {
            const uint8_t type = sector[0];
            if (type == 1 || type == 2) {
                // The root directory record at byte 156: its extent at +2, its length at +10.
                if (type == 1) d.iso = true;
                const int64_t extent = Le32(sector + 156 + 2), length = Le32(sector + 156 + 10);
                if (!Within(extent * kSector, length, src.Size()) || length > kMaxDirectoryBytes) d.rootsInside = false;
            }
        } else if (id == "NSR02" || id == "NSR03") {
            d.udf = true;
        } else if (id != "BEA01" && id != "TEA01" && id != "BOOT2" && id != "CDW02") {
            break;
        }
    }
    return d;
}

// The name of an ISO 9660 entry as the user knows it: the version (";1") and the dot of a name
// without an extension dropped, unless the name came from Rock Ridge.
std::string IsoName(const iso9660_stat_t& s)
{
    std::string name = s.filename;
    if (s.rr.b3_rock == yep) return name;
    const size_t semi = name.rfind(';');
    if (semi != std::string::npos && semi + 1 < name.size() &&
        name.find_first_not_of("0123456789", semi + 1) == std::string::npos)
        name.erase(semi);
    if (name.size() > 1 && name.back() == '.') name.pop_back();
    return name;
}

bool UsableName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

void SortFolder(DiscEntry& folder)
{
    std::sort(folder.children.begin(), folder.children.end(),
              [](const DiscEntry& a, const DiscEntry& b) { return a.name < b.name; });
}

// Walks the folders of an ISO 9660 volume through libcdio.
class IsoWalker {
public:
    IsoWalker(iso9660_t* iso, int64_t imageSize) : iso_(iso), imageSize_(imageSize) {}

    bool Walk(const std::string& path, DiscEntry& folder, int depth, std::string& error)
    {
        if (depth > DiscImage::kMaxDepth) return Fail(error);
        CdioList_t* list = iso9660_ifs_readdir(iso_, path.c_str());
        if (!list) return Fail(error);
        bool ok = true;
        std::vector<std::pair<std::string, size_t>> subfolders;   // libcdio's name, index
        CdioListNode_t* node;
        _CDIO_LIST_FOREACH(node, list)
        {
            const auto* s = static_cast<const iso9660_stat_t*>(_cdio_list_node_data(node));
            if (!s || std::strcmp(s->filename, ".") == 0 || std::strcmp(s->filename, "..") == 0) continue;
            DiscEntry e;
            e.name = IsoName(*s);
            e.folder = s->type == iso9660_stat_s::_STAT_DIR;
            const int64_t offset = static_cast<int64_t>(s->lsn) * kSector, length = s->size;
            if (!UsableName(e.name) || !Within(offset, length, imageSize_) ||
                (e.folder && (length > kMaxDirectoryBytes || !visited_.insert(s->lsn).second)) ||
                ++entries_ > DiscImage::kMaxEntries) {
                ok = false;
                break;
            }
            if (e.folder) {
                subfolders.emplace_back(s->filename, folder.children.size());
            } else {
                e.size = length;
                if (length > 0) e.extents.push_back({offset, length, false});
            }
            folder.children.push_back(std::move(e));
        }
        iso9660_filelist_free(list);
        if (!ok) return Fail(error);
        for (const auto& [rawName, index] : subfolders)
            if (!Walk(path + rawName + "/", folder.children[index], depth + 1, error)) return false;
        SortFolder(folder);
        return true;
    }

    size_t Entries() const { return entries_; }

private:
    static bool Fail(std::string& error)
    {
        if (error.empty()) error = kDamaged;
        return false;
    }

    iso9660_t* iso_;
    int64_t imageSize_;
    size_t entries_ = 0;
    std::set<lsn_t> visited_;
};

// The allocation of a UDF file from its file entry (or extended file entry): the extents of
// its bytes, or the bytes themselves when they are kept in the entry.
bool UdfExtents(const udf_dirent_t& d, int64_t imageSize, DiscEntry& e)
{
    udf_file_entry_t fe;
    if (!udf_get_file_entry(&d, &fe)) return false;
    const auto* raw = reinterpret_cast<const uint8_t*>(&fe);
    const uint16_t tag = static_cast<uint16_t>(raw[0] | (raw[1] << 8));
    // The lengths of the extended attributes and of the allocation descriptors stand just
    // before the descriptors: at 168 in a file entry (tag 261), at 208 in an extended one (266).
    size_t start = 0;
    if (tag == 261) start = 176;
    else if (tag == 266) start = 216;
    else return false;
    const uint32_t eaLength = Le32(raw + start - 8), adLength = Le32(raw + start - 4);
    if (eaLength > sizeof fe || adLength > sizeof fe || start + eaLength + adLength > sizeof fe) return false;
    const uint8_t* ad = raw + start + eaLength;
    const uint64_t size = udf_get_file_length(&d);
    if (size > static_cast<uint64_t>(imageSize) && size != 0) return false;
    e.size = static_cast<int64_t>(size);

    const uint16_t flags = static_cast<uint16_t>(fe.icb_tag.flags);
    const int adType = flags & ICBTAG_FLAG_AD_MASK;
    if (adType == ICBTAG_FLAG_AD_IN_ICB) {
        if (size > adLength) return false;
        e.isEmbedded = true;
        e.embedded.assign(reinterpret_cast<const char*>(ad), static_cast<size_t>(size));
        return true;
    }
    size_t step = 0;
    if (adType == ICBTAG_FLAG_AD_SHORT) step = 8;
    else if (adType == ICBTAG_FLAG_AD_LONG) step = 16;
    else return false;   // extended descriptors are not written for discs
    const int64_t partition = static_cast<int64_t>(d.i_part_start) * kSector;
    int64_t covered = 0;
    for (size_t k = 0; k + step <= adLength && covered < e.size; k += step) {
        const uint32_t lenField = Le32(ad + k);
        const uint32_t type = lenField >> 30;
        int64_t length = lenField & 0x3FFFFFFF;
        if (length == 0) break;
        if (type == 3) return false;   // a continuation of the descriptors elsewhere
        length = std::min(length, e.size - covered);
        const int64_t offset = partition + static_cast<int64_t>(Le32(ad + k + 4)) * kSector;
        const bool zeros = type != 0;
        if (!zeros && !Within(offset, length, imageSize)) return false;
        e.extents.push_back({offset, length, zeros});
        covered += length;
    }
    return covered == e.size;
}

// Walks the folders of a UDF volume through libudf.
class UdfWalker {
public:
    explicit UdfWalker(int64_t imageSize) : imageSize_(imageSize) {}

    // Takes over dir (libudf frees it at the end of the folder).
    bool Walk(udf_dirent_t* dir, DiscEntry& folder, int depth)
    {
        if (depth > DiscImage::kMaxDepth) {
            udf_dirent_free(dir);
            return false;
        }
        udf_dirent_t* d = dir;
        while ((d = udf_readdir(d)) != nullptr) {
            const udf_fileid_desc_t* fid = d->fid;
            // The parent's entry and deleted entries are no names of this folder.
            if (fid && (fid->file_characteristics & (UDF_FILE_PARENT | UDF_FILE_DELETED))) continue;
            const char* cname = udf_get_filename(d);
            DiscEntry e;
            e.name = cname ? cname : "";
            if (!e.name.empty() && !UsableName(e.name)) return Abandon(d);
            if (e.name.empty()) continue;
            if (++entries_ > DiscImage::kMaxEntries) return Abandon(d);
            e.folder = udf_is_dir(d);
            if (e.folder) {
                const uint32_t where = fid ? static_cast<uint32_t>(fid->icb.loc.lba) : 0;
                if (!fid || !visited_.insert(where).second) return Abandon(d);
                udf_dirent_t* sub = udf_opendir(d);
                if (!sub || !Walk(sub, e, depth + 1)) return Abandon(d);
            } else if (!UdfExtents(*d, imageSize_, e)) {
                return Abandon(d);
            }
            folder.children.push_back(std::move(e));
        }
        SortFolder(folder);
        return true;
    }

private:
    static bool Abandon(udf_dirent_t* d)
    {
        udf_dirent_free(d);
        return false;
    }

    int64_t imageSize_;
    size_t entries_ = 0;
    std::set<uint32_t> visited_;
};

// The bytes of a file of an image, run after run.
class ExtentSource : public ByteSource {
public:
    ExtentSource(std::shared_ptr<const ByteSource> image, std::vector<DiscExtent> extents, int64_t size)
        : image_(std::move(image)), extents_(std::move(extents)), size_(size)
    {
        int64_t at = 0;
        for (const DiscExtent& x : extents_) {
            starts_.push_back(at);
            at += x.length;
        }
    }
    int64_t Size() const override { return size_; }
    size_t ReadAt(int64_t pos, void* buf, size_t n) const override
    {
        if (pos < 0 || pos >= size_ || n == 0) return 0;
        n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(n), size_ - pos));
        auto* out = static_cast<uint8_t*>(buf);
        size_t done = 0;
        size_t k = static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), pos) - starts_.begin()) - 1;
        while (done < n && k < extents_.size()) {
            const DiscExtent& x = extents_[k];
            const int64_t into = pos + static_cast<int64_t>(done) - starts_[k];
            const size_t want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(n - done), x.length - into));
            size_t got = want;
            if (x.zeros) std::memset(out + done, 0, want);
            else got = image_->ReadAt(x.offset + into, out + done, want);
            done += got;
            if (got < want) break;
            ++k;
        }
        return done;
    }

private:
    std::shared_ptr<const ByteSource> image_;
    std::vector<DiscExtent> extents_;
    std::vector<int64_t> starts_;
    int64_t size_;
};

// The directory tree of the ISO 9660 volume of an image (Joliet or Rock Ridge names where
// the image has them).
bool ReadIsoTree(const std::string& path, int64_t imageSize, DiscEntry& root, std::string& error)
{
    SilenceCdio();
    iso9660_t* iso = iso9660_open_ext(path.c_str(), ISO_EXTENSION_ALL);
    if (!iso) {
        error = "its ISO 9660 volume cannot be read";
        return false;
    }
    IsoWalker walker(iso, imageSize);
    const bool ok = walker.Walk("/", root, 0, error);
    iso9660_close(iso);
    return ok;
}

// The directory tree of the UDF volume of an image.
bool ReadUdfTree(const std::string& path, int64_t imageSize, DiscEntry& root, std::string& error)
{
    SilenceCdio();
    udf_t* udf = udf_open(path.c_str());
    if (!udf) {
        error = "its UDF volume cannot be read";
        return false;
    }
    udf_dirent_t* top = udf_get_root(udf, true, 0);
    const bool ok = top && UdfWalker(imageSize).Walk(top, root, 0);
    udf_close(udf);
    if (!ok) error = kDamaged;
    return ok;
}

} // namespace

bool DiscImage::LooksLikeImage(const std::string& nativePath)
{
    std::unique_ptr<FileSource> src = FileSource::Open(nativePath);
    if (!src) return false;
    const Descriptors d = ReadDescriptors(*src);
    return d.iso || d.udf;
}

// ---- Reading the directory tree in a child process ------------------------------------------
//
// libcdio trusts what it reads: a damaged volume can make it read outside its buffers or walk
// in circles. The tree is therefore read in a child process (RunInChild) that hands it back
// through a pipe; a child that crashes or takes too long costs the program nothing but the image.

namespace {

constexpr int kReadSeconds = 20;
constexpr size_t kMaxTreeBytes = 256u << 20;

enum : uint8_t { kTreeFile = 0, kTreeFolder = 1, kTreeEnd = 2 };

void PutU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutI64(std::string& out, int64_t v)
{
    for (int i = 0; i < 8; ++i) out += static_cast<char>((static_cast<uint64_t>(v) >> (8 * i)) & 0xFF);
}
void PutText(std::string& out, const std::string& t)
{
    PutU32(out, static_cast<uint32_t>(t.size()));
    out += t;
}

// A folder's entries, each folder's own entries after it and a kTreeEnd closing it.
void PutFolder(std::string& out, const DiscEntry& folder)
{
    for (const DiscEntry& e : folder.children) {
        out += static_cast<char>(e.folder ? kTreeFolder : kTreeFile);
        PutText(out, e.name);
        if (e.folder) {
            PutFolder(out, e);
            continue;
        }
        PutI64(out, e.size);
        PutU32(out, static_cast<uint32_t>(e.extents.size()));
        for (const DiscExtent& x : e.extents) {
            PutI64(out, x.offset);
            PutI64(out, x.length);
            out += static_cast<char>(x.zeros ? 1 : 0);
        }
        out += static_cast<char>(e.isEmbedded ? 1 : 0);
        PutText(out, e.embedded);
    }
    out += static_cast<char>(kTreeEnd);
}

// Reads back what PutFolder wrote, checking every count against what is left and every
// extent against the image.
class TreeReader {
public:
    TreeReader(const std::string& bytes, int64_t imageSize) : b_(bytes), imageSize_(imageSize) {}

    bool Folder(DiscEntry& folder, int depth)
    {
        if (depth > DiscImage::kMaxDepth) return false;
        for (;;) {
            uint8_t kind;
            if (!U8(kind)) return false;
            if (kind == kTreeEnd) break;
            if (kind != kTreeFile && kind != kTreeFolder) return false;
            if (++entries_ > DiscImage::kMaxEntries) return false;
            DiscEntry e;
            e.folder = kind == kTreeFolder;
            if (!Text(e.name) || !UsableName(e.name)) return false;
            if (e.folder) {
                if (!Folder(e, depth + 1)) return false;
            } else if (!File(e)) {
                return false;
            }
            folder.children.push_back(std::move(e));
        }
        SortFolder(folder);
        return true;
    }
    bool AtEnd() const { return at_ == b_.size(); }
    size_t Entries() const { return entries_; }

private:
    bool File(DiscEntry& e)
    {
        uint32_t count;
        if (!I64(e.size) || e.size < 0 || e.size > imageSize_ || !U32(count) || count > (b_.size() - at_) / 17)
            return false;
        int64_t covered = 0;
        for (uint32_t k = 0; k < count; ++k) {
            DiscExtent x;
            uint8_t zeros;
            if (!I64(x.offset) || !I64(x.length) || !U8(zeros)) return false;
            x.zeros = zeros != 0;
            if (x.length <= 0 || (!x.zeros && !Within(x.offset, x.length, imageSize_))) return false;
            covered += x.length;
            if (covered > e.size) return false;
            e.extents.push_back(x);
        }
        uint8_t embedded;
        if (!U8(embedded) || !Text(e.embedded)) return false;
        e.isEmbedded = embedded != 0;
        return e.isEmbedded ? static_cast<int64_t>(e.embedded.size()) == e.size && e.extents.empty()
                            : covered == e.size;
    }
    bool U8(uint8_t& v)
    {
        if (at_ >= b_.size()) return false;
        v = static_cast<uint8_t>(b_[at_++]);
        return true;
    }
    bool U32(uint32_t& v)
    {
        if (b_.size() - at_ < 4) return false;
        v = Le32(reinterpret_cast<const uint8_t*>(b_.data() + at_));
        at_ += 4;
        return true;
    }
    bool I64(int64_t& v)
    {
        uint32_t lo, hi;
        if (!U32(lo) || !U32(hi)) return false;
        v = static_cast<int64_t>((static_cast<uint64_t>(hi) << 32) | lo);
        return true;
    }
    bool Text(std::string& t)
    {
        uint32_t n;
        if (!U32(n) || n > b_.size() - at_) return false;
        t.assign(b_, at_, n);
        at_ += n;
        return true;
    }

    const std::string& b_;
    int64_t imageSize_;
    size_t at_ = 0;
    size_t entries_ = 0;
};

// Runs read(tree, error) in a child process and returns what it found: 'O' and the tree, or
// 'E' and the reason. False, with the reason, when the child failed or gave nothing usable.
template <class Read>
bool ReadInChild(Read read, int64_t imageSize, DiscEntry& root, size_t& entries, std::string& error)
{
    std::string got;
    const ChildEnd end = RunInChild(
        [&read] {
            DiscEntry tree;
            tree.folder = true;
            std::string reason;
            std::string out;
            if (read(tree, reason)) {
                out = "O";
                PutFolder(out, tree);
            } else {
                out = "E" + reason;
            }
            return out;
        },
        kReadSeconds, kMaxTreeBytes, got);
    if (end != ChildEnd::Finished || got.empty()) {
        error = end == ChildEnd::NotStarted ? "it cannot be read now"
                : end == ChildEnd::TimedOut ? "reading its directory does not come to an end"
                                            : kDamaged;
        return false;
    }
    if (got[0] == 'E') {
        error = got.size() > 1 ? got.substr(1) : kDamaged;
        return false;
    }
    const std::string body = got.substr(1);
    TreeReader reader(body, imageSize);
    root = DiscEntry{};
    root.folder = true;
    if (got[0] != 'O' || !reader.Folder(root, 0) || !reader.AtEnd()) {
        error = kDamaged;
        return false;
    }
    entries = reader.Entries();
    return true;
}

} // namespace

std::shared_ptr<const DiscImage> DiscImage::Open(const std::string& nativePath, std::string& error)
{
    error.clear();
    std::unique_ptr<FileSource> src = FileSource::Open(nativePath);
    if (!src) {
        error = "it cannot be opened";
        return nullptr;
    }
    const Descriptors d = ReadDescriptors(*src);
    if (!d.iso && !d.udf) {
        error = src->Size() < (kFirstDescriptor + 1) * kSector ? "it is too short for a disc image"
                                                                : "it holds no ISO 9660 or UDF volume";
        return nullptr;
    }
    std::shared_ptr<DiscImage> image(new DiscImage);
    image->path_ = nativePath;
    image->file_ = std::shared_ptr<const ByteSource>(std::move(src));
    const int64_t size = image->file_->Size();
    // A UDF volume, where there is one, has the fuller names; the ISO 9660 side of a bridge
    // disc names the same files.
    if (d.udf) {
        auto read = [&nativePath, size](DiscEntry& tree, std::string& reason) { return ReadUdfTree(nativePath, size, tree, reason); };
        if (ReadInChild(read, size, image->root_, image->entries_, error)) {
            image->kind_ = DiscImageKind::Udf;
            return image;
        }
    }
    if (d.iso) {
        std::string isoError = d.rootsInside ? "" : kDamaged;
        auto read = [&nativePath, size](DiscEntry& tree, std::string& reason) { return ReadIsoTree(nativePath, size, tree, reason); };
        if (isoError.empty() && ReadInChild(read, size, image->root_, image->entries_, isoError)) {
            image->kind_ = DiscImageKind::Iso9660;
            return image;
        }
        if (error.empty()) error = isoError;
    }
    return nullptr;
}

const DiscEntry* DiscImage::Find(const std::string& innerPath, std::string* resolved) const
{
    const DiscEntry* at = &root_;
    std::string out;
    size_t i = 0;
    bool found = true;
    while (i <= innerPath.size()) {
        size_t j = innerPath.find('/', i);
        if (j == std::string::npos) j = innerPath.size();
        const std::string comp = innerPath.substr(i, j - i);
        i = j + 1;
        if (comp.empty() || comp == ".") continue;
        const DiscEntry* next = nullptr;
        if (found && at->folder) {
            const auto& kids = at->children;
            auto it = std::lower_bound(kids.begin(), kids.end(), comp,
                                       [](const DiscEntry& e, const std::string& n) { return e.name < n; });
            if (it != kids.end() && it->name == comp) next = &*it;
            for (size_t k = 0; !next && k < kids.size(); ++k)
                if (SameText(kids[k].name, comp)) next = &kids[k];
        }
        if (!out.empty()) out += '/';
        if (next) {
            out += next->name;
            at = next;
        } else {
            out += comp;
            found = false;
        }
    }
    if (resolved) *resolved = out;
    return found ? at : nullptr;
}

std::unique_ptr<ByteSource> DiscImage::OpenFile(const DiscEntry& file) const
{
    if (file.folder) return nullptr;
    if (file.isEmbedded) return std::make_unique<MemorySource>(file.embedded);
    return std::make_unique<ExtentSource>(file_, file.extents, file.size);
}

} // namespace corvane
