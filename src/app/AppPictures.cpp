#include "app/AppPictures.h"

#include "platform/VersionInfo.h"
#include "platform/qt/QtCanvas.h"

#include <QBitmap>
#include <QLinearGradient>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <tuple>

namespace corvane {

namespace {

const QColor kSea(0x2b, 0x6c, 0xb0);
const QColor kLand(0x7a, 0xa8, 0x4c);
const QColor kInk(0x20, 0x20, 0x20);

QPixmap Blank(int w, int h)
{
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

// A small island outline in a 20 x 20 box.
QPainterPath Island(double dx = 0, double dy = 0)
{
    QPainterPath p;
    p.moveTo(4 + dx, 12 + dy);
    p.cubicTo(3 + dx, 6 + dy, 9 + dx, 3 + dy, 12 + dx, 5 + dy);
    p.cubicTo(16 + dx, 6 + dy, 18 + dx, 10 + dy, 15 + dx, 13 + dy);
    p.cubicTo(13 + dx, 17 + dy, 6 + dx, 17 + dy, 4 + dx, 12 + dy);
    return p;
}

void Grid(QPainter& p, QColor c, int step = 5)
{
    p.setPen(QPen(c, 1));
    for (int v = 2; v <= 18; v += step) {
        p.drawLine(2, v, 18, v);
        p.drawLine(v, 2, v, 18);
    }
}

void Text(QPainter& p, const QString& t, QColor c, int px, QRect r = QRect(0, 0, 20, 20), bool bold = true)
{
    QFont f(FontFamilyFor("Arial"));
    f.setPixelSize(px);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, t);
}

void Page(QPainter& p)
{
    p.setPen(kInk);
    p.setBrush(Qt::white);
    QPolygon page({QPoint(4, 1), QPoint(12, 1), QPoint(16, 5), QPoint(16, 18), QPoint(4, 18)});
    p.drawPolygon(page);
    p.drawPolyline(QPolygon({QPoint(12, 1), QPoint(12, 5), QPoint(16, 5)}));
}

void Printer(QPainter& p)
{
    p.setPen(kInk);
    p.setBrush(Qt::white);
    p.drawRect(5, 2, 10, 6);
    p.setBrush(QColor(0xb0, 0xb0, 0xb0));
    p.drawRect(2, 8, 16, 7);
    p.setBrush(Qt::white);
    p.drawRect(5, 13, 10, 5);
    p.setPen(QColor(0x30, 0xa0, 0x30));
    p.drawPoint(15, 10);
}

void Legend(QPainter& p, QColor frame, QColor a, QColor b)
{
    p.setPen(frame);
    p.setBrush(Qt::white);
    p.drawRect(2, 2, 15, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(a);
    p.drawRect(4, 5, 4, 3);
    p.setBrush(b);
    p.drawRect(4, 11, 4, 3);
    p.setPen(kInk);
    p.drawLine(10, 6, 15, 6);
    p.drawLine(10, 12, 15, 12);
}

void Arrow(QPainter& p, bool left, const QColor& ink)
{
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    if (left)
        p.drawPolygon(QPolygon({QPoint(1, 10), QPoint(7, 4), QPoint(7, 16)}));
    else
        p.drawPolygon(QPolygon({QPoint(19, 10), QPoint(13, 4), QPoint(13, 16)}));
}

void Layers(QPainter& p, int dx)
{
    p.setPen(kInk);
    p.setBrush(QColor(0xd8, 0xe8, 0xf8));
    p.drawPolygon(QPolygon({QPoint(3 + dx, 12), QPoint(9 + dx, 9), QPoint(15 + dx, 12), QPoint(9 + dx, 15)}));
    p.setBrush(QColor(0xf0, 0xc0, 0x40));
    p.drawPolygon(QPolygon({QPoint(3 + dx, 8), QPoint(9 + dx, 5), QPoint(15 + dx, 8), QPoint(9 + dx, 11)}));
}

// A row of colour swatches below a glyph: the colour buttons.
void Swatches(QPainter& p)
{
    const QColor c[] = {Qt::red, Qt::yellow, Qt::green, Qt::blue};
    for (int i = 0; i < 4; ++i) p.fillRect(2 + i * 4, 16, 4, 3, c[i]);
}

// Each glyph is drawn with the ink given for its free-standing strokes and letters.
using Painter = void (*)(QPainter&, const QColor& ink);

const QMap<QString, Painter>& Glyphs()
{
    static const QMap<QString, Painter> glyphs = {
        {"FileNewSpdBtn", [](QPainter& p, const QColor&) { Page(p); }},
        {"FileOpenSpdBtn",
         [](QPainter& p, const QColor&) {
             p.setPen(kInk);
             p.setBrush(QColor(0xf0, 0xd0, 0x60));
             p.drawPolygon(QPolygon({QPoint(1, 5), QPoint(7, 5), QPoint(9, 7), QPoint(17, 7), QPoint(17, 17), QPoint(1, 17)}));
             p.setBrush(QColor(0xf8, 0xe4, 0x90));
             p.drawPolygon(QPolygon({QPoint(1, 17), QPoint(4, 10), QPoint(19, 10), QPoint(17, 17)}));
         }},
        {"FileSaveSpdBtn",
         [](QPainter& p, const QColor&) {
             p.setPen(kInk);
             p.setBrush(QColor(0x30, 0x50, 0x90));
             p.drawRect(2, 2, 16, 16);
             p.setBrush(Qt::white);
             p.drawRect(5, 2, 10, 6);
             p.setBrush(QColor(0xc0, 0xc0, 0xc0));
             p.drawRect(5, 12, 10, 6);
         }},
        {"PageSetUpSpdBtn",
         [](QPainter& p, const QColor&) {
             Page(p);
             p.setPen(QPen(QColor(0xc0, 0x30, 0x30), 1, Qt::DotLine));
             p.setBrush(Qt::NoBrush);
             p.drawRect(6, 7, 8, 9);
         }},
        {"PrintSpdBtn", [](QPainter& p, const QColor&) { Printer(p); }},
        {"PrintSetUpSpdBtn",
         [](QPainter& p, const QColor&) {
             Printer(p);
             p.setPen(QPen(QColor(0xc0, 0x30, 0x30), 2));
             p.drawLine(12, 19, 19, 12);
         }},
        {"DSListSpdBtn",
         [](QPainter& p, const QColor& ink) {
             for (int y : {4, 9, 14}) {
                 p.setPen(Qt::NoPen);
                 p.setBrush(kSea);
                 p.drawRect(2, y, 3, 3);
                 p.setPen(ink);
                 p.drawLine(7, y + 1, 17, y + 1);
             }
         }},
        {"DSOrderSpdBtn",
         [](QPainter& p, const QColor& ink) {
             p.setPen(ink);
             for (int y : {4, 9, 14}) p.drawLine(8, y + 1, 18, y + 1);
             p.setPen(Qt::NoPen);
             p.setBrush(kSea);
             p.drawPolygon(QPolygon({QPoint(1, 7), QPoint(4, 2), QPoint(7, 7)}));
             p.drawPolygon(QPolygon({QPoint(1, 12), QPoint(4, 17), QPoint(7, 12)}));
         }},
        {"SelectOverlaySpdBtn", [](QPainter& p, const QColor&) { Layers(p, 1); }},
        {"PreviousOverlaySpdBtn",
         [](QPainter& p, const QColor& ink) {
             Layers(p, 4);
             Arrow(p, true, ink);
         }},
        {"NextOverlaySpdBtn",
         [](QPainter& p, const QColor& ink) {
             Layers(p, -2);
             Arrow(p, false, ink);
         }},
        {"LandInfillSpdBtn",
         [](QPainter& p, const QColor&) {
             p.setPen(QPen(kInk, 1));
             p.setBrush(kLand);
             p.drawPath(Island());
         }},
        {"LandOutlineSpdBtn",
         [](QPainter& p, const QColor& ink) {
             p.setPen(QPen(ink, 1.5));
             p.setBrush(Qt::NoBrush);
             p.drawPath(Island());
         }},
        {"BackgroundSpdBtn",
         [](QPainter& p, const QColor&) {
             p.setPen(kInk);
             p.setBrush(kSea);
             p.drawRect(2, 2, 16, 16);
             p.setPen(QPen(Qt::white, 1));
             p.drawArc(4, 6, 6, 4, 0, 180 * 16);
             p.drawArc(10, 11, 6, 4, 0, 180 * 16);
         }},
        {"BaseKeySpdBtn", [](QPainter& p, const QColor&) { Legend(p, kInk, kLand, QColor(0xe0, 0xd0, 0x90)); }},
        {"OverlayKeySpdBtn", [](QPainter& p, const QColor&) { Legend(p, kInk, QColor(0xd0, 0x30, 0x30), QColor(0xf0, 0xa0, 0x20)); }},
        {"GridDisplaySpdBtn", [](QPainter& p, const QColor& ink) { Grid(p, ink); }},
        {"GridAutoSpdBtn",
         [](QPainter& p, const QColor& ink) {
             Grid(p, QColor(0xa0, 0xa0, 0xa0));
             Text(p, "A", ink, 13);
         }},
        {"GraticuleDMSSpdBtn", [](QPainter& p, const QColor& ink) { Text(p, QString::fromUtf8("\u00b0'\""), ink, 13); }},
        {"GraticuleDDSpdBtn", [](QPainter& p, const QColor& ink) { Text(p, ".0\u00b0", ink, 10); }},
        {"ViewInfoSpdBtn",
         [](QPainter& p, const QColor&) {
             p.setPen(kInk);
             p.setBrush(QColor(0xd8, 0xe8, 0xf8));
             p.drawEllipse(2, 2, 16, 16);
             Text(p, "i", kSea, 13);
         }},
        {"SourceSpdBtn",
         [](QPainter& p, const QColor&) {
             p.setPen(kInk);
             p.setBrush(QColor(0x90, 0x40, 0x30));
             p.drawRect(4, 2, 12, 16);
             p.setBrush(Qt::white);
             p.drawRect(6, 4, 8, 4);
         }},
        {"FillColourSpdBtn",
         [](QPainter& p, const QColor&) {
             p.setPen(Qt::NoPen);
             p.setBrush(kLand);
             p.drawPath(Island(0, -2));
             Swatches(p);
         }},
        {"OutlineColourSpdBtn",
         [](QPainter& p, const QColor&) {
             p.setPen(QPen(QColor(0xc0, 0x30, 0x30), 1.5));
             p.setBrush(Qt::NoBrush);
             p.drawPath(Island(0, -2));
             Swatches(p);
         }},
        {"KeyColourSpdBtn", [](QPainter& p, const QColor&) { Legend(p, QColor(0xc0, 0x30, 0x30), QColor(0xc0, 0x30, 0x30), QColor(0xc0, 0x30, 0x30)); }},
        {"KeyBkGrndSpdBtn",
         [](QPainter& p, const QColor&) {
             p.setPen(kInk);
             p.setBrush(QColor(0xf0, 0xe0, 0x80));
             p.drawRect(2, 2, 15, 15);
             p.drawLine(6, 7, 14, 7);
             p.drawLine(6, 12, 14, 12);
         }},
        {"GridColourSpdBtn", [](QPainter& p, const QColor&) { Grid(p, QColor(0xc0, 0x30, 0x30)); }},
        {"GridFracSpdBtn", [](QPainter& p, const QColor& ink) { Text(p, QString::fromUtf8("\u00bd\u00b0"), ink, 12); }},
        {"Grid1SpdBtn", [](QPainter& p, const QColor& ink) { Text(p, "1", ink, 13); }},
        {"Grid2SpdBtn", [](QPainter& p, const QColor& ink) { Text(p, "2", ink, 13); }},
        {"Grid5SpdBtn", [](QPainter& p, const QColor& ink) { Text(p, "5", ink, 13); }},
        {"Grid10SpdBtn", [](QPainter& p, const QColor& ink) { Text(p, "10", ink, 11); }},
        {"Grid20SpdBtn", [](QPainter& p, const QColor& ink) { Text(p, "20", ink, 11); }},
    };
    return glyphs;
}

// Cursors, 32 x 32 with a white halo around black lines so they show on any map.
void HaloLine(QPainter& p, QPointF a, QPointF b)
{
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(a, b);
}

void HaloEllipse(QPainter& p, QRectF r)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 3));
    p.drawEllipse(r);
    p.setPen(QPen(Qt::black, 1));
    p.drawEllipse(r);
}

void CrossHair(QPainter& p, int c, int gap, int arm)
{
    HaloLine(p, QPointF(c - arm, c), QPointF(c - gap, c));
    HaloLine(p, QPointF(c + gap, c), QPointF(c + arm, c));
    HaloLine(p, QPointF(c, c - arm), QPointF(c, c - gap));
    HaloLine(p, QPointF(c, c + gap), QPointF(c, c + arm));
}

QMap<int, QCursor>& Registered()
{
    static QMap<int, QCursor> cursors;
    return cursors;
}

} // namespace

QPixmap CursorPicture(const QString& name, QPoint* hotSpot)
{
    QPixmap pm = Blank(32, 32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPoint hot(15, 15);
    if (name == "Zoom") {
        // A magnifying glass with a plus; the hot spot is the lens centre.
        HaloEllipse(p, QRectF(3, 3, 16, 16));
        HaloLine(p, QPointF(17, 17), QPointF(27, 27));
        HaloLine(p, QPointF(18, 18), QPointF(28, 28));
        HaloLine(p, QPointF(7, 11), QPointF(15, 11));
        HaloLine(p, QPointF(11, 7), QPointF(11, 15));
        hot = QPoint(11, 11);
    } else if (name == "Reposition") {
        // Four arrows: the map moves with the pointer.
        HaloLine(p, QPointF(4, 15), QPointF(26, 15));
        HaloLine(p, QPointF(15, 4), QPointF(15, 26));
        for (auto [a, b, c] : {std::tuple{QPointF(4, 15), QPointF(8, 11), QPointF(8, 19)},
                               std::tuple{QPointF(26, 15), QPointF(22, 11), QPointF(22, 19)},
                               std::tuple{QPointF(15, 4), QPointF(11, 8), QPointF(19, 8)},
                               std::tuple{QPointF(15, 26), QPointF(11, 22), QPointF(19, 22)}}) {
            HaloLine(p, a, b);
            HaloLine(p, a, c);
        }
    } else if (name == "Query") {
        // An arrow with a question mark; the hot spot is the arrow's tip.
        QPolygonF arrow({QPointF(1, 1), QPointF(1, 17), QPointF(5, 13), QPointF(8, 20), QPointF(10, 19), QPointF(7, 12),
                         QPointF(12, 12)});
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::black);
        p.drawPolygon(arrow);
        QFont f(FontFamilyFor("Arial"));
        f.setPixelSize(14);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::black);
        p.fillRect(14, 13, 12, 16, Qt::white);
        p.drawText(QRect(14, 13, 12, 16), Qt::AlignCenter, "?");
        hot = QPoint(1, 1);
    } else if (name == "HALV") {
        // A fine cross with a ring: the program's own pointing cursor for the map.
        CrossHair(p, 15, 5, 14);
        HaloEllipse(p, QRectF(11, 11, 8, 8));
    } else if (name == "Distance") {
        // A cross with a ruler below it.
        CrossHair(p, 15, 3, 10);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(0xf0, 0xe0, 0x80));
        p.drawRect(6, 25, 20, 5);
        for (int x = 8; x < 26; x += 3) p.drawLine(x, 25, x, x % 2 ? 27 : 28);
    } else {
        return QPixmap();
    }
    p.end();
    if (hotSpot) *hotSpot = hot;
    return pm;
}

void RegisterCursors()
{
    const std::pair<int, const char*> cursors[] = {
        {crZoom, "Zoom"}, {crReposition, "Reposition"}, {crQuery, "Query"}, {crHALV, "HALV"}, {crDistance, "Distance"}};
    for (const auto& [number, name] : cursors) {
        QPoint hot;
        QPixmap pm = CursorPicture(name, &hot);
        Registered()[number] = QCursor(pm, hot.x(), hot.y());
    }
}

QCursor CursorByNumber(int number) { return Registered().value(number, QCursor(Qt::ArrowCursor)); }

bool CursorRegistered(int number) { return Registered().contains(number); }

QColor GlyphInk(const QColor& background)
{
    return background.lightness() < 128 ? QColor(0xf0, 0xf0, 0xf0) : kInk;
}

QIcon ToolGlyph(const QString& buttonName, const QColor& background)
{
    auto it = Glyphs().find(buttonName);
    if (it == Glyphs().end()) return QIcon();
    QPixmap pm = Blank(20, 20);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    (*it)(p, GlyphInk(background));
    p.end();
    return QIcon(pm);
}

QPixmap ProgramIconPixmap(int size)
{
    QPixmap pm = Blank(size, size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 32.0, size / 32.0);
    QRadialGradient g(QPointF(13, 12), 18);
    g.setColorAt(0, kSea.lighter(140));
    g.setColorAt(1, kSea.darker(130));
    p.setPen(QPen(QColor(0x10, 0x30, 0x60), 1.2));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    // A compass rose: the long points north and south, the short ones east and west.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xf0, 0xe0));
    p.drawPolygon(QPolygonF({QPointF(16, 3), QPointF(19, 16), QPointF(16, 29), QPointF(13, 16)}));
    p.drawPolygon(QPolygonF({QPointF(7, 16), QPointF(16, 13.5), QPointF(25, 16), QPointF(16, 18.5)}));
    p.setBrush(QColor(0xc0, 0x30, 0x30));
    p.drawPolygon(QPolygonF({QPointF(16, 3), QPointF(19, 16), QPointF(13, 16)}));
    p.end();
    return pm;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int s : {16, 32, 48, 64}) icon.addPixmap(ProgramIconPixmap(s));
    return icon;
}

QPixmap SplashPicture(int width, int height)
{
    QPixmap pm(width, height);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient sea(0, 0, 0, height);
    sea.setColorAt(0, QColor(0x1c, 0x4e, 0x86));
    sea.setColorAt(1, QColor(0x0b, 0x26, 0x4a));
    p.fillRect(pm.rect(), sea);

    // A coast along the left and the bottom, with an island offshore.
    auto sx = [&](double x) { return x * width / 623.0; };
    auto sy = [&](double y) { return y * height / 474.0; };
    QPainterPath coast;
    coast.moveTo(sx(0), sy(40));
    const double pts[][2] = {{60, 60},   {92, 120},  {70, 170},  {120, 210}, {105, 260}, {160, 300}, {150, 350},
                             {230, 380}, {300, 372}, {360, 410}, {450, 400}, {520, 430}, {623, 420}};
    for (const auto& pt : pts) coast.lineTo(sx(pt[0]), sy(pt[1]));
    coast.lineTo(sx(623), sy(474));
    coast.lineTo(sx(0), sy(474));
    coast.closeSubpath();
    QPainterPath island;
    island.moveTo(sx(420), sy(250));
    island.cubicTo(sx(440), sy(215), sx(500), sy(220), sx(505), sy(255));
    island.cubicTo(sx(510), sy(290), sx(440), sy(300), sx(420), sy(250));
    p.setPen(QPen(QColor(0xe8, 0xdc, 0xa8), 2));
    p.setBrush(QColor(0x6d, 0x94, 0x44));
    p.drawPath(coast);
    p.drawPath(island);

    // Graticule.
    p.setPen(QPen(QColor(255, 255, 255, 70), 1, Qt::DashLine));
    for (int i = 1; i < 8; ++i) p.drawLine(QPointF(sx(i * 78), 0), QPointF(sx(i * 78), height));
    for (int i = 1; i < 6; ++i) p.drawLine(QPointF(0, sy(i * 79)), QPointF(width, sy(i * 79)));

    // Compass rose.
    p.save();
    p.translate(sx(540), sy(95));
    p.setPen(QPen(QColor(0xf4, 0xf0, 0xe0), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), 46, 46);
    for (int k = 0; k < 8; ++k) {
        p.save();
        p.rotate(k * 45);
        double len = k % 2 ? 30 : 52;
        p.setPen(Qt::NoPen);
        p.setBrush(k == 0 ? QColor(0xd0, 0x40, 0x40) : QColor(0xf4, 0xf0, 0xe0));
        p.drawPolygon(QPolygonF({QPointF(0, -len), QPointF(6, 0), QPointF(-6, 0)}));
        p.restore();
    }
    p.restore();

    // Titles.
    QFont title(FontFamilyFor("Times New Roman"));
    title.setPixelSize(int(sy(78)));
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0xf4, 0xf0, 0xe0));
    p.drawText(QRectF(sx(150), sy(120), sx(360), sy(90)), Qt::AlignCenter, "Corvane");
    QFont sub(FontFamilyFor("Arial"));
    sub.setPixelSize(int(sy(22)));
    p.setFont(sub);
    p.drawText(QRectF(sx(150), sy(205), sx(360), sy(30)), Qt::AlignCenter, "Marine Atlas of the Seas and Coasts");
    GetVersionInfo();
    QString line = QString("Version %1  \u2022  %2")
                       .arg(QString::fromStdString(DisplayVersion(GetVersionItem("FileVersion"))),
                            BytesToQString(GetVersionItem("CompanyName")));
    FreeVersionInfo();
    sub.setPixelSize(int(sy(15)));
    p.setFont(sub);
    p.drawText(QRectF(sx(150), sy(238), sx(360), sy(24)), Qt::AlignCenter, line);
    p.end();
    return pm;
}

} // namespace corvane
