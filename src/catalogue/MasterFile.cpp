#include "catalogue/MasterFile.h"

#include "catalogue/MASFileReader.h"
#include "platform/ByteSource.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/TextFile.h"

namespace corvane {

const Colour DOSColour[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x000080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// 0 clear, 1 solid, 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot, 6 clear, 7..12 solid.
const uint8_t DOSLineStyle[13] = {5, 0, 1, 2, 3, 4, 5, 0, 0, 0, 0, 0, 0};

namespace {

// A master file larger than this is not a master file; it is refused with a message. (The
// text is held line by line, some 30 bytes a line beyond the text itself, so a file of
// nothing but line breaks costs some 30 times its size while it is read.)
constexpr size_t kMaxMasterFileBytes = 4u << 20;

// The theme reader: the first two lines, the descriptor slots, the menu switches, the
// coastline flags and extents, then the key and the symbol text block.
void ReadTheme(MASStruct& mas, MASFileReader& in)
{
    TextTokenReader& t = in.Text();
    int32_t n = 0;
    if (!t.ReadInt(n)) return;
    t.EndLine();
    mas.Number_Of_Datasets = static_cast<uint8_t>(n);
    std::string line;
    if (!t.ReadLine(line)) return;
    if (!line.empty()) mas.TextFileName = std::make_unique<std::string>(line);
    in.MASfile_Count = 2;

    std::unique_ptr<DSDStruct>* tail = &mas.NextDSD;
    for (int i = 1; i <= mas.Number_Of_Datasets; ++i) {
        in.BeginSection();
        if (!t.ReadLine(line)) return;
        ++in.MASfile_Count;
        line = TrimLeft(line);
        if (line.empty()) continue;   // the slot yields no descriptor but keeps its number
        *tail = DSDStruct::Create(in, line, "Data Set " + std::to_string(i));
        tail = &(*tail)->NextDSD;
        if (t.Failed()) return;
    }

    in.BeginSection();
    int32_t switches = 0;
    if (!t.ReadInt(switches)) return;
    t.EndLine();
    ++in.MASfile_Count;
    if (switches > 0) {
        for (int32_t k = 0; k < switches && !t.Eof(); ++k) t.EndLine();
        in.MASfile_Count += static_cast<size_t>(switches);
        in.Sink().Warn("The Menu Switches are not implemented.");
    }
    if (mas.Number_Of_Datasets == 0) return;

    in.BeginSection();
    int32_t flags[4];
    for (int32_t& f : flags)
        if (!t.ReadInt(f)) return;
    t.EndLine();
    mas.Coastline_Included = flags[0] != 0;
    mas.Force_Coastline_Style = flags[1];
    mas.May_Be_Top_Level = flags[2] != 0;
    mas.Alternate_Coastline = flags[3] != 0;
    ++in.MASfile_Count;
    if (mas.Alternate_Coastline) {
        t.EndLine();
        t.EndLine();
        in.MASfile_Count += 2;
    }
    double* extents[2][4] = {
        {&mas.DefaultMinlat, &mas.DefaultMaxlat, &mas.DefaultMinlon, &mas.DefaultMaxlon},
        {&mas.Minlat, &mas.Maxlat, &mas.Minlon, &mas.Maxlon},
    };
    for (auto& row : extents) {
        for (double* v : row)
            if (!t.ReadReal(*v)) return;
        t.EndLine();
        ++in.MASfile_Count;
    }

    mas.Key = KeyStruct::Create(in);
    if (t.Failed()) return;
    // The key reader's own position decides whether a symbol text block follows.
    if (!t.Eof()) mas.Sym_Text = Sym_Text_Control_Block::Create(in);
}

} // namespace

bool IsMasterFileName(const std::string& Filename)
{
    return !Filename.empty() && (Filename.back() == 'S' || Filename.back() == 's');
}

std::unique_ptr<MASStruct> MASStruct::Create(const std::string& Filename, MessageSink& sink)
{
    if (!IsMasterFileName(Filename)) return std::make_unique<MASStruct>();
    std::unique_ptr<ByteSource> src = OpenDataFile(Filename);
    if (!src) return std::make_unique<MASStruct>();
    return Create(Filename, *src, sink);
}

std::unique_ptr<MASStruct> MASStruct::Create(const std::string& Filename, const ByteSource& src, MessageSink& sink)
{
    auto mas = std::make_unique<MASStruct>();
    if (!IsMasterFileName(Filename)) return mas;
    std::string text, problem;
    if (!ReadAllBytes(src, text, kMaxMasterFileBytes, &problem)) {
        sink.Warn("Error in " + NativePath(Filename) + " : " + problem + ".");
        return mas;
    }
    MASFileReader in(Filename, std::move(text), sink);
    ReadTheme(*mas, in);
    return mas;
}

} // namespace corvane
