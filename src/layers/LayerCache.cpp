#include "layers/LayerCache.h"

namespace corvane {

LayerCache& LayerCache::Shared()
{
    static LayerCache cache;
    return cache;
}

std::shared_ptr<const CachedLayerHead> LayerCache::Find(const std::string& identity)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = byIdentity_.find(identity);
    if (it == byIdentity_.end()) {
        ++misses_;
        return nullptr;
    }
    ++hits_;
    order_.splice(order_.begin(), order_, it->second);
    return it->second->head;
}

void LayerCache::Drop(std::list<Entry>::iterator it)
{
    bytes_ -= it->head->Bytes();
    byIdentity_.erase(it->identity);
    order_.erase(it);
}

void LayerCache::Put(const std::string& identity, std::shared_ptr<const CachedLayerHead> head)
{
    if (!head || identity.empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    const auto old = byIdentity_.find(identity);
    if (old != byIdentity_.end()) Drop(old->second);
    if (head->Bytes() > maxBytes_) return;
    bytes_ += head->Bytes();
    order_.push_front({identity, std::move(head)});
    byIdentity_[identity] = order_.begin();
    while (bytes_ > maxBytes_ && !order_.empty()) Drop(std::prev(order_.end()));
}

void LayerCache::Clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    order_.clear();
    byIdentity_.clear();
    bytes_ = 0;
    hits_ = misses_ = 0;
}

size_t LayerCache::Count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return order_.size();
}

size_t LayerCache::Bytes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
}

uint64_t LayerCache::Hits() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return hits_;
}

uint64_t LayerCache::Misses() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return misses_;
}

} // namespace corvane
