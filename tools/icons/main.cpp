// corvane_icons: writes the program's icon as PNG pictures of the sizes desktop icon themes
// use, OUTDIR/NxN/apps/org.halvern.Corvane.png, for installation beside its SVG drawing. Run
// at build time; not installed.
#include "app/AppPictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvane_icons OUTDIR\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QString("%1/%2x%2/apps").arg(out).arg(size);
        if (!QDir().mkpath(dir) || !corvane::ProgramIconPixmap(size).save(dir + "/org.halvern.Corvane.png", "PNG")) {
            std::fprintf(stderr, "corvane_icons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
