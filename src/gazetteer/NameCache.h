#pragma once
// The index of names kept in the user's cache, and built on a thread of its own.
//
// The index is kept in $XDG_CACHE_HOME/corvane (default ~/.cache/corvane), one file for each
// medium (its data list and root), never on the medium, and written through the safe write.
// The file holds the identity of every file read (path, size, modification and status change
// times, as the layer cache takes it): when any of them differs, or the file cannot be read,
// the index is built anew.
#include "gazetteer/NameIndexBuild.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace corvane {

// $XDG_CACHE_HOME/corvane, or ~/.cache/corvane.
std::string NameCacheDir();
// The index file of a medium in that folder.
std::string NameCachePath(const NameSources& sources);

// An index as the cache holds it.
struct StoredNames {
    std::shared_ptr<const NameIndex> index;
    std::vector<SourceStamp> sources;
    std::vector<std::string> problems;
};
// The bytes of the cache file, and back (false: not such a file, or not of this medium).
std::string SerialiseNames(const NameSources& medium, const StoredNames& names);
bool ParseNames(const std::string& bytes, const NameSources& medium, StoredNames& names);
// The cache file of the medium when every file it was built from is still what it was.
bool LoadCachedNames(const NameSources& medium, const std::string& cachePath, StoredNames& names);
// Writes the cache file (its folder made first) through the safe write; false with the reason.
bool StoreNames(const NameSources& medium, const std::string& cachePath, const StoredNames& names,
                std::string& error);

// The index of a medium: from the cache when it is still good, else built and kept there.
// fromCache tells which; cacheError why the index could not be kept (empty when it was).
StoredNames LoadOrBuildNames(const NameSources& medium, const std::string& cachePath, bool* fromCache = nullptr,
                             std::string* cacheError = nullptr);
// "The index of names cannot be kept in PATH : REASON"
std::string CannotKeepNames(const std::string& cachePath, const std::string& reason);

// The index built (or loaded) on a thread of its own: the search works on what is indexed so
// far (Snapshot), the progress says how far it is.
class NameIndexJob {
public:
    NameIndexJob(NameSources medium, std::string cachePath);
    ~NameIndexJob();   // stops the reading and waits for the thread
    NameIndexJob(const NameIndexJob&) = delete;
    NameIndexJob& operator=(const NameIndexJob&) = delete;

    const NameSources& Medium() const { return medium_; }
    // The index as far as it is read (never null; empty before anything was read).
    std::shared_ptr<const NameIndex> Snapshot() const;
    NameIndexProgress Progress() const;
    std::vector<std::string> Problems() const;
    // Counts the snapshots published, so that a search can be run again on a new one.
    uint64_t Generation() const;

private:
    void Work();
    void Publish(std::shared_ptr<const NameIndex> index, const NameIndexProgress& progress);

    const NameSources medium_;
    const std::string cachePath_;
    mutable std::mutex mutex_;
    std::shared_ptr<const NameIndex> snapshot_;
    NameIndexProgress progress_;
    std::vector<std::string> problems_;
    uint64_t generation_ = 0;
    std::atomic<bool> cancel_{false};
    std::thread thread_;
};

} // namespace corvane
