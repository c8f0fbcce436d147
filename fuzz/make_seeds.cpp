// Writes the seed corpora of the fuzz targets into fuzz/corpus/TARGET/ (or the folder given):
// small layer files of every format from our own writers, each also cut short, with its index
// sent past the end, and with every index entry on one shared stretch of records; the small
// catalogue files, map definitions, query information records and text pages of the sample
// atlas; and disc images mastered by genisoimage where it is installed.
//   corvane_fuzz_seeds SOURCE-DIR [OUT-DIR]
// The seeds are committed; run this again only when a format or the sample atlas changes.
#include "layers/MapVEC.h"
#include "layers/writers/LabelFileWriter.h"
#include "layers/writers/LayerFileWriter.h"
#include "layers/writers/PolygonFileWriter.h"
#include "layers/writers/RunLengthWriters.h"
#include "layers/writers/SymbolFileWriter.h"
#include "layers/writers/VECmapWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace corvane;
using Bytes = std::vector<uint8_t>;

namespace {

fs::path gOut;

void Put(const std::string& target, const std::string& name, const Bytes& bytes)
{
    fs::create_directories(gOut / target);
    std::ofstream(gOut / target / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes ReadFile(const fs::path& p, size_t most = SIZE_MAX)
{
    std::ifstream in(p, std::ios::binary);
    Bytes b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (b.size() > most) b.resize(most);
    return b;
}

LayerWriteOptions Options(const char* id)
{
    LayerWriteOptions o;
    o.Header.DatasetID = id;
    o.Header.AssDataType = 1;
    o.Header.AssDataFilename = "TOWNS.DAT";
    o.FinestUnit = 100;
    return o;
}

// A layer as written, cut in the middle of its records, with its index entries sent past the
// end of the file, and with every index entry on the first cell's records.
void PutLayer(const std::string& target, const Bytes& good)
{
    Put(target, "written", good);
    // The same drawn through the canvas of Qt: the format's number, then the file.
    const char* kinds[] = {"layer_vec", "layer_mrl", "layer_rle", "layer_sym", "layer_syx", "layer_pol", "layer_lbl"};
    Bytes drawn{static_cast<uint8_t>(std::find(std::begin(kinds), std::end(kinds), target) - std::begin(kinds))};
    drawn.insert(drawn.end(), good.begin(), good.end());
    Put("layer_qt", target.substr(6), drawn);
    const HdrRec h = [&] {
        HdrRec r;
        auto i32 = [&](size_t at) {
            return static_cast<int32_t>(uint32_t{good[at]} | uint32_t{good[at + 1]} << 8 | uint32_t{good[at + 2]} << 16 |
                                        uint32_t{good[at + 3]} << 24);
        };
        r.NumRows = i32(28);
        r.NumCols = i32(32);
        return r;
    }();
    const size_t index = 80, cells = static_cast<size_t>(h.NumRows) * static_cast<size_t>(h.NumCols);
    const size_t data = index + 4 * cells;
    Put(target, "cut-short", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>((data + good.size()) / 2)));
    Bytes past = good, shared = good;
    // The first entry that points at records (not a whole-cell code of the run-length formats).
    const int32_t lowest = target == "layer_mrl" ? 3 : target == "layer_rle" ? 32 : 1;
    int32_t first = 0;
    for (size_t i = 0; i < cells && first < lowest; ++i) std::memcpy(&first, &good[index + 4 * i], 4);
    for (size_t i = 0; i < cells; ++i) {
        const int32_t far = 0x7FFFFF00 - static_cast<int32_t>(i);
        std::memcpy(&past[index + 4 * i], &far, 4);
        std::memcpy(&shared[index + 4 * i], &first, 4);
    }
    Put(target, "index-past-end", past);
    Put(target, "index-shared", shared);
}

void LayerSeeds()
{
    {
        VECmapWriter w(Options("SEED-VEC"), 50, 53, -3, 0);
        w.AddPolyline(1, {{50.2, -2.8}, {51.5, -1.2}, {52.7, -0.1}});
        w.AddPolyline(7, {{52.9, -2.9}, {50.1, -0.2}});
        w.AddPolyline(3, {{51.1, -1.1}, {51.2, -1.3}, {51.1, -1.5}, {51.1, -1.1}});
        PutLayer("layer_vec", w.Bytes());
    }
    const GeoRaster raster{-3, 53, 0.125, 0.125, 24, 24};
    Bytes land(24 * 24), codes(24 * 24);
    for (size_t i = 0; i < land.size(); ++i) {
        const size_t row = i / 24, col = i % 24;
        land[i] = (row * row + col * 3) % 11 < 5;
        codes[i] = static_cast<uint8_t>(row < 8 ? 0 : (row + col) % 5);
    }
    LayerWriteOptions ro = Options("SEED-RL");
    ro.CellSize = 1000000;
    {
        MemoryRaster values(24, land);
        PutLayer("layer_mrl", MonoRLEmapWriter(raster, ro).Write(values).Bytes());
    }
    {
        MemoryRaster values(24, codes);
        PutLayer("layer_rle", RLEmapWriter(raster, ro).Write(values).Bytes());
    }
    for (bool info : {false, true}) {
        SymbolFileWriter w(Options("SEED-SYM"), info);
        for (int i = 0; i < 12; ++i) w.Add({50.1 + 0.23 * i, -2.9 + 0.24 * i, 1 + i * 3 % 20, info ? 17 * i : 0});
        PutLayer(info ? "layer_syx" : "layer_sym", w.Bytes());
    }
    {
        PolygonFileWriter w(Options("SEED-POL"), 9);
        PolygonFeature a;
        a.KeyCode = 2;
        a.Parts = {{{50.2, -2.8}, {50.2, -1.0}, {51.8, -1.0}, {50.2, -2.8}}, {{50.4, -2.2}, {50.6, -2.0}, {50.4, -2.0}}};
        a.Reference = {50.5, -1.5};
        a.InfoOffset = 40;
        w.Add(a);
        PolygonFeature b;
        b.KeyCode = 5;
        b.Parts = {{{51.2, -0.8}, {52.9, -0.1}, {52.1, -0.9}, {51.2, -0.8}}};
        b.Reference = {52.0, -0.5};
        b.InfoOffset = 65536;
        w.Add(b);
        PutLayer("layer_pol", w.Bytes());
    }
    {
        // One filled polygon of 6,400 points whose edges cross each other all over its area:
        // a star of 3,200 spikes wound three times round.
        PolygonFeature spiky;
        spiky.Parts.emplace_back();
        for (int k = 0; k < 6400; ++k) {
            const double r = k % 2 ? 2.0 : 0.05, a = k * 3 * 6.283185307179586 / 6400;
            spiky.Parts[0].push_back({51 + r * std::sin(a), -1.5 + r * std::cos(a)});
        }
        // Drawn with key item 9 (solid) whatever key adjustment the target takes from the file.
        auto layer = [&](int key) {
            PolygonFileWriter w(Options("SPIKY"), 8);
            spiky.KeyCode = key;
            w.Add(spiky);
            return w.Bytes();
        };
        const Bytes first = layer(9), chosen = layer(9 - first[first.size() / 2] % 4);
        Bytes drawn{5};
        drawn.insert(drawn.end(), chosen.begin(), chosen.end());
        Put("layer_qt", "spiky-polygon", drawn);
    }
    {
        LabelFileWriter w(Options("SEED-LBL"));
        w.Add({50.5, -2.5, 1, 0, 0, 0, 0, 0, 0, "Portland"});
        w.Add({51.5, -1.5, 2, 120, 90, 1, 2, 1, 1, "The Solent"});
        w.Add({52.5, -0.5, 3, 65535, 0, 3, 3, 3, 2, "Nowhere \xB0"});
        w.Add({52.6, -0.6, 4, 0, 0, 0, 1, 2, 3, ""});
        PutLayer("layer_lbl", w.Bytes());
    }
}

// Records of a query information file in the input layout of the query target.
Bytes QueryInput(uint8_t kind, uint32_t offset, const Bytes& master, const Bytes& file)
{
    Bytes b{kind, static_cast<uint8_t>(offset), static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(offset >> 16),
            static_cast<uint8_t>(offset >> 24), static_cast<uint8_t>(master.size()),
            static_cast<uint8_t>(master.size() >> 8)};
    b.insert(b.end(), master.begin(), master.end());
    b.insert(b.end(), file.begin(), file.end());
    return b;
}

void CatalogueSeeds(const fs::path& atlas)
{
    for (const char* m : {"Themes/Towns/Towns.MAS", "Themes/Seas/Seas.MAS", "Themes/Rivers/Rivers.MAS", "Info/Intro.MAS"})
        Put("master", fs::path(m).filename().string(), ReadFile(atlas / m));
    const Bytes list = ReadFile(atlas / "Misc/MainMenu.Dat");
    Put("datalist", "MainMenu.Dat", list);
    Put("datalist", "levels", Text("1 A\r\n1 XXXX\r\n3 B\r\n1 b\r\n2 C\r\n0 c\r\n1 D\r\n1 d\r\n12 E\r\n1 e\r\n"));
    for (const char* m : {"Maps/Solent.MDF", "Maps/Baltic.MDF"}) Put("ini", fs::path(m).filename().string(), ReadFile(atlas / m));
    Put("ini", "titles.MDF", Text("[Base]\r\nTitle1=Wrecks\r\nTitle2=Gone\r\n[Overlay]\r\nTitle1=Lost\r\nTitle2=reefs\r\n"
                                  "Title4=Wrecks\r\n[Text]\r\nTitle1=(Text) Introduction\r\n[Lat_Lon]\r\nLat=50 52\r\n"));
    Put("ini", "settings.ini", Text("[Files]\r\nCDROM=/media/cdrom\r\nData List=CDROM:\\Misc\\MainMenu.Dat\r\n"
                                    "[ToolBar]\r\nShow=1\r\nColour=$00C0C0C0\r\n[Maximum Area]\r\nLat=45 65\r\nLon=-15 x\r\n"));
    Put("textpage", "Intro.Txt", ReadFile(atlas / "Info/Intro.Txt"));
    Put("textpage", "markup.Txt", Text("  Title ~bold~ and ~more\r\n\xAF" "CDROM:\\One.Txt\r\n\xC9\xCD\xCD\xBB 12\xF8 N\x1A\r\n"));

    const Bytes towns = ReadFile(atlas / "Themes/Towns/Towns.MAS");
    const Bytes records = ReadFile(atlas / "Themes/Towns/DNN/TOWNS.DAT", 600);
    Put("query", "towns", QueryInput(1, 0, towns, records));
    // A record that clears the headers and goes on elsewhere, twice the same way (the second
    // continuation is refused).
    const Bytes chained = {5, 0, 0, 3, 'a', 'b', 'c', 0xFE, 1, 2, 'd', 'e', 0xFF, 20, 0, 0, 0, 0, 0, 0,
                           2, 1, 'f', 0xFF, 20, 0, 0, 0};
    Put("query", "chained", QueryInput(2, 0, towns, chained));
    const Bytes lines = ReadFile(atlas / "Themes/Eez/DNN/EEZ.DAT", 300);
    Put("query", "one-line", QueryInput(0, 40, {}, lines));
}

// A disc image in the input layout of the disc image target: each sector that holds anything,
// without its trailing zeros.
void ImageSeed(const std::string& name, const std::string& options)
{
    const fs::path dir = fs::temp_directory_path() / ("corvane-seed-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir / "Misc");
    fs::create_directories(dir / "Themes");
    std::ofstream(dir / "Misc/MainMenu.Dat") << "1 Themes\r\n1 XXXX\r\n2 Wrecks\r\n1 CDROM:\\Themes\\Wrecks.MAS\r\n";
    std::ofstream(dir / "Themes/Wrecks.MAS") << "1\r\n\r\n5 1 0 0\r\nCDROM:\\Themes\\Wrecks.Sym\r\n";
    const fs::path iso = dir.string() + ".iso";
    const std::string cmd = "genisoimage -quiet -no-pad " + options + " -V ATLAS -o '" + iso.string() + "' '" +
                            dir.string() + "' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "no disc image seed %s (genisoimage)\n", name.c_str());
        return;
    }
    const Bytes image = ReadFile(iso);
    Bytes seed;
    for (size_t s = 0; s * 2048 < image.size(); ++s) {
        size_t n = std::min<size_t>(2048, image.size() - s * 2048);
        while (n > 0 && image[s * 2048 + n - 1] == 0) --n;
        if (n == 0) continue;
        seed.insert(seed.end(), {static_cast<uint8_t>(s), static_cast<uint8_t>(s >> 8), static_cast<uint8_t>(n),
                                 static_cast<uint8_t>(n >> 8)});
        seed.insert(seed.end(), image.begin() + static_cast<std::ptrdiff_t>(s * 2048),
                    image.begin() + static_cast<std::ptrdiff_t>(s * 2048 + n));
    }
    Put("discimage", name, seed);
    fs::remove_all(dir);
    fs::remove(iso);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SOURCE-DIR [OUT-DIR]\n", argv[0]);
        return 1;
    }
    const fs::path source = argv[1];
    gOut = argc > 2 ? fs::path(argv[2]) : source / "fuzz/corpus";
    LayerSeeds();
    CatalogueSeeds(source / "atlas");
    ImageSeed("joliet", "-J -R");
    ImageSeed("plain", "");
    ImageSeed("udf", "-udf");
    return 0;
}
