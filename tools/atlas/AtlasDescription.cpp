#include "AtlasDescription.h"

#include "platform/DataPath.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

namespace corvane::atlas {

namespace {

constexpr size_t kDataPathLimit = 80;   // a data path is at most 80 characters
constexpr int kKeyItemLimit = 50;       // key items a layer can colour

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> Words(const std::string& s)
{
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

bool ToInt(const std::string& s, int32_t& v)
{
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long long x = std::strtoll(s.c_str(), &end, 10);
    if (errno || *end || x < INT32_MIN || x > INT32_MAX) return false;
    v = static_cast<int32_t>(x);
    return true;
}

bool ToReal(const std::string& s, double& v)
{
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    v = std::strtod(s.c_str(), &end);
    return !errno && !*end && std::isfinite(v);
}

// A value as written: trimmed, and a value in double quotes keeps its blanks.
std::string Unquote(const std::string& raw)
{
    std::string v = Trim(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
    return v;
}

// Parses the values of one block; reports errors with the current line.
class Reader {
public:
    Reader(std::vector<DescriptionError>& errors) : errors_(errors) {}

    void SetLine(int line) { line_ = line; }
    void Error(const std::string& msg) { errors_.push_back({line_, msg}); }

    bool Int(const std::string& name, const std::string& v, int32_t& out, int32_t lo, int32_t hi)
    {
        int32_t x = 0;
        if (!ToInt(v, x)) { Error(name + ": \"" + v + "\" is not a whole number"); return false; }
        if (x < lo || x > hi) {
            Error(name + ": " + v + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
            return false;
        }
        out = x;
        return true;
    }
    bool Real(const std::string& name, const std::string& v, double& out)
    {
        if (!ToReal(v, out)) { Error(name + ": \"" + v + "\" is not a number"); return false; }
        return true;
    }
    bool Bool(const std::string& name, const std::string& v, bool& out)
    {
        std::string l = Lower(v);
        if (l == "yes" || l == "true" || l == "1" || l == "on") { out = true; return true; }
        if (l == "no" || l == "false" || l == "0" || l == "off") { out = false; return true; }
        Error(name + ": \"" + v + "\" is not yes or no");
        return false;
    }
    // Two whole numbers or one (the second then equals the first): "12" or "12 4".
    bool Pair(const std::string& name, const std::string& v, int& a, int& b, int lo, int hi)
    {
        std::vector<std::string> w = Words(v);
        if (w.empty() || w.size() > 2) { Error(name + ": give one or two numbers"); return false; }
        if (!Int(name, w[0], a, lo, hi)) return false;
        b = a;
        return w.size() < 2 || Int(name, w[1], b, lo, hi);
    }
    // "W E S N" (a region) or "minlat maxlat minlon maxlon" (extents) as four reals.
    bool Four(const std::string& name, const std::string& v, double out[4])
    {
        std::vector<std::string> w = Words(v);
        if (w.size() != 4) { Error(name + ": give four numbers"); return false; }
        for (int i = 0; i < 4; ++i)
            if (!Real(name, w[static_cast<size_t>(i)], out[i])) return false;
        return true;
    }
    // "7" or "field NAME".
    bool Value(const std::string& name, const std::string& v, ValueSource& out, int32_t lo, int32_t hi)
    {
        std::vector<std::string> w = Words(v);
        if (w.size() == 2 && Lower(w[0]) == "field") { out.field = w[1]; return true; }
        out.field.clear();
        if (!w.empty() && Lower(w[0]) == "field") {
            Error(name + ": give a number or field NAME, one attribute's name");
            return false;
        }
        return Int(name, v, out.constant, lo, hi);
    }

private:
    std::vector<DescriptionError>& errors_;
    int line_ = 0;
};

enum class Block { None, Atlas, Layer, Heading, Theme, Dataset, Key, Query, QueryLine, Page, Map };

const std::map<std::string, Block>& BlockNames()
{
    static const std::map<std::string, Block> m{
        {"atlas", Block::Atlas}, {"layer", Block::Layer}, {"heading", Block::Heading},
        {"theme", Block::Theme}, {"dataset", Block::Dataset}, {"key", Block::Key},
        {"query", Block::Query}, {"query-line", Block::QueryLine}, {"page", Block::Page},
        {"map", Block::Map}};
    return m;
}

bool NeedsName(Block b)
{
    return b == Block::Layer || b == Block::Heading || b == Block::Theme || b == Block::Page || b == Block::Map;
}

int ParseJustify(const std::string& v, bool horizontal)
{
    static const std::map<std::string, int> h{{"left", 0}, {"centre", 1}, {"center", 1}, {"right", 2}};
    static const std::map<std::string, int> vj{{"above", 0}, {"middle", 1}, {"low", 2}, {"below", 3}};
    const auto& m = horizontal ? h : vj;
    auto it = m.find(Lower(v));
    if (it != m.end()) return it->second;
    int32_t x = 0;
    if (ToInt(v, x) && x >= 0 && x <= 3) return x;
    return -1;
}

int ParseEntryType(const std::string& v)
{
    static const std::map<std::string, int> m{{"none", 0}, {"line", 1}, {"box", 2},
                                              {"symbol", 3}, {"text", 4}, {"symbol15", 5}};
    auto it = m.find(Lower(v));
    if (it != m.end()) return it->second;
    int32_t x = 0;
    if (ToInt(v, x) && x >= 0 && x <= 255) return x;
    return -1;
}

void SetLayer(Reader& r, LayerSpec& l, const std::string& name, const std::string& v)
{
    double four[4];
    if (name == "type") {
        l.dataType = ParseDataType(v);
        if (!l.dataType) r.Error("type: \"" + v + "\" is no data type (1..9 or its word)");
    } else if (name == "output") l.output = v;
    else if (name == "source") l.source = v;
    else if (name == "source-layer") l.sourceLayer = v;
    else if (name == "where") l.where = v;
    else if (name == "band") r.Int(name, v, l.band, 1, 65535);
    else if (name == "region") {
        if (r.Four(name, v, four)) {
            if (four[0] >= four[1] || four[2] >= four[3])
                r.Error("region: give west east south north, west below east and south below north");
            else l.region = Region{four[0], four[1], four[2], four[3]};
        }
    } else if (name == "cell") {
        if (Lower(v) == "auto") l.cellDegrees = 0;
        else if (r.Real(name, v, l.cellDegrees) && !(l.cellDegrees > 0 && l.cellDegrees <= 360)) {
            r.Error("cell: give degrees above 0, or auto");
            l.cellDegrees = 0;
        }
    } else if (name == "precision") {
        if (Lower(v) == "auto") l.precision = 0;
        else r.Int(name, v, l.precision, 1, 100000000);
    } else if (name == "id") {
        if (v.size() > 12) r.Error("id: at most 12 characters");
        l.id = v;
    } else if (name == "date") { int32_t d; if (r.Int(name, v, d, 0, 99991231)) l.date = d; }
    else if (name == "scale") { int32_t s; if (r.Int(name, v, s, 0, INT32_MAX)) l.scale = s; }
    else if (name == "key") r.Value(name, v, l.key, 0, 255);
    else if (name == "land-values") {
        for (const std::string& w : Words(v)) {
            int32_t x = 0;
            if (r.Int(name, w, x, INT32_MIN, INT32_MAX)) l.landValues.push_back(x);
        }
    } else if (name == "label-text") l.labelText = v;
    else if (name == "label-size") r.Value(name, v, l.labelSize, 0, 3);
    else if (name == "label-trigger") r.Value(name, v, l.labelTrigger, 0, 65535);
    else if (name == "justify") {
        std::vector<std::string> w = Words(v);
        int h = w.size() == 2 ? ParseJustify(w[0], true) : -1;
        int vv = w.size() == 2 ? ParseJustify(w[1], false) : -1;
        if (h < 0 || vv < 0) r.Error("justify: give left|centre|right and above|middle|low|below");
        else { l.hJust = h; l.vJust = vv; }
    } else if (name == "angle") r.Int(name, v, l.angle, 0, 65535);
    else if (name == "reference") {
        std::vector<std::string> w = Words(v);
        if (w.size() == 1 && Lower(w[0]) == "inside") { l.referenceLon.clear(); l.referenceLat.clear(); }
        else if (w.size() == 3 && Lower(w[0]) == "fields") { l.referenceLon = w[1]; l.referenceLat = w[2]; }
        else r.Error("reference: give inside, or fields LON LAT");
    } else if (name == "info-kind") r.Int(name, v, l.infoKind, 0, 2);
    else if (name == "info-file") {
        if (v.size() > 12) r.Error("info-file: at most 12 characters (an 8.3 name)");
        l.infoFile = v;
    } else if (name == "info-text") l.infoText = v;
    else if (name == "info-line") {
        // "[clear] [shared] CODE TEMPLATE"
        InfoLineSpec e;
        std::string rest = v;
        for (;;) {
            size_t sp = rest.find_first_of(" \t");
            std::string word = Lower(rest.substr(0, sp));
            if (sp == std::string::npos || (word != "clear" && word != "shared")) break;
            (word == "clear" ? e.clearHeaders : e.shared) = true;
            rest = Trim(rest.substr(sp));
        }
        size_t sp = rest.find_first_of(" \t");
        if (sp == std::string::npos || !r.Int(name, rest.substr(0, sp), e.code, 0, 253))
            r.Error("info-line: give [clear] [shared], the query line index (0..253) and the text");
        else {
            e.text = Unquote(rest.substr(sp + 1));
            l.infoLines.push_back(e);
        }
    } else if (name == "info-display-count") { int c; if (r.Int(name, v, c, 0, 255)) l.infoDisplayCount = c; }
    else r.Error("unknown name \"" + name + "\" in a layer");
}

void SetTheme(Reader& r, ThemeSpec& t, const std::string& name, const std::string& v)
{
    double four[4];
    if (name == "level") r.Int(name, v, t.menuLevel, 1, 9);
    else if (name == "master") t.master = v;
    else if (name == "text-file") t.textFile = v;
    else if (name == "extent" || name == "default-extent") {
        if (r.Four(name, v, four)) {
            if (four[0] >= four[1] || four[2] >= four[3])
                r.Error(name + ": give minlat maxlat minlon maxlon, each minimum below its maximum");
            else (name == "extent" ? t.extent : t.defaultExtent) = Region{four[2], four[3], four[0], four[1]};
        }
    } else if (name == "coastline-included") r.Bool(name, v, t.coastlineIncluded);
    else if (name == "may-be-top-level") r.Bool(name, v, t.mayBeTopLevel);
    else if (name == "force-coastline-style") r.Int(name, v, t.forceCoastlineStyle, INT32_MIN, INT32_MAX);
    else if (name == "key-width") r.Int(name, v, t.keyWidth, -32768, 32767);
    else if (name == "key-heading") t.keyHeading.push_back(v);
    else r.Error("unknown name \"" + name + "\" in a theme");
}

void SetDataset(Reader& r, DatasetSpec& d, const std::string& name, const std::string& v)
{
    if (name == "type") {
        d.dataType = ParseDataType(v);
        if (!d.dataType) r.Error("type: \"" + v + "\" is no data type (1..9 or its word)");
    } else if (name == "file") {
        std::vector<std::string> w = Words(v);
        FileRef f;
        if (w.empty() || w.size() > 2) { r.Error("file: give a layer name and a trigger scale"); return; }
        f.layer = w[0];
        if (w.size() == 2 && !r.Real(name, w[1], f.trigger)) return;
        d.files.push_back(f);
    } else if (name == "before-coastline") r.Bool(name, v, d.beforeCoastline);
    else if (name == "key-adjustment") r.Int(name, v, d.keyAdjustment, 0, 255);
    else if (name == "level") r.Int(name, v, d.level, 0, 255);
    else if (name == "from") {
        if (r.Real(name, v, d.from) && d.from < 0) r.Error("from: a trigger scale is not negative");
    }
    else r.Error("unknown name \"" + name + "\" in a dataset");
}

void SetKey(Reader& r, KeyEntrySpec& k, const std::string& name, const std::string& v)
{
    if (name == "type") {
        k.entryType = ParseEntryType(v);
        if (k.entryType < 0) { r.Error("type: \"" + v + "\" is no key entry type"); k.entryType = 0; }
    } else if (name == "colour" || name == "color") r.Pair(name, v, k.topColour, k.bottomColour, 0, 15);
    else if (name == "style") r.Pair(name, v, k.topStyle, k.bottomStyle, 0, 255);
    else if (name == "active") r.Bool(name, v, k.active);
    else if (name == "hidden") r.Bool(name, v, k.hidden);
    else if (name == "order") r.Int(name, v, k.order, 0, 255);
    else if (name == "text") k.text.push_back(v);
    else r.Error("unknown name \"" + name + "\" in a key entry");
}

void SetQueryLine(Reader& r, QueryLineSpec& q, const std::string& name, const std::string& v)
{
    if (name == "code") r.Int(name, v, q.lineCode, 0, 255);
    else if (name == "values") { bool b = false; if (r.Bool(name, v, b)) q.dataType = b ? 1 : 0; }
    else if (name == "data-type") r.Int(name, v, q.dataType, 0, 255);
    else if (name == "width") r.Int(name, v, q.width, 0, 255);
    else if (name == "decimals") r.Int(name, v, q.decimals, 0, 255);
    else if (name == "action") r.Int(name, v, q.action, 0, 7);
    else if (name == "preceding") r.Int(name, v, q.preceding, -1, 127);
    else if (name == "printed") r.Int(name, v, q.printed, 0, 255);
    else if (name == "justify") {
        int j = ParseJustify(v, true);
        if (Lower(v) == "none") q.justify = 0;
        else if (j >= 0 && !std::isdigit(static_cast<unsigned char>(v[0]))) q.justify = j + 1;
        else r.Int(name, v, q.justify, 0, 255);
    } else if (name == "heading-colour" || name == "heading-color") r.Int(name, v, q.headingColour, 0, 15);
    else if (name == "inset") r.Int(name, v, q.inset, -32768, 32767);
    else if (name == "data-colour" || name == "data-color") r.Int(name, v, q.dataColour, 0, 15);
    else if (name == "heading") {
        if (v.size() > 72) r.Error("heading: at most 72 characters");
        q.heading = v.substr(0, 72);
    } else r.Error("unknown name \"" + name + "\" in a query line");
}

void SetPage(Reader& r, PageSpec& p, const std::string& name, const std::string& v, const std::string& raw)
{
    if (name == "level") r.Int(name, v, p.menuLevel, 1, 9);
    else if (name == "file") p.file = v;
    else if (name == "master") p.master = v;
    else if (name == "source") p.source = v;
    else if (name == "line") {
        // Keeps the blanks after the "=" but one, so that text can be indented.
        std::string t = raw;
        if (!t.empty() && t[0] == ' ') t.erase(0, 1);
        t = TrimRight(t);
        p.lines.push_back({false, t});
    } else if (name == "include") p.lines.push_back({true, v});
    else r.Error("unknown name \"" + name + "\" in a page");
}

// A colour as "#RRGGBB" (as on the web) or a number in the file's 0x00BBGGRR layout.
bool ParseColour(Reader& r, const std::string& name, const std::string& v, std::optional<uint32_t>& out)
{
    if (v.size() == 7 && v[0] == '#') {
        char* end = nullptr;
        const unsigned long rgb = std::strtoul(v.c_str() + 1, &end, 16);
        if (*end) { r.Error(name + ": \"" + v + "\" is not a colour"); return false; }
        out = static_cast<uint32_t>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
        return true;
    }
    int32_t x = 0;
    if (!r.Int(name, v, x, 0, 0xFFFFFF)) return false;
    out = static_cast<uint32_t>(x);
    return true;
}

void SetMap(Reader& r, MapSpec& m, const std::string& name, const std::string& v)
{
    double four[4];
    if (name == "extent") {
        if (r.Four(name, v, four)) {
            if (four[0] >= four[1] || four[2] >= four[3])
                r.Error("extent: give minlat maxlat minlon maxlon, each minimum below its maximum");
            else m.extent = Region{four[2], four[3], four[0], four[1]};
        }
    } else if (name == "base") m.base.push_back(v);
    else if (name == "overlay") m.overlay.push_back(v);
    else if (name == "text") m.text.push_back(v);
    else if (name == "window") {
        std::vector<std::string> w = Words(v);
        if (w.size() != 2) r.Error("window: give the width and height in pixels");
        else if (r.Int(name, w[0], m.width, 200, 4000)) r.Int(name, w[1], m.height, 150, 4000);
    } else if (name == "background") ParseColour(r, name, v, m.background);
    else if (name == "land-colour" || name == "land-color") ParseColour(r, name, v, m.landColour);
    else if (name == "land-fill") ParseColour(r, name, v, m.landFill);
    else if (name == "land-style") { int32_t x = 0; if (r.Int(name, v, x, 0, 1)) m.landStyle = x; }
    else if (name == "halo") { int32_t x = 0; if (r.Int(name, v, x, 0, 1)) m.halo = x == 1; }
    else if (name == "grid-colour" || name == "grid-color") ParseColour(r, name, v, m.gridColour);
    else if (name == "key-background") ParseColour(r, name, v, m.keyBackground);
    else if (name == "key-text") ParseColour(r, name, v, m.keyText);
    else if (name == "base-key" || name == "overlay-key") {
        static const std::map<std::string, int32_t> corners{
            {"top-left", 1}, {"top-right", 2}, {"bottom-right", 3}, {"bottom-left", 4}};
        auto it = corners.find(Lower(v));
        if (it == corners.end()) r.Error(name + ": give top-left, top-right, bottom-right or bottom-left");
        else (name == "base-key" ? m.baseKeyCorner : m.overlayKeyCorner) = it->second;
    }
    else r.Error("unknown name \"" + name + "\" in a map");
}

} // namespace

int ParseDataType(const std::string& value)
{
    static const std::map<std::string, int> m{
        {"vectors", 1}, {"land-raster", 2}, {"colour-raster", 3}, {"color-raster", 3},
        {"symbols-info", 4}, {"symbols", 5}, {"labels", 6}, {"polygon-outlines", 7},
        {"polygons", 8}, {"polygons-info", 9}};
    auto it = m.find(Lower(Trim(value)));
    if (it != m.end()) return it->second;
    int32_t x = 0;
    return ToInt(Trim(value), x) && x >= 1 && x <= 9 ? x : 0;
}

const LayerSpec* AtlasDescription::FindLayer(const std::string& name) const
{
    for (const LayerSpec& l : layers)
        if (l.name == name) return &l;
    return nullptr;
}

bool ParseAtlasDescription(const std::string& text, AtlasDescription& out,
                           std::vector<DescriptionError>& errors)
{
    const size_t errorsBefore = errors.size();
    Reader r(errors);
    Block block = Block::None;
    bool sawAtlas = false;
    int lineNo = 0;
    // The names given in the current block and their lines: a name that does not repeat,
    // given twice, is most likely a typing error in one of the two.
    std::map<std::string, int> given;
    for (std::string line : SplitLines(text)) {
        ++lineNo;
        r.SetLine(lineNo);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string t = Trim(line);
        if (t.empty() || t[0] == '#' || t[0] == ';') continue;

        if (t[0] == '[') {
            if (t.back() != ']') { r.Error("a block header ends with ]"); block = Block::None; continue; }
            given.clear();
            std::string inner = Trim(t.substr(1, t.size() - 2));
            size_t sp = inner.find_first_of(" \t");
            std::string kind = Lower(inner.substr(0, sp));
            std::string name = sp == std::string::npos ? "" : Trim(inner.substr(sp));
            auto it = BlockNames().find(kind);
            if (it == BlockNames().end()) { r.Error("unknown block [" + kind + "]"); block = Block::None; continue; }
            block = it->second;
            if (NeedsName(block) && name.empty()) { r.Error("[" + kind + "] needs a name"); block = Block::None; continue; }
            if (!NeedsName(block) && !name.empty() && block != Block::Atlas) {
                r.Error("[" + kind + "] takes no name"); block = Block::None; continue;
            }
            bool inTheme = !out.menu.empty() && out.menu.back().kind == MenuEntry::Theme;
            switch (block) {
            case Block::Atlas:
                if (sawAtlas) r.Error("a second [atlas] block");
                sawAtlas = true;
                if (!name.empty()) out.title = name;
                break;
            case Block::Layer:
                if (out.FindLayer(name)) r.Error("a second layer named " + name);
                out.layers.push_back({});
                out.layers.back().name = name;
                out.layers.back().line = lineNo;
                break;
            case Block::Heading:
                out.headings.push_back({name, lineNo, 1});
                out.menu.push_back({MenuEntry::Heading, out.headings.size() - 1});
                break;
            case Block::Theme:
                out.themes.push_back({});
                out.themes.back().title = name;
                out.themes.back().line = lineNo;
                out.menu.push_back({MenuEntry::Theme, out.themes.size() - 1});
                break;
            case Block::Page:
                out.pages.push_back({});
                out.pages.back().title = name;
                out.pages.back().line = lineNo;
                out.menu.push_back({MenuEntry::Page, out.pages.size() - 1});
                break;
            case Block::Map:
                out.maps.push_back({});
                out.maps.back().file = name;
                out.maps.back().line = lineNo;
                break;
            case Block::Dataset:
            case Block::Key:
            case Block::Query:
            case Block::QueryLine:
                if (!inTheme) { r.Error("[" + kind + "] belongs after a [theme]"); block = Block::None; break; }
                if (block == Block::Dataset) { out.themes.back().datasets.push_back({}); out.themes.back().datasets.back().line = lineNo; }
                if (block == Block::Key) { out.themes.back().key.push_back({}); out.themes.back().key.back().line = lineNo; }
                if (block == Block::Query) {
                    if (out.themes.back().hasQuery) r.Error("a second [query] in one theme");
                    out.themes.back().hasQuery = true;
                }
                if (block == Block::QueryLine) {
                    out.themes.back().hasQuery = true;
                    out.themes.back().queryLines.push_back({});
                    out.themes.back().queryLines.back().line = lineNo;
                }
                break;
            case Block::None:
                break;
            }
            continue;
        }

        size_t eq = t.find('=');
        if (eq == std::string::npos) { r.Error("expected name = value"); continue; }
        std::string name = Lower(Trim(t.substr(0, eq)));
        size_t rawStart = line.find('=') + 1;
        std::string raw = line.substr(rawStart);
        std::string value = Unquote(t.substr(eq + 1));
        if (name.empty()) { r.Error("a value without a name"); continue; }
        static const std::set<std::string> repeating = {"file", "text", "key-heading", "info-line", "line",
                                                        "include", "base", "overlay"};
        if (block != Block::None && !repeating.count(name)) {
            const auto [at, first] = given.emplace(name, lineNo);
            if (!first) {
                r.Error("\"" + name + "\" is given a second time in this block (first on line " +
                        std::to_string(at->second) + ")");
                continue;
            }
        }

        switch (block) {
        case Block::None:
            r.Error("\"" + name + "\" outside a block");
            break;
        case Block::Atlas:
            if (name == "title") out.title = value;
            else if (name == "data-list") out.dataList = value;
            else if (name == "sources") out.sources = value;
            else if (name == "date") r.Int(name, value, out.date, 0, 99991231);
            else if (name == "scale") r.Int(name, value, out.scale, 0, INT32_MAX);
            else r.Error("unknown name \"" + name + "\" in [atlas]");
            break;
        case Block::Layer: SetLayer(r, out.layers.back(), name, value); break;
        case Block::Heading:
            if (name == "level") r.Int(name, value, out.headings.back().menuLevel, 1, 9);
            else r.Error("unknown name \"" + name + "\" in a heading");
            break;
        case Block::Theme: SetTheme(r, out.themes.back(), name, value); break;
        case Block::Dataset: SetDataset(r, out.themes.back().datasets.back(), name, value); break;
        case Block::Key: SetKey(r, out.themes.back().key.back(), name, value); break;
        case Block::Query:
            if (name == "lines-to-add") r.Int(name, value, out.themes.back().linesToAdd, -128, 127);
            else r.Error("unknown name \"" + name + "\" in [query]");
            break;
        case Block::QueryLine: SetQueryLine(r, out.themes.back().queryLines.back(), name, value); break;
        case Block::Page: SetPage(r, out.pages.back(), name, value, raw); break;
        case Block::Map: SetMap(r, out.maps.back(), name, value); break;
        }
    }
    return errors.size() == errorsBefore;
}

bool CheckAtlasDescription(const AtlasDescription& atlas, std::vector<DescriptionError>& errors)
{
    const size_t before = errors.size();
    auto pathFits = [&](int line, const std::string& what, const std::string& inside) {
        if (inside.empty()) return;
        std::string p = AtlasDataPath(inside);
        if (p.size() > kDataPathLimit)
            errors.push_back({line, what + " " + p + " is longer than 80 characters"});
        if (inside.find('.') != inside.rfind('.'))
            errors.push_back({line, what + " " + inside + " has more than one \".\" (the data list cuts at the first)"});
    };

    // The data set list opens a data list entry's file as the name up to its "." followed by
    // "MAS": a master file whose extension is not .MAS could not be added to a map.
    auto masterNamed = [&](int line, const std::string& inside) {
        const size_t dot = inside.find('.');
        if (!inside.empty() && (dot == std::string::npos || !SameText(inside.substr(dot), ".MAS")))
            errors.push_back({line, "master file " + inside + " does not end in .MAS"});
    };

    for (const LayerSpec& l : atlas.layers) {
        if (!l.dataType) errors.push_back({l.line, "layer " + l.name + " has no type"});
        if (l.output.empty()) errors.push_back({l.line, "layer " + l.name + " has no output"});
        if (l.source.empty()) errors.push_back({l.line, "layer " + l.name + " has no source"});
        pathFits(l.line, "layer output", l.output);
        const bool takesInfo = l.dataType == 4 || l.dataType == 7 || l.dataType == 9;
        if (l.infoKind >= 0 && !takesInfo)
            errors.push_back({l.line, "layer " + l.name + ": only types 4, 7 and 9 carry information"});
        if (l.infoKind >= 0 && l.infoFile.empty())
            errors.push_back({l.line, "layer " + l.name + " has info-kind but no info-file"});
        if (l.infoKind == 0 && l.infoText.empty())
            errors.push_back({l.line, "layer " + l.name + ": information of kind 0 needs info-text"});
        if (l.infoKind >= 1 && l.infoLines.empty())
            errors.push_back({l.line, "layer " + l.name + ": headed information needs info-line entries"});
        if (l.infoKind >= 1 && l.infoLines.size() > 255)
            errors.push_back({l.line, "layer " + l.name + ": a record holds at most 255 entries"});
        if (l.dataType == 6 && l.labelText.empty())
            errors.push_back({l.line, "layer " + l.name + ": labels need label-text"});
        if (!l.key.FromField() && (l.dataType != 2 && l.dataType != 3) && (l.key.constant < 1 || l.key.constant > kKeyItemLimit))
            errors.push_back({l.line, "layer " + l.name + ": a constant key code is 1..50"});
    }

    for (const ThemeSpec& t : atlas.themes) {
        if (t.master.empty()) errors.push_back({t.line, "theme " + t.title + " has no master file"});
        pathFits(t.line, "master file", t.master);
        masterNamed(t.line, t.master);
        pathFits(t.line, "text file", t.textFile);
        if (t.datasets.empty()) errors.push_back({t.line, "theme " + t.title + " has no dataset"});
        if (t.datasets.size() > 255) errors.push_back({t.line, "theme " + t.title + " has more than 255 datasets"});
        if (t.key.size() > static_cast<size_t>(kKeyItemLimit))
            errors.push_back({t.line, "theme " + t.title + " has " + std::to_string(t.key.size()) +
                                          " key entries, more than the 50 key items a map colours"});
        size_t textLines = t.keyHeading.size();
        for (const KeyEntrySpec& k : t.key) textLines += k.text.size();
        if (textLines > 256) errors.push_back({t.line, "theme " + t.title + ": the key has more than 256 text lines"});
        if (t.hasQuery && (t.queryLines.empty() || t.queryLines.size() > 256))
            errors.push_back({t.line, "theme " + t.title + ": a query block holds 1..256 query lines"});
        for (const DatasetSpec& d : t.datasets) {
            if (d.files.empty()) { errors.push_back({d.line, "dataset without a file"}); continue; }
            if (d.files.size() > 255) errors.push_back({d.line, "a dataset has at most 255 files"});
            if (d.from > 0 && d.files.size() != 1)
                errors.push_back({d.line, "from is for a data set of one file (give the triggers of several)"});
            if (d.level > static_cast<int>(d.files.size()))
                errors.push_back({d.line, "level " + std::to_string(d.level) + " names no file of the dataset"});
            for (size_t i = 0; i < d.files.size(); ++i) {
                const LayerSpec* l = atlas.FindLayer(d.files[i].layer);
                if (!l) { errors.push_back({d.line, "no layer named " + d.files[i].layer}); continue; }
                const int type = d.dataType ? d.dataType : atlas.FindLayer(d.files[0].layer) ? atlas.FindLayer(d.files[0].layer)->dataType : 0;
                if (l->dataType != type)
                    errors.push_back({d.line, "layer " + l->name + " is of type " + std::to_string(l->dataType) +
                                                  ", the dataset of type " + std::to_string(type)});
                if (i > 0 && d.files[i].trigger > d.files[i - 1].trigger)
                    errors.push_back({d.line, "files go from the most detailed (highest trigger) to the least"});
                if (!l->key.FromField() && l->dataType != 2 && l->dataType != 3 &&
                    l->key.constant + d.keyAdjustment > kKeyItemLimit)
                    errors.push_back({d.line, "key code of layer " + l->name + " plus the adjustment passes 50"});
                if (l->infoKind >= 1 && (!t.hasQuery || t.queryLines.empty()))
                    errors.push_back({d.line, "layer " + l->name + " has headed information but the theme no [query-line]"});
                for (const InfoLineSpec& e : l->infoLines)
                    if (e.code >= static_cast<int>(t.queryLines.size()))
                        errors.push_back({d.line, "layer " + l->name + ": info-line " + std::to_string(e.code) +
                                                      " names no query line of theme " + t.title});
            }
        }
        for (const QueryLineSpec& q : t.queryLines)
            if (q.preceding >= static_cast<int>(t.queryLines.size()))
                errors.push_back({q.line, "preceding " + std::to_string(q.preceding) + " names no query line"});
    }

    for (const PageSpec& p : atlas.pages) {
        if (p.file.empty()) errors.push_back({p.line, "page " + p.title + " has no file"});
        pathFits(p.line, "page file", p.file);
        if (!p.file.empty()) {
            pathFits(p.line, "page master file", PageMasterPath(p));
            masterNamed(p.line, PageMasterPath(p));
            if (SameText(AtlasDataPath(PageMasterPath(p)), AtlasDataPath(p.file)))
                errors.push_back({p.line, "page " + p.title + ": the master file and the page are one file"});
        }
        if (p.source.empty() && p.lines.empty()) errors.push_back({p.line, "page " + p.title + " has no text"});
        for (const PageLine& pl : p.lines)
            if (pl.include) pathFits(p.line, "included page", pl.text);
    }
    for (const HeadingSpec& h : atlas.headings)
        if (h.title.size() > 87) errors.push_back({h.line, "a data list title is at most 87 characters"});
    for (const ThemeSpec& t : atlas.themes)
        if (t.title.size() > 87) errors.push_back({t.line, "a data list title is at most 87 characters"});
    for (const PageSpec& p : atlas.pages)
        if (p.title.size() + 7 > 87) errors.push_back({p.line, "a text page title is at most 80 characters"});
    if (atlas.menu.empty()) errors.push_back({0, "the atlas has no heading, theme or page"});
    // Maps find their themes by title, taking the first entry of the data list that has it.
    std::vector<std::string> titles;
    for (const MenuEntry& m : atlas.menu) {
        const bool page = m.kind == MenuEntry::Page;
        const std::string title = m.kind == MenuEntry::Heading ? atlas.headings[m.index].title
                                  : page                       ? "(Text) " + atlas.pages[m.index].title
                                                               : atlas.themes[m.index].title;
        const int line = m.kind == MenuEntry::Heading ? atlas.headings[m.index].line
                         : page                       ? atlas.pages[m.index].line
                                                      : atlas.themes[m.index].line;
        if (std::any_of(titles.begin(), titles.end(), [&](const std::string& t) { return SameText(t, title); }))
            errors.push_back({line, "the data list has an earlier entry titled " + title +
                                        ": a map looking the title up would find that one"});
        titles.push_back(title);
    }

    auto known = [](const auto& list, const std::string& title) {
        return std::any_of(list.begin(), list.end(), [&](const auto& x) { return SameText(x.title, title); });
    };
    for (const MapSpec& m : atlas.maps) {
        pathFits(m.line, "map", m.file);
        if (!m.extent) errors.push_back({m.line, "map " + m.file + " has no extent"});
        if (m.base.empty() && m.overlay.empty()) errors.push_back({m.line, "map " + m.file + " shows no theme"});
        for (const auto* list : {&m.base, &m.overlay})
            for (const std::string& t : *list)
                if (!known(atlas.themes, t)) errors.push_back({m.line, "map " + m.file + ": no theme titled " + t});
        for (const std::string& t : m.text)
            if (!known(atlas.pages, t)) errors.push_back({m.line, "map " + m.file + ": no page titled " + t});
    }
    return errors.size() == before;
}

} // namespace corvane::atlas
