#include "gazetteer/NameCache.h"

#include "gazetteer/IndexBytes.h"
#include "gazetteer/NameFold.h"
#include "platform/DataPath.h"
#include "platform/RunInputs.h"
#include "platform/TextFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace corvane {

// ---- the cache ----------------------------------------------------------------------------------

namespace {

constexpr char kCacheMagic[8] = {'C', 'V', 'N', 'C', 'A', 'C', 'H', '1'};

} // namespace

std::string NameCacheDir()
{
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/corvane";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.cache/corvane";
}

std::string NameCachePath(const NameSources& sources)
{
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx",
                  static_cast<unsigned long long>(Fnv1a(NativePath(sources.dataList), Fnv1a(sources.cdrom + '\n'))));
    return NameCacheDir() + "/names-" + hex + ".idx";
}

std::string SerialiseNames(const NameSources& medium, const StoredNames& names)
{
    std::string out(kCacheMagic, sizeof kCacheMagic);
    PutText(out, medium.dataList);
    PutText(out, medium.cdrom);
    PutVarint(out, names.sources.size());
    for (const SourceStamp& s : names.sources) {
        PutText(out, s.path);
        PutText(out, s.identity);
    }
    PutVarint(out, names.problems.size());
    for (const std::string& p : names.problems) PutText(out, p);
    out += names.index ? names.index->Serialise() : NameIndex().Serialise();
    return out;
}

bool ParseNames(const std::string& bytes, const NameSources& medium, StoredNames& names)
{
    constexpr size_t kLongest = 1 << 16;
    size_t at = 0, n = 0;
    ByteReader in(bytes, at);
    std::string dataList, cdrom;
    if (!in.Expect(kCacheMagic, sizeof kCacheMagic) || !in.Text(dataList, kLongest) || !in.Text(cdrom, kLongest) ||
        dataList != medium.dataList || cdrom != medium.cdrom)
        return false;
    StoredNames x;
    if (!in.Count(n, 2)) return false;
    x.sources.resize(n);
    for (SourceStamp& s : x.sources)
        if (!in.Text(s.path, kLongest) || !in.Text(s.identity, kLongest)) return false;
    if (!in.Count(n, 1)) return false;
    x.problems.resize(n);
    for (std::string& p : x.problems)
        if (!in.Text(p, kLongest)) return false;
    auto index = std::make_shared<NameIndex>();
    if (!NameIndex::Parse(bytes, at, *index) || at != bytes.size()) return false;
    x.index = std::move(index);
    names = std::move(x);
    return true;
}

bool LoadCachedNames(const NameSources& medium, const std::string& cachePath, StoredNames& names)
{
    std::string bytes;
    if (!ReadNativeFile(cachePath, bytes, size_t{1} << 30)) return false;
    // The index is the program's own, written again when it is stale: no input of the run
    // that the safe write must keep.
    ForgetRunInput(cachePath);
    StoredNames stored;
    if (!ParseNames(bytes, medium, stored) || stored.sources.empty()) return false;
    for (const SourceStamp& s : stored.sources)
        if (IdentityOf(s.path) != s.identity) return false;
    names = std::move(stored);
    return true;
}

bool StoreNames(const NameSources& medium, const std::string& cachePath, const StoredNames& names, std::string& error)
{
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::path(cachePath).parent_path();
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    return WriteFileAtomic(cachePath, SerialiseNames(medium, names), &error);
}

std::string CannotKeepNames(const std::string& cachePath, const std::string& reason)
{
    return "The index of names cannot be kept in " + cachePath + " : " + reason;
}

StoredNames LoadOrBuildNames(const NameSources& medium, const std::string& cachePath, bool* fromCache,
                             std::string* cacheError)
{
    StoredNames names;
    const bool cached = LoadCachedNames(medium, cachePath, names);
    if (fromCache) *fromCache = cached;
    if (cached) return names;
    NameIndexBuilder builder(medium);
    builder.Run();
    names.index = builder.Index();
    names.sources = builder.Sources();
    names.problems = builder.Problems();
    std::string error;
    if (!StoreNames(medium, cachePath, names, error) && cacheError) *cacheError = CannotKeepNames(cachePath, error);
    return names;
}

// ---- on a thread of its own ---------------------------------------------------------------------

NameIndexJob::NameIndexJob(NameSources medium, std::string cachePath)
    : medium_(std::move(medium)), cachePath_(std::move(cachePath)), snapshot_(std::make_shared<NameIndex>())
{
    thread_ = std::thread([this] { Work(); });
}

NameIndexJob::~NameIndexJob()
{
    cancel_ = true;
    if (thread_.joinable()) thread_.join();
}

std::shared_ptr<const NameIndex> NameIndexJob::Snapshot() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return snapshot_;
}

NameIndexProgress NameIndexJob::Progress() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return progress_;
}

std::vector<std::string> NameIndexJob::Problems() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return problems_;
}

uint64_t NameIndexJob::Generation() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return generation_;
}

void NameIndexJob::Publish(std::shared_ptr<const NameIndex> index, const NameIndexProgress& progress)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (index) {
        snapshot_ = std::move(index);
        ++generation_;
    }
    progress_ = progress;
}

void NameIndexJob::Work()
{
    StoredNames names;
    if (LoadCachedNames(medium_, cachePath_, names)) {
        NameIndexProgress p;
        p.done = p.fromCache = true;
        p.names = names.index->Size();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            problems_ = names.problems;
        }
        Publish(names.index, p);
        return;
    }
    using Clock = std::chrono::steady_clock;
    auto last = Clock::now();
    Clock::duration cost{};   // what the last snapshot took to make
    size_t lastNames = 0;
    NameIndexBuilder builder(medium_);
    const bool finished = builder.Run(
        [&](const NameIndexProgress& p, const NameIndexBuilder& b) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                problems_ = b.Problems();
            }
            // A new snapshot now and then, so that the search works on what is read so far:
            // when half as many names again were read, or after a while; never sooner than
            // four times what the last one took after it. Snapshots of a large atlas so cost
            // a few times one index, whatever the number of its files or the load of the
            // machine (which stretches the reading and the snapshots alike).
            std::shared_ptr<const NameIndex> index;
            const auto now = Clock::now();
            const auto since = now - last;
            if (!p.done && p.names > lastNames && since >= 4 * cost &&
                ((since >= std::chrono::milliseconds(250) && p.names * 2 >= lastNames * 3) ||
                 since >= std::chrono::seconds(2))) {
                index = b.Index();
                last = Clock::now();
                cost = last - now;
                lastNames = p.names;
            }
            NameIndexProgress shown = p;
            shown.done = false;
            Publish(std::move(index), shown);
        },
        &cancel_);
    if (!finished) return;
    names.index = builder.Index();
    names.sources = builder.Sources();
    names.problems = builder.Problems();
    std::string error;
    if (!StoreNames(medium_, cachePath_, names, error)) names.problems.push_back(CannotKeepNames(cachePath_, error));
    NameIndexProgress p;
    p.done = true;
    p.filesDone = p.filesTotal = static_cast<int>(names.sources.size());
    p.names = names.index->Size();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        problems_ = names.problems;
    }
    Publish(names.index, p);
}

} // namespace corvane
