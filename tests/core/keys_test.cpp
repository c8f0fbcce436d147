// Key items, key layout and key moves on a recording canvas (8 pixels a character).
#include "KeyFixtures.h"
#include "platform/MessageSink.h"
#include "render/KeyItem.h"
#include "render/Keys.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;
using Op = RecordingCanvas::Op;

namespace {

// The line-drawing face is wider than the "System" face here, so what is measured in which
// shows in the box width.
class TwoFaceCanvas : public RecordingCanvas {
public:
    using RecordingCanvas::RecordingCanvas;
    int TextWidth(const std::string& t) override
    {
        return (font.name == "MS LineDraw" ? 10 : 8) * static_cast<int>(t.size());
    }
};

std::vector<const RecordingCanvas::Record*> Texts(const RecordingCanvas& c, const std::string& t)
{
    std::vector<const RecordingCanvas::Record*> out;
    for (const auto* r : c.Of(Op::Text))
        if (r->text == t) out.push_back(r);
    return out;
}

} // namespace

TEST(NewDrawKeyItem, EachEntryTypeAndTheBrushKept)
{
    constexpr Colour O = 0x101010, N = 0x0000FF;
    RecordingMessageSink sink;
    auto draw = [&](uint8_t type, uint8_t style) {
        auto c = std::make_unique<RecordingCanvas>(200, 200);
        c->brush = {0x445566, BrushStyle::Clear, {}};
        // Origin (10, 20), second row of 16 pixels: y0 = 36; xs = 8.
        NewDrawKeyItem(*c, 10, 20, 2, 16, O, N, type, style, sink);
        EXPECT_TRUE(c->brush.colour == 0x445566u && c->brush.style == BrushStyle::Clear);
        return c;
    };
    auto line = draw(1, 2);   // style 2: dashed, over a solid line in the background colour
    ASSERT_EQ(line->Count(Op::Line), 2u);
    EXPECT_EQ(line->records[0].pts, (std::vector<Point>{{18, 44}, {66, 44}}));
    EXPECT_EQ(line->records[1].pts, line->records[0].pts);
    EXPECT_TRUE(line->records[0].pen.colour == O && line->records[0].pen.style == PenStyle::Solid);
    EXPECT_TRUE(line->records[1].pen.colour == N && line->records[1].pen.style == PenStyle::Dash);
    EXPECT_EQ(draw(1, 200)->records[1].pen.style, PenStyle::Clear);   // beyond the style table

    auto box = draw(2, 5);   // 96 pixels an inch: half an inch + 1 wide
    ASSERT_EQ(box->Count(Op::Rectangle), 2u);
    EXPECT_EQ(box->records[0].pts, (std::vector<Point>{{18, 40}, {67, 49}}));
    EXPECT_EQ(box->records[1].pts, box->records[0].pts);
    EXPECT_TRUE(box->records[0].brush.colour == O && box->records[0].brush.style == BrushStyle::Solid);
    EXPECT_TRUE(box->records[1].brush.colour == N && box->records[1].brush.style == BrushStyle::FDiagonal);

    auto symbol = draw(3, 1);   // a filled circle at (45, 44), filled even after a clear brush
    ASSERT_EQ(symbol->Count(Op::Ellipse), 1u);
    EXPECT_EQ(symbol->records[0].pts, (std::vector<Point>{{42, 41}, {49, 48}}));
    EXPECT_TRUE(symbol->records[0].brush.style == BrushStyle::Solid && symbol->records[0].brush.colour == N);

    auto text = draw(4, 0);
    ASSERT_EQ(text->Count(Op::Text), 1u);
    EXPECT_TRUE(text->records[0].text == "TEXT" && text->records[0].pts[0] == (Point{45 - 16, 36}));
    EXPECT_EQ(text->records[0].font.colour, N);
    EXPECT_EQ(draw(5, 1)->records[0].pts, (std::vector<Point>{{42, 41}, {49, 48}}));   // symbol 15: open square
    EXPECT_EQ(sink.beeps, 0);
    // Nothing: type 0, no box or symbol of style 255; types from 6 on beep once each.
    for (auto [type, style] : {std::pair<uint8_t, uint8_t>{0, 1}, {2, 255}, {3, 255}, {6, 1}, {7, 1}, {255, 1}})
        EXPECT_TRUE(draw(type, style)->records.empty()) << int{type};
    EXPECT_EQ(sink.beeps, 3);
}

TEST(Keys, CaptionHeaderAndItemRowsWithHiddenItemsClosedUp)
{
    auto K = MakeKey({"Towns", "(within 10 km of the coast)"},
                     {{1, 2, {"Big"}}, {2, 1, {"Hidden one", "Hidden two"}, true}, {3, 3, {"Small", "towns"}, false, 0, 0x00FF00, 1, 2}});
    RecordingMessageSink sink;
    RecordingCanvas c(640, 480);
    KeyDrawing d(c, sink);
    d.W = 640, d.H = 480, d.KeyBkColour = 0x000080, d.KeyColour = 0xFFFFFF;
    const Rect box = ShowKey(*K, true, kTopRight, d);
    // 27 header characters + 6; rows of trunc(13 x 96 / 72) - 1 = 16; caption + 2 + 3 rows.
    EXPECT_EQ(box, (Rect{640 - 222 - 1, 0, 639, 102}));
    const auto frame = c.Of(Op::Polyline);   // the rings: their pixels are checked on the map window
    ASSERT_EQ(frame.size(), 5u);
    EXPECT_EQ(frame[0]->pts, (std::vector<Point>{{417, 0}, {639, 0}, {639, 102}, {417, 102}, {417, 0}}));

    const auto fills = c.Of(Op::FillRect);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0]->pts, (std::vector<Point>{{420, 3}, {637, 19}}));
    EXPECT_EQ(fills[0]->brush.colour, clSilver);
    EXPECT_EQ(fills[1]->pts, (std::vector<Point>{{420, 19}, {637, 100}}));
    EXPECT_EQ(fills[1]->brush.colour, 0x000080u);

    ASSERT_EQ(Texts(c, "Base Key").size(), 1u);
    EXPECT_TRUE(Texts(c, "Base Key")[0]->pts[0] == (Point{420 + (216 - 64) / 2, 2}) &&
                Texts(c, "Base Key")[0]->font.colour == clBlack);
    EXPECT_TRUE(Texts(c, "Towns")[0]->pts[0] == (Point{420 + (216 - 40) / 2, 20}) &&
                Texts(c, "Towns")[0]->font.colour == 0xFFFFFFu);
    // Items indented by 2 x 8 + 48; the hidden item takes no rows.
    EXPECT_EQ(Texts(c, "Big")[0]->pts[0], (Point{484, 52}));
    EXPECT_EQ(Texts(c, "Small")[0]->pts[0], (Point{484, 68}));
    EXPECT_EQ(Texts(c, "towns")[0]->pts[0], (Point{484, 84}));
    EXPECT_TRUE(Texts(c, "Hidden one").empty());
    // Swatches in the base key's bottom colour and style: a box on row 4, symbol 2 on row 5.
    EXPECT_EQ(c.Of(Op::Rectangle).front()->pts, (std::vector<Point>{{428, 55}, {477, 64}}));
    EXPECT_EQ(c.Of(Op::Ellipse).front()->pts, (std::vector<Point>{{451, 71}, {460, 80}}));
    EXPECT_EQ(c.Of(Op::Ellipse).front()->brush.colour, 0x00FF00u);

    // Without a caption: one row less, the header on the first row, no silver bar.
    RecordingCanvas plain(640, 480);
    KeyDrawing d2(plain, sink);
    d2.W = 640, d2.H = 480, d2.Caption = false;
    EXPECT_EQ(ShowKey(*K, false, kBottomLeft, d2), (Rect{0, 480 - 86 - 1, 222, 479}));
    EXPECT_TRUE(plain.Count(Op::FillRect) == 1u && Texts(plain, "Overlay Key").empty());
    EXPECT_EQ(Texts(plain, "Towns")[0]->pts[0].y, 393 + 3 + 1);
    EXPECT_TRUE(sink.messages.empty());
}

TEST(Keys, TheLineDrawingFontMeasuresAndWritesEveryItemLine)
{
    RecordingMessageSink sink;
    auto layout = [&](const std::vector<std::string>& header, const std::vector<KeyItemSpec>& items) {
        TwoFaceCanvas c(640, 480);
        KeyDrawing d(c, sink);
        d.W = 640, d.H = 480;
        auto K = MakeKey(header, items);
        const KeyLayout L = MeasureKey(*K, d);
        ShowKey(*K, true, kTopLeft, d);
        for (const auto* r : c.Of(Op::Text)) {
            const bool item = r->pts[0].x == 3 + L.Indent;
            EXPECT_EQ(r->font.name, item ? (L.ChangeFont ? "MS LineDraw" : "System")
                                         : (L.ChangeHdrFont && r->text != "Base Key" ? "MS LineDraw" : "System"))
                << r->text;
        }
        return L;
    };
    // A later item's second line holds a box-drawing byte: the first, long item is measured in
    // the line-drawing face too (24 x 10), and the indent with its "X".
    KeyLayout L = layout({"Plain"}, {{1, 2, {"A long first item line."}}, {2, 2, {"Second", "\xB3 bar"}}});
    EXPECT_TRUE(L.ChangeFont && !L.ChangeHdrFont);
    EXPECT_EQ(L.Indent, 2 * 10 + 48);
    EXPECT_EQ(L.ItemWidth, 240 + 68);
    EXPECT_EQ(L.BoxWidth, 308 + 6);
    // A leading space switches; byte 128 does not; hidden items are not looked at.
    EXPECT_TRUE(layout({}, {{1, 2, {" indented"}}}).ChangeFont);
    EXPECT_FALSE(layout({}, {{1, 2, {"\x80 euro"}}, {2, 2, {"\xC4\xC4"}, true}}).ChangeFont);
    // A box-drawing byte in a header line switches the header lines alone.
    L = layout({"\xC4\xC4 Towns \xC4\xC4", "plain"}, {{1, 2, {"Big"}}});
    EXPECT_TRUE(L.ChangeHdrFont && !L.ChangeFont && L.HeaderWidth == 110);
}

TEST(Keys, WideKeysMissingOrdersAndThePrintedKey)
{
    RecordingMessageSink sink;
    // Wider than the map: left 0 even in a right-hand corner; higher: top 0 at the bottom.
    auto wide = MakeKey({std::string(20, 'W')}, {{1, 2, {"a"}}, {2, 2, {"b"}}, {3, 2, {"c"}}, {4, 2, {"d"}}});
    RecordingCanvas c(100, 80);
    KeyDrawing d(c, sink);
    d.W = 100, d.H = 80;
    EXPECT_EQ(ShowKey(*wide, true, kTopRight, d), (Rect{0, 0, 166, 102}));
    EXPECT_EQ(ShowKey(*wide, true, kBottomRight, d).top, 0);

    // Display order 2 has no item: said while measuring and again while writing, no swatch;
    // order 4 lies beyond the item count and is not drawn.
    auto gap = MakeKey({}, {{1, 2, {"one"}}, {3, 2, {"three"}}, {4, 2, {"four"}}});
    RecordingCanvas g(640, 480);
    KeyDrawing dg(g, sink);
    dg.W = 640, dg.H = 480;
    const Rect box = ShowKey(*gap, true, kTopLeft, dg);
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{kKeyNotFound, kKeyNotFound}));
    EXPECT_EQ(box.bottom, 3 * 16 + 6);
    EXPECT_EQ(g.Count(Op::Rectangle), 4u);   // two boxes of two rectangles
    EXPECT_TRUE(Texts(g, "four").empty());
    EXPECT_EQ(Texts(g, "three")[0]->pts[0].y, 3 + 2 * 16 + 1);

    // On paper: the font grows with the printer's dots per inch, rows with it at the screen's
    // font resolution, the swatch column is scaled; the box stands at the print offsets.
    sink.Clear();
    auto K = MakeKey({"Head"}, {{1, 3, {"Item"}, false, 0, 0, 1, 1}});
    RecordingCanvas paper(4000, 3000, 600, 600);
    KeyDrawing p(paper, sink);
    p.Print = true, p.XDpi = 600, p.W = 3000, p.H = 2000, p.OffsetX = 100, p.OffsetY = 200;
    p.scale = SymbolScale{600, 96};
    const KeyLayout L = MeasureKey(*K, p);
    EXPECT_EQ(L.FontHeight, -81);
    EXPECT_EQ(L.ItemHeight, 107);
    EXPECT_EQ(L.Indent, 16 + 300);
    const Rect pb = ShowKey(*K, false, kBottomRight, p);
    EXPECT_EQ(pb, (Rect{3000 - L.BoxWidth - 1, 2000 - L.BoxHeight - 1, 2999, 1999}));
    EXPECT_EQ(Texts(paper, "Overlay Key")[0]->pts[0].y, 200 + pb.top + 3);
    EXPECT_EQ(Texts(paper, "Item")[0]->font.height, -81);
    const auto* dot = paper.Of(Op::Ellipse).front();
    EXPECT_EQ((dot->pts[0].x + dot->pts[1].x - 1) / 2, 100 + pb.left + 3 + 219);
}

TEST(Keys, PrintedKeysStandInThePrintedMapAndLeaveThePictureBoxesAlone)
{
    RecordingMessageSink sink;
    KeyView view(sink);
    view.SetThemes(MakeKey({"Base"}, {{1, 2, {"b"}}}), MakeKey({"Overlay key"}, {{1, 2, {"o"}}}));
    ReDrawKeys(view, false);
    const Rect base = view.BaseKeyPos, overlay = view.OverlayKeyPos;
    const size_t onPicture = view.canvas.records.size();

    RecordingCanvas paper(2400, 3300, 300, 300);
    view.PrinterCanvas = &paper;
    view.Page.PageWidth = 2400, view.Page.PageHeight = 3300;
    view.Page.XDpi = view.Page.YDpi = 300;
    view.Page.minLeftMargin = view.Page.minTopMargin = 0.25;
    ReDrawKeys(view, true);
    // A press on the picture is still tested against the boxes drawn there, and the picture,
    // its buttons and its refresh are left as they were.
    EXPECT_EQ(view.BaseKeyPos, base);
    EXPECT_EQ(view.OverlayKeyPos, overlay);
    EXPECT_EQ(view.canvas.records.size(), onPicture);
    EXPECT_EQ(view.pressed.size(), 2u);
    EXPECT_EQ(view.refreshes, 1);
    // On paper the base key's outer ring ends on the printed map's last column at its top, the
    // overlay key's on its last column and row.
    const PrintedSize size = PrintedMapSize(view.Page, 640, 480);
    const int lo = 225, to = 225;
    const auto rings = paper.Of(Op::Polyline);
    ASSERT_EQ(rings.size(), 10u);
    EXPECT_EQ(rings[0]->pts[1], (Point{lo + size.W - 1, to}));
    EXPECT_EQ(rings[5]->pts[2], (Point{lo + size.W - 1, to + size.H - 1}));
    EXPECT_EQ(rings[0]->pen.colour, clBlack);
}

TEST(KeyMoves, TheReleaseQuarterAndTheOverlayKeyWinningOverlaps)
{
    EXPECT_EQ(CornerForRelease(320, 240, 640, 480), kTopLeft);   // on both middle lines
    EXPECT_EQ(CornerForRelease(321, 240, 640, 480), kTopRight);
    EXPECT_EQ(CornerForRelease(321, 241, 640, 480), kBottomRight);
    EXPECT_EQ(CornerForRelease(0, 479, 640, 480), kBottomLeft);

    RecordingMessageSink sink;
    KeyView view(sink);
    view.SetThemes(MakeKey({"Base"}, {{1, 2, {"b"}}}), MakeKey({"Overlay key"}, {{1, 2, {"o"}}}));
    view.MDF->BasePos = view.MDF->OverlayPos = kBottomRight;
    view.MDF->Grid_Displayed = false;
    ReDrawKeys(view, false);
    EXPECT_EQ(view.pressed, (std::vector<bool>{true, false}));
    EXPECT_EQ(view.refreshes, 1);
    ASSERT_EQ(view.OverlayKeyPos.bottom, 479);
    ASSERT_EQ(view.BaseKeyPos.bottom, 479);
    view.FullMap = view.canvas.CopyPicture();

    tKeyMove move = NoMove;
    EXPECT_FALSE(MoveKey(view, move, 5, 5, 600, 400));   // a press on the map, not on a key
    EXPECT_EQ(view.canvas.Count(Op::Picture), 0u);
    EXPECT_EQ(KeyUnderPress(view, 635, 475), OverlayMove);
    EXPECT_EQ(KeyUnderPress(view, view.OverlayKeyPos.left - 1, 475), NoMove);

    ASSERT_TRUE(MoveKey(view, move, 635, 475, 10, 10));
    EXPECT_EQ(move, NoMove);
    EXPECT_EQ(view.OverlayKeyCorner, kTopLeft);
    EXPECT_EQ(view.MDF->OverlayPos, kTopLeft);
    EXPECT_EQ(view.BaseKeyCorner, kBottomRight);
    EXPECT_TRUE(view.OverlayKeyPos.left == 0 && view.OverlayKeyPos.top == 0);
    EXPECT_EQ(view.canvas.Count(Op::Picture), 1u);   // the picture restored before drawing again
    EXPECT_EQ(KeyUnderPress(view, 635, 475), BaseMove);

    // A hidden overlay key takes no press; the base key under it does.
    view.OverlayMapKey = false;
    EXPECT_EQ(KeyUnderPress(view, 5, 5), NoMove);
    ASSERT_TRUE(MoveKey(view, move, 635, 475, 320, 240));
    EXPECT_EQ(view.MDF->BasePos, kTopLeft);
    EXPECT_TRUE(sink.messages.empty());
}
