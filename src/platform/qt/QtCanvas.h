#pragma once
// The canvas on Qt: a QPainter (aliased) on a QImage for the screen picture and saved
// bitmaps, or on a printer page. One-pixel lines and box outlines on images are rasterised
// here, so that the classic pixel rules hold exactly (end points not drawn, dash patterns
// and "not" mode); fills and wide lines go through QPainter. What reaches the painter is cut
// to what can be seen (VisibleGeometry.h): lines reaching far past the picture or page are cut
// to it, a polygon on a page is cut to the page, and a polygon whose edges cross the rows of a
// picture very many times is filled here row by row, as spans, rather than by the painter.
// An image with a device pixel ratio above 1 (a HiDPI screen) is painted in its logical
// coordinates: the painter scales fills, wide lines, figures and text to the device pixels,
// and each pixel of a hand-rasterised line or SetPixel covers its square of device pixels, so
// the pixel rules hold at the logical size and a one-pixel line is ratio device pixels wide.
#include "platform/Canvas.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

#include <map>
#include <memory>
#include <tuple>
#include <vector>

class QPaintDevice;

namespace corvane {

QColor ToQColor(Colour c);
Colour FromQColor(const QColor& c);

// Font family that stands for a classic font name ("Times New Roman" gives a metric-compatible
// serif face, "MS LineDraw" a monospace face with the box-drawing glyphs).
QString FontFamilyFor(const std::string& name);
// Whether a font name means the bytes are DOS code page 437 rather than Windows-1252.
bool IsLineDrawFont(const std::string& name);
// The bytes of a data-file string as a QString for the given font.
QString BytesToQString(const std::string& bytes, const std::string& fontName = std::string());

// An image's size in logical pixels.
QSize LogicalSize(const QImage& image);

class QtPicture : public Picture {
public:
    explicit QtPicture(QImage image) : image_(std::move(image)) {}
    // The size in logical pixels (the device pixels divided by the image's pixel ratio).
    int Width() const override { return LogicalSize(image_).width(); }
    int Height() const override { return LogicalSize(image_).height(); }
    const QImage& Image() const { return image_; }

private:
    QImage image_;
};

class QtCanvas : public Canvas {
public:
    // Paints on an image (screen picture, bitmap). The image must outlive the canvas; its
    // resolution is taken from its dots per metre (96 per inch when unset).
    explicit QtCanvas(QImage* image);
    // Paints through a painter that is already active on another device (a printer page).
    QtCanvas(QPainter* painter, int width, int height, int ppiX, int ppiY);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    // Ends the canvas's own painter, if any, so the image may be shown or resized. The next
    // drawing operation starts a new one.
    void End();

    QImage* Image() const { return image_; }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int PixelsPerInchX() const override { return ppiX_; }
    int PixelsPerInchY() const override { return ppiY_; }

    void LineTo(int x, int y) override;
    void Polyline(const std::vector<Point>& pts) override;
    void Polygon(const std::vector<Point>& pts) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void FillRect(const Rect& r) override;
    void RoundRect(int x1, int y1, int x2, int y2, int cw, int ch) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void TextOut(int x, int y, const std::string& text) override;
    // On a page, a halo wider than a pixel is the glyphs' outline stroked as one figure.
    void TextOutHalo(int x, int y, const std::string& text, Colour halo, int width) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void SetPixel(int x, int y, Colour c) override;
    Colour GetPixel(int x, int y) const override;
    // On an image of 32-bit pixels at a pixel ratio of 1, spans are written into the image's
    // scanlines directly; elsewhere (a printer page, a picture at a higher pixel ratio) they
    // are filled through the painter.
    // On a printer page (or PDF file) the spans of one call are filled as one figure, the
    // boxes of the same sides one under the other joined: every fill is an object of the page.
    bool FillsSpans() const override;
    void FillSpans(const std::vector<Rect>& spans) override;
    bool GathersFills() const override;
    // The pattern row (0..7) of each row of the image, for a picture that is resampled row by
    // row afterwards (a web map tile, whose rows must carry the pattern of the rows they
    // become); rows beyond the table follow patternOrigin and patternScale. Empty: none.
    void SetPatternRows(std::vector<uint8_t> rows);
    std::unique_ptr<Picture> CopyPicture() const override;
    void DrawPicture(int x, int y, const Picture& picture) override;

private:
    QPainter& P();
    QFont CurrentFont() const;
    // The brush, its bitmap anchored at patternOrigin and scaled by patternScale.
    QBrush CurrentBrush() const;
    // The 8 x 8 image of a pattern on a page, made once for the canvas: a page (a PDF file)
    // keeps one image for every use of the same image, however many fills use it.
    const QImage& PageTile(const Pattern8& bits, QRgb set, QRgb gap) const;
    // The pattern row of image row y, and the bit of a pixel offset from the pattern origin.
    int PatternRow(int y) const;
    int PatternCell(int offset) const;
    void FillSpansAsFigure(const std::vector<Rect>& spans);
    bool PixelPath() const;   // one-pixel line rasterised by hand on an image
    void PlotPixel(int x, int y, bool on);
    void RasterLine(int x1, int y1, int x2, int y2);
    void PainterLine(int x1, int y1, int x2, int y2);
    void OutlinePoints(const std::vector<Point>& pts, bool closed);
    // Whether a point lies so far outside the picture (more than twice its width and height
    // beyond it) that a line to it is first cut to the picture and a margin.
    bool ReachesFar(long long x, long long y) const;
    // The brush through a ring (repeated points already dropped), odd-even.
    void FillPolygon(const std::vector<Point>& pts);
    void FillQRect(const QRect& r);
    QRect PrepareFigure(int x1, int y1, int x2, int y2);
    void ApplyMode(QPainter& p) const;
    bool WritesPixels() const;
    // The width of a QPen for the canvas pen: 0 (cosmetic) for a one-pixel pen unless the
    // image is scaled, where a one-pixel pen covers ratio device pixels.
    int QPenWidth() const;
    // The device pixels that logical pixel (x, y) covers, inside the image (empty outside it).
    QRect DeviceBlock(int x, int y) const;

    // Pixels beyond the picture that a cut line or ring keeps (beside a wide pen's width).
    static constexpr double kLineMargin = 4.0;
    // A ring whose edges cross the picture's rows more often than this is filled row by row
    // here rather than by the painter.
    static constexpr int64_t kPainterCrossings = 8192;

    QImage* image_ = nullptr;
    std::unique_ptr<QPainter> own_;
    QPainter* external_ = nullptr;
    int width_ = 0, height_ = 0, ppiX_ = 96, ppiY_ = 96;
    double ratio_ = 1.0;   // device pixels per logical pixel of the image
    uchar* lineBits_ = nullptr;   // the image's pixels and bytes per row, found by RasterLine
    qsizetype lineStride_ = 0;
    int dashPhase_ = 0;
    Point lastEnd_{INT32_MIN, INT32_MIN};
    std::vector<uint8_t> patternRows_;
    using TileKey = std::tuple<uint64_t, QRgb, QRgb>;
    static constexpr size_t kMostPageTiles = 256;
    static constexpr size_t kBoxesPerFigure = 1024;
    mutable std::map<TileKey, QImage> pageTiles_;
};

} // namespace corvane
