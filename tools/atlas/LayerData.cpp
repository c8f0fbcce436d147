#include "LayerData.h"

#include <algorithm>
#include <stdexcept>

namespace corvane::atlas {

void LeftOut::Add(const std::string& reason, size_t number, const std::string& name, size_t count)
{
    if (count == 0) return;
    const size_t before = counts_[reason];
    counts_[reason] += count;
    if (number == 0 || before >= kNamedPerReason) return;
    std::string who = "feature " + std::to_string(number);
    if (!name.empty()) who += " \"" + name + "\"";
    named_.push_back(who + ": " + reason);
}

void LeftOut::Merge(const LeftOut& other)
{
    for (const auto& [reason, n] : other.counts_) counts_[reason] += n;
    named_.insert(named_.end(), other.named_.begin(), other.named_.end());
}

size_t LeftOut::Total() const
{
    size_t n = 0;
    for (const auto& entry : counts_) n += entry.second;
    return n;
}

std::string LeftOut::Reasons() const
{
    std::string s;
    for (const auto& [reason, n] : counts_) s += (s.empty() ? "" : ", ") + std::to_string(n) + " " + reason;
    return s;
}

uint32_t InfoFileBuilder::Start()
{
    if (static_cast<int64_t>(bytes_.size()) > kMaxWritableInfoOffset)
        throw std::length_error("the information file passes 16 MB");
    return static_cast<uint32_t>(bytes_.size());
}

uint32_t InfoFileBuilder::AddLine(const std::string& text)
{
    const uint32_t at = Start();
    const size_t n = std::min<size_t>(text.size(), 255);
    bytes_.push_back(static_cast<uint8_t>(n));
    bytes_.insert(bytes_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
    return at;
}

uint32_t InfoFileBuilder::AddRecord(const std::vector<Entry>& entries, bool withValues, std::optional<uint8_t> displayCount)
{
    if (entries.size() > 255) throw std::invalid_argument("a record holds at most 255 entries");
    const uint32_t at = Start();
    bytes_.push_back(static_cast<uint8_t>(entries.size()));
    if (kind_ == 2) bytes_.push_back(displayCount ? *displayCount : static_cast<uint8_t>(entries.size()));
    auto put = [withValues](std::vector<uint8_t>& out, const Entry& e, bool marker) {
        // 0xFE and 0xFF would be read as markers.
        if (e.code >= 0xFE) throw std::invalid_argument("line codes 254 and 255 are markers");
        if (marker && e.clearHeaders) out.push_back(0xFE);
        out.push_back(e.code);
        if (!withValues) return;
        const size_t n = std::min<size_t>(e.value.size(), 70);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), e.value.begin(), e.value.begin() + static_cast<std::ptrdiff_t>(n));
    };
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].shared) { put(bytes_, entries[i], true); continue; }
        // A marker is followed by a line code, never by another marker, and a jump lands on
        // a line code: entries that clear the headers stay in the record, and the shared
        // rest begins at the first entry after them that does not.
        size_t from = i;
        while (from < entries.size() && entries[from].clearHeaders) put(bytes_, entries[from++], true);
        if (from == entries.size()) break;
        // The rest of the record, from that entry's line code on.
        std::vector<uint8_t> tail;
        for (size_t j = from; j < entries.size(); ++j) put(tail, entries[j], j > from);
        auto found = tails_.find(tail);
        if (found != tails_.end()) {
            bytes_.push_back(0xFF);
            for (int b = 0; b < 4; ++b) bytes_.push_back(static_cast<uint8_t>(found->second >> (8 * b)));
        } else {
            tails_.emplace(tail, static_cast<uint32_t>(bytes_.size()));
            bytes_.insert(bytes_.end(), tail.begin(), tail.end());
        }
        break;
    }
    return at;
}

} // namespace corvane::atlas
