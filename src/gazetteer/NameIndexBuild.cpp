#include "gazetteer/NameIndexBuild.h"

#include "catalogue/DataList.h"
#include "catalogue/MasterFile.h"
#include "gazetteer/NameFold.h"
#include "layers/MapLBL.h"
#include "layers/MapMRLE.h"
#include "layers/MapPOL1.h"
#include "layers/MapRLE.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/MapVEC.h"
#include "platform/ByteSource.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/DiscImage.h"
#include "platform/MessageSink.h"
#include "platform/TextFile.h"
#include "query/QueryRecord.h"
#include "render/Plot.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace corvane {

namespace {

// The name of a file from a layer header: its 12 bytes without the blanks and NULs after it.
std::string HeaderName(const std::string& field)
{
    std::string s = field.substr(0, field.find('\0'));
    return Trim(s);
}

struct Box {
    double west = 0, south = 0, east = 0, north = 0;
    bool any = false;
    void Add(double lon, double lat)
    {
        if (!any) {
            west = east = lon;
            south = north = lat;
            any = true;
            return;
        }
        west = std::min(west, lon);
        east = std::max(east, lon);
        south = std::min(south, lat);
        north = std::max(north, lat);
    }
    void Add(const Box& b)
    {
        if (!b.any) return;
        Add(b.west, b.south);
        Add(b.east, b.north);
    }
};

PlaceExtent ExtentOf(const Box& b) { return {b.west, b.south, b.east, b.north}; }

std::string DamagedMessage(const std::string& path)
{
    return NativePath(path) + " is damaged : Only part of it is indexed";
}

std::string UnusableMessage(const std::string& path)
{
    return NativePath(path) + " is damaged : Nothing of it is indexed";
}

// How soon a place comes among the matches of one kind: areas, then points by the zoom from
// which their label is drawn (a point without a label as one drawn from about 1:500,000),
// then the key texts.
uint32_t Importance(const Place& p)
{
    if (p.source == PlaceSource::Key) return 100000;
    if (p.hasExtent) return 0;
    return 1 + (p.trigger ? p.trigger : 240u);
}

uint16_t WidestTrigger(uint16_t a, uint16_t b)
{
    if (!a) return b;
    if (!b) return a;
    return std::min(a, b);
}

bool Near(const Place& a, const Place& b)
{
    constexpr double kSlack = 0.1, kNear = 0.25;
    auto inside = [&](const Place& area, const Place& pt) {
        const PlaceExtent& e = area.extent;
        return pt.lon >= e.west - kSlack && pt.lon <= e.east + kSlack && pt.lat >= e.south - kSlack &&
               pt.lat <= e.north + kSlack;
    };
    if (a.hasExtent && b.hasExtent)
        return a.extent.west <= b.extent.east && b.extent.west <= a.extent.east && a.extent.south <= b.extent.north &&
               b.extent.south <= a.extent.north;
    if (a.hasExtent) return inside(a, b);
    if (b.hasExtent) return inside(b, a);
    return std::fabs(a.lon - b.lon) < kNear && std::fabs(a.lat - b.lat) < kNear;
}

// Opens a layer of reader type Layer on src into layer; returns its walk over every feature.
template <class Layer, class Visit>
std::function<void()> Reader(std::unique_ptr<GenMapObj>& layer, std::unique_ptr<ByteSource> src, Visit visit)
{
    auto l = std::make_unique<Layer>();
    l->Create(std::move(src));
    Layer* reader = l.get();
    layer = std::move(l);
    return [reader, visit] { visit(*reader); };
}

// A record a query click finds (point symbols and polygon outlines).
bool Searchable(const Place& p) { return p.dataType == dtSYX || p.dataType == dtPOL7; }

} // namespace

// ---- what the readers hand out -----------------------------------------------------------------

struct NameIndexBuilder::Theme {
    std::string title;
    std::string master;   // the master file's data path
    std::unique_ptr<MASStruct> mas;
    std::map<int, Box> keys;   // the area of the features of each key item
};

class NameIndexBuilder::Gatherer : public FeatureVisitor {
public:
    struct FoundLabel {
        std::string text;
        double lon, lat;
        uint16_t trigger;
    };
    struct FoundRecord {
        double lon = 0, lat = 0;
        bool point = false;   // lon, lat set
        Box box;
        // A polygon cut along the grid has a reference point in each piece: the one nearest
        // the middle of the whole stands for it.
        std::vector<std::pair<double, double>> references;
    };

    Gatherer(std::map<int, Box>& keys, bool labels, bool records) : keys_(keys), labels_(labels), records_(records) {}

    void Line(const FeatureCell& cell, int key, const std::vector<CellOffset>& points) override
    {
        Box& b = keys_[key];
        for (const CellOffset& p : points) b.Add(cell.LonOf(p.Lon), cell.LatOf(p.Lat));
    }
    void Polygon(const FeatureCell& cell, int key, const std::vector<std::vector<CellOffset>>& parts,
                 const CellOffset* reference, int64_t infoOffset) override
    {
        Box shape;
        for (const auto& part : parts)
            for (const CellOffset& p : part) shape.Add(cell.LonOf(p.Lon), cell.LatOf(p.Lat));
        keys_[key].Add(shape);
        if (!records_ || infoOffset < 0) return;
        FoundRecord& r = found[infoOffset];
        r.box.Add(shape);
        if (reference) r.references.emplace_back(cell.LonOf(reference->Lon), cell.LatOf(reference->Lat));
    }
    void Point(const FeatureCell& cell, int key, CellOffset at, int64_t infoOffset) override
    {
        const double lon = cell.LonOf(at.Lon), lat = cell.LatOf(at.Lat);
        keys_[key].Add(lon, lat);
        if (!records_ || infoOffset < 0) return;
        FoundRecord& r = found[infoOffset];
        if (!r.point) {
            r.lon = lon;
            r.lat = lat;
            r.point = true;
        }
    }
    void Label(const FeatureCell& cell, int key, const VisitedLabel& l) override
    {
        const double lon = cell.LonOf(l.At.Lon), lat = cell.LatOf(l.At.Lat);
        keys_[key].Add(lon, lat);
        if (labels_) labels.push_back({l.Text, lon, lat, l.TriggerScale});
    }
    void RasterRun(const RasterCell& cell, int64_t unitRow, int64_t firstColumn, int64_t count, int key) override
    {
        if (count <= 0 || cell.CellColumns <= 0) return;
        const int64_t lastRow = unitRow + (firstColumn + count - 1) / cell.CellColumns;
        Box& b = keys_[key];
        if (lastRow == unitRow) {
            b.Add(cell.West + firstColumn * cell.UnitLon, cell.South + unitRow * cell.UnitLat);
            b.Add(cell.West + (firstColumn + count) * cell.UnitLon, cell.South + (unitRow + 1) * cell.UnitLat);
        } else {
            b.Add(cell.West, cell.South + unitRow * cell.UnitLat);
            b.Add(cell.West + cell.CellColumns * cell.UnitLon, cell.South + (lastRow + 1) * cell.UnitLat);
        }
    }

    std::vector<FoundLabel> labels;
    std::map<int64_t, FoundRecord> found;

private:
    std::map<int, Box>& keys_;
    bool labels_, records_;
};

// ---- reading --------------------------------------------------------------------------------

NameSources CurrentNameSources() { return {CvVars::DatalistFile, CvVars::CDROM}; }

std::string IdentityOf(const std::string& dataPath)
{
    const ResolvedPath r = ResolveDataPath(dataPath);
    if (!r.imagePath.empty()) {
        // A file inside a disc image is what it was while the image is.
        if (!r.entry || r.entry->folder) return {};
        const std::unique_ptr<FileSource> image = FileSource::Open(r.imagePath);
        return image ? image->Identity() + "#" + r.native : std::string();
    }
    const std::unique_ptr<FileSource> f = FileSource::Open(r.native);
    return f ? f->Identity() : std::string();
}

NameIndexBuilder::NameIndexBuilder(NameSources sources) : sources_(std::move(sources)) {}
NameIndexBuilder::~NameIndexBuilder() = default;

std::unique_ptr<ByteSource> NameIndexBuilder::Open(const std::string& dataPath)
{
    std::unique_ptr<ByteSource> src = OpenDataFile(dataPath);
    const bool stamped = std::any_of(stamps_.begin(), stamps_.end(), [&](const SourceStamp& s) { return s.path == dataPath; });
    if (!stamped) {
        std::string identity = src ? src->Identity() : std::string();
        if (src && identity.empty()) identity = IdentityOf(dataPath);
        stamps_.push_back({dataPath, identity});
    }
    return src;
}

void NameIndexBuilder::Problem(const std::string& text)
{
    if (std::find(problems_.begin(), problems_.end(), text) == problems_.end()) problems_.push_back(text);
}

bool NameIndexBuilder::Run(const ProgressFn& progress, const std::atomic<bool>* cancel)
{
    stamps_.clear();
    problems_.clear();
    places_.clear();
    dead_.clear();
    cellHead_.clear();
    nextInCell_.clear();
    areas_.clear();
    NameIndexProgress p;
    auto stopped = [&] { return cancel && cancel->load(); };
    auto fileDone = [&] {
        ++p.filesDone;
        p.names = places_.size() - static_cast<size_t>(std::count(dead_.begin(), dead_.end(), true));
        if (progress) progress(p, *this);
    };

    // The themes of the data list (headings and text pages have no names of their own).
    p.filesTotal = 1;
    std::unique_ptr<ByteSource> list = Open(sources_.dataList);
    std::string text;
    if (!list || !ReadAllBytes(*list, text)) {
        Problem("There is a problem opening file " + NativePath(sources_.dataList) + ".");
        p.done = true;
        fileDone();
        return true;
    }
    RecordingMessageSink said;
    const DataListTree tree = ParseDataListTree(text, NativePath(sources_.dataList), said);
    std::vector<Theme> themes;
    std::vector<std::string> titles;
    for (const DataListNode& node : tree.Nodes) {
        if (!node.Children.empty() || node.Type == 0 || UpperCase(Trim(node.FileStr)) == "XXXX") continue;
        const std::string title = Trim(node.Title);
        if (title.empty() || std::find(titles.begin(), titles.end(), UpperCase(title)) != titles.end()) continue;
        titles.push_back(UpperCase(title));
        const std::string master = ConvFileStr(node.FileStr, said);
        if (master.empty()) continue;
        themes.push_back(Theme{title, master, nullptr, {}});
    }
    for (const auto& m : said.messages) Problem(m.text);
    p.filesTotal += static_cast<int>(themes.size());
    fileDone();

    for (Theme& theme : themes) {
        if (stopped()) return false;
        std::unique_ptr<ByteSource> src = Open(theme.master);
        if (!src) {
            Problem(NotPresentMessage(theme.master));
            fileDone();
            continue;
        }
        RecordingMessageSink quiet;
        theme.mas = MASStruct::Create(theme.master, *src, quiet);
        src.reset();
        if (theme.mas)
            for (const DSDStruct* d = theme.mas->NextDSD.get(); d; d = d->NextDSD.get())
                for (const DFNStruct* f = d->NextDFN.get(); f; f = f->NextDFN.get()) ++p.filesTotal;
        fileDone();
        if (theme.mas) ReadTheme(theme, fileDone, cancel);
        theme.mas.reset();
    }
    if (stopped()) return false;
    p.done = true;
    p.filesDone = p.filesTotal;
    if (progress) progress(p, *this);
    return true;
}

void NameIndexBuilder::ReadTheme(Theme& theme, const std::function<void()>& fileDone, const std::atomic<bool>* cancel)
{
    const MASStruct& mas = *theme.mas;
    for (const DSDStruct* d = mas.NextDSD.get(); d; d = d->NextDSD.get()) {
        const int type = d->Data_Type;
        std::vector<std::string> files, seen;
        for (const DFNStruct* f = d->NextDFN.get(); f; f = f->NextDFN.get()) {
            if (std::find(seen.begin(), seen.end(), UpperCase(f->FileName)) != seen.end()) {
                fileDone();   // listed again: read once
                continue;
            }
            seen.push_back(UpperCase(f->FileName));
            files.push_back(f->FileName);
        }
        // Labels and records from every file; the areas of the key items from the least
        // detailed file alone.
        const bool names = type == dtLBL || type == dtSYX || type == dtPOL7 || type == dtPOL9;
        for (size_t i = 0; i < files.size(); ++i) {
            if (cancel && cancel->load()) return;
            if (!names && i + 1 < files.size()) {
                fileDone();
                continue;
            }
            const std::string path = CheckCD_Drive(files[i], sources_.cdrom);
            std::unique_ptr<ByteSource> src = Open(path);
            if (!src) {
                Problem(NotPresentMessage(path));
                fileDone();
                continue;
            }
            const bool records = type == dtSYX || type == dtPOL7 || type == dtPOL9;
            Gatherer g(theme.keys, type == dtLBL, records);
            // The reader of the data type, and its walk over every feature.
            const uint8_t adjust = d->Key_Entry_Adjustment;
            std::unique_ptr<GenMapObj> layer;
            std::function<void()> visit;
            RecordingMessageSink quiet;
            switch (type) {
            case dtVEC: visit = Reader<VECmap>(layer, std::move(src), [&](VECmap& l) { l.Visit(g, adjust); }); break;
            case dtRLE: visit = Reader<RLEmap>(layer, std::move(src), [&](RLEmap& l) { l.Visit(g, adjust); }); break;
            case dtSYX: visit = Reader<SYXmap>(layer, std::move(src), [&](SYXmap& l) { l.Visit(g, adjust); }); break;
            case dtSYM: visit = Reader<SYMmap>(layer, std::move(src), [&](SYMmap& l) { l.Visit(g, adjust); }); break;
            case dtLBL: visit = Reader<LBLmap>(layer, std::move(src), [&](LBLmap& l) { l.Visit(g, adjust); }); break;
            case dtPOL7:
            case dtPOL8:
            case dtPOL9: {
                const uint8_t nSkip = type == dtPOL8 ? 0 : 2;
                visit = Reader<POLmap>(layer, std::move(src), [&, nSkip](POLmap& l) { l.Visit(g, nSkip, adjust); });
                break;
            }
            case dtMRL: {
                auto l = std::make_unique<MonoRLEmap>();
                l->Create(std::move(src), path, quiet);
                visit = [&g, adjust, m = l.get()] { m->Visit(g, adjust); };
                layer = std::move(l);
                break;
            }
            default: break;   // a data type no reader draws: nothing to read
            }
            if (!layer) {
                fileDone();
                continue;
            }
            if (!layer->DataOkay()) {
                Problem(UnusableMessage(path));
                fileDone();
                continue;
            }
            visit();
            if (layer->Damaged()) Problem(DamagedMessage(path));

            for (const Gatherer::FoundLabel& l : g.labels) {
                Place p;
                p.name = Trim(l.text);
                if (p.name.empty()) continue;
                p.theme = theme.title;
                p.source = PlaceSource::Label;
                p.lon = l.lon;
                p.lat = l.lat;
                p.trigger = l.trigger;
                p.dataType = type;
                AddPlace(std::move(p));
            }
            if (records && !g.found.empty()) ReadRecords(theme, files[i], type, layer->Header, g);
            fileDone();
        }
    }

    // The key texts, each where the features of its item lie (the theme's default area when
    // it has none).
    if (!mas.Key) return;
    const std::vector<std::string>& text = mas.Key->Text;
    int item = 0;
    for (const K_Descriptor* kd = mas.Key->NextKD.get(); kd; kd = kd->NextKD.get()) {
        ++item;
        const int n = kd->Number_Of_Text_Lines;
        std::string name;
        for (int line = kd->TextIdx - n + 1; n > 0 && line <= kd->TextIdx; ++line) {
            if (line < 0 || static_cast<size_t>(line) >= text.size()) continue;
            const std::string t = Trim(text[static_cast<size_t>(line)]);
            if (!t.empty()) name += (name.empty() ? "" : " ") + t;
        }
        if (name.empty()) continue;
        Box area;
        const auto k = theme.keys.find(item);
        if (k != theme.keys.end()) area = k->second;
        if (!area.any && mas.DefaultMaxlat > mas.DefaultMinlat && mas.DefaultMaxlon > mas.DefaultMinlon) {
            area.Add(mas.DefaultMinlon, mas.DefaultMinlat);
            area.Add(mas.DefaultMaxlon, mas.DefaultMaxlat);
        }
        if (!area.any) continue;
        Place p;
        p.name = name;
        p.theme = theme.title;
        p.source = PlaceSource::Key;
        p.hasExtent = true;
        p.extent = ExtentOf(area);
        p.lon = (area.west + area.east) / 2;
        p.lat = (area.south + area.north) / 2;
        AddPlace(std::move(p));
    }
}

void NameIndexBuilder::ReadRecords(const Theme& theme, const std::string& layerFile, int dataType,
                                   const HdrRec& header, const Gatherer& g)
{
    const std::string infoName = HeaderName(header.AssDataFilename);
    if (infoName.empty()) return;
    const size_t slash = layerFile.find_last_of('\\');
    const std::string folder = slash == std::string::npos ? std::string() : layerFile.substr(0, slash + 1);
    const std::string infoPath = CheckCD_Drive(ShortStr80(folder + "DNN\\" + infoName), sources_.cdrom);
    const std::unique_ptr<ByteSource> file = Open(infoPath);
    if (!file) {
        Problem(NotPresentMessage(infoPath));
        return;
    }
    // The headings of the theme's query lines, without their colons.
    std::vector<std::string> headings;
    bool withValues = false;
    if (const Sym_Text_Control_Block* st = theme.mas->Sym_Text.get()) {
        withValues = st->Line_Array && (st->Line_Array->Data_Type == 1 || st->Line_Array->Data_Type == 10);
        for (const Sym_Text_Line_Type* l = st->Line_Array.get(); l; l = l->Next.get()) {
            std::string h = Trim(l->Header_Text);
            if (!h.empty() && h.back() == ':') h = Trim(h.substr(0, h.size() - 1));
            headings.push_back(h);
        }
    }
    const int32_t kind = header.AssDataType;
    for (const auto& [offset, rec] : g.found) {
        Place p;
        bool damaged = false;
        if (kind == 0) {
            // One line: "Territorial waters: Denmark (DNK)" is a name and its kind. The query
            // panel shows it as it stands: a byte 0xF8 is the letter there.
            std::string line;
            damaged = !ReadSingleLine(*file, offset, line);
            line = Trim(line);
            const size_t colon = line.find(": ");
            if (colon != std::string::npos && colon > 0 && colon + 2 < line.size()) {
                p.kind = Trim(line.substr(0, colon));
                p.name = Trim(line.substr(colon + 2));
            } else {
                p.name = line;
            }
        } else if ((kind == 1 || kind == 2) && withValues) {
            // A headed record: its first value is the name; a value headed "Kind..." its kind,
            // else the heading of the name ("Town").
            QueryRecordReader reader(*file, kind, offset);
            std::string nameHeading;
            damaged = !reader.StartUp();
            QueryRecordReader::Entry entry;
            for (int i = 0; !damaged && i < reader.nLines; ++i) {
                if (!reader.Next(true, entry)) {
                    damaged = true;
                    break;
                }
                const std::string value = Trim(entry.value);
                if (!entry.hasValue || value.empty()) continue;
                const std::string heading = entry.lineCode < headings.size() ? headings[entry.lineCode] : std::string();
                if (p.name.empty()) {
                    p.name = value;
                    nameHeading = heading;
                } else if (p.kind.empty() && UpperCase(heading).rfind("KIND", 0) == 0) {
                    p.kind = value;
                }
            }
            if (p.kind.empty()) p.kind = nameHeading;
        } else {
            return;   // records without values name nothing
        }
        if (damaged) Problem(DamagedRecordText(NativePath(infoPath)));
        if (p.name.empty()) continue;
        p.theme = theme.title;
        p.source = PlaceSource::Record;
        p.layerFile = layerFile;
        p.dataType = dataType;
        p.infoOffset = offset;
        if (rec.box.any && dataType != dtSYX) {
            p.hasExtent = true;
            p.extent = ExtentOf(rec.box);
        }
        if (!rec.references.empty()) {
            const double midLon = (rec.box.west + rec.box.east) / 2, midLat = (rec.box.south + rec.box.north) / 2;
            const auto nearest = std::min_element(rec.references.begin(), rec.references.end(), [&](auto& a, auto& b) {
                return std::hypot(a.first - midLon, a.second - midLat) < std::hypot(b.first - midLon, b.second - midLat);
            });
            p.lon = nearest->first;
            p.lat = nearest->second;
        } else if (rec.point) {
            p.lon = rec.lon;
            p.lat = rec.lat;
        } else {
            p.lon = (rec.box.west + rec.box.east) / 2;
            p.lat = (rec.box.south + rec.box.north) / 2;
        }
        AddPlace(std::move(p));
    }
}

// ---- one place for each name --------------------------------------------------------------------

namespace {

// Places of one theme and name are looked for among those of the cells of two degrees that
// the neighbourhood of a point (or an area's extent) touches: mostly one cell.
constexpr double kCell = 2.0;
constexpr int64_t kMostCells = int64_t{1} << 16;
constexpr uint32_t kNone = UINT32_MAX;

uint64_t CellKey(uint64_t name, int64_t row, int64_t column)
{
    uint64_t z = name ^ (static_cast<uint64_t>(row) * 0x9E3779B97F4A7C15ull) ^
                 (static_cast<uint64_t>(column) * 0xC2B2AE3D27D4EB4Full);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;   // splitmix64
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int64_t CellOf(double degrees) { return static_cast<int64_t>(std::floor(degrees / kCell)); }

} // namespace

void NameIndexBuilder::AddPlace(Place p)
{
    if (p.name.size() > kMaxPlaceName) p.name.resize(kMaxPlaceName);
    const uint32_t at = static_cast<uint32_t>(places_.size());
    if (p.source == PlaceSource::Key) {
        places_.push_back(std::move(p));
        dead_.push_back(false);
        nextInCell_.push_back(kNone);
        return;
    }
    // The places of the same theme and folded name (told by a 64-bit hash of both) that may
    // be this one: points in the cells round its point or over its extent, and areas.
    const uint64_t name = Fnv1a(FoldName(p.name), Fnv1a(p.theme + '\x01'));
    constexpr double reach = 0.25;
    const double west = p.hasExtent ? p.extent.west - 0.1 : p.lon - reach;
    const double east = p.hasExtent ? p.extent.east + 0.1 : p.lon + reach;
    const double south = p.hasExtent ? p.extent.south - 0.1 : p.lat - reach;
    const double north = p.hasExtent ? p.extent.north + 0.1 : p.lat + reach;
    std::vector<uint32_t>& near = near_;
    near.clear();
    const int64_t r0 = CellOf(south), r1 = CellOf(north), c0 = CellOf(west), c1 = CellOf(east);
    if ((r1 - r0 + 1) * (c1 - c0 + 1) <= kMostCells)
        for (int64_t r = r0; r <= r1; ++r)
            for (int64_t c = c0; c <= c1; ++c) {
                const auto head = cellHead_.find(CellKey(name, r, c));
                if (head == cellHead_.end()) continue;
                for (uint32_t i = head->second; i != kNone; i = nextInCell_[i]) near.push_back(i);
            }
    if (const auto a = areas_.find(name); a != areas_.end()) near.insert(near.end(), a->second.begin(), a->second.end());

    for (const uint32_t i : near) {
        if (dead_[i]) continue;
        Place& c = places_[i];
        if (c.theme != p.theme || !Near(c, p)) continue;
        if (p.source == PlaceSource::Label) {
            // A label of a place already held (by its record, or a label of another file).
            c.trigger = WidestTrigger(c.trigger, p.trigger);
            return;
        }
        if (c.source == PlaceSource::Label) {
            p.trigger = WidestTrigger(p.trigger, c.trigger);
            dead_[i] = true;
            continue;
        }
        if (c.kind != p.kind) continue;
        // The same record twice: the one a query click finds is kept.
        if (Searchable(c) || !Searchable(p)) {
            c.trigger = WidestTrigger(c.trigger, p.trigger);
            return;
        }
        p.trigger = WidestTrigger(p.trigger, c.trigger);
        dead_[i] = true;
    }
    if (p.hasExtent) {
        areas_[name].push_back(at);
        nextInCell_.push_back(kNone);
    } else {
        uint32_t& head = cellHead_.try_emplace(CellKey(name, CellOf(p.lat), CellOf(p.lon)), kNone).first->second;
        nextInCell_.push_back(head);
        head = at;
    }
    places_.push_back(std::move(p));
    dead_.push_back(false);
}

std::vector<uint32_t> NameIndexBuilder::Order() const
{
    // Sorted by a key of the place's importance and its position, which keeps the order
    // stable without moving the places themselves.
    std::vector<uint64_t> keys;
    keys.reserve(places_.size());
    for (size_t i = 0; i < places_.size(); ++i)
        if (!dead_[i]) keys.push_back(uint64_t{Importance(places_[i])} << 32 | i);
    std::sort(keys.begin(), keys.end());
    std::vector<uint32_t> order(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) order[i] = static_cast<uint32_t>(keys[i]);
    return order;
}

std::vector<Place> NameIndexBuilder::Places() const
{
    std::vector<Place> out;
    const std::vector<uint32_t> order = Order();
    out.reserve(order.size());
    for (const uint32_t i : order) out.push_back(places_[i]);
    return out;
}

std::shared_ptr<const NameIndex> NameIndexBuilder::Index() const
{
    return std::make_shared<NameIndex>(places_, Order());
}

} // namespace corvane
