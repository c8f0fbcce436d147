// The common layer file: header and index written and read back, visible cells, plot
// scale on screen and paper, the point transform, key colours, damaged files.
#include "catalogue/MasterFile.h"
#include "layers/MapGen.h"
#include "layers/writers/LayerFileWriter.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

std::unique_ptr<ByteSource> Source(const std::vector<uint8_t>& b) { return std::make_unique<MemorySource>(b); }

// A grid of 1-degree cells from 10N 20E, rows x cols, 4-byte records.
HdrRec TestHeader(int32_t rows, int32_t cols)
{
    HdrRec h = LayerHeader("TESTSET", {10000000, 20000000, 1000000, rows, cols}, 500000);
    h.VPrecision = 250000;
    return h;
}

// Every non-empty cell holds one record naming its own column and row, then 65535.
std::vector<uint8_t> LabelledCells(const HdrRec& h, bool everyCell = true)
{
    LayerFileWriter w(h, kVectorLayout);
    for (int32_t c = 0; c < h.NumCols; ++c)
        for (int32_t r = 0; r < h.NumRows; ++r) {
            if (!everyCell && (c + r) % 2) continue;
            auto& cell = w.Cell(c, r);
            PutU16(cell, static_cast<uint16_t>(c));
            PutU16(cell, static_cast<uint16_t>(r));
            PutU16(cell, 65535);
            PutU16(cell, 0);
        }
    return w.Bytes();
}

struct Screen {
    RecordingCanvas canvas{800, 600};
    RecordingMessageSink sink;
    DrawContext ctx{canvas, sink};
    Screen() { ctx.ClientWidth = 800, ctx.ClientHeight = 600, ctx.SetExtents(10, 15, 20, 25); }
};

int32_t At(const std::vector<uint8_t>& b, size_t i)
{
    return static_cast<int32_t>(b[i] | (b[i + 1] << 8) | (b[i + 2] << 16) | (static_cast<uint32_t>(b[i + 3]) << 24));
}

void Put(std::vector<uint8_t>& b, size_t i, int32_t v)
{
    for (size_t k = 0; k < 4; ++k) b[i + k] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k));
}

} // namespace

TEST(LayerFile, HeaderAndColumnMajorIndexReadBackAsWritten)
{
    const HdrRec h{"ABCDEFGHIJKL", 10000000, 20000000, 250000, 1000000, 3,          4,
                   500000,         250000,   7,        "INFO.DAT", {-1, 0, 0, 123456}, 19970315};
    const auto bytes = LabelledCells(h, false);
    EXPECT_EQ(At(bytes, 12), 10000000);   // LatOrig
    EXPECT_EQ(At(bytes, 28), 3);          // NumRows
    EXPECT_EQ(At(bytes, 44), 7);          // AssDataType
    EXPECT_EQ(At(bytes, 76), 19970315);   // DateOrig

    GenMapObj m;
    ASSERT_TRUE(m.OpenLayer(Source(bytes), 4));
    const HdrRec& g = m.Header;
    EXPECT_EQ(g.DatasetID, "ABCDEFGHIJKL");
    EXPECT_EQ(g.AssDataFilename, "INFO.DAT    ");   // always 12 characters
    EXPECT_EQ((std::vector<int32_t>{g.LatOrig, g.LonOrig, g.ScaleOrig, g.GridCellSize, m.GetNumRows(), g.NumCols,
                                    g.HPrecision, g.VPrecision, g.AssDataType, g.NotUsed[0], g.NotUsed[3], g.DateOrig}),
              (std::vector<int32_t>{10000000, 20000000, 250000, 1000000, 3, 4, 500000, 250000, 7, -1, 123456, 19970315}));
    EXPECT_DOUBLE_EQ(m.R_Precisionx, 0.5);
    EXPECT_DOUBLE_EQ(m.R_Precisiony, 0.25);

    // Entry c x NumRows + r leads to the record of (c, r); the cells left out hold 0.
    ASSERT_EQ(m.Index.size(), 12u);
    for (int32_t c = 0; c < 4; ++c)
        for (int32_t r = 0; r < 3; ++r) {
            const int32_t e = m.Index[static_cast<size_t>(c * 3 + r)];
            ASSERT_EQ(e == 0, (c + r) % 2 == 1);
            if (e == 0 || !m.Seek(e)) continue;
            const uint16_t cc = m.iFile.ReadU16();
            EXPECT_EQ((std::pair<int, int>{cc, m.iFile.ReadU16()}), (std::pair<int, int>{c, r}));
        }

    // 5-byte records start on a whole record: 96 bytes of header and index, so byte 100.
    LayerFileWriter w(TestHeader(2, 2), kSymbolLayout);
    w.Cell(0, 1) = {1, 2, 3, 4, 5};
    w.Cell(1, 1) = {7, 0, 1, 0, 0};
    ASSERT_TRUE(m.OpenLayer(Source(w.Bytes()), 5));
    EXPECT_EQ((std::vector<int32_t>{m.IndexEntry(0, 1), m.IndexEntry(1, 1)}), (std::vector<int32_t>{20, 21}));
    ASSERT_TRUE(m.Seek(21));
    EXPECT_EQ(m.iFile.ReadU16(), 7);
    // Run-length layout: byte positions, whole-cell codes, whole 512-byte blocks.
    LayerFileWriter rl(TestHeader(2, 2), kRunLengthLayout);
    rl.SetEntry(0, 0, 1);
    rl.Cell(1, 0) = {0x45};
    const auto rlBytes = rl.Bytes();
    EXPECT_EQ(rlBytes.size(), 512u);
    ASSERT_TRUE(m.OpenLayer(Source(rlBytes), 512, true));
    EXPECT_EQ((std::vector<int32_t>{m.IndexEntry(0, 0), m.IndexEntry(1, 0)}), (std::vector<int32_t>{1, 96}));
}

TEST(LayerFile, AHundredByAHundredGridIsTheLargestAndUnplaceableHeadersAreRefused)
{
    GenMapObj m;
    ASSERT_TRUE(m.OpenLayer(Source(LabelledCells(TestHeader(100, 100), false)), 4));
    EXPECT_EQ(m.Index.size(), 10000u);
    ASSERT_TRUE(m.Seek(m.IndexEntry(99, 99)));
    EXPECT_EQ(m.iFile.ReadU16(), 99);
    for (auto [rows, cols] : {std::pair{101, 5}, std::pair{5, 101}, std::pair{0, 5}})
        EXPECT_THROW(LayerFileWriter(TestHeader(rows, cols), kVectorLayout), std::invalid_argument);

    // Patched headers, with all the bytes their index would need: (offset, value, usesVPrecision).
    auto bytes = LabelledCells(TestHeader(100, 100), false);
    bytes.resize(bytes.size() + 400 * 101);
    struct Patch { size_t at; int32_t value; bool usesV; bool okay; };
    const Patch patches[] = {{28, 101, false, false}, {32, 101, false, false}, {28, -3, false, false},
                             {32, 0, false, false},   {24, 0, false, false},   {36, -5, false, false},
                             {40, 0, false, true},    {40, 0, true, false},    {40, 1, true, true}};
    for (const Patch& p : patches) {
        auto bad = bytes;
        Put(bad, p.at, p.value);
        EXPECT_EQ(m.OpenLayer(Source(bad), 4, p.usesV), p.okay) << p.at << " " << p.value;
        EXPECT_EQ(m.DataOkay(), p.okay);
    }
    EXPECT_FALSE(m.OpenLayer("/nonexistent/corvane/layer.vec", 4));
}

TEST(LayerFile, VisibleCellsStopAtACellBoundaryAndAreClampedToTheGrid)
{
    GenMapObj m;
    ASSERT_TRUE(m.OpenLayer(Source(LabelledCells(TestHeader(5, 6))), 4));   // 10..15N, 20..26E
    Screen s;
    auto limits = [&](double minLat, double maxLat, double minLon, double maxLon) {
        s.ctx.SetExtents(minLat, maxLat, minLon, maxLon);
        m.Get_Row_And_Column_Limits(s.ctx);
        return std::vector<int32_t>{m.Row_Start, m.Row_End, m.Column_Start, m.Column_End};
    };
    EXPECT_EQ(limits(11, 13, 21, 24), (std::vector<int32_t>{1, 2, 1, 3}));          // edges on boundaries
    EXPECT_EQ(limits(11.5, 13.000001, 21, 24.5), (std::vector<int32_t>{1, 3, 1, 4}));
    EXPECT_EQ(limits(9.5, 10.5, 19.5, 20.5), (std::vector<int32_t>{0, 0, 0, 0}));   // straddling the origin
    EXPECT_EQ(limits(30, 40, 40, 50), (std::vector<int32_t>{4, 4, 5, 5}));          // wholly north-east
    EXPECT_EQ(limits(-40, -30, -50, -40), (std::vector<int32_t>{0, 0, 0, 0}));      // wholly south-west
    EXPECT_EQ(limits(-1e300, 1e300, -1e300, 1e300), (std::vector<int32_t>{0, 4, 0, 5}));

    // The walk visits those cells, columns outer, rows inner, leaving out empty ones.
    GenMapObj sparse;
    ASSERT_TRUE(sparse.OpenLayer(Source(LabelledCells(TestHeader(5, 6), false)), 4));
    s.ctx.SetExtents(11, 14, 21, 23);
    sparse.BeginDraw(s.ctx);
    std::vector<std::pair<int, int>> seen;
    sparse.WalkRecordCells([&](int32_t c, int32_t r) {
        EXPECT_EQ(sparse.iFile.ReadU16(), c);
        EXPECT_EQ(sparse.iFile.ReadU16(), r);
        seen.emplace_back(c, r);
    });
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1, 1}, {1, 3}, {2, 2}}));
}

TEST(LayerFile, PlotSizeOnTheScreenAndOnPaper)
{
    GenMapObj m;
    ASSERT_TRUE(m.OpenLayer(Source(LabelledCells(TestHeader(5, 5))), 4));   // R_Precisionx 0.5
    Screen s;
    s.ctx.SetExtents(10, 14, 20, 25);   // 4 degrees by 5
    m.BeginDraw(s.ctx);
    EXPECT_FALSE(bPrint);
    EXPECT_EQ((std::vector<int32_t>{m.W, m.H}), (std::vector<int32_t>{800, 600}));
    EXPECT_EQ(m.Cnvs, &s.canvas);
    EXPECT_DOUBLE_EQ(m.mplons, 800.0 / 5 * 0.5);
    EXPECT_DOUBLE_EQ(m.mplats, 600.0 / 4 * 0.5);   // the horizontal unit serves both axes
    EXPECT_EQ(m.PrintOffset(), (Point{0, 0}));

    RecordingCanvas printer(2400, 3300, 300, 300);
    DrawContext p(printer, s.sink);
    p.SetExtents(10, 14, 20, 25);
    p.ClientWidth = 800;
    p.ClientHeight = 600;
    p.Print = true;
    // Margins left, right, top, bottom, then the minimum ones. Each term is truncated by
    // itself: 0.125 x 300 = 37.5 gives 37 (twice 74, not 75); (0.3 - 0.1) x 300 = 59.99... 59.
    p.Page = {2400, 3300, 1.125, 1.125, 1.25, 0.3, 1.0, 1.0, 0.25, 0.1, 300, 300};
    const int32_t hLoss = 37 + 37;
    const int32_t vLoss = 300 + 59;
    EXPECT_EQ(p.Page.BottomOffset(), 59);

    // Paper taller than the window: the printable width, the height from the window's shape.
    m.BeginDraw(p);
    EXPECT_TRUE(bPrint);
    EXPECT_EQ((std::vector<int32_t>{m.W, m.H}), (std::vector<int32_t>{2400 - hLoss, (2400 - hLoss) * 3 / 4}));
    EXPECT_EQ(m.Cnvs, &printer);
    EXPECT_DOUBLE_EQ(m.mplons, (2400.0 - hLoss) / 5 * 0.5);
    EXPECT_EQ(m.PrintOffset(), (Point{37, 300}));

    // A window taller than the printable area: the printable height, the width from the shape.
    p.ClientWidth = 300;
    p.ClientHeight = 600;
    m.BeginDraw(p);
    EXPECT_EQ((std::vector<int32_t>{m.W, m.H}), (std::vector<int32_t>{(3300 - vLoss) / 2, 3300 - vLoss}));

    // The comparison is with the printable area, not the page: a window shape between the two
    // takes the printable width and stays above the bottom margin.
    p.Page.LeftMargin = p.Page.RightMargin = 2.0;   // printable 2400 - 600 = 1800 wide
    p.ClientWidth = 1000;
    p.ClientHeight = 1500;   // 1.5: below the printable 3300 - vLoss / 1800, above the page 1.375
    m.BeginDraw(p);
    EXPECT_EQ((std::vector<int32_t>{m.W, m.H}), (std::vector<int32_t>{1800, 2700}));
}

TEST(LayerFile, PointTransformRoundsHalvesToEvenAndAddsThePrintOffset)
{
    GenMapObj m;
    ASSERT_TRUE(m.OpenLayer(Source(LabelledCells(TestHeader(5, 5))), 4));
    ASSERT_DOUBLE_EQ(m.R_Precisionx, 0.5);
    Screen s;
    s.ctx.ClientWidth = 10;    // 10 pixels over 20 degrees: half a pixel per degree,
    s.ctx.ClientHeight = 10;   // a quarter of a pixel per layer unit
    s.ctx.SetExtents(10, 30, 20, 40);
    m.BeginDraw(s.ctx);
    m.Setup_CellOrigin(0, 0);
    // x: 0.5, 1.5, 2.5, 2.75 pixels; y: 10 - 1.5, 10 - 2.5.
    EXPECT_EQ((std::vector<Point>{m.ToDevice(0, 2), m.ToDevice(0, 6), m.ToDevice(0, 10), m.ToDevice(0, 11),
                                  m.ToDevice(6, 0), m.ToDevice(10, 0)}),
              (std::vector<Point>{{0, 10}, {2, 10}, {2, 10}, {3, 10}, {0, 8}, {0, 8}}));
    m.Setup_CellOrigin(2, 1);   // 11N 22E: 2 and 4 units in
    EXPECT_DOUBLE_EQ(m.mpminlat, 2.0);
    EXPECT_DOUBLE_EQ(m.mpminlon, 4.0);
    EXPECT_EQ(m.ToDevice(0, 6), (Point{2, 10}));   // (4 + 6) / 4 = 2.5

    s.ctx.Print = true;
    s.ctx.Page = {1000, 1000, 1.5, 1.0, 2.0, 1.0, 0.25, 0.0, 0.5, 0.0, 600, 300};
    m.BeginDraw(s.ctx);
    m.Setup_CellOrigin(2, 1);
    const Point plain = m.CellToDevice(3, 5);
    EXPECT_EQ(m.ToDevice(3, 5), (Point{plain.x + 750, plain.y + 450}));   // 1.25 x 600, 1.5 x 300
}

TEST(LayerFile, KeyColoursFromTheLandStyleOrTheKey)
{
    GenMapObj m;
    Screen s;
    s.ctx.Land_Plot_Fill_Colour = 0x00AA00;
    s.ctx.Land_Plot_Colour = 0x000080;
    s.ctx.landStyle = LandStyle::Infilled;
    m.UseKeyColours(nullptr, nullptr, false, s.ctx);
    EXPECT_EQ((std::vector<int32_t>{m.Colour[1], m.Colour[50], m.Styl[50]}), (std::vector<int32_t>{0x00AA00, 0x00AA00, 17}));
    s.ctx.landStyle = LandStyle::Outline;
    m.UseKeyColours(nullptr, nullptr, false, s.ctx);
    EXPECT_EQ((std::vector<int32_t>{m.Colour[7], m.Styl[7]}), (std::vector<int32_t>{0x000080, 1}));

    MASStruct mas;
    GenMapObj untouched;
    untouched.UseKeyColours(&mas, nullptr, true, s.ctx);   // no key: nothing changes
    EXPECT_EQ(untouched.Colour[1], 0);

    mas.Key = std::make_unique<KeyStruct>();
    std::unique_ptr<K_Descriptor>* link = &mas.Key->NextKD;
    for (int i = 1; i <= 51; ++i) {
        auto kd = std::make_unique<K_Descriptor>();
        kd->Active = i != 3 && i != 4;
        kd->Top_Colour = i == 4 ? 0 : static_cast<Colour>(0x010000 * i);   // 4: black and inactive
        kd->Bottom_Colour = static_cast<Colour>(i);
        kd->Top_Style = static_cast<uint8_t>(i == 2 ? 255 : i);            // 2: consumes a number
        kd->Bottom_Style = static_cast<uint8_t>(100 + i);
        *link = std::move(kd);
        link = &(*link)->NextKD;
    }
    GenMapObj top, bottom;
    top.UseKeyColours(&mas, nullptr, true, s.ctx);
    bottom.UseKeyColours(&mas, nullptr, false, s.ctx);
    auto table = [](const GenMapObj& g, std::initializer_list<int> items) {
        std::vector<int32_t> out;
        for (int i : items) out.insert(out.end(), {g.Colour[i], g.Styl[i]});
        return out;
    };
    // Item 2 (top style 255, judged on the top style for both) stays at colour 0, style 0.
    EXPECT_EQ(table(top, {1, 2, 3, 50}), (std::vector<int32_t>{0x010000, 1, 0, 0, -0x030000, 3, 0x320000, 50}));
    EXPECT_EQ(table(bottom, {1, 2, 3, 50}), (std::vector<int32_t>{1, 101, 0, 0, -3, 103, 50, 150}));
    for (int k : {3, 4, 0, 51, -7}) EXPECT_TRUE(top.KeyItemOff(k)) << k;   // 4: black, yet off
    for (int k : {1, 2, 50}) EXPECT_FALSE(top.KeyItemOff(k)) << k;
    ASSERT_EQ(s.sink.messages.size(), 2u);   // once for each walk that met a 51st item
    EXPECT_EQ(s.sink.messages[0].kind, MsgKind::Warning);
    EXPECT_EQ(s.sink.messages[0].text, "Only the first 50 colours are usable with this version.");
}

TEST(LayerFile, DamagedFilesSkipBadCellsEndOnShortRecordsAndNeverCrash)
{
    Screen s;
    auto bytes = LabelledCells(TestHeader(2, 2));
    Put(bytes, 80, -5);                                          // negative: an empty cell
    Put(bytes, 84, 1 << 30);                                     // far past the end
    Put(bytes, 88, static_cast<int32_t>(bytes.size() / 4));      // exactly at the end
    bytes.resize(bytes.size() - 2);                              // the last record cut short
    GenMapObj m;
    ASSERT_TRUE(m.OpenLayer(Source(bytes), 4));
    m.BeginDraw(s.ctx);
    std::vector<uint16_t> read;
    EXPECT_FALSE(RunLayerIO([&] {
        m.WalkRecordCells([&](int32_t, int32_t) {
            for (;;) read.push_back(m.iFile.ReadU16());
        });
    }));
    EXPECT_EQ(read, (std::vector<uint16_t>{1, 1, 65535}));   // only cell (1, 1) was entered

    const auto good = LabelledCells(TestHeader(3, 4));
    auto drawAll = [&](const std::vector<uint8_t>& b) {
        if (!m.OpenLayer(Source(b), 4)) return false;
        m.BeginDraw(s.ctx);
        RunLayerIO([&] {
            m.WalkRecordCells([&](int32_t, int32_t) {
                for (int n = 0; n < 100000 && m.iFile.ReadU16() != 65535; ++n) {
                    const Point p = m.ToDevice(m.iFile.ReadU16(), 0);
                    PlotSymbol(*m.Cnvs, p.x, p.y, n % 42, 0);
                }
            });
        });
        return true;
    };
    const size_t headerAndIndex = 80 + 4 * 12;
    for (size_t len = 0; len < good.size(); ++len)
        EXPECT_EQ(drawAll({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len)}), len >= headerAndIndex) << len;
    for (size_t bit = 0; bit < headerAndIndex * 8; ++bit) {
        auto flipped = good;
        flipped[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        drawAll(flipped);
    }
}

TEST(LayerFileWriter, GridsPositionsAndUnitsFitTheFormat)
{
    LayerGrid g = ChooseGrid(-12.3, 47.9, 100.2, 101.0);
    EXPECT_EQ((std::vector<int32_t>{g.LatOrig, g.LonOrig, g.GridCellSize, g.NumRows, g.NumCols}),
              (std::vector<int32_t>{-13000000, 100000000, 1000000, 61, 1}));
    EXPECT_THROW(ChooseGrid(10, 5, 0, 1), std::invalid_argument);
    EXPECT_EQ(ChooseHPrecision(1000000), 16);   // 62500 units to a cell side
    EXPECT_EQ(ChooseHPrecision(65536), 2);
    EXPECT_EQ(ChooseHPrecision(1000000, 100), 100);

    // The north-east corner of a grid is in its last row and column, a whole cell side in.
    const HdrRec edge = LayerHeader("EDGE", ChooseGrid(0, 10, 0, 10), 16);
    CellPosition p;
    ASSERT_TRUE(LocatePosition(edge, 10, 10, p));
    EXPECT_EQ((std::vector<int>{p.Row, p.Column, p.Lat, p.Lon}), (std::vector<int>{9, 9, 62500, 62500}));
    EXPECT_FALSE(LocatePosition(edge, 10.001, 5, p));
    EXPECT_FALSE(LocatePosition(edge, 5, -0.001, p));

    // The world needs cells larger than a degree; places come back where they were written.
    g = ChooseGrid(-90, 90, -180, 180);
    EXPECT_LE(std::max(g.NumRows, g.NumCols), 100);
    const HdrRec h = LayerHeader("WORLD", g, ChooseHPrecision(g.GridCellSize));
    LayerFileWriter w(h, kSymbolLayout);
    // West to east, one to a column of cells, so that the walk meets them in this order.
    const std::pair<double, double> places[] = {{-90, -180}, {51.5, -0.1}, {0, 0}, {-33.9, 151.2}, {90, 180}};
    for (auto [lat, lon] : places) {
        ASSERT_TRUE(LocatePosition(h, lat, lon, p)) << lat << " " << lon;
        auto& cell = w.Cell(p.Column, p.Row);
        PutU16(cell, p.Lat);
        PutU16(cell, p.Lon);
        PutU8(cell, 1);
    }
    GenMapObj m;
    ASSERT_TRUE(m.OpenLayer(Source(w.Bytes()), 5));
    Screen s;
    s.ctx.ClientWidth = 3600;
    s.ctx.ClientHeight = 1800;
    s.ctx.SetExtents(-90, 90, -180, 180);   // ten pixels a degree
    m.BeginDraw(s.ctx);
    std::vector<Point> got, want;
    m.WalkRecordCells([&](int32_t, int32_t) {
        const uint16_t lat = m.iFile.ReadU16();
        got.push_back(m.ToDevice(lat, m.iFile.ReadU16()));
    });
    for (auto [lat, lon] : places) want.push_back({RoundI((lon + 180) * 10), 1800 - RoundI((lat + 90) * 10)});
    EXPECT_EQ(got, want);
}
