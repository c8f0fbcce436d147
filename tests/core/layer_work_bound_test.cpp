// Bounded work and damage in every layer format. A file whose 100 x 100 index entries all
// point at the records of one cell would make a drawing read the file once per cell; it is
// drawn as far as a fixed multiple of its size and marked damaged, as are files cut short
// and cells past the end of the file. The sound file the damaged ones are made from draws
// whole and is not marked.
#include "catalogue/MasterFile.h"
#include "layers/MapLBL.h"
#include "layers/MapMRLE.h"
#include "layers/MapPOL1.h"
#include "layers/MapRLE.h"
#include "layers/MapSYM.h"
#include "layers/MapSYX.h"
#include "layers/MapVEC.h"
#include "layers/RunLength.h"
#include "layers/writers/LayerFileWriter.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace corvane;

namespace {

constexpr int kGrid = 100;   // cells each way, one degree each, from 50S 50W

// Records of one cell of each format, long enough that reading them once per cell would be
// far beyond the bound.
std::vector<uint8_t> LongCell(int format, HdrRec& h)
{
    std::vector<uint8_t> b;
    auto u16 = [&](int v) { PutU16(b, static_cast<uint16_t>(v)); };
    switch (format) {
    case dtVEC:   // 1000 segments of two points, then the cell end
        for (int i = 0; i < 1000; ++i) u16(1), u16(2), u16(i), u16(i), u16(i + 9), u16(i + 5);
        u16(65535), u16(0);
        break;
    case dtMRL:   // 10000 one-unit runs, land and sea by turns, covering a 100 x 100 raster
    case dtRLE:
        h.VPrecision = h.HPrecision = 10000;
        for (int i = 0; i < 10000; ++i)
            EncodeRun(b, format == dtMRL ? kLandRuns : kKeyRuns, format == dtMRL ? i % 2 : 1 + i % 3, 1);
        break;
    case dtSYM:   // 3000 points, then the cell end
    case dtSYX:
        for (int i = 0; i < 3000; ++i) {
            u16(i % 997), u16(i % 991), PutU8(b, 1 + i % 5);
            if (format == dtSYX) PutU8(b, 0), u16(i);
        }
        PutU8(b, 0), u16(0), u16(0), PutU8(b, 0);
        if (format == dtSYX) PutU8(b, 0), u16(0);
        break;
    case dtPOL7:   // three polygons of 20000 points with their reference points and offsets
        for (int p = 0; p < 3; ++p) {
            u16(1), u16(20000), u16(500), u16(500), u16(7), u16(0);
            for (int i = 0; i < 20000; ++i) u16(i % 1000), u16((i * 7) % 1000);
        }
        u16(65535), u16(0);
        break;
    case dtLBL:   // 2000 labels, then the cell end
        for (int i = 0; i < 2001; ++i) {
            u16(i % 1000), u16(i % 1000), PutU8(b, i < 2000 ? 1 + i % 4 : 0), u16(0), u16(0), PutU8(b, 0);
            PutU8(b, 5);
            b.insert(b.end(), {'L', 'a', 'b', 'e', 'l'});
        }
        break;
    }
    return b;
}

LayerLayout LayoutOf(int format)
{
    switch (format) {
    case dtVEC: return kVectorLayout;
    case dtMRL:
    case dtRLE: return kRunLengthLayout;
    case dtSYM: return kSymbolLayout;
    case dtSYX: return kSymbolInfoLayout;
    case dtPOL7: return kPolygonLayout;
    default: return kLabelLayout;
    }
}

struct Files {
    std::vector<uint8_t> sound;    // the records in the south-west cell only
    std::vector<uint8_t> shared;   // every index entry on those records
    std::vector<uint8_t> cut;      // the sound file cut in the middle of its records
    std::vector<uint8_t> past;     // a second cell whose entry lies past the end of the file
};

Files Make(int format)
{
    HdrRec h = LayerHeader("BOUND", {-50000000, -50000000, 1000000, kGrid, kGrid}, 1000);
    std::vector<uint8_t> cell = LongCell(format, h);
    LayerFileWriter w(h, LayoutOf(format));
    w.Cell(0, 0) = cell;
    Files f;
    f.sound = w.Bytes();
    int32_t first = 0;
    std::memcpy(&first, &f.sound[80], 4);
    f.shared = f.past = f.sound;
    for (size_t i = 0; i < size_t{kGrid} * kGrid; ++i) std::memcpy(&f.shared[80 + 4 * i], &first, 4);
    const int32_t far = static_cast<int32_t>(f.sound.size() / static_cast<size_t>(LayoutOf(format).entryUnit) + 10);
    std::memcpy(&f.past[80 + 4 * 1], &far, 4);   // column 0, row 1
    f.cut.assign(f.sound.begin(), f.sound.begin() + static_cast<std::ptrdiff_t>(80 + 4 * kGrid * kGrid + cell.size() / 2));
    return f;
}

struct Drawn {
    bool opened = false;
    bool damaged = false;
    bool overfilled = false;
    size_t figures = 0;
    int64_t work = 0, limit = 0;
};

// Draws the file over its whole grid on a 1000 x 1000 picture with every key item on.
Drawn Draw(int format, const std::vector<uint8_t>& bytes)
{
    RecordingCanvas canvas(1000, 1000);
    NullMessageSink sink;
    DrawContext ctx(canvas, sink);
    ctx.ClientWidth = ctx.ClientHeight = 1000;
    ctx.WindowWidth = ctx.WindowHeight = 1000;
    ctx.SetExtents(-50, 50, -50, 50);
    Drawn d;
    auto run = [&](GenMapObj& m, const std::function<void()>& draw) {
        if (!(d.opened = m.DataOkay())) return;
        for (int k = 1; k <= kKeyItems; ++k) m.Colour[k] = 0x102030, m.Styl[k] = static_cast<uint8_t>(1 + k % 4);
        draw();
        d.damaged = m.Damaged();
        d.overfilled = m.Overfilled();
        d.work = m.iFile.WorkDone();
        d.limit = m.WorkLimit();
        d.figures = canvas.records.size();
    };
    auto source = [&] { return std::make_unique<MemorySource>(bytes); };
    switch (format) {
    case dtVEC: { VECmap m; m.Create(source()); run(m, [&] { m.Draw(ctx, 0); }); break; }
    case dtMRL: { MonoRLEmap m; m.Create(source(), "X", sink); run(m, [&] { m.Draw(ctx); }); break; }
    case dtRLE: { RLEmap m; m.Create(source()); run(m, [&] { m.Draw(ctx, 0); }); break; }
    case dtSYM: { SYMmap m; m.Create(source()); run(m, [&] { m.Draw(ctx, 0); }); break; }
    case dtSYX: { SYXmap m; m.Create(source()); run(m, [&] { m.Draw(ctx, 0); }); break; }
    case dtPOL7: { POLmap m; m.Create(source()); run(m, [&] { m.Draw(ctx, 2, true, 0); }); break; }
    default: { LBLmap m; m.Create(source()); run(m, [&] { m.Draw(ctx, 0); }); break; }
    }
    return d;
}

class LayerWorkBound : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(LayerWorkBound, SharedCellsAreDrawnAsFarAsTheBoundAndMarkedDamaged)
{
    const int format = GetParam();
    const Files f = Make(format);
    const Drawn sound = Draw(format, f.sound);
    ASSERT_TRUE(sound.opened);
    EXPECT_FALSE(sound.damaged);
    EXPECT_GT(sound.figures, 0u);
    EXPECT_LE(sound.work, static_cast<int64_t>(f.sound.size()));   // a sound file is read once

    const Drawn shared = Draw(format, f.shared);
    ASSERT_TRUE(shared.opened);
    EXPECT_TRUE(shared.damaged);
    // Read once per cell, the records would cost 10000 times the cell; the bound is twice
    // the file, within which the first cell is drawn whole.
    EXPECT_LE(shared.limit, 2 * static_cast<int64_t>(f.shared.size()) + GenMapObj::kWorkFloor);
    EXPECT_LE(shared.work, shared.limit);
    EXPECT_GE(shared.figures, sound.figures);
    EXPECT_LE(shared.figures, 3 * static_cast<size_t>(shared.limit));
}

TEST_P(LayerWorkBound, FilesCutShortOrWithACellPastTheEndAreMarkedDamaged)
{
    const int format = GetParam();
    const Files f = Make(format);
    const Drawn sound = Draw(format, f.sound);
    const Drawn cut = Draw(format, f.cut);
    ASSERT_TRUE(cut.opened);
    EXPECT_TRUE(cut.damaged);
    EXPECT_GT(cut.figures, 0u);   // what was there before the end is drawn
    const Drawn past = Draw(format, f.past);
    ASSERT_TRUE(past.opened);
    EXPECT_TRUE(past.damaged);
    EXPECT_EQ(past.figures, sound.figures);   // the other cell is drawn whole
    // An index shorter than its grid: the file cannot be drawn at all.
    const Drawn header = Draw(format, {f.sound.begin(), f.sound.begin() + 80 + 4 * 50});
    EXPECT_FALSE(header.opened);
}

namespace {
std::string FormatName(const ::testing::TestParamInfo<int>& i)
{
    const char* names[] = {"", "VEC", "MRL", "RLE", "SYX", "SYM", "LBL", "POL"};
    return names[i.param];
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Formats, LayerWorkBound, ::testing::Values(dtVEC, dtMRL, dtRLE, dtSYM, dtSYX, dtPOL7, dtLBL),
                         FormatName);

TEST(LayerWorkBound, SearchesAreBoundedToo)
{
    for (int format : {dtSYX, dtPOL7}) {
        const Files f = Make(format);
        RecordingCanvas canvas(1000, 1000);
        NullMessageSink sink;
        DrawContext ctx(canvas, sink);
        ctx.ClientWidth = ctx.ClientHeight = ctx.WindowWidth = ctx.WindowHeight = 1000;
        ctx.SetExtents(-50, 50, -50, 50);
        SearchResult found;
        std::unique_ptr<GenMapObj> layer;
        int32_t offset = -1;
        if (format == dtSYX) {
            auto m = std::make_unique<SYXmap>();
            m->Create(std::make_unique<MemorySource>(f.shared));
            for (int k = 1; k <= 5; ++k) m->Colour[k] = 1, m->Styl[k] = 1;
            offset = m->Search(ctx, 0, 500, 500, found);
            layer = std::move(m);
        } else {
            auto m = std::make_unique<POLmap>();
            m->Create(std::make_unique<MemorySource>(f.shared));
            m->Colour[1] = 1, m->Styl[1] = 1;
            offset = m->Search(ctx, 0, 500, 500, found);
            layer = std::move(m);
        }
        EXPECT_GE(offset, 0) << format;   // the first cell's objects are still found
        EXPECT_TRUE(layer->Damaged()) << format;
        EXPECT_LE(layer->iFile.WorkDone(), layer->WorkLimit()) << format;
    }
}

TEST(LayerWorkBound, FilledPolygonsStopAtTheFillBudget)
{
    // 2,000 squares of 60 x 60 degrees in one cell, each filling 0.36 of the picture (with
    // its edges, 600 or 601 pixels a side): the budget of 256 pictures ends the drawing after
    // about 710 of them. The file is sound and not marked damaged.
    HdrRec h = LayerHeader("FILL", {-50000000, -50000000, 1000000, kGrid, kGrid}, 1000);
    std::vector<uint8_t> cell;
    auto u16 = [&](int v) { PutU16(cell, static_cast<uint16_t>(v)); };
    for (int i = 0; i < 2000; ++i) {
        u16(1), u16(4), u16(0), u16(0), u16(0), u16(0);
        u16(0), u16(0), u16(60000), u16(0), u16(60000), u16(60000), u16(0), u16(60000);
    }
    u16(65535), u16(0);
    LayerFileWriter w(h, kPolygonLayout);
    w.Cell(0, 0) = cell;
    const Drawn d = Draw(dtPOL7, w.Bytes());
    EXPECT_FALSE(d.damaged);
    EXPECT_TRUE(d.overfilled);
    const int64_t budget = GenMapObj::kFillsPerPicture * 1000 * 1000;
    EXPECT_GE(d.figures, static_cast<size_t>(budget / (601 * 601)));
    EXPECT_LE(d.figures, static_cast<size_t>(budget / (600 * 600)));
}
