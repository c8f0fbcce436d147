// The header and cell index of layer files kept across drawings: an unchanged file is not read
// again, a file written anew is, the cache keeps to its bound, and the bounded work of a
// drawing holds the same with a kept index as with one just read.
#include "TestUtil.h"

#include "layers/LayerCache.h"
#include "layers/MapMRLE.h"
#include "layers/RunLength.h"
#include "layers/writers/LayerFileWriter.h"
#include "platform/ByteSource.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>

using namespace corvane;

namespace {

// A land layer of cols x rows one-degree cells from 50N 0E; each cell of units x units holds
// land and sea by turns, or with shared set every index entry points at the first cell.
std::vector<uint8_t> LandFile(int32_t cols, int32_t units = 10, bool shared = false, int32_t rows = 2)
{
    HdrRec h = LayerHeader("CACHE", {50000000, 0, 1000000, rows, cols}, 1000000 / units);
    h.VPrecision = 1000000 / units;
    LayerFileWriter w(h, kRunLengthLayout);
    for (int32_t c = 0; c < (shared ? 1 : cols); ++c)
        for (int32_t r = 0; r < (shared ? 1 : rows); ++r)
            for (int32_t i = 0; i < units * units; ++i) EncodeRun(w.Cell(c, r), kLandRuns, (i + c + r) % 2, 1);
    std::vector<uint8_t> bytes = w.Bytes();
    for (int32_t i = 1; shared && i < rows * cols; ++i) std::memcpy(&bytes[80 + 4 * i], &bytes[80], 4);
    return bytes;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                 static_cast<std::streamsize>(bytes.size()));
}

struct Drawing {
    size_t bars = 0;
    bool damaged = false;
    int64_t work = 0, limit = 0;
};

// Draws the land of south..south + 2 N, west..east on a 400 x 200 picture.
Drawing DrawLand(MonoRLEmap& m, double east = 4, double south = 50, double west = 0)
{
    RecordingCanvas canvas(400, 200);
    NullMessageSink sink;
    DrawContext ctx(canvas, sink);
    ctx.ClientWidth = 400, ctx.ClientHeight = 200;
    ctx.SetExtents(south, south + 2, west, east);
    m.Colour[1] = 0x00FF00, m.Styl[1] = 1;
    m.Draw(ctx);
    return {canvas.Of(RecordingCanvas::Op::FillRect).size(), m.Damaged(), m.iFile.WorkDone(), m.WorkLimit()};
}

TEST(LayerCache, AnUnchangedFileIsReadOnceAndAFileWrittenAnewAgain)
{
    test::TempDir dir;
    const std::string path = dir / "Land.Mrl";
    WriteFile(path, LandFile(4));
    NullMessageSink sink;
    LayerCache& cache = LayerCache::Shared();
    cache.Clear();

    FileSource::ResetTotalBytesRead();
    MonoRLEmap first;
    ASSERT_TRUE(first.Create(path, sink));
    EXPECT_GE(FileSource::TotalBytesRead(), 80u + 4 * 8);
    const Drawing drawn = DrawLand(first);
    EXPECT_GT(drawn.bars, 0u);
    EXPECT_EQ(cache.Misses(), 1u);

    FileSource::ResetTotalBytesRead();
    MonoRLEmap again;
    ASSERT_TRUE(again.Create(path, sink));
    EXPECT_EQ(FileSource::TotalBytesRead(), 0u);   // neither header nor index read
    EXPECT_EQ(cache.Hits(), 1u);
    EXPECT_EQ(again.Header.NumCols, 4);
    EXPECT_EQ(again.Index, first.Index);
    EXPECT_EQ(DrawLand(again).bars, drawn.bars);
    EXPECT_GT(FileSource::TotalBytesRead(), 0u);   // the records still come from the file

    WriteFile(path, LandFile(3));   // another size: read anew
    MonoRLEmap rewritten;
    ASSERT_TRUE(rewritten.Create(path, sink));
    EXPECT_EQ(rewritten.Header.NumCols, 3);
    EXPECT_EQ(cache.Misses(), 2u);
    EXPECT_EQ(cache.Count(), 2u);
}

TEST(LayerCache, AFileRewrittenInPlaceWithItsOldTimeIsReadAnew)
{
    // The same size, the same inode and the modification time put back (as cp -p or touch -r
    // do over an older copy): the change of status time still tells the file is new.
    test::TempDir dir;
    const std::string path = dir / "Land.Mrl";
    WriteFile(path, LandFile(4));
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    NullMessageSink sink;
    LayerCache::Shared().Clear();
    MonoRLEmap first;
    ASSERT_TRUE(first.Create(path, sink));

    std::vector<uint8_t> other = LandFile(4);
    std::memcpy(&other[80], &other[84], 4);   // the first cell's entry now names the second's records
    ASSERT_EQ(other.size(), LandFile(4).size());
    ASSERT_NE(other, LandFile(4));
    WriteFile(path, other);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    ASSERT_EQ(after.st_ino, before.st_ino);
    ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    MonoRLEmap again;
    ASSERT_TRUE(again.Create(path, sink));
    EXPECT_EQ(again.Index[0], again.Index[1]);
    EXPECT_NE(again.Index, first.Index);
}

TEST(LayerCache, AViewReadsTheIndexEntriesOfItsCellsAndTheRestAreReadWhenDrawn)
{
    // 40 x 40 cells: an index of 6400 bytes, more than comes with the header.
    test::TempDir dir;
    const std::string path = dir / "Large.Mrl";
    const std::vector<uint8_t> bytes = LandFile(40, 2, false, 40);
    WriteFile(path, bytes);
    NullMessageSink sink;
    LayerCache& cache = LayerCache::Shared();
    cache.Clear();
    auto unread = [&] { return cache.Find(FileSource::Open(path)->Identity())->Unread; };

    FileSource::ResetTotalBytesRead();
    MonoRLEmap first;
    ASSERT_TRUE(first.Create(path, sink));
    EXPECT_EQ(FileSource::TotalBytesRead(), 80u);   // the header alone
    const Drawing west = DrawLand(first);           // 2 x 4 cells
    EXPECT_EQ(unread(), 1600u - 8);

    // Another view of the same file, its index partly kept: its own cells are read and drawn as
    // from a file read whole.
    MonoRLEmap again, whole;
    ASSERT_TRUE(again.Create(path, sink));
    ASSERT_TRUE(whole.Create(std::make_unique<MemorySource>(bytes), "x", sink));
    ASSERT_TRUE(whole.ReadIdx());
    const Drawing east = DrawLand(again, 34, 80, 30);
    EXPECT_EQ(east.bars, DrawLand(whole, 34, 80, 30).bars);
    EXPECT_GT(east.bars, 0u);
    EXPECT_EQ(unread(), 1600u - 16);
    EXPECT_EQ(DrawLand(again).bars, west.bars);

    // The file must hold its whole index, however few entries a view needs.
    WriteFile(path, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 80 + 4 * 1600 - 1));
    MonoRLEmap cut;
    EXPECT_FALSE(cut.Create(path, sink));
}

TEST(LayerCache, KeepsToItsBoundDroppingTheLeastRecentlyUsed)
{
    auto head = [](size_t entries) {
        auto h = std::make_shared<CachedLayerHead>();
        h->Index.assign(entries, 1);
        return h;
    };
    const size_t one = head(1000)->Bytes();
    LayerCache cache(2 * one + one / 2);
    cache.Put("a", head(1000));
    cache.Put("b", head(1000));
    ASSERT_NE(cache.Find("a"), nullptr);   // "b" is now the least recently used
    cache.Put("c", head(1000));
    EXPECT_EQ(cache.Find("b"), nullptr);
    EXPECT_NE(cache.Find("a"), nullptr);
    EXPECT_NE(cache.Find("c"), nullptr);
    EXPECT_LE(cache.Bytes(), 2 * one + one / 2);
    cache.Put("huge", head(5000));   // larger than the whole bound: not kept
    EXPECT_EQ(cache.Find("huge"), nullptr);
    EXPECT_EQ(cache.Count(), 2u);
    cache.Put("", head(1));   // a source without identity is never kept
    EXPECT_EQ(cache.Count(), 2u);
}

TEST(LayerCache, TheWorkBoundHoldsWithAKeptIndex)
{
    // Every entry on the records of one cell: the drawing stops at its bound and the file is
    // marked damaged, whether the index was just read or kept from before.
    test::TempDir dir;
    const std::string path = dir / "Shared.Mrl";
    const std::vector<uint8_t> bytes = LandFile(100, 100, true);
    WriteFile(path, bytes);
    NullMessageSink sink;
    LayerCache::Shared().Clear();
    Drawing drawings[2];
    for (Drawing& d : drawings) {
        MonoRLEmap m;
        ASSERT_TRUE(m.Create(path, sink));
        d = DrawLand(m, 100);
    }
    EXPECT_EQ(LayerCache::Shared().Hits(), 1u);
    for (const Drawing& d : drawings) {
        EXPECT_TRUE(d.damaged);
        EXPECT_LE(d.work, d.limit);
        EXPECT_EQ(d.limit, GenMapObj::kWorkPerByte * static_cast<int64_t>(bytes.size()) + GenMapObj::kWorkFloor);
    }
    EXPECT_EQ(drawings[0].bars, drawings[1].bars);
    EXPECT_EQ(drawings[0].work, drawings[1].work);
}

} // namespace
