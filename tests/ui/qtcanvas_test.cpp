#include "platform/BmpEncoder.h"
#include "platform/PngEncoder.h"
#include "platform/qt/QtCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

using namespace corvane;

namespace {

struct Picture100 {
    QImage image{100, 100, QImage::Format_RGB32};
    Picture100() { image.fill(Qt::white); }
    Colour At(int x, int y) const { return FromQColor(QColor(image.pixel(x, y))); }
};

} // namespace

TEST(QtCanvas, BoxesLeaveTheirRightAndBottomEdgesOut)
{
    Picture100 pic;
    {
        QtCanvas c(&pic.image);
        c.pen.colour = clBlack;
        c.brush.colour = clRed;
        c.Rectangle(10, 10, 20, 20);
        c.brush.colour = 0x00FF00;
        c.FillRect({30, 30, 40, 40});
    }
    EXPECT_EQ(pic.At(10, 10), clBlack);
    EXPECT_EQ(pic.At(19, 19), clBlack);   // outline on the last column and row inside
    EXPECT_EQ(pic.At(20, 15), clWhite);
    EXPECT_EQ(pic.At(15, 20), clWhite);
    EXPECT_EQ(pic.At(15, 15), clRed);
    EXPECT_EQ(pic.At(30, 30), 0x00FF00u);
    EXPECT_EQ(pic.At(39, 39), 0x00FF00u);
    EXPECT_EQ(pic.At(40, 39), clWhite);
    EXPECT_EQ(pic.At(39, 40), clWhite);
}

TEST(QtCanvas, AClearPenRectangleFillsOnePixelLess)
{
    Picture100 pic;
    {
        QtCanvas c(&pic.image);
        c.pen.style = PenStyle::Clear;
        c.brush.colour = clBlack;
        c.Rectangle(10, 10, 20, 20);
    }
    EXPECT_EQ(pic.At(10, 10), clBlack);
    EXPECT_EQ(pic.At(18, 18), clBlack);
    EXPECT_EQ(pic.At(19, 15), clWhite);
    EXPECT_EQ(pic.At(15, 19), clWhite);
}

TEST(QtCanvas, LineToLeavesItsEndPointOut)
{
    Picture100 pic;
    {
        QtCanvas c(&pic.image);
        c.MoveTo(10, 50);
        c.LineTo(20, 50);
        c.MoveTo(50, 10);
        c.LineTo(60, 20);
        EXPECT_EQ(c.PenPos(), (Point{60, 20}));
    }
    EXPECT_EQ(pic.At(10, 50), clBlack);
    EXPECT_EQ(pic.At(19, 50), clBlack);
    EXPECT_EQ(pic.At(20, 50), clWhite);
    EXPECT_EQ(pic.At(59, 19), clBlack);
    EXPECT_EQ(pic.At(60, 20), clWhite);
}

TEST(QtCanvas, FarAwayLinesAreClippedNotWalked)
{
    Picture100 pic;
    {
        QtCanvas c(&pic.image);
        c.MoveTo(-2000000000, 50);
        c.LineTo(2000000000, 50);
    }
    EXPECT_EQ(pic.At(0, 50), clBlack);
    EXPECT_EQ(pic.At(99, 50), clBlack);
    EXPECT_EQ(pic.At(50, 49), clWhite);
}

TEST(QtCanvas, PatternBitsTakeTextAndBackgroundColours)
{
    Picture100 pic;
    {
        QtCanvas c(&pic.image);
        c.brush.style = BrushStyle::Pattern;
        c.brush.pattern = {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88};
        c.textColour = clRed;
        c.bkColour = 0x00FF00;
        c.FillRect({0, 0, 16, 16});
    }
    EXPECT_EQ(pic.At(0, 0), clRed);     // bit 0x80: column 0
    EXPECT_EQ(pic.At(4, 3), clRed);     // bit 0x08: column 4
    EXPECT_EQ(pic.At(1, 0), 0x00FF00u);
    EXPECT_EQ(pic.At(8, 5), clRed);     // aligned to the device origin
    EXPECT_EQ(pic.At(16, 0), clWhite);
}

TEST(QtCanvas, HatchGapsTakeTheBackgroundColourOnlyWhenOpaque)
{
    Picture100 pic;
    {
        QtCanvas c(&pic.image);
        c.brush.style = BrushStyle::Horizontal;
        c.brush.colour = clBlack;
        c.bkColour = clRed;
        c.bkMode = BkMode::Opaque;
        c.FillRect({0, 0, 8, 8});
        c.bkMode = BkMode::Transparent;
        c.FillRect({20, 0, 28, 8});
    }
    int lineRow = -1;
    for (int y = 0; y < 8; ++y)
        if (pic.At(0, y) == clBlack) lineRow = y;
    ASSERT_GE(lineRow, 0);
    int gapRow = (lineRow + 1) % 8;
    EXPECT_EQ(pic.At(3, gapRow), clRed);
    EXPECT_EQ(pic.At(23, lineRow), clBlack);
    EXPECT_EQ(pic.At(23, gapRow), clWhite);
}

TEST(QtCanvas, DrawingTwiceWithTheNotPenRestoresThePicture)
{
    Picture100 pic;
    {
        QtCanvas c(&pic.image);
        c.brush.colour = 0x336699;
        c.FillRect({0, 0, 50, 100});
    }
    QImage before = pic.image.copy();
    {
        QtCanvas c(&pic.image);
        c.pen.mode = PenMode::Not;
        c.pen.colour = clWhite;
        c.brush.style = BrushStyle::Clear;
        c.Rectangle(20, 20, 80, 70);
        EXPECT_NE(pic.image, before);
        EXPECT_EQ(c.GetPixel(20, 20), 0xFFFFFFu - 0x336699u);
        c.Rectangle(20, 20, 80, 70);
        c.MoveTo(5, 5);
        c.LineTo(90, 60);
        c.MoveTo(5, 5);
        c.LineTo(90, 60);
        // A filled box inverts each of its pixels once, edges included.
        c.brush.style = BrushStyle::Solid;
        c.brush.colour = clBlack;
        c.Rectangle(30, 60, 40, 70);
        EXPECT_EQ(c.GetPixel(30, 60), 0xFFFFFFu - 0x336699u);
        EXPECT_EQ(c.GetPixel(35, 65), 0xFFFFFFu - 0x336699u);
        c.Rectangle(30, 60, 40, 70);
    }
    EXPECT_EQ(pic.image, before);
}

TEST(QtCanvas, DashedLinesPaintGapsOnlyWhenOpaque)
{
    Picture100 pic;
    {
        QtCanvas c(&pic.image);
        c.pen.style = PenStyle::Dash;
        c.bkMode = BkMode::Transparent;
        c.MoveTo(0, 10);
        c.LineTo(99, 10);
        c.bkMode = BkMode::Opaque;
        c.bkColour = clRed;
        c.MoveTo(0, 20);
        c.LineTo(99, 20);
    }
    EXPECT_EQ(pic.At(0, 10), clBlack);
    EXPECT_EQ(pic.At(17, 10), clBlack);
    EXPECT_EQ(pic.At(18, 10), clWhite);   // first gap after an 18-pixel dash
    EXPECT_EQ(pic.At(18, 20), clRed);
}

TEST(QtCanvas, TextIsPlacedByTheTopOfItsCell)
{
    Picture100 pic;
    QtCanvas c(&pic.image);
    c.font.name = "Times New Roman";
    c.font.SetSize(10);
    c.font.colour = clBlack;
    c.bkMode = BkMode::Transparent;
    EXPECT_GT(c.TextWidth("WWW"), c.TextWidth("W"));
    int h = c.TextHeight("A");
    EXPECT_GT(h, 8);
    c.TextOut(10, 40, "X");
    c.End();
    bool above = false, inside = false;
    for (int x = 0; x < 100; ++x) {
        for (int y = 0; y < 40; ++y) above |= pic.At(x, y) != clWhite;
        for (int y = 40; y < 40 + h; ++y) inside |= pic.At(x, y) != clWhite;
    }
    EXPECT_FALSE(above);
    EXPECT_TRUE(inside);
}

TEST(QtCanvas, SpansPaintWhatTheirBoxesPaintWithEveryBrush)
{
    // Boxes that touch, overlap, leave the picture, come reversed or are empty, filled as
    // spans on one picture and one by one through the painter on another (a canvas on an
    // image of 24-bit pixels does not write spans itself).
    const std::vector<Rect> boxes = {{3, 4, 17, 9},   {17, 4, 30, 9}, {25, 4, 41, 9}, {-5, 20, 12, 33},
                                     {90, 95, 130, 120}, {60, 50, 45, 40}, {70, 70, 70, 80}};
    struct Brush {
        BrushStyle style;
        BkMode mode;
    };
    for (const Brush b : {Brush{BrushStyle::Solid, BkMode::Opaque}, Brush{BrushStyle::DiagCross, BkMode::Opaque},
                          Brush{BrushStyle::Horizontal, BkMode::Transparent}, Brush{BrushStyle::Pattern, BkMode::Transparent}}) {
        Picture100 spans;
        QImage painted(100, 100, QImage::Format_RGB888);
        painted.fill(Qt::white);
        for (QImage* image : {&spans.image, &painted}) {
            QtCanvas c(image);
            EXPECT_EQ(c.FillsSpans(), image == &spans.image);
            c.brush.style = b.style;
            c.brush.colour = clRed;
            c.brush.pattern = {0x81, 0x42, 0x24, 0x18, 0x0F, 0xF0, 0x33, 0xCC};
            c.textColour = 0xFF0000;
            c.bkColour = 0x00FF00;
            c.bkMode = b.mode;
            c.FillRect({0, 0, 3, 3});   // the painter active before the spans
            c.FillSpans(boxes);
        }
        int differing = 0, inked = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                differing += spans.image.pixel(x, y) != painted.pixel(x, y);
                inked += spans.image.pixel(x, y) != qRgb(255, 255, 255);
            }
        EXPECT_EQ(differing, 0) << int(b.style);
        EXPECT_GT(inked, 30) << int(b.style);
    }
}

TEST(QtCanvas, ASpikyRingIsFilledByTheOddEvenRule)
{
    // 6,400 points turning by the golden angle, every other one far past the picture's edges:
    // edges crossing each other all over it. Sampled pixels whose centres lie clear of every
    // edge are filled exactly when a ray to their right crosses the ring an odd number of
    // times; both kinds are met.
    QImage image(1280, 800, QImage::Format_RGB32);
    image.fill(Qt::white);
    std::vector<Point> ring;
    for (int k = 0; k < 6400; ++k) {
        const double r = k % 2 ? 1000.0 : 20.0, a = k * 2.399963229728653;
        ring.push_back({static_cast<int32_t>(std::lround(640 + r * std::cos(a))),
                        static_cast<int32_t>(std::lround(400 + r * std::sin(a)))});
    }
    {
        QtCanvas c(&image);
        c.pen.style = PenStyle::Clear;
        c.brush.colour = clBlack;
        c.Polygon(ring);
    }
    std::mt19937 random(24);
    int inside = 0, outside = 0;
    for (int i = 0; i < 3000; ++i) {
        const int x = static_cast<int>(random() % 1280), y = static_cast<int>(random() % 800);
        const double cx = x + 0.5, cy = y + 0.5;
        int crossings = 0;
        double nearest = 1e9;
        for (size_t e = 0; e < ring.size(); ++e) {
            const Point a = ring[e], b = ring[(e + 1) % ring.size()];
            if ((a.y <= cy) == (b.y <= cy)) continue;
            const double at = a.x + (cy - a.y) * (b.x - a.x) / (b.y - a.y);
            crossings += at > cx;
            nearest = std::min(nearest, std::fabs(at - cx));
        }
        if (nearest < 0.01) continue;
        const bool filled = image.pixel(x, y) == qRgb(0, 0, 0);
        EXPECT_EQ(filled, crossings % 2 == 1) << "pixel " << x << ", " << y;
        ++(filled ? inside : outside);
    }
    EXPECT_GT(inside, 300);
    EXPECT_GT(outside, 300);
    // With the inverting pen the same pixels turn black on white, and back again.
    QImage inverted(1280, 800, QImage::Format_RGB32);
    inverted.fill(Qt::white);
    QtCanvas c(&inverted);
    c.pen.style = PenStyle::Clear;
    c.pen.mode = PenMode::Not;
    c.Polygon(ring);
    c.End();
    EXPECT_TRUE(inverted == image);
    c.Polygon(ring);
    c.End();
    image.fill(Qt::white);
    EXPECT_TRUE(inverted == image);
}

TEST(PngEncoder, PicturesReadBackPixelForPixel)
{
    // Flat areas beside noise (RGB), or beside a few colours (a palette of 1, 2, 4 or 8 bits
    // an index), of odd sides and one pixel: the file reads back as the picture was.
    for (const int colours : {1, 2, 3, 9, 200, 1 << 24}) {
        for (const QSize size : {QSize(1, 1), QSize(97, 33), QSize(300, 211)}) {
            QImage image(size, QImage::Format_RGB32);
            uint32_t seed = 7;
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x) {
                    seed = seed * 1664525u + 1013904223u;
                    image.setPixel(x, y, x < size.width() / 2 ? qRgb(10, 200, 30) : ((seed >> 8) % colours) | 0xFF000000u);
                }
            std::string png;
            ASSERT_TRUE(EncodePng(size.width(), size.height(), reinterpret_cast<const uint32_t*>(image.constBits()),
                                  static_cast<size_t>(image.bytesPerLine() / 4), png));
            QImage back;
            ASSERT_TRUE(back.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG"));
            const bool indexed = back.format() == QImage::Format_Indexed8 || back.format() == QImage::Format_Mono ||
                                 back.format() == QImage::Format_MonoLSB;
            EXPECT_EQ(indexed, colours < 256 || size.width() == 1) << size.width();
            EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image) << size.width() << " " << colours;
        }
    }
    std::string none;
    const uint32_t pixel = 0;
    EXPECT_FALSE(EncodePng(0, 5, &pixel, 1, none));
    EXPECT_TRUE(none.empty());
    // The resolution goes with the picture (a HiDPI picture keeps its size on paper).
    std::string sharp;
    ASSERT_TRUE(EncodePng(1, 1, &pixel, 1, sharp, {7559, 7600}));
    QImage back;
    ASSERT_TRUE(back.loadFromData(reinterpret_cast<const uchar*>(sharp.data()), static_cast<int>(sharp.size()), "PNG"));
    EXPECT_EQ(std::vector<int>({back.dotsPerMeterX(), back.dotsPerMeterY()}), std::vector<int>({7559, 7600}));
}

TEST(BmpEncoder, PicturesReadBackPixelForPixel)
{
    // Sides whose rows need padding, and one pixel; the resolution goes with the picture.
    for (const QSize size : {QSize(1, 1), QSize(97, 33), QSize(64, 10)}) {
        QImage image(size, QImage::Format_RGB32);
        uint32_t seed = 11;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, (seed = seed * 1664525u + 1013904223u) | 0xFF000000u);
        std::string bmp;
        ASSERT_TRUE(EncodeBmp(size.width(), size.height(), reinterpret_cast<const uint32_t*>(image.constBits()),
                              static_cast<size_t>(image.bytesPerLine() / 4), bmp, 7559, 3780));
        QImage back;
        ASSERT_TRUE(back.loadFromData(reinterpret_cast<const uchar*>(bmp.data()), static_cast<int>(bmp.size()), "BMP"));
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image) << size.width();
        EXPECT_EQ(std::vector<int>({back.dotsPerMeterX(), back.dotsPerMeterY()}), std::vector<int>({7559, 3780}));
    }
    std::string none;
    const uint32_t pixel = 0;
    EXPECT_FALSE(EncodeBmp(3, 0, &pixel, 3, none));
    EXPECT_TRUE(none.empty());
}

TEST(QtCanvas, HiDpiOnePixelLineCoversTheDevicePixelsOfItsLogicalOnes)
{
    QImage image(80, 60, QImage::Format_RGB32);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::white);
    QtCanvas c(&image);
    EXPECT_EQ(c.Width(), 40);
    c.MoveTo(5, 10);
    c.LineTo(15, 10);   // the end point stays out
    c.End();
    for (const auto& [x, y, colour] : {std::tuple{10, 20, clBlack}, {29, 21, clBlack}, {30, 21, clWhite}, {12, 22, clWhite}})
        EXPECT_EQ(FromQColor(QColor(image.pixel(x, y))), colour) << x << "," << y;
}
