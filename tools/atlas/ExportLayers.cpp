#include "ExportLayers.h"

#include "catalogue/DataList.h"
#include "layers/MapLBL.h"
#include "layers/MapMRLE.h"
#include "layers/MapPOL1.h"
#include "layers/MapRLE.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/MapVEC.h"
#include "layers/RunLength.h"
#include "platform/ByteSource.h"
#include "platform/CodePage.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"
#include "platform/TextFile.h"
#include "query/QueryRecord.h"
#include "query/QueryReport.h"
#include "render/Plot.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace corvane::atlas {

namespace {

std::string Upper(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trimmed(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

// The name of a file without folder and extension, from a data path or a native one.
std::string Stem(const std::string& path)
{
    std::string name = path.substr(path.find_last_of("\\/:") == std::string::npos ? 0 : path.find_last_of("\\/:") + 1);
    return name.substr(0, name.find('.'));
}

int TypeOfLayerFile(const std::string& path)
{
    const std::string ext = Upper(fs::path(path).extension().string());
    static const std::map<std::string, int> types{{".VEC", 1}, {".MRL", 2}, {".RLE", 3}, {".SYX", 4},
                                                  {".SYM", 5}, {".LBL", 6}, {".POL", 8}};
    const auto it = types.find(ext);
    if (it == types.end()) return 0;
    if (it->second != 8) return it->second;
    // A polygon file with query information has the reference point and offset of types 7 and 9.
    POLmap probe;
    probe.Create(path);
    return Trimmed(std::string(probe.Header.AssDataFilename.c_str())).empty() ? 8 : 9;
}

const char* TypeWord(int type)
{
    static const char* words[] = {"data", "lines", "land", "raster", "symbols", "symbols", "labels", "outlines",
                                  "polygons", "polygons"};
    return words[type >= 1 && type <= 9 ? type : 0];
}

// Output layer names: the file's stem, with the scale it is drawn from when its data set
// chooses among files by scale, made unique.
std::string UniqueName(std::string name, std::map<std::string, int>& used)
{
    const int n = ++used[Upper(name)];
    if (n > 1) name += "_" + std::to_string(n);
    return name;
}

void AddTheme(const MASStruct& mas, const std::string& title, std::vector<ExportLayer>& layers,
              std::map<std::string, int>& used)
{
    for (const DSDStruct* d = mas.NextDSD.get(); d; d = d->NextDSD.get()) {
        // A file listed again (a lone file drawn from a scale on) is exported once.
        std::vector<std::string> files;
        for (const DFNStruct* f = d->NextDFN.get(); f; f = f->NextDFN.get())
            if (std::find(files.begin(), files.end(), Upper(f->FileName)) == files.end()) files.push_back(Upper(f->FileName));
        std::set<std::string> done;
        for (const DFNStruct* f = d->NextDFN.get(); f; f = f->NextDFN.get()) {
            if (!done.insert(Upper(f->FileName)).second) continue;
            ExportLayer l;
            l.dataPath = f->FileName;
            l.path = NativePath(CheckCD_Drive(f->FileName));
            l.dataType = d->Data_Type;
            l.keyAdjustment = d->Key_Entry_Adjustment;
            l.triggerScale = f->Trigger_Scale;
            l.filesInDataSet = static_cast<int>(files.size());
            l.theme = &mas;
            l.themeTitle = title;
            std::string name = Stem(f->FileName);
            if (used.count(Upper(name))) name += std::string("_") + TypeWord(d->Data_Type);
            if (files.size() > 1 || d->NextDFN->NextDFN) {
                char scale[32];
                std::snprintf(scale, sizeof scale, "%g", f->Trigger_Scale);
                name += std::string("_from_") + scale;
            }
            l.name = UniqueName(name, used);
            layers.push_back(std::move(l));
        }
    }
}

// The file an input names: a path as given (a "CDROM:" path, or one of this machine), else a
// path relative to the medium's root, as the viewer takes "CDROM:" paths
// ("Themes/Isles/Ferries.Vec" or with backslashes), whose data path it then gives. Empty when
// neither is a file.
std::string FileOfInput(const std::string& input, std::string& dataPath)
{
    dataPath = input;
    const std::string given = NativePath(CheckCD_Drive(input));
    if (FileExists(given)) return given;
    std::string inside = input;
    std::replace(inside.begin(), inside.end(), '/', '\\');
    while (!inside.empty() && inside.front() == '\\') inside.erase(0, 1);
    if (inside.empty()) return {};
    dataPath = "CDROM:\\" + inside;
    const std::string onMedium = NativePath(CheckCD_Drive(dataPath));
    return FileExists(onMedium) ? onMedium : std::string();
}

} // namespace

bool FindExportLayers(const std::vector<std::string>& inputs, std::vector<ExportLayer>& layers,
                      std::vector<std::unique_ptr<MASStruct>>& themes, std::string& error)
{
    std::map<std::string, int> used;
    DataListTitles titles;
    bool titlesLoaded = false;
    for (const std::string& input : inputs) {
        std::string dataPath;
        std::string file = FileOfInput(input, dataPath);
        std::string title = input;
        // Something there that is no file to read (a FIFO, a device, a path out of the medium).
        if (const std::string problem = DataFileProblem(CheckCD_Drive(input)); !problem.empty()) {
            error = input + ": " + problem;
            return false;
        }
        if (file.empty()) {
            // Not a file: a title of the data list.
            if (!titlesLoaded) {
                RecordingMessageSink sink;
                titlesLoaded = true;
                if (!titles.Load(sink)) {
                    error = input + ": no such file, and the data list cannot be read" +
                            (sink.messages.empty() ? std::string() : " (" + sink.messages.front().text + ")");
                    return false;
                }
            }
            const std::string found = titles.Find(Utf8ToCp1252(input));
            if (found.empty()) {
                // The data list keeps the title of a text page with "(Text) " in front.
                if (!titles.Find(Utf8ToCp1252("(Text) " + input)).empty())
                    error = input + ": a text page of the data list, with no data to export";
                else
                    error = input + ": no such file (as given or in the medium " + CvVars::CDROM +
                            "), nor a title in the data list";
                return false;
            }
            if (Upper(Trimmed(found)) == "XXXX") {
                error = input + ": a heading of the data list, with no data of its own";
                return false;
            }
            file = NativePath(CheckCD_Drive(Trimmed(found)));
            if (const std::string problem = DataFileProblem(CheckCD_Drive(Trimmed(found))); !problem.empty()) {
                error = input + ": " + file + " : " + problem;
                return false;
            }
        } else {
            title = Stem(input);
        }
        if (IsMasterFileName(file)) {
            RecordingMessageSink sink;
            std::unique_ptr<MASStruct> mas = MASStruct::Create(file, sink);
            if (!mas || !FileExists(file)) {
                error = input + ": cannot read the master file " + file;
                return false;
            }
            if (!mas->NextDSD) {
                error = input + ": its master file names no data set (a text page?)";
                return false;
            }
            AddTheme(*mas, title, layers, used);
            themes.push_back(std::move(mas));
            continue;
        }
        ExportLayer l;
        l.dataPath = dataPath;
        l.path = file;
        l.dataType = TypeOfLayerFile(file);
        if (l.dataType == 0) {
            error = input + ": not a master file nor a layer file (.Vec, .Mrl, .Rle, .Syx, .Sym, .Lbl, .Pol)";
            return false;
        }
        l.themeTitle = title;
        l.name = UniqueName(Stem(file), used);
        layers.push_back(std::move(l));
    }
    return true;
}

std::string HexColour(Colour c)
{
    char s[8];
    std::snprintf(s, sizeof s, "#%02x%02x%02x", static_cast<unsigned>(c & 0xFF), static_cast<unsigned>((c >> 8) & 0xFF),
                  static_cast<unsigned>((c >> 16) & 0xFF));
    return s;
}

KeyItemInfo KeyItemOf(const MASStruct* theme, int key)
{
    KeyItemInfo info;
    if (!theme || !theme->Key || key < 1) return info;
    int i = 0;
    for (const K_Descriptor* kd = theme->Key->NextKD.get(); kd; kd = kd->NextKD.get()) {
        if (++i != key) continue;
        info.known = true;
        const std::vector<std::string>& text = theme->Key->Text;
        const int n = kd->Number_Of_Text_Lines;
        for (int line = kd->TextIdx - n + 1; n > 0 && line <= kd->TextIdx; ++line) {
            if (line < 0 || static_cast<size_t>(line) >= text.size()) continue;
            if (!info.text.empty()) info.text += " / ";
            info.text += Cp1252ToUtf8(TrimRight(text[static_cast<size_t>(line)]));
        }
        info.topColour = HexColour(kd->Top_Colour);
        info.bottomColour = HexColour(kd->Bottom_Colour);
        info.topStyle = kd->Top_Style;
        info.bottomStyle = kd->Bottom_Style;
        info.active = kd->Active;
        info.hidden = kd->Hidden;
        break;
    }
    return info;
}

// ---- query records ------------------------------------------------------------------------

QueryTexts::QueryTexts(const ExportLayer& layer) : layer_(layer)
{
    if (layer.dataType != 4 && layer.dataType != 7 && layer.dataType != 9) return;
    GenMapObj header;
    if (!header.Open(layer.path, 1) || !header.ReadHdr()) return;
    const std::string name = Trimmed(std::string(header.Header.AssDataFilename.c_str()));
    if (name.empty()) return;
    kind_ = header.Header.AssDataType;
    fileName_ = NativePath((fs::path(layer.path).parent_path() / "DNN" / name).string());
    if (kind_ >= 1 && !(layer.theme && layer.theme->Sym_Text)) {
        leftOut_ = layer.dataPath + ": its query records are laid out by its theme's query lines; export the theme "
                                    "or its master file to have them";
        return;
    }
    file_ = OpenDataFile(fileName_);
}

std::vector<std::string> QueryTexts::FieldNames() const
{
    std::vector<std::string> names;
    if (!file_ || kind_ < 1 || !layer_.theme || !layer_.theme->Sym_Text) return names;
    for (const Sym_Text_Line_Type* l = layer_.theme->Sym_Text->Line_Array.get(); l; l = l->Next.get()) {
        std::string h = Trimmed(Cp1252ToUtf8(l->Header_Text));
        if (!h.empty() && h.back() == ':') h = Trimmed(h.substr(0, h.size() - 1));
        // The credit line and rules of dashes name no value.
        const bool named = std::any_of(h.begin(), h.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
        names.push_back(l->Line_Code == 11 || !named ? std::string() : h);
    }
    return names;
}

std::string QueryTexts::Text(int64_t offset, std::vector<std::pair<std::string, std::string>>* fields)
{
    if (!file_ || offset < 0) return {};
    if (kind_ == 0) {
        std::string line;
        if (!ReadSingleLine(*file_, offset, line)) return Cp1252ToUtf8(DamagedRecordText(fileName_));
        return Cp1252ToUtf8(line);
    }
    const Sym_Text_Control_Block* symText = layer_.theme ? layer_.theme->Sym_Text.get() : nullptr;
    RecordingMessageSink messages;
    QueryReport report(symText, *file_, fileName_, kind_, static_cast<int32_t>(std::min<int64_t>(offset, INT32_MAX)),
                       messages);
    RecordingCanvas canvas(640, 480);
    std::vector<std::string> lines;
    if (report.StartUp()) {
        ReportDevice d;
        d.output = otFile;
        d.canvas = &canvas;
        d.lines = &lines;
        report.Display(d);
    }
    std::string text;
    for (const std::string& l : lines) text += (text.empty() ? "" : "\n") + Cp1252ToUtf8(TrimRight(l));
    for (const auto& m : messages.messages) text += (text.empty() ? "" : "\n") + Cp1252ToUtf8(m.text);

    if (fields && symText) {
        const std::vector<std::string> names = FieldNames();
        const bool withValues = symText->Line_Array &&
                                (symText->Line_Array->Data_Type == 1 || symText->Line_Array->Data_Type == 10);
        QueryRecordReader reader(*file_, kind_, offset);
        QueryRecordReader::Entry entry;
        if (withValues && reader.StartUp())
            for (int i = 0; i < reader.nLines && reader.Next(true, entry); ++i)
                if (entry.hasValue && entry.lineCode < names.size() && !names[entry.lineCode].empty())
                    fields->emplace_back(names[entry.lineCode], Cp1252ToUtf8(Trimmed(entry.value)));
    }
    return text;
}

// ---- the features -------------------------------------------------------------------------

namespace {

class Gatherer : public FeatureVisitor {
public:
    Gatherer(const ExportLayer& layer, LabelCodePage codePage, const std::function<void(const ExportFeature&)>& out,
             ExportRaster& raster)
        : layer_(layer), codePage_(codePage), out_(out), raster_(raster)
    {
    }

    void Line(const FeatureCell& cell, int key, const std::vector<CellOffset>& points) override
    {
        ExportFeature f = Start(ExportFeature::Line, cell, key);
        f.parts.push_back(Place(cell, points));
        out_(f);
    }
    void Polygon(const FeatureCell& cell, int key, const std::vector<std::vector<CellOffset>>& parts,
                 const CellOffset* reference, int64_t infoOffset) override
    {
        // Outlines (type 7) are drawn as lines, and may be pieces of a ring cut along the grid.
        ExportFeature f = Start(layer_.dataType == 7 ? ExportFeature::Line : ExportFeature::Polygon, cell, key);
        for (const std::vector<CellOffset>& part : parts)
            if (!part.empty()) f.parts.push_back(Place(cell, part));
        if (reference) {
            f.hasReference = true;
            f.refLon = cell.LonOf(reference->Lon);
            f.refLat = cell.LatOf(reference->Lat);
        }
        f.infoOffset = infoOffset;
        out_(f);
    }
    void Point(const FeatureCell& cell, int key, CellOffset at, int64_t infoOffset) override
    {
        ExportFeature f = Start(ExportFeature::Point, cell, key);
        f.parts.push_back(Place(cell, {at}));
        f.infoOffset = infoOffset;
        out_(f);
    }
    void Label(const FeatureCell& cell, int key, const VisitedLabel& label) override
    {
        ExportFeature f = Start(ExportFeature::Label, cell, key);
        f.parts.push_back(Place(cell, {label.At}));
        f.text = codePage_ == LabelCodePage::Dos437 ? Cp437ToUtf8(label.Text) : Cp1252ToUtf8(label.Text);
        f.hJust = label.hJust;
        f.vJust = label.vJust;
        f.sizeStep = label.bHeight;
        f.trigger = label.TriggerScale;
        f.angle = label.TextAngle;
        out_(f);
    }
    void RasterRun(const RasterCell& cell, int64_t unitRow, int64_t firstColumn, int64_t count, int key) override
    {
        if (raster_.codes.empty()) return;
        const uint8_t code = static_cast<uint8_t>(std::clamp(key, 0, 255));
        // Row by row of the cell; the raster's rows run from the north.
        for (int64_t unitCol = firstColumn; count > 0 && unitRow < cell.CellRows; ++unitRow, unitCol = 0) {
            const int64_t span = std::min(count, cell.CellColumns - unitCol);
            const int64_t row = (rowsOfGrid_ - 1 - cell.Row) * cell.CellRows + (cell.CellRows - 1 - unitRow);
            const int64_t col = int64_t{cell.Column} * cell.CellColumns + unitCol;
            if (row >= 0 && row < raster_.rows && col >= 0 && col + span <= raster_.columns)
                std::fill_n(raster_.codes.begin() + row * raster_.columns + col, span, code);
            count -= span;
        }
    }

    int32_t rowsOfGrid_ = 0;

private:
    ExportFeature Start(ExportFeature::Kind kind, const FeatureCell& cell, int key) const
    {
        ExportFeature f;
        f.kind = kind;
        f.key = key;
        f.cellColumn = cell.Column;
        f.cellRow = cell.Row;
        return f;
    }
    static std::vector<std::pair<double, double>> Place(const FeatureCell& cell, const std::vector<CellOffset>& points)
    {
        std::vector<std::pair<double, double>> out;
        out.reserve(points.size());
        for (const CellOffset& p : points) out.emplace_back(cell.LonOf(p.Lon), cell.LatOf(p.Lat));
        return out;
    }

    const ExportLayer& layer_;
    LabelCodePage codePage_;
    const std::function<void(const ExportFeature&)>& out_;
    ExportRaster& raster_;
};

// Sets up the raster of a run-length layer over its whole grid; false when it is too large.
bool StartRaster(const GenMapObj& layer, const std::string& file, ExportRaster& raster, std::string& message)
{
    const RunGrid grid = RunGrid::Of(layer.Header);
    raster.columns = int64_t{layer.Header.NumCols} * grid.ngridx;
    raster.rows = int64_t{layer.Header.NumRows} * grid.ngridy;
    if (raster.columns * raster.rows > kMaxExportRasterCells) {
        message = file + ": the raster of " + std::to_string(raster.columns) + " x " + std::to_string(raster.rows) +
                  " units is too large to export";
        return false;
    }
    raster.unitLon = 1.0 / grid.dividex;
    raster.unitLat = 1.0 / grid.dividey;
    raster.west = layer.Header.LonOrig * 0.000001;
    raster.north = (int64_t{layer.Header.LatOrig} + int64_t{layer.Header.NumRows} * layer.Header.GridCellSize) * 0.000001;
    raster.codes.assign(static_cast<size_t>(raster.columns * raster.rows), 0);
    return true;
}

} // namespace

bool ReadExportLayer(const ExportLayer& layer, LabelCodePage codePage,
                     const std::function<void(const ExportFeature&)>& onFeature, ExportRaster& raster,
                     std::string& message)
{
    Gatherer gather(layer, codePage, onFeature, raster);
    auto visit = [&](GenMapObj& reader, auto&& run) {
        if (!reader.DataOkay()) {
            const std::string file = CheckCD_Drive(layer.dataPath);
            message = reader.Opened() ? UnusableLayerMessage(file) : NotPresentMessage(file);
            return false;
        }
        gather.rowsOfGrid_ = reader.Header.NumRows;
        if ((layer.dataType == 2 || layer.dataType == 3) && !StartRaster(reader, CheckCD_Drive(layer.dataPath), raster, message))
            return false;
        const bool whole = run();
        if (!whole || reader.Damaged()) {
            message = DamagedLayerMessage(CheckCD_Drive(layer.dataPath));
            return false;
        }
        return true;
    };
    const uint8_t adj = layer.keyAdjustment;
    switch (layer.dataType) {
    case 1: { VECmap m; m.Create(layer.path); return visit(m, [&] { return m.Visit(gather, adj); }); }
    case 2: {
        NullMessageSink quiet;
        MonoRLEmap m;
        m.Create(layer.path, quiet);
        return visit(m, [&] { return m.Visit(gather, adj); });
    }
    case 3: { RLEmap m; m.Create(layer.path); return visit(m, [&] { return m.Visit(gather, adj); }); }
    case 4: { SYXmap m; m.Create(layer.path); return visit(m, [&] { return m.Visit(gather, adj); }); }
    case 5: { SYMmap m; m.Create(layer.path); return visit(m, [&] { return m.Visit(gather, adj); }); }
    case 6: { LBLmap m; m.Create(layer.path); return visit(m, [&] { return m.Visit(gather, adj); }); }
    case 7:
    case 8:
    case 9: {
        POLmap m;
        m.Create(layer.path);
        const uint8_t nSkip = layer.dataType == 8 ? 0 : 2;
        return visit(m, [&] { return m.Visit(gather, nSkip, adj); });
    }
    default:
        message = layer.dataPath + ": no layer format of data type " + std::to_string(layer.dataType);
        return false;
    }
}

} // namespace corvane::atlas
