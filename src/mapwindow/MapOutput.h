#pragma once
// The map's outputs besides the screen: a printer page, a PDF file and a picture file. The map
// window's Print and Export and the headless renderer all go through here, so a map looks
// the same on paper, in a PDF and in a picture whoever makes it. Only Qt GUI is needed here:
// the printer itself (Qt Print Support) comes in through QtPrinter.h.
#include "platform/PngEncoder.h"
#include "render/PrintMap.h"

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <memory>
#include <string>

class QImage;
class QPagedPaintDevice;

namespace corvane {

class PageSetUpUnit;
class QtCanvas;

// Wanted margins in inches from the paper edge.
struct PageMargins {
    double Left = 1.0, Top = 1.0, Right = 1.0, Bottom = 1.0;
};

// The margins of a page set-up record.
PageMargins MarginsOf(const PageSetUpUnit& unit);

// The page of a printer or PDF writer as the plot places the map on it: the paintable area in
// device pixels (its corner is the painter's origin), the resolution, the device's minimum
// margins (the unprintable border around that area) and the wanted margins.
PrintPage PrintPageOf(const QPagedPaintDevice& device, const PageMargins& margins);

// A print document on a paged device: a PDF writer, or a printer (whose own cancel the map
// window's print job adds).
class QtPrintDocument : public PrintDocument {
public:
    QtPrintDocument(QPagedPaintDevice& device, const PageMargins& margins);
    ~QtPrintDocument() override;

    bool BeginDoc() override;
    Canvas* PageCanvas() override;
    PrintPage Page() const override { return page_; }
    bool NewPage() override;
    bool EndDoc() override;
    bool Aborted() const override;

    // Cancels the job: no further page is printed.
    virtual void Abort();

protected:
    // A page is being painted (between BeginDoc and EndDoc).
    bool Painting() const { return painter_.isActive(); }

private:
    QPagedPaintDevice& device_;
    PrintPage page_;
    QPainter painter_;
    std::unique_ptr<QtCanvas> canvas_;
    bool aborted_ = false;
};

// A PDF file made in memory and written in one step when it is finished, as WriteMapPicture
// writes a picture: a full disc or a file-size limit is a failure with its reason, never a
// torn file reported as printed, and a job cancelled part way writes nothing.
class PdfInMemory {
public:
    // Pages of the paper, orientation and margins of layout, at resolution dots per inch.
    PdfInMemory(const QPageLayout& layout, int resolution, const QString& title);
    QPdfWriter& Device() { return writer_; }
    // Writes what was painted (the painter ended) to path; false with the reason.
    bool WriteTo(const std::string& path, std::string* error) const;

private:
    QByteArray bytes_;
    QBuffer buffer_;
    QPdfWriter writer_;
};

// A print document that makes a PDF file at path (see PdfInMemory): the file is written when
// the document ends, unless the job was cancelled. EndDoc false, with Error() saying why,
// when the file could not be written.
class PdfFileDocument : private PdfInMemory, public QtPrintDocument {
public:
    PdfFileDocument(const std::string& path, const QPageLayout& layout, int resolution, const PageMargins& margins,
                    const QString& title);
    bool EndDoc() override;
    const std::string& Error() const { return error_; }

private:
    std::string path_;
    std::string error_;
};

enum class PictureFormat { Png, Bmp };

// What Export writes: the picture as PNG or BMP, or the printed page as PDF.
enum class ExportKind { Png, Bmp, Pdf };
constexpr const char* kExportFilter = "PNG Picture (*.png)|*.png|Bitmap (*.bmp)|*.bmp|PDF Page (*.pdf)|*.pdf";
struct ExportTarget {
    std::string path;
    ExportKind kind = ExportKind::Png;
};
// The kind follows the name's extension (any case); a name without one of the three takes the
// kind of the chosen filter (1-based entry of kExportFilter) and its extension.
ExportTarget ExportTargetOf(const std::string& chosen, int filterIndex);

// The picture's device pixels as a plain image (pixel ratio 1) whose resolution is raised by
// the ratio, so that a HiDPI picture keeps its size on paper and in other programs.
QImage DevicePixelImage(const QImage& picture);

// Writes the picture to path in one step (a temporary file renamed into place, so a failure
// leaves any earlier file whole); false with the reason.
bool WriteMapPicture(const QImage& picture, const std::string& path, PictureFormat format, std::string* error);

// The same for pictures one after another (a batch of maps): the PNG compressor and the file's
// buffer of one picture serve the next. A BMP file, hardly smaller than the picture, is never
// made whole in memory: it goes to the disc a few rows at a time.
class MapPictureWriter {
public:
    bool Write(const QImage& picture, const std::string& path, PictureFormat format, std::string* error);

private:
    PngEncoder png_;
    std::string file_;
};

// The paper size of a name (A4, Letter, A3, legal..., in any case, as the page set-up names
// them); false when no paper has that name.
bool PageSizeNamed(const std::string& name, QPageSize& size);
// The orientation of the paper (inside the wanted margins) in which a map picture of
// clientWidth x clientHeight prints largest: landscape for a map wider than high on paper of
// even margins; portrait when both print it as large.
QPageLayout::Orientation FittingOrientation(const QPageSize& size, const PageMargins& margins, int32_t clientWidth,
                                            int32_t clientHeight);

// Prints the map on one page of a PDF file at path: paper and orientation from layout, the
// map inside the wanted margins (a PDF has no unprintable border), written in one step as
// WriteMapPicture does. False with the reason; *plotFailed as PrintMapDocument gives it.
bool PrintMapToPdf(MapView& view, const std::string& path, const QPageLayout& layout, const PageMargins& margins,
                   std::string* error, bool* plotFailed = nullptr);

} // namespace corvane
