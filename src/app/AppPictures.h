#pragma once
// The program's pictures, drawn for it in code: the tool bar glyphs, the mouse cursors, the
// program icon and the splash picture.
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace corvane {

// Cursor numbers other windows select cursors by.
constexpr int crZoom = 17;
constexpr int crReposition = 18;
constexpr int crQuery = 19;
constexpr int crHALV = 20;
constexpr int crDistance = 80;

// Registers the five cursors under their numbers, loaded by name ("Zoom", "Reposition",
// "Query", "HALV", "Distance").
void RegisterCursors();
// A registered cursor; the arrow for an unknown number.
QCursor CursorByNumber(int number);
bool CursorRegistered(int number);
// The picture of a cursor by its resource name; a null pixmap for an unknown name.
QPixmap CursorPicture(const QString& name, QPoint* hotSpot = nullptr);

// The glyph of a tool bar button by the button's name, for a tool bar of the colour given; a
// null icon for a button with a caption.
QIcon ToolGlyph(const QString& buttonName, const QColor& background = QColor(Qt::lightGray));
// The colour of the free-standing strokes and letters of the glyphs on a tool bar of the
// colour given: dark on a light bar, light on a dark one (a dark desktop theme).
QColor GlyphInk(const QColor& background);

QIcon ProgramIcon();
QPixmap ProgramIconPixmap(int size);

// The splash picture: a chart of a coast with a graticule and the program's name.
QPixmap SplashPicture(int width, int height);

} // namespace corvane
