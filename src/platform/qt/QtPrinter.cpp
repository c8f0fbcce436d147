#include "platform/qt/QtPrinter.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>

namespace corvane {

QPrinter& CurrentPrinter()
{
    static QPrinter* printer = [] {
        auto* p = new QPrinter(QPrinter::HighResolution);
        KeepMinimumMargins(*p);
        return p;
    }();
    return *printer;
}

void KeepMinimumMargins(QPrinter& printer)
{
    QPageLayout layout = printer.pageLayout();
    layout.setMode(QPageLayout::StandardMode);
    layout.setMargins(layout.minimumMargins());
    printer.setPageLayout(layout);
}

std::string PdfFileOf(const QPrinter& printer)
{
    if (printer.outputFormat() != QPrinter::PdfFormat) return std::string();
    return QFile::encodeName(printer.outputFileName()).toStdString();
}

bool QtPrinterFacts::Read(PrinterFacts& f) const
{
    QPrinter& p = CurrentPrinter();
    KeepMinimumMargins(p);
    QRect paper = p.paperRect(QPrinter::DevicePixel).toRect();
    QRect page = p.pageRect(QPrinter::DevicePixel).toRect();
    f.hasDeviceMode = p.isValid();
    f.copiesSupported = p.supportsMultipleCopies();
    f.collateSupported = p.supportsMultipleCopies();
    f.offsetX = page.left() - paper.left();
    f.offsetY = page.top() - paper.top();
    f.paperWidth = paper.width();
    f.paperHeight = paper.height();
    f.pageWidth = page.width();
    f.pageHeight = page.height();
    f.dpiX = f.dpiY = p.resolution();
    return f.dpiX > 0;
}

} // namespace corvane
