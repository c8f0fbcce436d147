#include "gazetteer/NameIndex.h"

#include "gazetteer/IndexBytes.h"
#include "gazetteer/NameFold.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>

namespace corvane {

namespace {

constexpr char kMagic[8] = {'C', 'V', 'N', 'A', 'M', 'E', 'S', '1'};

int32_t Micro(double degrees)
{
    const double v = std::round(degrees * 1e6);
    return static_cast<int32_t>(std::clamp(v, -2147483647.0, 2147483647.0));
}

// Interns a text in a table, by a map kept while the index is made.
template <class Map>
uint32_t Intern(std::vector<std::string>& table, Map& seen, const std::string& s)
{
    const auto it = seen.find(s);
    if (it != seen.end()) return it->second;
    const uint32_t i = static_cast<uint32_t>(table.size());
    table.push_back(s);
    seen.emplace(s, i);
    return i;
}

} // namespace

NameIndex::NameIndex(const std::vector<Place>& places)
    : NameIndex(places, [&] {
          std::vector<uint32_t> all(places.size());
          for (uint32_t i = 0; i < all.size(); ++i) all[i] = i;
          return all;
      }())
{
}

NameIndex::NameIndex(const std::vector<Place>& places, const std::vector<uint32_t>& order)
{
    std::unordered_map<std::string, uint32_t> themes, kinds;
    std::map<std::pair<std::string, int>, uint32_t> layers;
    // Places mostly come in runs of one theme and layer: the last ones are looked up once.
    const Place* last = nullptr;
    uint32_t lastTheme = 0, lastLayer = UINT16_MAX;
    recs_.reserve(order.size());
    for (const uint32_t at : order) {
        if (at >= places.size()) continue;
        const Place& p = places[at];
        Rec r;
        const std::string name = p.name.substr(0, kMaxPlaceName);
        const std::string folded = FoldName(name);
        r.lon = Micro(p.lon);
        r.lat = Micro(p.lat);
        if (p.hasExtent) {
            r.extent = static_cast<uint32_t>(extents_.size());
            extents_.push_back({Micro(p.extent.west), Micro(p.extent.south), Micro(p.extent.east), Micro(p.extent.north)});
        }
        r.nameAt = static_cast<uint32_t>(names_.size());
        r.nameLen = static_cast<uint16_t>(name.size());
        names_ += name;
        r.foldAt = static_cast<uint32_t>(folded_.size());
        r.foldLen = static_cast<uint16_t>(folded.size());
        folded_ += folded;
        folded_ += '\n';
        if (!last || p.theme != last->theme) lastTheme = Intern(themes_, themes, p.theme);
        r.theme = static_cast<uint16_t>(std::min<uint32_t>(lastTheme, UINT16_MAX - 1));
        if (!p.kind.empty()) r.kind = Intern(kinds_, kinds, p.kind);
        if (!p.layerFile.empty()) {
            if (!last || p.layerFile != last->layerFile || p.dataType != last->dataType) {
                const auto key = std::make_pair(p.layerFile, p.dataType);
                auto it = layers.find(key);
                if (it == layers.end()) {
                    it = layers.emplace(key, static_cast<uint32_t>(layers_.size())).first;
                    layers_.push_back({p.layerFile, p.dataType});
                }
                lastLayer = it->second;
            }
            r.layer = static_cast<uint16_t>(std::min<uint32_t>(lastLayer, UINT16_MAX));
        }
        last = &p;
        r.trigger = p.trigger;
        r.source = static_cast<uint8_t>(p.source);
        r.info = p.infoOffset;
        recs_.push_back(r);
    }
    Finish();
}

void NameIndex::Finish()
{
    wholeNames_.clear();
    wholeNames_.reserve(recs_.size());
    for (uint32_t i = 0; i < recs_.size(); ++i)
        wholeNames_.emplace_back(Fnv1a(std::string_view(folded_).substr(recs_[i].foldAt, recs_[i].foldLen)), i);
    std::sort(wholeNames_.begin(), wholeNames_.end());
}

Place NameIndex::At(size_t i) const
{
    Place p;
    if (i >= recs_.size()) return p;
    const Rec& r = recs_[i];
    p.name = names_.substr(r.nameAt, r.nameLen);
    if (r.kind < kinds_.size()) p.kind = kinds_[r.kind];
    if (r.theme < themes_.size()) p.theme = themes_[r.theme];
    p.source = static_cast<PlaceSource>(r.source);
    p.lon = r.lon / 1e6;
    p.lat = r.lat / 1e6;
    if (r.extent < extents_.size()) {
        const auto& e = extents_[r.extent];
        p.hasExtent = true;
        p.extent = {e[0] / 1e6, e[1] / 1e6, e[2] / 1e6, e[3] / 1e6};
    }
    p.trigger = r.trigger;
    if (r.layer < layers_.size()) {
        p.layerFile = layers_[r.layer].file;
        p.dataType = layers_[r.layer].dataType;
    }
    p.infoOffset = r.info;
    return p;
}

std::vector<NameIndex::Hit> NameIndex::Search(const std::string& typedUtf8, size_t limit) const
{
    return SearchFolded(FoldQuery(typedUtf8), limit);
}

std::vector<NameIndex::Hit> NameIndex::SearchFolded(const std::string& q, size_t limit) const
{
    std::vector<Hit> hits;
    if (q.size() < 2 || limit == 0 || recs_.empty()) return hits;

    // Names equal to the text, through the hashes of the whole names.
    const uint64_t h = Fnv1a(q);
    for (auto it = std::lower_bound(wholeNames_.begin(), wholeNames_.end(), std::make_pair(h, uint32_t{0}));
         it != wholeNames_.end() && it->first == h && hits.size() < limit; ++it) {
        const Rec& r = recs_[it->second];
        if (r.foldLen == q.size() && folded_.compare(r.foldAt, r.foldLen, q) == 0)
            hits.push_back({it->second, Match::Exact});
    }
    std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.index < b.index; });

    // One pass over the folded names: word starts are kept until there are enough; matches
    // elsewhere in a name are kept (as many as could be wanted) for when there are not.
    std::vector<Hit> anywhere;
    const char* base = folded_.data();
    const size_t size = folded_.size();
    size_t pos = 0;
    uint32_t e = 0;   // the place whose folded name holds pos; only moves forward
    while (hits.size() < limit && pos < size) {
        const void* found = memmem(base + pos, size - pos, q.data(), q.size());
        if (!found) break;
        const size_t at = static_cast<size_t>(static_cast<const char*>(found) - base);
        while (e + 1 < recs_.size() && recs_[e + 1].foldAt <= at) ++e;
        const Rec& r = recs_[e];
        const bool wordStart = at == r.foldAt || base[at - 1] == ' ';
        if (at == r.foldAt && r.foldLen == q.size()) {
            pos = at + q.size();   // found as an equal name already
        } else if (wordStart) {
            if (!anywhere.empty() && anywhere.back().index == e) anywhere.pop_back();
            hits.push_back({e, Match::WordStart});
            pos = r.foldAt + r.foldLen + 1;   // on to the next name
        } else {
            if (anywhere.size() < limit && (anywhere.empty() || anywhere.back().index != e))
                anywhere.push_back({e, Match::Anywhere});
            pos = at + 1;
        }
    }
    for (const Hit& a : anywhere) {
        if (hits.size() >= limit) break;
        hits.push_back(a);
    }
    return hits;
}

// ---- the index as bytes ------------------------------------------------------------------------
//
// After the magic: the tables (themes, kinds, layers with their data types), the extents, then
// each place: its name, a flags byte (source; has kind, layer, extent, trigger, record), the
// theme, the point in millionths of a degree, and what the flags say.

std::string NameIndex::Serialise() const
{
    std::string out(kMagic, sizeof kMagic);
    PutVarint(out, themes_.size());
    for (const std::string& t : themes_) PutText(out, t);
    PutVarint(out, kinds_.size());
    for (const std::string& k : kinds_) PutText(out, k);
    PutVarint(out, layers_.size());
    for (const Layer& l : layers_) {
        PutText(out, l.file);
        PutVarint(out, static_cast<uint64_t>(l.dataType & 0xFF));
    }
    PutVarint(out, extents_.size());
    for (const auto& e : extents_)
        for (int32_t v : e) PutI32(out, v);
    PutVarint(out, recs_.size());
    for (const Rec& r : recs_) {
        PutText(out, names_.substr(r.nameAt, r.nameLen));
        const uint8_t flags = static_cast<uint8_t>(r.source | (r.kind != UINT32_MAX ? 4 : 0) |
                                                   (r.layer != UINT16_MAX ? 8 : 0) |
                                                   (r.extent != UINT32_MAX ? 16 : 0) | (r.trigger ? 32 : 0) |
                                                   (r.info >= 0 ? 64 : 0));
        out += static_cast<char>(flags);
        PutVarint(out, r.theme);
        PutI32(out, r.lon);
        PutI32(out, r.lat);
        if (flags & 4) PutVarint(out, r.kind);
        if (flags & 8) PutVarint(out, r.layer);
        if (flags & 16) PutVarint(out, r.extent);
        if (flags & 32) PutVarint(out, r.trigger);
        if (flags & 64) PutVarint(out, static_cast<uint64_t>(r.info));
    }
    return out;
}

bool NameIndex::Parse(const std::string& bytes, size_t& at, NameIndex& index)
{
    NameIndex x;
    ByteReader in(bytes, at);
    size_t n = 0;
    if (!in.Expect(kMagic, sizeof kMagic)) return false;
    // Every count is held to what the bytes left could hold.
    if (!in.Count(n, 1) || n > UINT16_MAX) return false;
    x.themes_.resize(n);
    for (std::string& t : x.themes_)
        if (!in.Text(t, 1024)) return false;
    if (!in.Count(n, 1)) return false;
    x.kinds_.resize(n);
    for (std::string& k : x.kinds_)
        if (!in.Text(k, 1024)) return false;
    if (!in.Count(n, 2) || n > UINT16_MAX) return false;
    x.layers_.resize(n);
    for (Layer& l : x.layers_) {
        uint32_t type = 0;
        if (!in.Text(l.file, 4096) || !in.Small(type, 256)) return false;
        l.dataType = static_cast<int>(type);
    }
    if (!in.Count(n, 16)) return false;
    x.extents_.resize(n);
    for (auto& e : x.extents_)
        for (int32_t& v : e)
            if (!in.I32(v)) return false;
    if (!in.Count(n, 11)) return false;
    x.recs_.resize(n);
    std::string name;
    for (Rec& r : x.recs_) {
        uint32_t flags = 0, theme = 0;
        if (!in.Text(name, kMaxPlaceName) || !in.Small(flags, 128) || !in.Small(theme, x.themes_.size()) ||
            !in.I32(r.lon) || !in.I32(r.lat))
            return false;
        if ((flags & 3) > 2) return false;
        r.source = static_cast<uint8_t>(flags & 3);
        r.theme = static_cast<uint16_t>(theme);
        uint32_t v = 0;
        if (flags & 4) {
            if (!in.Small(r.kind, x.kinds_.size())) return false;
        }
        if (flags & 8) {
            if (!in.Small(v, x.layers_.size())) return false;
            r.layer = static_cast<uint16_t>(v);
        }
        if (flags & 16) {
            if (!in.Small(r.extent, x.extents_.size())) return false;
        }
        if (flags & 32) {
            if (!in.Small(v, 65536)) return false;
            r.trigger = static_cast<uint16_t>(v);
        }
        if (flags & 64) {
            uint64_t info = 0;
            if (!in.Varint(info) || info > INT64_MAX) return false;
            r.info = static_cast<int64_t>(info);
        }
        const std::string folded = FoldName(name);
        r.nameAt = static_cast<uint32_t>(x.names_.size());
        r.nameLen = static_cast<uint16_t>(name.size());
        x.names_ += name;
        r.foldAt = static_cast<uint32_t>(x.folded_.size());
        r.foldLen = static_cast<uint16_t>(folded.size());
        x.folded_ += folded;
        x.folded_ += '\n';
    }
    x.Finish();
    index = std::move(x);
    return true;
}

std::string DegreesMinutes(double lat, double lon)
{
    auto part = [](double v, char positive, char negative) {
        const long minutes = std::lround(std::fabs(v) * 60.0);
        char s[32];
        std::snprintf(s, sizeof s, "%ld\xB0%02ld'%c", minutes / 60, minutes % 60, v < 0 ? negative : positive);
        return std::string(s);
    };
    return part(lat, 'N', 'S') + " " + part(lon, 'E', 'W');
}

} // namespace corvane
