#pragma once
// Header and cell index of the layer files opened lately (as much of each index as drawings
// have read), kept across drawings so that a redraw of the same view reads neither again.
// Entries are keyed by the file's identity (path, device, inode, size, modification and status
// change times: a file written anew is read anew) and the whole cache holds at most a given
// number of bytes, the least recently used entry going first. One cache serves the whole
// process (the map windows and the renderer).
#include "layers/MapGen.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvane {

// The header and the index entries read so far: Read tells which (empty: all of them), Unread
// how many are still to be read.
struct CachedLayerHead {
    HdrRec Header;
    std::vector<int32_t> Index;
    std::vector<bool> Read;
    size_t Unread = 0;
    size_t Bytes() const { return sizeof(CachedLayerHead) + Index.size() * sizeof(int32_t) + Read.size() / 8; }
};

class LayerCache {
public:
    static constexpr size_t kDefaultBytes = size_t{4} << 20;
    explicit LayerCache(size_t maxBytes = kDefaultBytes) : maxBytes_(maxBytes) {}

    static LayerCache& Shared();

    // The entry of a file, or null; counts a hit or a miss.
    std::shared_ptr<const CachedLayerHead> Find(const std::string& identity);
    // Keeps an entry (replacing one of the same identity), then drops the least recently
    // used ones while the cache holds more than its bound. An entry larger than the bound
    // is not kept.
    void Put(const std::string& identity, std::shared_ptr<const CachedLayerHead> head);
    void Clear();

    size_t Count() const;
    size_t Bytes() const;
    uint64_t Hits() const;
    uint64_t Misses() const;

private:
    struct Entry {
        std::string identity;
        std::shared_ptr<const CachedLayerHead> head;
    };
    void Drop(std::list<Entry>::iterator it);

    mutable std::mutex mutex_;
    size_t maxBytes_;
    size_t bytes_ = 0;
    uint64_t hits_ = 0, misses_ = 0;
    std::list<Entry> order_;   // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> byIdentity_;
};

} // namespace corvane
