// Point symbol, polygon and label layers: files written by our writers (and by hand where
// they must be damaged), read back, drawn on the recording canvas and searched.
#include "core/FeatureLayerFixture.h"
#include "layers/MapLBL.h"
#include "layers/MapPOL1.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/writers/LabelFileWriter.h"
#include "layers/writers/PolygonFileWriter.h"
#include "layers/writers/SymbolFileWriter.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <functional>

using namespace corvane;
using namespace corvane::test;
using Op = RecordingCanvas::Op;
using Ring = std::vector<GeoPoint>;

namespace {

struct Map {
    RecordingCanvas canvas{1000, 1000};
    RecordingMessageSink sink;
    DrawContext ctx{canvas, sink};
    Map() { SetupMap(ctx); }
};

// The message of the FeatureError an Add throws, or "accepted".
std::string Refusal(const std::function<void()>& add)
{
    try {
        add();
    } catch (const FeatureError& e) {
        return e.what();
    }
    return "accepted";
}

std::vector<uint8_t> Symbols(bool info, const std::vector<SymbolPoint>& pts)
{
    SymbolFileWriter w(TestOptions("POINTS"), info);
    for (const auto& p : pts) w.Add(p);
    return w.Bytes();
}

PolygonFeature Polygon(int key, std::vector<Ring> parts, GeoPoint ref = {}, int64_t info = 0)
{
    PolygonFeature f;
    f.KeyCode = key;
    f.Parts = std::move(parts);
    f.Reference = ref;
    f.InfoOffset = info;
    return f;
}

std::vector<uint8_t> Polygons(int type, const std::vector<PolygonFeature>& fs)
{
    PolygonFileWriter w(TestOptions(), type);
    for (const auto& f : fs) w.Add(f);
    return w.Bytes();
}

std::vector<Point> Pixels(const Ring& r)
{
    std::vector<Point> out;
    for (const GeoPoint& p : r) out.push_back(Pixel(p.Lat, p.Lon));
    return out;
}

const Ring kSquare = {{12, 2}, {12, 3}, {13, 3}, {13, 2}, {12, 2}};
const Ring kTriangle = {{12.2, 2.2}, {12.4, 2.2}, {12.3, 2.4}};

LabelFeature Label(double lat, double lon, const std::string& text, int hJust = 0, int vJust = 3, int trigger = 0)
{
    LabelFeature l;
    l.Lat = lat;
    l.Lon = lon;
    l.Text = text;
    l.hJust = hJust;
    l.vJust = vJust;
    l.TriggerScale = trigger;
    return l;
}

// The texts a label file draws, and where.
std::vector<std::pair<std::string, Point>> DrawLabels(DrawContext& ctx, const std::vector<LabelFeature>& ls)
{
    LabelFileWriter w(TestOptions());
    for (const auto& l : ls) w.Add(l);
    LBLmap lbl;
    EXPECT_TRUE(lbl.Create(Bytes(w.Bytes())));
    SetKey(lbl, 1, 0x0000AA, 0);
    EXPECT_TRUE(lbl.Draw(ctx, 0));
    std::vector<std::pair<std::string, Point>> out;
    for (const auto* r : static_cast<RecordingCanvas&>(ctx.canvas).Of(Op::Text)) out.emplace_back(r->text, r->pts[0]);
    return out;
}

} // namespace

TEST(SymbolLayers, FilledWhateverTheBrushSwitchedOffSkippedAndAMissingKeyEndsOnlyThePlainLayer)
{
    // West to east: an open circle, a filled one, a switched-off item, an item with no
    // symbol, a filled one. Key codes 1..5 with an adjustment of 2 are items 3..7.
    const std::vector<SymbolPoint> pts = {{12.34, 1.21, 1}, {15.5, 3.07, 2}, {11, 4, 3}, {11, 6, 4}, {19.01, 8.93, 2}};
    for (bool info : {false, true}) {
        Map m;
        m.canvas.brush.style = BrushStyle::Clear;
        SYMmap sym;
        SYXmap syx;
        GenMapObj& layer = info ? static_cast<GenMapObj&>(syx) : sym;
        ASSERT_TRUE(info ? syx.Create(Bytes(Symbols(true, pts))) : sym.Create(Bytes(Symbols(false, pts))));
        SetKey(layer, 3, 0x0000FF, 5);
        SetKey(layer, 4, 0x00FF00, 1);
        SetKey(layer, 5, 0xFF0000, 1, false);
        EXPECT_EQ(info ? syx.Draw(m.ctx, 2) : sym.Draw(m.ctx, 2), info);
        const auto& r = m.canvas.records;
        ASSERT_EQ(r.size(), info ? 3u : 2u);
        const Point c = Pixel(12.34, 1.21);   // an open circle of half-size 2 around it
        EXPECT_EQ(r[0].pts, (std::vector<Point>{{c.x - 2, c.y - 2}, {c.x + 2, c.y + 2}}));
        EXPECT_EQ(r[0].brush.style, BrushStyle::Clear);
        for (size_t i = 1; i < r.size(); ++i) EXPECT_EQ(r[i].brush.style, BrushStyle::Solid);
        EXPECT_EQ(m.sink.Texts(), info ? std::vector<std::string>{}
                                       : std::vector<std::string>{"Key definition for data type 4 is missing [File : POINTS      ]"});
    }
    // A key code beyond the 50 items of a key is a missing definition too.
    Map m;
    SYMmap far;
    ASSERT_TRUE(far.Create(Bytes(Symbols(false, {{14.5, 7.5, 9}}))));
    EXPECT_FALSE(far.Draw(m.ctx, 45));
    EXPECT_EQ(m.sink.Texts(), (std::vector<std::string>{"Key definition for data type 9 is missing [File : POINTS      ]"}));
}

TEST(SymbolInfoLayer, OffsetsSplitIntoHighAndLowPartsAndAreCheckedOnWriting)
{
    SYXmap m;
    ASSERT_TRUE(m.Create(Bytes(Symbols(true, {{11, 1.5, 1, 65536}, {12, 1.5, 1, 16777215}}))));
    Map s;
    m.BeginDraw(s.ctx);
    std::vector<int> got;
    m.WalkRecordCells([&](int32_t, int32_t) {
        for (m.Read(); m.SR.Symbol != 0; m.Read()) got.insert(got.end(), {m.SR.infopointerhi, m.SR.infopointerlo});
    });
    EXPECT_EQ(got, (std::vector<int>{1, 0, 255, 65535}));

    SymbolFileWriter w(TestOptions(), true);
    EXPECT_EQ(Refusal([&] { w.Add({12, 2, 1, 16777216, "Wreck"}); }),
              "point 1 \"Wreck\": information offset 16777216 does not fit 24 bits");
    EXPECT_EQ(Refusal([&] { w.Add({12, 2, 51}); }), "point 1: key code 51 is outside 1..50");
    EXPECT_EQ(Refusal([&] { w.Add({NAN, 2, 1}); }), "point 1: position is not within -1000..1000 degrees");
}

TEST(SymbolInfoLayer, SearchFindsTheNearestActivePointInsideTheWindowFirstAmongEquals)
{
    // A (300, 500) and B (500, 500) are 100 pixels from (400, 500): A is met first. C, on
    // that click, is switched off. With a window 990 pixels wide outside, E (x 992) lies
    // beyond its width plus two, F (x 991) inside. G has no symbol but is still found.
    const auto file = Symbols(true, {{15, 5, 1, 222}, {15, 3, 1, 111}, {15, 4, 2, 333}, {15, 9.92, 3, 666},
                                     {15, 9.91, 3, 444}, {18, 9.5, 4, 555}});
    SearchResult r;
    auto search = [&](int x, int y, bool allOff = false) {
        Map m;
        m.ctx.WindowWidth = 990;
        m.ctx.Print = true;   // a search is always in screen terms
        SYXmap syx;
        EXPECT_TRUE(syx.Create(Bytes(file)));
        for (int k = 1; k <= 4; ++k) SetKey(syx, k, 0x112233 * k, k == 4 ? 0 : 25, !allOff && k != 2);
        return syx.Search(m.ctx, 0, x, y, r);
    };
    EXPECT_EQ(search(400, 500), 111);
    EXPECT_EQ((std::vector<int32_t>{r.TimerLon, r.TimerLat, r.TimerStyle, r.TimerColour}),
              (std::vector<int32_t>{300, 500, 25, 0x112233}));
    EXPECT_EQ(search(401, 500), 222);
    EXPECT_EQ(search(-5000, 7000), 111);   // far from everything: still the nearest
    EXPECT_EQ(search(992, 500), 444);
    EXPECT_EQ(search(950, 200), 555);
    EXPECT_EQ(r.TimerStyle, 0);
    EXPECT_EQ(search(400, 500, true), -1);   // all off (black ones too): the record stays
    EXPECT_EQ(r.TimerLon, 950);
}

TEST(PolygonLayer, TypesEightAndNineDrawTheSameFiguresAndOutlinesTakeTheLineStyle)
{
    std::vector<std::vector<RecordingCanvas::Record>> drawn;
    for (int type : {8, 9, 7}) {
        Map m;
        POLmap pol;
        ASSERT_TRUE(pol.Create(Bytes(Polygons(type, {Polygon(1, {kSquare, kTriangle}, {12.5, 2.5}, 9),
                                                     Polygon(2, {kSquare}, {12.5, 2.5}, 9)}))));
        SetKey(pol, 2, 0x00AA00, 7);   // cross hatch, or dashes for outlines
        SetKey(pol, 3, 0x0000FF, 1, false);
        m.ctx.BackgroundColour = 0xEEDDCC;
        ASSERT_TRUE(pol.Draw(m.ctx, type == 8 ? 0 : 2, type != 7, 1));
        drawn.push_back(m.canvas.records);
    }
    ASSERT_EQ(drawn[0].size(), 2u);   // two parts, two figures; the switched-off one is not drawn
    ASSERT_EQ(drawn[2].size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(drawn[0][i].pts, drawn[1][i].pts);
        EXPECT_EQ(drawn[0][i].pts, drawn[2][i].pts);
        EXPECT_EQ((std::vector<Op>{drawn[1][i].op, drawn[2][i].op}), (std::vector<Op>{Op::Polygon, Op::Polyline}));
        EXPECT_EQ((std::vector<BrushStyle>{drawn[1][i].brush.style, drawn[2][i].brush.style}),
                  (std::vector<BrushStyle>{BrushStyle::Cross, BrushStyle::Clear}));
        EXPECT_EQ((std::vector<PenStyle>{drawn[1][i].pen.style, drawn[2][i].pen.style}),
                  (std::vector<PenStyle>{PenStyle::Solid, PenStyle::InsideFrame}));
        EXPECT_EQ(drawn[1][i].bkColour, 0xEEDDCCu);
    }
    EXPECT_EQ(drawn[0][0].pts, Pixels(kSquare));
    EXPECT_EQ(drawn[0][1].pts, Pixels(kTriangle));
}

TEST(PolygonSearch, TheNearestReferencePointInsideThePictureWinsAndLeavesItsOutline)
{
    const Ring big = {{11, 1}, {11, 9}, {19, 9}, {19, 1}};
    const auto file = Polygons(7, {Polygon(1, {big}, {18.5, 8.5}, 1000),                    // (850, 150)
                                   Polygon(2, {kSquare, kTriangle}, {12.5, 2.5}, 2000),     // (250, 750)
                                   Polygon(1, {{{10.5, 4}, {11.5, 5}}}, {10, 5}, 3000),     // (500, 1000)
                                   Polygon(3, {kTriangle}, {15, 5}, 4000)});                // switched off
    SearchResult r;
    auto search = [&](int x, int y) {
        Map m;
        POLmap pol;
        EXPECT_TRUE(pol.Create(Bytes(file)));
        SetKey(pol, 2, 0x111111, 1);
        SetKey(pol, 3, 0x222222, 3);
        SetKey(pol, 4, 0x333333, 1, false);
        return pol.Search(m.ctx, 1, x, y, r);
    };
    EXPECT_EQ(search(500, 500), 2000);   // inside the big one, nearer the square's point
    EXPECT_EQ(search(500, 990), 2000);   // the point on the picture's edge is never found
    EXPECT_EQ(search(800, 200), 1000);
    ASSERT_EQ(search(250, 750), 2000);
    EXPECT_EQ((std::vector<int32_t>{r.TimerLat, r.TimerLon, r.TimerStyle, r.TimerColour}),
              (std::vector<int32_t>{3, 3, 3, 0x222222}));
    // From slot 1: a count, its points, the next count, ..., 0: 9 records fill 11 slots.
    ASSERT_EQ(r.Points.size(), 6401u);
    EXPECT_EQ((std::vector<int32_t>{r.Points[1].x, r.Points[7].x, r.Points[11].x}), (std::vector<int32_t>{5, 3, 0}));
    std::vector<std::vector<Point>> parts;
    ForEachOutlinePart(r.Points, [&](const Point* p, size_t n) { parts.emplace_back(p, p + n); });
    EXPECT_EQ(parts, (std::vector<std::vector<Point>>{Pixels(kSquare), Pixels(kTriangle)}));
}

TEST(PolygonLayer, OversizedPartsAreCutAndOffsetsBeyond31BitsAreNotFound)
{
    // One cell, 15..16N 5..6E, 1000 units a side: unit (u, v) is at (500 + v / 10, 500 - u / 10).
    // 1: 6500 points, a separator with Lat 123 and Lon 65535, 2 points; reference (590, 410).
    // 2: an information offset of 32768 x 65536, past a signed 32-bit answer, reference
    // (550, 450). 3: reference (520, 480). 4: an offset of 256 x 65536 + 9, reference (510, 410).
    std::vector<uint16_t> words = {1, 6503, 900, 900, 5, 0};
    for (uint16_t i = 0; i < 6500; ++i) words.insert(words.end(), {static_cast<uint16_t>(i % 1000), 10});
    words.insert(words.end(), {123, 65535, 1, 1, 2, 2, 1, 2, 500, 500, 0, 32768, 3, 3, 4, 4});
    words.insert(words.end(), {1, 3, 200, 200, 7, 0, 5, 5, 6, 6, 7, 7});
    words.insert(words.end(), {1, 1, 900, 100, 9, 256, 8, 8, 65535, 0});
    LayerFileWriter w(LayerHeader("HAND", {10000000, 0, 1000000, 10, 10}, 1000), kPolygonLayout);
    for (uint16_t v : words) PutU16(w.Cell(5, 5), v);
    Map m;
    POLmap pol;
    ASSERT_TRUE(pol.Create(Bytes(w.Bytes())));
    SetKey(pol, 1, 0x123456, 1);
    ASSERT_TRUE(pol.Draw(m.ctx, 2, false, 0));
    std::vector<size_t> sizes;
    for (const auto& r : m.canvas.records) sizes.push_back(r.pts.size());
    EXPECT_EQ(sizes, (std::vector<size_t>{6400, 2, 2, 3, 1}));

    SearchResult r;
    EXPECT_EQ(pol.Search(m.ctx, 0, 550, 450, r), 7);
    EXPECT_EQ(pol.Search(m.ctx, 0, 510, 410, r), 256 * 65536 + 9);
    EXPECT_EQ(pol.Search(m.ctx, 0, 590, 410, r), 5);
    // 6503 records overflow the 6400 slots: the first part is cut at 6399 points and says so.
    std::vector<size_t> stored;
    ForEachOutlinePart(r.Points, [&](const Point*, size_t n) { stored.push_back(n); });
    EXPECT_EQ(stored, (std::vector<size_t>{6399}));
    EXPECT_EQ(r.TimerLon, 2);
}

TEST(PolygonWriter, TheUnitFitsTheFarthestPointAndUnwritablePolygonsAreNamed)
{
    // 80 degrees east of its cell's corner, at most 65534 units: a unit of 1221 millionths.
    LayerWriteOptions o = TestOptions();
    o.FinestUnit = 1;
    PolygonFileWriter wide(o, 8);
    wide.Add(Polygon(1, {{{0, 0}, {0, 80}, {50, 80}, {50, 0}}}));
    POLmap pol;
    ASSERT_TRUE(pol.Create(Bytes(wide.Bytes())));
    EXPECT_EQ(pol.Header.HPrecision, 1221);
    RecordingCanvas c(800, 500);
    RecordingMessageSink sink;
    DrawContext ctx(c, sink);
    ctx.ClientWidth = 800;
    ctx.ClientHeight = 500;
    ctx.SetExtents(0, 50, 0, 80);
    ASSERT_TRUE(pol.Draw(ctx, 0, true, 0));
    ASSERT_EQ(c.records.size(), 1u);
    const std::vector<Point> corners = {{0, 500}, {800, 500}, {800, 0}, {0, 0}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(c.records[0].pts[i].x, corners[i].x, 1);
        EXPECT_NEAR(c.records[0].pts[i].y, corners[i].y, 1);
    }

    PolygonFileWriter outlines(TestOptions(), 7), fills(TestOptions(), 8);
    auto refusal = [](PolygonFileWriter& w, PolygonFeature f) {
        f.Name = "Reef";
        return Refusal([&] { w.Add(f); });
    };
    const Ring r6398(6398, GeoPoint{12, 2}), r6400(6400, GeoPoint{12, 2}), r6401(6401, GeoPoint{12, 2});
    EXPECT_EQ(refusal(fills, Polygon(1, {r6401})), "polygon 1 \"Reef\": part 1 has 6401 points, more than the 6400 a part can hold");
    EXPECT_EQ(refusal(fills, Polygon(1, {r6400, r6400})), "accepted");
    EXPECT_EQ(refusal(outlines, Polygon(1, {r6398})), "accepted");
    EXPECT_EQ(refusal(outlines, Polygon(1, {r6400})),
              "polygon 2 \"Reef\": 6400 point and separator records, more than the 6398 a query can flash");
    EXPECT_EQ(refusal(outlines, Polygon(1, {kSquare, {}})), "polygon 2 \"Reef\": part 2 has no points");
    EXPECT_EQ(refusal(outlines, Polygon(1, {kSquare}, {12, 2}, 16777216)),
              "polygon 2 \"Reef\": information offset 16777216 does not fit 24 bits");
}

TEST(LabelLayer, EveryFieldIsWrittenAndReadBackAndUnwritableLabelsAreNamed)
{
    LabelFeature l = Label(15.25, 5.5, "Plymouth Sound", 2, 1, 300);
    l.KeyLink = 7;
    l.TextAngle = -90;
    l.bWidth = 2;
    l.bHeight = 3;
    LabelFileWriter w(TestOptions());
    w.Add(l);
    w.Add(Label(15.5, 5.5, ""));
    LBLmap lbl;
    ASSERT_TRUE(lbl.Create(Bytes(w.Bytes())));
    Map m;
    lbl.BeginDraw(m.ctx);
    std::vector<std::vector<int>> got;
    lbl.WalkRecordCells([&](int32_t, int32_t) {
        for (int i = 0; i < 3; ++i) {   // the two labels and the empty one ending the cell
            lbl.Read();
            got.push_back({lbl.LR.KeyLink, lbl.LR.TriggerScale, lbl.LR.TextAngle, lbl.bWidth, lbl.bHeight, lbl.vJust,
                           lbl.hJust, lbl.LR.TextLength});
        }
    });
    EXPECT_EQ(got, (std::vector<std::vector<int>>{{7, 300, 65446, 2, 3, 1, 2, 14}, {1, 0, 0, 0, 0, 3, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(lbl.LabelText, "");

    EXPECT_EQ(Refusal([&] { w.Add(Label(12, 2, "Long" + std::string(252, 'x'))); }),
              "label 3 \"Longxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\": text of 256 bytes, more than 255");
    EXPECT_EQ(Refusal([&] { w.Add(Label(12, 2, "Mid", 0, 4)); }), "label 3 \"Mid\": vJust 4 is outside 0..3");
    EXPECT_EQ(Refusal([&] { w.Add(Label(12, 2, "Far", 0, 0, 65536)); }),
              "label 3 \"Far\": trigger scale 65536 is outside 0..65535");
}

TEST(LabelLayer, ThresholdsSizesJustificationAndTheLabelArea)
{
    // 100 screen pixels a degree of longitude; "ABCD" is 32 x 13 pixels; anchors at 15N 5E
    // are at (500, 500). Justified corners on the right (x 1000) or bottom (y 1000) edge,
    // or left of x 0, are outside.
    Map m;
    std::vector<LabelFeature> ls = {Label(12, 0.2, "ABCD", 2),  Label(12, 0.32, "ABCD", 2), Label(12, 0.5, ""),
                                    Label(12, 0.5, "after"),    Label(10, 5, "south"),      Label(10, 5.01, "above", 0, 0),
                                    Label(15, 10, "east"),      Label(15, 9.99, "in east"), Label(18, 7, "at 100", 0, 3, 100),
                                    Label(18, 8, "at 101", 0, 3, 101), Label(18, 9, "never", 0, 3, 65535)};
    for (int j = 0; j < 4; ++j) ls.push_back(Label(15, 5, "ABCD", j, j));
    const std::vector<std::pair<std::string, Point>> want = {
        {"ABCD", {0, 800}},   {"", {50, 800}},      {"after", {50, 800}}, {"above", {501, 987}}, {"ABCD", {500, 487}},
        {"ABCD", {484, 494}}, {"ABCD", {468, 497}}, {"ABCD", {500, 500}}, {"at 100", {700, 200}}, {"in east", {999, 500}}};
    EXPECT_EQ(DrawLabels(m.ctx, ls), want);
    const auto& r = *m.canvas.Of(Op::Text)[0];
    EXPECT_EQ((std::vector<int>{r.font.Size(), static_cast<int>(r.font.colour), static_cast<int>(r.textColour)}),
              (std::vector<int>{7, 0xAA, 0xAA}));
    EXPECT_EQ(r.font.name, "Times New Roman");
    EXPECT_EQ(r.bkMode, BkMode::Transparent);
    // The labels' face is their own, whatever an earlier drawing (the keys) left on the canvas.
    Map after;
    after.canvas.font.bold = after.canvas.font.italic = true;
    DrawLabels(after.ctx, {Label(15, 5, "plain")});
    ASSERT_EQ(after.canvas.Of(Op::Text).size(), 1u);
    EXPECT_FALSE(after.canvas.Of(Op::Text)[0]->font.bold);
    EXPECT_FALSE(after.canvas.Of(Op::Text)[0]->font.italic);

    // Under a degree across: 13 points, 4 more a size step.
    Map near;
    near.ctx.SetExtents(15, 15.5, 5, 5.5);
    LabelFeature big = Label(15.25, 5.25, "big");
    big.bHeight = 3;
    DrawLabels(near.ctx, {Label(15.25, 5.25, "plain"), big});
    const auto texts = near.canvas.Of(Op::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ((std::vector<int>{texts[0]->font.height, texts[1]->font.height}), (std::vector<int>{-17, -33}));
    for (auto [range, size] : {std::pair{0.99, 13}, {1.0, 12}, {3.99, 10}, {4.0, 9}, {6.99, 9}, {7.0, 7}})
        EXPECT_EQ(LabelBaseSize(range), size) << range;

    m.ctx.Print = true;   // on paper, the whole page cut to the window's shape
    m.ctx.ClientWidth = 800;
    m.ctx.ClientHeight = 600;
    m.ctx.Page.PageWidth = 2000;
    m.ctx.Page.PageHeight = 3000;
    EXPECT_EQ(LabelArea(m.ctx), (Rect{0, 0, 2000, 1500}));
    std::swap(m.ctx.ClientWidth, m.ctx.ClientHeight);
    std::swap(m.ctx.Page.PageWidth, m.ctx.Page.PageHeight);
    EXPECT_EQ(LabelArea(m.ctx), (Rect{0, 0, 1500, 2000}));
}

TEST(LabelLayer, PrintedLabelsAreOffsetAndScaledBelow300Dpi)
{
    for (int dpi : {150, 300}) {
        RecordingCanvas printer(1000, 1000, dpi, dpi);
        RecordingMessageSink sink;
        DrawContext ctx(printer, sink);
        SetupMap(ctx);
        ctx.Print = true;
        ctx.Page = {1000, 1000, 0.5, 0, 1, 0, 0, 0, 0, 0, dpi, dpi};
        const auto shown = DrawLabels(ctx, {Label(15, 5, "mid")});
        ASSERT_EQ(shown.size(), 1u);
        const auto& r = *printer.Of(Op::Text)[0];
        EXPECT_EQ(r.font.pixelsPerInch, dpi);
        EXPECT_EQ(r.font.height, dpi == 150 ? -8 : -29);   // 7 points: round(7 x 96 / 150) = 4 at 150 dpi
        const PrintedSize s = PrintedMapSize(ctx.Page, 1000, 1000);
        EXPECT_EQ(shown[0].second, (Point{s.W / 2 + dpi / 2, s.H / 2 + dpi}));
    }
}
