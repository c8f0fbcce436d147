#include "platform/qt/QtCanvas.h"

#include "platform/CodePage.h"
#include "platform/qt/LazyGuiApplication.h"
#include "platform/VisibleGeometry.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygon>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace corvane {

QColor ToQColor(Colour c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

Colour FromQColor(const QColor& c)
{
    return RGB(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue()));
}

bool IsLineDrawFont(const std::string& name)
{
    std::string n;
    for (char c : name) n += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return n == "ms linedraw";
}

QString FontFamilyFor(const std::string& name)
{
    std::string n;
    for (char c : name) n += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (n == "times new roman" || n == "times") return QStringLiteral("Liberation Serif");
    if (n == "courier new" || n == "courier") return QStringLiteral("Liberation Mono");
    if (n == "arial" || n == "ms sans serif" || n == "system" || n == "helvetica")
        return QStringLiteral("Liberation Sans");
    if (n == "ms linedraw") return QStringLiteral("DejaVu Sans Mono");
    return QString::fromStdString(name);
}

QString BytesToQString(const std::string& bytes, const std::string& fontName)
{
    return QString::fromStdString(IsLineDrawFont(fontName) ? Cp437ToUtf8(bytes) : Cp1252ToUtf8(bytes));
}

QSize LogicalSize(const QImage& image)
{
    const double r = image.devicePixelRatio();
    if (r == 1.0) return image.size();
    return QSize(static_cast<int>(std::lround(image.width() / r)), static_cast<int>(std::lround(image.height() / r)));
}

namespace {

// Dash patterns of one-pixel pens, in pixels: on, off, on, off...
const std::vector<int>& DashPattern(PenStyle s)
{
    static const std::vector<int> solid{};
    static const std::vector<int> dash{18, 6};
    static const std::vector<int> dot{3, 3};
    static const std::vector<int> dashDot{9, 6, 3, 6};
    static const std::vector<int> dashDotDot{9, 3, 3, 3, 3, 3};
    switch (s) {
    case PenStyle::Dash: return dash;
    case PenStyle::Dot: return dot;
    case PenStyle::DashDot: return dashDot;
    case PenStyle::DashDotDot: return dashDotDot;
    default: return solid;
    }
}

// 8 x 8 hatch bitmaps, MSB leftmost.
Pattern8 HatchBits(BrushStyle s)
{
    switch (s) {
    case BrushStyle::Horizontal: return {0, 0, 0, 0xFF, 0, 0, 0, 0};
    case BrushStyle::Vertical: return {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};
    case BrushStyle::FDiagonal: return {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
    case BrushStyle::BDiagonal: return {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    case BrushStyle::Cross: return {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08};
    case BrushStyle::DiagCross: return {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
    default: return {};
    }
}

QImage PatternImage(const Pattern8& bits, QRgb set, QRgb clear)
{
    QImage img(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) img.setPixel(x, y, (bits[static_cast<size_t>(y)] & (0x80 >> x)) ? set : clear);
    return img;
}

QRgb Opaque(Colour c) { return qRgb(RedOf(c), GreenOf(c), BlueOf(c)); }

} // namespace

QtCanvas::QtCanvas(QImage* image) : image_(image)
{
    ratio_ = image->devicePixelRatio() > 0 ? image->devicePixelRatio() : 1.0;
    width_ = LogicalSize(*image).width();
    height_ = LogicalSize(*image).height();
    int dpmX = image->dotsPerMeterX(), dpmY = image->dotsPerMeterY();
    ppiX_ = dpmX > 0 ? static_cast<int>(dpmX * 0.0254 + 0.5) : 96;
    ppiY_ = dpmY > 0 ? static_cast<int>(dpmY * 0.0254 + 0.5) : 96;
    font.pixelsPerInch = ppiY_;
}

QtCanvas::QtCanvas(QPainter* painter, int width, int height, int ppiX, int ppiY)
    : external_(painter), width_(width), height_(height), ppiX_(ppiX), ppiY_(ppiY)
{
    font.pixelsPerInch = ppiY_;
    // The tiles of patterns kept exact in a PDF file (never turned into JPEG).
    painter->setRenderHint(QPainter::LosslessImageRendering, true);
}

QtCanvas::~QtCanvas() { End(); }

void QtCanvas::End()
{
    if (own_) {
        own_->end();
        own_.reset();
    }
}

QPainter& QtCanvas::P()
{
    if (external_) return *external_;
    if (!own_) {
        own_ = std::make_unique<QPainter>(image_);
        own_->setRenderHint(QPainter::Antialiasing, false);
    }
    return *own_;
}

void QtCanvas::ApplyMode(QPainter& p) const
{
    p.setCompositionMode(pen.mode == PenMode::Not ? QPainter::RasterOp_NotDestination
                                                  : QPainter::CompositionMode_SourceOver);
}

int QtCanvas::QPenWidth() const
{
    if (pen.width > 1) return pen.width;
    return image_ && !external_ && ratio_ != 1.0 ? 1 : 0;
}

QRect QtCanvas::DeviceBlock(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return QRect();
    if (ratio_ == 1.0) return QRect(x, y, 1, 1);
    const int x0 = static_cast<int>(x * ratio_), x1 = std::min(image_->width(), static_cast<int>((x + 1) * ratio_));
    const int y0 = static_cast<int>(y * ratio_), y1 = std::min(image_->height(), static_cast<int>((y + 1) * ratio_));
    return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));
}

bool QtCanvas::PixelPath() const
{
    return image_ != nullptr && !external_ && pen.width <= 1;
}

QFont QtCanvas::CurrentFont() const
{
    EnsureFontSetUp();
    QFont f(FontFamilyFor(font.name));
    int h = font.height;
    if (h == 0) h = -13;
    f.setPixelSize(std::max(1, std::abs(h)));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    if (h > 0) {
        // A positive height is the whole cell; fit the face into it.
        QFontMetrics fm(f);
        if (fm.height() > h) f.setPixelSize(std::max(1, h * h / fm.height()));
    }
    return f;
}

QBrush QtCanvas::CurrentBrush() const
{
    if (brush.style == BrushStyle::Clear) return Qt::NoBrush;
    if (brush.style == BrushStyle::Solid) return QBrush(ToQColor(brush.colour));
    // A pattern's set bits take the text colour and its clear bits the background colour; a
    // hatch takes the brush colour, its gaps the background colour when the mode is opaque.
    const bool pattern = brush.style == BrushStyle::Pattern;
    const Pattern8 bits = pattern ? brush.pattern : HatchBits(brush.style);
    const QRgb set = Opaque(pattern ? textColour : brush.colour);
    const QRgb gap = pattern || bkMode == BkMode::Opaque ? Opaque(bkColour) : qRgba(0, 0, 0, 0);
    QBrush b(external_ ? PageTile(bits, set, gap) : PatternImage(bits, set, gap));
    if (patternOrigin.x != 0 || patternOrigin.y != 0 || patternScale != 1.0)
        b.setTransform(QTransform::fromTranslate(patternOrigin.x, patternOrigin.y).scale(patternScale, patternScale));
    return b;
}

const QImage& QtCanvas::PageTile(const Pattern8& bits, QRgb set, QRgb gap) const
{
    uint64_t row = 0;
    for (uint8_t b : bits) row = row << 8 | b;
    const TileKey key{row, set, gap};
    auto it = pageTiles_.find(key);
    if (it != pageTiles_.end()) return it->second;
    if (pageTiles_.size() >= kMostPageTiles) pageTiles_.clear();
    return pageTiles_.emplace(key, PatternImage(bits, set, gap)).first->second;
}

int QtCanvas::PatternRow(int y) const
{
    if (static_cast<size_t>(y) < patternRows_.size()) return patternRows_[static_cast<size_t>(y)] & 7;
    return PatternCell(y - patternOrigin.y);
}

int QtCanvas::PatternCell(int offset) const
{
    if (patternScale == 1.0) return offset & 7;
    return static_cast<int>(std::floor(offset / patternScale)) & 7;
}

void QtCanvas::SetPatternRows(std::vector<uint8_t> rows) { patternRows_ = std::move(rows); }

void QtCanvas::PlotPixel(int x, int y, bool on)
{
    if (ratio_ == 1.0 && lineBits_) {   // one device pixel, on the rows RasterLine found
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        QRgb& p = reinterpret_cast<QRgb*>(lineBits_ + static_cast<qsizetype>(y) * lineStride_)[x];
        if (pen.mode == PenMode::Not) {
            if (on) p = (~p & 0x00FFFFFF) | 0xFF000000;
        } else if (on) {
            p = Opaque(pen.colour);
        } else if (bkMode == BkMode::Opaque) {
            p = Opaque(bkColour);
        }
        return;
    }
    const QRect block = DeviceBlock(x, y);
    if (block.isEmpty()) return;
    const bool invert = pen.mode == PenMode::Not;
    if (!on && (invert || bkMode != BkMode::Opaque)) return;
    const QRgb value = on ? Opaque(pen.colour) : Opaque(bkColour);
    for (int dy = block.top(); dy <= block.bottom(); ++dy) {
        QRgb* line = reinterpret_cast<QRgb*>(image_->scanLine(dy));
        for (int dx = block.left(); dx <= block.right(); ++dx)
            line[dx] = invert ? (~line[dx] & 0x00FFFFFF) | 0xFF000000 : value;
    }
}

// Bresenham from (x1, y1) towards (x2, y2), the end point left out. Lines reaching far
// outside the picture are first clipped to a margin around it, so that a zoomed-in map with
// far-away vertices costs no more than the pixels it can touch.
void QtCanvas::RasterLine(int x1, int y1, int x2, int y2)
{
    if (pen.style == PenStyle::Clear) return;
    bool drawEnd = false;   // set when the end point was clipped away (so its pixel is not the end)
    long long sx1 = x1, sy1 = y1, sx2 = x2, sy2 = y2;
    int skipped = 0;
    if (ReachesFar(x1, y1) || ReachesFar(x2, y2)) {
        PointF a{static_cast<double>(x1), static_cast<double>(y1)}, b{static_cast<double>(x2), static_cast<double>(y2)};
        double t0 = 0.0, t1 = 1.0;
        if (!ClipSegment(a, b, DrawingBox(width_, height_, kLineMargin), &t0, &t1)) return;
        sx1 = std::llround(a.x);
        sy1 = std::llround(a.y);
        sx2 = std::llround(b.x);
        sy2 = std::llround(b.y);
        drawEnd = t1 < 1.0;
        const double len = std::max(std::fabs(static_cast<double>(x2) - x1), std::fabs(static_cast<double>(y2) - y1));
        skipped = static_cast<int>(std::fmod(t0 * len, 1e9));
    }
    const std::vector<int>& pat = DashPattern(pen.style);
    int total = 0;
    for (int v : pat) total += v;
    if (total > 0) dashPhase_ = (dashPhase_ + skipped % total) % total;
    long long dx = std::llabs(sx2 - sx1), dy = -std::llabs(sy2 - sy1);
    int stx = sx1 < sx2 ? 1 : -1, sty = sy1 < sy2 ? 1 : -1;
    long long err = dx + dy;
    long long x = sx1, y = sy1;
    long long steps = std::max(dx, -dy) + (drawEnd ? 1 : 0);
    lineBits_ = image_->bits();
    lineStride_ = image_->bytesPerLine();
    // The common pixel, inked in copy mode on an unscaled picture, is written here.
    const bool direct = ratio_ == 1.0 && pen.mode == PenMode::Copy;
    const QRgb ink = Opaque(pen.colour);
    for (long long step = 0; step < steps; ++step) {
        bool on = true;
        if (total > 0) {
            int ph = dashPhase_ % total, acc = 0;
            for (size_t k = 0; k < pat.size(); ++k) {
                acc += pat[k];
                if (ph < acc) { on = (k % 2 == 0); break; }
            }
            dashPhase_ = (dashPhase_ + 1) % total;
        }
        if (direct && on) {
            if (static_cast<unsigned long long>(x) < static_cast<unsigned long long>(width_) &&
                static_cast<unsigned long long>(y) < static_cast<unsigned long long>(height_))
                reinterpret_cast<QRgb*>(lineBits_ + y * lineStride_)[x] = ink;
        } else {
            PlotPixel(static_cast<int>(x), static_cast<int>(y), on);
        }
        // The step, without branches (their direction changes from pixel to pixel).
        const long long e2 = 2 * err;
        const bool stepX = e2 >= dy, stepY = e2 <= dx;
        err += (stepX ? dy : 0) + (stepY ? dx : 0);
        x += stepX ? stx : 0;
        y += stepY ? sty : 0;
    }
    lineBits_ = nullptr;
}

void QtCanvas::PainterLine(int x1, int y1, int x2, int y2)
{
    if (pen.style == PenStyle::Clear) return;
    QPainter& p = P();
    QPen qp(ToQColor(pen.colour));
    qp.setWidth(QPenWidth());
    qp.setCapStyle(pen.width <= 1 ? Qt::FlatCap : Qt::RoundCap);
    qp.setJoinStyle(Qt::RoundJoin);
    switch (pen.style) {
    case PenStyle::Dash: qp.setStyle(Qt::DashLine); break;
    case PenStyle::Dot: qp.setStyle(Qt::DotLine); break;
    case PenStyle::DashDot: qp.setStyle(Qt::DashDotLine); break;
    case PenStyle::DashDotDot: qp.setStyle(Qt::DashDotDotLine); break;
    default: qp.setStyle(Qt::SolidLine); break;
    }
    p.setBackgroundMode(bkMode == BkMode::Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    p.setBackground(ToQColor(bkColour));
    ApplyMode(p);
    p.setBrush(Qt::NoBrush);
    if (!ReachesFar(x1, y1) && !ReachesFar(x2, y2)) {
        p.setPen(qp);
        p.drawLine(x1, y1, x2, y2);
        return;
    }
    // Only the piece near the picture is stroked, its dashes where they would have fallen.
    PointF a{static_cast<double>(x1), static_cast<double>(y1)}, b{static_cast<double>(x2), static_cast<double>(y2)};
    double t0 = 0.0;
    if (!ClipSegment(a, b, DrawingBox(width_, height_, pen.width + kLineMargin), &t0)) return;
    const double skipped = t0 * std::hypot(static_cast<double>(x2) - x1, static_cast<double>(y2) - y1);
    if (qp.style() != Qt::SolidLine) qp.setDashOffset(std::fmod(skipped / std::max(1, QPenWidth()), 1e6));
    p.setPen(qp);
    p.drawLine(QLineF(a.x, a.y, b.x, b.y));
}

void QtCanvas::LineTo(int x, int y)
{
    if (!(penPos_ == lastEnd_)) dashPhase_ = 0;
    if (PixelPath()) RasterLine(penPos_.x, penPos_.y, x, y);
    else PainterLine(penPos_.x, penPos_.y, x, y);
    penPos_ = {x, y};
    lastEnd_ = penPos_;
}

void QtCanvas::Polyline(const std::vector<Point>& pts)
{
    if (pts.empty()) return;
    Point saved = penPos_;
    MoveTo(pts[0].x, pts[0].y);
    dashPhase_ = 0;
    lastEnd_ = penPos_;
    for (size_t i = 1; i < pts.size(); ++i) LineTo(pts[i].x, pts[i].y);
    penPos_ = saved;   // Polyline does not move the pen position
}

void QtCanvas::OutlinePoints(const std::vector<Point>& pts, bool closed)
{
    if (pts.size() < 2 || pen.style == PenStyle::Clear) return;
    Point saved = penPos_;
    MoveTo(pts[0].x, pts[0].y);
    dashPhase_ = 0;
    lastEnd_ = penPos_;
    for (size_t i = 1; i < pts.size(); ++i) LineTo(pts[i].x, pts[i].y);
    if (closed) LineTo(pts[0].x, pts[0].y);
    penPos_ = saved;
}

bool QtCanvas::ReachesFar(long long x, long long y) const
{
    const long long far = static_cast<long long>(width_ + height_) * 2 + 64;
    return x < -far || y < -far || x > width_ + far || y > height_ + far;
}

void QtCanvas::FillPolygon(const std::vector<Point>& pts)
{
    QPainter& p = P();
    ApplyMode(p);
    p.setPen(Qt::NoPen);
    p.setBrush(CurrentBrush());
    p.setBrushOrigin(0, 0);
    if (external_) {
        // A page (or a picture) of vectors: the ring cut to the page and a margin.
        const std::vector<PointF> cut = ClipRing(pts, DrawingBox(width_, height_, kLineMargin));
        QPolygonF poly;
        poly.reserve(static_cast<qsizetype>(cut.size()));
        for (const PointF& pt : cut) poly << QPointF(pt.x, pt.y);
        if (!poly.isEmpty()) p.drawPolygon(poly, Qt::OddEvenFill);
        return;
    }
    if (RowCrossings(pts, 0, height_) <= kPainterCrossings) {
        QPolygon poly;
        poly.reserve(static_cast<qsizetype>(pts.size()));
        for (const Point& pt : pts) poly << QPoint(pt.x, pt.y);
        p.drawPolygon(poly, Qt::OddEvenFill);
        return;
    }
    // Edges crossing the rows of the picture many times: the rows are filled here, their
    // crossings taken to whole pixels (the painter's fill would sort them row by row).
    std::vector<PointF> ring;
    ring.reserve(pts.size());
    for (const Point& pt : pts) ring.push_back({static_cast<double>(pt.x), static_cast<double>(pt.y)});
    std::vector<Rect> spans;
    OddEvenSpans(ring, {0, 0, width_, height_}, spans);
    if (spans.empty()) return;
    if (pen.mode == PenMode::Copy && WritesPixels()) {
        FillSpans(spans);
        return;
    }
    // Inverting, or on a scaled picture: the brush through the spans as one clip region.
    std::vector<QRect> rects;
    rects.reserve(spans.size());
    for (const Rect& r : spans) rects.emplace_back(r.left, r.top, r.Width(), r.Height());
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    p.setClipRegion(region);
    p.fillRect(region.boundingRect(), CurrentBrush());
    p.setClipping(false);
}

void QtCanvas::Polygon(const std::vector<Point>& pts)
{
    if (pts.empty()) return;
    if (brush.style != BrushStyle::Clear) {
        std::vector<Point> ring = pts;
        ThinPoints(ring, true);
        FillPolygon(ring);
    }
    if (PixelPath()) {
        OutlinePoints(pts, true);
    } else if (pen.style != PenStyle::Clear) {
        Point saved = penPos_;
        for (size_t i = 0; i < pts.size(); ++i) {
            const Point& a = pts[i];
            const Point& b = pts[(i + 1) % pts.size()];
            PainterLine(a.x, a.y, b.x, b.y);
        }
        penPos_ = saved;
    }
}

void QtCanvas::FillQRect(const QRect& r)
{
    if (r.width() <= 0 || r.height() <= 0 || brush.style == BrushStyle::Clear) return;
    if (!patternRows_.empty() && brush.style != BrushStyle::Solid && pen.mode == PenMode::Copy && WritesPixels()) {
        FillSpans({{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}});   // the rows' own pattern rows
        return;
    }
    QPainter& p = P();
    ApplyMode(p);
    p.setBrushOrigin(0, 0);
    p.fillRect(r, CurrentBrush());
}

void QtCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    bool penOn = pen.style != PenStyle::Clear;
    // Without a pen the fill stops one pixel short of the right and bottom edges; with a
    // one-pixel pen the outline covers the edge columns and rows of the box and the brush fills
    // what lies inside it, so every pixel is painted (or inverted) once.
    if (!penOn) {
        FillQRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
        return;
    }
    if (PixelPath()) {
        FillQRect(QRect(x1 + 1, y1 + 1, x2 - x1 - 2, y2 - y1 - 2));
        OutlinePoints({{x1, y1}, {x2 - 1, y1}, {x2 - 1, y2 - 1}, {x1, y2 - 1}}, true);
        return;
    }
    FillQRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    QPainter& p = P();
    QPen qp(ToQColor(pen.colour));
    qp.setWidth(QPenWidth());
    qp.setJoinStyle(Qt::MiterJoin);
    ApplyMode(p);
    p.setPen(qp);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void QtCanvas::FillRect(const Rect& r)
{
    int x1 = r.left, x2 = r.right, y1 = r.top, y2 = r.bottom;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    PenMode saved = pen.mode;
    pen.mode = PenMode::Copy;   // FillRect ignores the mix mode
    FillQRect(QRect(x1, y1, x2 - x1, y2 - y1));
    pen.mode = saved;
}

// The canvas's own painter is never clipped or transformed, so on an unscaled image of 32-bit
// pixels a pixel of the canvas is a pixel of the image.
bool QtCanvas::WritesPixels() const
{
    if (!image_ || external_ || ratio_ != 1.0) return false;
    const QImage::Format f = image_->format();
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

bool QtCanvas::FillsSpans() const { return WritesPixels() || GathersFills(); }

bool QtCanvas::GathersFills() const { return external_ != nullptr; }

void QtCanvas::FillSpans(const std::vector<Rect>& spans)
{
    if (!WritesPixels()) {
        if (GathersFills()) FillSpansAsFigure(spans);
        else Canvas::FillSpans(spans);
        return;
    }
    if (brush.style == BrushStyle::Clear || spans.empty()) return;
    // The brush as an 8 x 8 tile anchored at the pattern origin, as the painter lays it: the
    // set bits of a pattern take the text colour and its clear bits the background colour;
    // a hatch takes the brush colour, its gaps the background colour when the mode is
    // opaque and are left alone when it is transparent.
    const bool solid = brush.style == BrushStyle::Solid;
    const Pattern8 bits = brush.style == BrushStyle::Pattern ? brush.pattern : HatchBits(brush.style);
    const QRgb set = Opaque(brush.style == BrushStyle::Pattern ? textColour : brush.colour);
    const bool gapsPainted = brush.style == BrushStyle::Pattern || bkMode == BkMode::Opaque;
    const QRgb gap = Opaque(bkColour);
    const int ox = patternOrigin.x;
    const bool bitPerPixel = patternScale == 1.0;
    auto* const pixels = reinterpret_cast<QRgb*>(image_->bits());
    const qsizetype stride = image_->bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    const int w = image_->width(), h = image_->height();
    for (const Rect& r : spans) {
        const int x1 = std::max(0, std::min(r.left, r.right)), x2 = std::min(w, std::max(r.left, r.right));
        const int y1 = std::max(0, std::min(r.top, r.bottom)), y2 = std::min(h, std::max(r.top, r.bottom));
        if (x1 >= x2 || y1 >= y2) continue;
        for (int y = y1; y < y2; ++y) {
            QRgb* line = pixels + static_cast<qsizetype>(y) * stride;
            const uint8_t row = solid ? 0xFF : bits[static_cast<size_t>(PatternRow(y))];
            if (row == 0xFF || (row == 0 && gapsPainted)) {
                std::fill(line + x1, line + x2, row ? set : gap);
            } else if (!bitPerPixel) {
                // Bits of several pixels (or of a fraction of one): each pixel by itself.
                for (int x = x1; x < x2; ++x) {
                    if (row & (0x80 >> PatternCell(x - ox))) line[x] = set;
                    else if (gapsPainted) line[x] = gap;
                }
            } else if (gapsPainted) {
                // The row of the tile, then whole tiles from the first column of one.
                QRgb tile[8];
                for (int b = 0; b < 8; ++b) tile[b] = row & (0x80 >> b) ? set : gap;
                int x = x1;
                for (; x < x2 && ((x - ox) & 7) != 0; ++x) line[x] = tile[(x - ox) & 7];
                for (; x + 8 <= x2; x += 8) std::memcpy(line + x, tile, sizeof tile);
                for (; x < x2; ++x) line[x] = tile[(x - ox) & 7];
            } else {
                // Only the set bits: every eighth pixel from the first of each.
                for (int b = 0; b < 8; ++b)
                    if (row & (0x80 >> b))
                        for (int x = x1 + ((b + ox - x1) & 7); x < x2; x += 8) line[x] = set;
            }
        }
    }
}

void QtCanvas::FillSpansAsFigure(const std::vector<Rect>& spans)
{
    if (brush.style == BrushStyle::Clear || spans.empty()) return;
    // Boxes of the same sides one under the other become one box.
    struct Box {
        int left, top, right, bottom;
    };
    std::vector<Box> boxes;
    boxes.reserve(spans.size());
    std::unordered_map<uint64_t, size_t> last;   // by its sides: the box a box below may join
    for (const Rect& r : spans) {
        const int l = std::min(r.left, r.right), rt = std::max(r.left, r.right);
        const int t = std::min(r.top, r.bottom), b = std::max(r.top, r.bottom);
        if (l >= rt || t >= b) continue;
        const uint64_t sides = static_cast<uint64_t>(static_cast<uint32_t>(l)) << 32 | static_cast<uint32_t>(rt);
        const auto it = last.find(sides);
        if (it != last.end() && boxes[it->second].bottom == t) {
            boxes[it->second].bottom = b;
            continue;
        }
        last[sides] = boxes.size();
        boxes.push_back({l, t, rt, b});
    }
    // Figures of up to kBoxesPerFigure boxes, overlapping boxes filled once (non-zero
    // winding): a reader of the page takes much longer over one figure of very many boxes
    // than over several of fewer.
    QPainter& p = P();
    ApplyMode(p);
    p.setBrushOrigin(0, 0);
    const QBrush fill = CurrentBrush();
    for (size_t first = 0; first < boxes.size(); first += kBoxesPerFigure) {
        QPainterPath figure;
        figure.setFillRule(Qt::WindingFill);
        for (size_t i = first; i < std::min(boxes.size(), first + kBoxesPerFigure); ++i) {
            const Box& b = boxes[i];
            figure.addRect(b.left, b.top, b.right - b.left, b.bottom - b.top);
        }
        p.fillPath(figure, fill);
    }
}

// Sets up the painter for a filled, outlined figure in the box (x1, y1)-(x2, y2) and returns
// the box with its right and bottom edges left out.
QRect QtCanvas::PrepareFigure(int x1, int y1, int x2, int y2)
{
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    QPainter& p = P();
    ApplyMode(p);
    if (pen.style == PenStyle::Clear) {
        p.setPen(Qt::NoPen);
    } else {
        QPen qp(ToQColor(pen.colour));
        qp.setWidth(QPenWidth());
        p.setPen(qp);
    }
    p.setBrush(CurrentBrush());
    p.setBrushOrigin(0, 0);
    return QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
}

void QtCanvas::RoundRect(int x1, int y1, int x2, int y2, int cw, int ch)
{
    QRect box = PrepareFigure(x1, y1, x2, y2);
    P().drawRoundedRect(box, cw / 2.0, ch / 2.0);
}

void QtCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    QRect box = PrepareFigure(x1, y1, x2, y2);
    P().drawEllipse(box);
}

void QtCanvas::TextOut(int x, int y, const std::string& text)
{
    QPainter& p = P();
    QFont f = CurrentFont();
    QString s = BytesToQString(text, font.name);
    p.setFont(f);
    QFontMetrics fm(f, p.device());
    int w = fm.horizontalAdvance(s);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // The text cell is filled here when the mode is opaque; the painter's own background mode,
    // left by a line drawn before, must not fill it again (in the painter's background colour).
    p.setBackgroundMode(Qt::TransparentMode);
    if (bkMode == BkMode::Opaque) p.fillRect(QRect(x, y, w, fm.height()), ToQColor(bkColour));
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setPen(ToQColor(font.colour));
    p.drawText(x, y + fm.ascent(), s);
    penPos_ = {x + w, y};
}

void QtCanvas::TextOutHalo(int x, int y, const std::string& text, Colour halo, int width)
{
    if (!external_ || width <= 1) {
        Canvas::TextOutHalo(x, y, text, halo, width);
        return;
    }
    // On a page the halo is the outline of the glyphs stroked width on each side: one figure
    // rather than a copy of the text at every offset.
    QPainter& p = P();
    const QFont f = CurrentFont();
    const QFontMetrics fm(f, p.device());
    QPainterPath glyphs;
    glyphs.addText(x, y + fm.ascent(), f, BytesToQString(text, font.name));
    QPainterPathStroker stroker;
    stroker.setWidth(2.0 * width);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillPath(stroker.createStroke(glyphs), ToQColor(halo));
    TextOut(x, y, text);
}

int QtCanvas::TextWidth(const std::string& text)
{
    QFont f = CurrentFont();
    QFontMetrics fm(f, external_ ? external_->device() : image_);
    return fm.horizontalAdvance(BytesToQString(text, font.name));
}

int QtCanvas::TextHeight(const std::string&)
{
    QFont f = CurrentFont();
    QFontMetrics fm(f, external_ ? external_->device() : image_);
    return fm.height();
}

void QtCanvas::SetPixel(int x, int y, Colour c)
{
    if (image_ && !external_) {
        const QRect block = DeviceBlock(x, y);
        for (int dy = block.top(); dy <= block.bottom(); ++dy) {
            QRgb* line = reinterpret_cast<QRgb*>(image_->scanLine(dy));
            std::fill(line + block.left(), line + block.right() + 1, Opaque(c));
        }
        return;
    }
    QPainter& p = P();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillRect(QRect(x, y, 1, 1), ToQColor(c));
}

Colour QtCanvas::GetPixel(int x, int y) const
{
    const QRect block = image_ ? DeviceBlock(x, y) : QRect();
    if (block.isEmpty()) return 0;
    return FromQColor(QColor(image_->pixel(block.topLeft())));
}

std::unique_ptr<Picture> QtCanvas::CopyPicture() const
{
    if (!image_) return std::make_unique<QtPicture>(QImage());
    return std::make_unique<QtPicture>(image_->copy());
}

void QtCanvas::DrawPicture(int x, int y, const Picture& picture)
{
    const auto* qp = dynamic_cast<const QtPicture*>(&picture);
    if (!qp || qp->Image().isNull()) return;
    QPainter& p = P();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(x, y, qp->Image());
}

} // namespace corvane
