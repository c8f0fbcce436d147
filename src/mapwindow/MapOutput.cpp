#include "mapwindow/MapOutput.h"

#include "platform/BmpEncoder.h"
#include "platform/DataPath.h"
#include "platform/PageSetup.h"
#include "platform/PngEncoder.h"
#include "platform/TextFile.h"
#include "platform/qt/QtCanvas.h"
#include "render/MapView.h"

#include <QImage>

#include <cmath>

namespace corvane {

PageMargins MarginsOf(const PageSetUpUnit& unit)
{
    return {unit.GetLeftMargin_Inch(), unit.GetTopMargin_Inch(), unit.GetRightMargin_Inch(), unit.GetBottomMargin_Inch()};
}

PrintPage PrintPageOf(const QPagedPaintDevice& device, const PageMargins& margins)
{
    const int dpi = device.logicalDpiX();
    const QPageLayout layout = device.pageLayout();
    PrintPage p;
    p.XDpi = dpi;
    p.YDpi = device.logicalDpiY();
    if (dpi <= 0 || p.YDpi <= 0) return p;
    const QRect paper = layout.fullRectPixels(dpi);
    const QRect page = layout.paintRectPixels(dpi);
    p.PageWidth = page.width();
    p.PageHeight = page.height();
    p.minLeftMargin = static_cast<double>(page.left() - paper.left()) / p.XDpi;
    p.minTopMargin = static_cast<double>(page.top() - paper.top()) / p.YDpi;
    p.minRightMargin = static_cast<double>(paper.right() - page.right()) / p.XDpi;
    p.minBottomMargin = static_cast<double>(paper.bottom() - page.bottom()) / p.YDpi;
    p.LeftMargin = margins.Left;
    p.TopMargin = margins.Top;
    p.RightMargin = margins.Right;
    p.BottomMargin = margins.Bottom;
    return p;
}

QtPrintDocument::QtPrintDocument(QPagedPaintDevice& device, const PageMargins& margins)
    : device_(device), page_(PrintPageOf(device, margins))
{
}

QtPrintDocument::~QtPrintDocument()
{
    canvas_.reset();
    if (painter_.isActive()) painter_.end();
}

bool QtPrintDocument::BeginDoc()
{
    if (page_.XDpi <= 0 || page_.PageWidth < 1 || page_.PageHeight < 1) return false;
    if (!painter_.begin(&device_)) return false;
    canvas_ = std::make_unique<QtCanvas>(&painter_, page_.PageWidth, page_.PageHeight, page_.XDpi, page_.YDpi);
    return true;
}

Canvas* QtPrintDocument::PageCanvas() { return canvas_.get(); }

bool QtPrintDocument::NewPage() { return !aborted_ && device_.newPage(); }

bool QtPrintDocument::EndDoc()
{
    canvas_.reset();
    return painter_.isActive() ? painter_.end() : false;
}

bool QtPrintDocument::Aborted() const { return aborted_; }

void QtPrintDocument::Abort() { aborted_ = true; }

namespace {

bool WriteBytes(const QByteArray& bytes, const std::string& path, std::string* error)
{
    return StreamFileAtomic(path, [&](ByteSink& sink) { return sink.Write(bytes.constData(), static_cast<size_t>(bytes.size())); },
                            error);
}

} // namespace

PdfInMemory::PdfInMemory(const QPageLayout& layout, int resolution, const QString& title)
    : buffer_(&bytes_), writer_(&buffer_)
{
    buffer_.open(QIODevice::WriteOnly);
    writer_.setResolution(resolution);
    writer_.setCreator(QStringLiteral("Corvane"));
    writer_.setTitle(title);
    writer_.setPageLayout(layout);
}

bool PdfInMemory::WriteTo(const std::string& path, std::string* error) const { return WriteBytes(bytes_, path, error); }

PdfFileDocument::PdfFileDocument(const std::string& path, const QPageLayout& layout, int resolution,
                                 const PageMargins& margins, const QString& title)
    : PdfInMemory(layout, resolution, title), QtPrintDocument(Device(), margins), path_(path)
{
}

bool PdfFileDocument::EndDoc()
{
    if (!QtPrintDocument::EndDoc()) {
        error_ = "the page could not be printed";
        return false;
    }
    return Aborted() || WriteTo(path_, &error_);
}

ExportTarget ExportTargetOf(const std::string& chosen, int filterIndex)
{
    static const struct {
        const char* ext;
        ExportKind kind;
    } kinds[] = {{".png", ExportKind::Png}, {".bmp", ExportKind::Bmp}, {".pdf", ExportKind::Pdf}};
    const std::string name = ExtractFileName(chosen);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        for (const auto& k : kinds)
            if (SameText(name.substr(dot), k.ext)) return {chosen, k.kind};
    const auto& k = kinds[filterIndex >= 1 && filterIndex <= 3 ? filterIndex - 1 : 0];
    return {chosen + k.ext, k.kind};
}

QImage DevicePixelImage(const QImage& picture)
{
    QImage plain = picture.copy();
    const double ratio = picture.devicePixelRatio();
    if (ratio == 1.0) return plain;
    plain.setDevicePixelRatio(1.0);
    plain.setDotsPerMeterX(static_cast<int>(std::lround(picture.dotsPerMeterX() * ratio)));
    plain.setDotsPerMeterY(static_cast<int>(std::lround(picture.dotsPerMeterY() * ratio)));
    return plain;
}

bool WriteMapPicture(const QImage& picture, const std::string& path, PictureFormat format, std::string* error)
{
    MapPictureWriter writer;
    return writer.Write(picture, path, format, error);
}

bool MapPictureWriter::Write(const QImage& picture, const std::string& path, PictureFormat format, std::string* error)
{
    if (picture.format() == QImage::Format_RGB32) {
        // The map's own encoders, straight from the picture's device pixels, at the resolution
        // raised by the pixel ratio (see DevicePixelImage). The PNG has a palette where the
        // colours allow and a fast zlib level: several times faster than the general one, and
        // as lossless.
        const double ratio = picture.devicePixelRatio();
        const long dpmX = std::lround(picture.dotsPerMeterX() * ratio), dpmY = std::lround(picture.dotsPerMeterY() * ratio);
        const auto* pixels = reinterpret_cast<const uint32_t*>(picture.constBits());
        const size_t stride = static_cast<size_t>(picture.bytesPerLine()) / sizeof(uint32_t);
        const int32_t width = picture.width(), height = picture.height();
        if (format == PictureFormat::Bmp) {
            if (BmpFileSize(width, height) == 0) {
                if (error) *error = "the picture could not be encoded";
                return false;
            }
            return StreamFileAtomic(path, [&](ByteSink& sink) {
                return WriteBmp(width, height, pixels, stride, sink, static_cast<int32_t>(dpmX), static_cast<int32_t>(dpmY));
            }, error);
        }
        file_.clear();
        if (!png_.Encode(width, height, pixels, stride, file_, {dpmX, dpmY})) {
            if (error) *error = "the picture could not be encoded";
            return false;
        }
        return WriteFileAtomic(path, file_, error);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!DevicePixelImage(picture).save(&buffer, format == PictureFormat::Bmp ? "BMP" : "PNG")) {
        if (error) *error = "the picture could not be encoded";
        return false;
    }
    return WriteBytes(bytes, path, error);
}

bool PageSizeNamed(const std::string& name, QPageSize& size)
{
    const QString wanted = QString::fromStdString(name).trimmed();
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const QPageSize candidate(static_cast<QPageSize::PageSizeId>(id));
        if (candidate.isValid() && candidate.key().compare(wanted, Qt::CaseInsensitive) == 0) {
            size = candidate;
            return true;
        }
    }
    return false;
}

QPageLayout::Orientation FittingOrientation(const QPageSize& size, const PageMargins& margins, int32_t clientWidth,
                                            int32_t clientHeight)
{
    // The printed map's area on each way round of the paper, in hundredths of an inch.
    auto area = [&](bool landscape) {
        const QSizeF inches = size.size(QPageSize::Inch);
        PrintPage page;
        page.XDpi = page.YDpi = 100;
        page.PageWidth = static_cast<int32_t>((landscape ? inches.height() : inches.width()) * 100);
        page.PageHeight = static_cast<int32_t>((landscape ? inches.width() : inches.height()) * 100);
        page.LeftMargin = margins.Left;
        page.TopMargin = margins.Top;
        page.RightMargin = margins.Right;
        page.BottomMargin = margins.Bottom;
        const PrintedSize map = PrintedMapSize(page, clientWidth, clientHeight);
        return static_cast<int64_t>(map.W) * map.H;
    };
    return area(true) > area(false) ? QPageLayout::Landscape : QPageLayout::Portrait;
}

bool PrintMapToPdf(MapView& view, const std::string& path, const QPageLayout& layout, const PageMargins& margins,
                   std::string* error, bool* plotFailed)
{
    // The map inside the wanted margins: a PDF page has no unprintable border.
    QPageLayout paper = layout;
    paper.setMode(QPageLayout::StandardMode);
    paper.setMinimumMargins(QMarginsF());
    paper.setMargins(QMarginsF());
    PdfFileDocument doc(path, paper, 1200, margins, QStringLiteral("Corvane map"));
    if (PrintMapDocument(view, doc, 1, plotFailed) == PrintResult::Printed) return true;
    if (error) *error = doc.Error().empty() ? std::string("the page could not be printed") : doc.Error();
    return false;
}

} // namespace corvane
