#pragma once
// The layout of a headed query record: the one routine behind the query results window's
// four outputs (the screen picture, the printer, the clipboard text and the saved text
// file). It reads the record through QueryRecordReader and lays each entry out by the
// theme's query line definitions (Sym_Text): a heading, a value, both, on one line or two,
// with the definition's colours, justification and inset, a preceding header printed once
// until a 0xFE marker clears the flags, and the credit line (the last definition with
// Line_Code 11) once at the end.
//
// y (Info_Line_Count) moves by the line pitch ItemHeight (IH). Headings are placed by
// Heading_Justify within a page 70 spaces wide plus 11 pixels on each side: 1 at x = 11,
// 2 centred, 3 right, any other value at x = 0. Values stand at 11 plus the width of
// (Data_Inset - 11) div 8 spaces (Data_Inset 0 or 11: no inset). The text outputs turn the
// same steps into lines: a heading indented with spaces to its x, a value on its heading's
// line for Actions 2, 3 and 6, else on a line of its own; vertical steps leave no blank lines.
#include "catalogue/MasterFile.h"
#include "platform/Canvas.h"
#include "query/QueryRecord.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvane {

class ByteSource;
class MessageSink;

enum Output : uint8_t { otPrinter = 0, otScreen = 1, otClipboard = 2, otFile = 3 };

// Where one Display goes.
struct ReportDevice {
    Output output = otScreen;
    // The canvas drawn on (screen picture, printer page); for the text outputs the screen
    // picture's canvas, which only measures widths.
    Canvas* canvas = nullptr;
    // A device of one colour plane and one bit per pixel: everything is printed black.
    bool monochrome = false;
    // On the printer, a heading colour too light to read on white paper (below
    // kReadableContrast against white: yellow, cyan, silver...) is printed darkened
    // (ReadableOnWhite); otherwise headings print in their own colours.
    bool readableHeadings = false;
    // The printer page: the offsets of the margins (Trunc((margin - minimum) x dpi)), the
    // page height, and how to start a new page.
    int32_t LeftOffset = 0, TopOffset = 0, BottomOffset = 0, PageHeight = 0;
    std::function<void()> NewPage;
    // The text outputs' lines (the clipboard memo).
    std::vector<std::string>* lines = nullptr;
};

// The message for a line definition index that names no definition.
extern const char* const kCheckMasterFile;

class QueryReport {
public:
    // symText: the theme's definitions (not owned, may be null); file and fileName: the open
    // query information file and its name for messages; dataType: the record kind (1 or 2);
    // offset: the record's offset.
    QueryReport(const Sym_Text_Control_Block* symText, const ByteSource& file, std::string fileName,
                int32_t dataType, int32_t offset, MessageSink& messages);

    // Back to the record's start: reads its counts, clears every definition's flag, finds
    // CreditLine. False (and the damage reported) when the record lies outside the file.
    bool StartUp();
    // Lays the record out on device from its start (StartUp first); returns the final y. A
    // damaged record, and line definitions that name no definition, are told once for the
    // life of the report, however many outputs run into them.
    int32_t Display(const ReportDevice& device);

    uint16_t ItemHeight = 16;
    int32_t Info_Line_Count = 0;
    int32_t CreditLine = -1;
    uint8_t nLines = 0, ndisplines = 0;
    std::string txt;

    // The definitions by index, with the flags of this report.
    struct Definition {
        const Sym_Text_Line_Type* line;
        bool Already_Printed;
    };
    const std::vector<Definition>& Definitions() const { return defs_; }

    // ---- the formulas, for each output ----------------------------------------------------
    // x of a heading: W70 and Wh are the widths of 70 spaces and of the heading text.
    static int32_t HeadingX(uint8_t Heading_Justify, int32_t W70, int32_t Wh);
    // The value's inset width: 0 for Data_Inset 0 or 11, else the width of
    // (Data_Inset - 11) div 8 spaces (none when that is negative).
    static int32_t DataInsetWidth(Canvas& canvas, int16_t Data_Inset);
    // Leading spaces that bring a text line's heading to x: one space, then more (at most 70
    // in all) while their width is below x.
    static std::string IndentFor(Canvas& canvas, int32_t x);

private:
    void Header_Out(size_t line, const ReportDevice& d);
    void Data_Out(size_t line, const ReportDevice& d);
    void Print_Any_Preceding_Headers(size_t linetype, const ReportDevice& d);
    void ReportOnce(bool& reported, const std::string& text);
    Colour DeviceColour(uint8_t index, const ReportDevice& d, bool isValue) const;

    std::vector<Definition> defs_;
    QueryRecordReader reader_;
    std::string fileName_;
    MessageSink& messages_;
    bool damageReported_ = false;
    bool masterReported_ = false;
};

// Query report window and printer arithmetic.
// ItemHeight of a font: Trunc(-height x pixels per inch / 72) - 1, at least 1.
uint16_t QueryItemHeight(int fontHeight, int pixelsPerInch);
// The report picture's height for a final y: Round(y / IH) x IH + 2 x IH.
int32_t ReportBitmapHeight(int32_t y, int32_t IH);

// The window fitted to its report (screen output): the client holds the picture and the
// button strip below it when the whole window fits the usable area; otherwise the window
// takes the usable area's bottom coordinate as its height and scrolls.
struct ReportWindowFit {
    int32_t bitmapHeight = 0;
    bool scrollBar = false;
    int32_t clientHeight = 0;   // when it fits: picture and strip
    int32_t height = 0;         // outer height: the client's and the frame's, or the usable
                                // area's bottom coordinate when it scrolls
    int32_t scrollRange = 0;    // bitmap height + strip height when it scrolls
    int32_t top = 0;
};
ReportWindowFit FitReportWindow(int32_t y, int32_t IH, int32_t panelHeight, int32_t captionHeight,
                                int32_t frameHeight, int32_t usableTop, int32_t usableBottom);

// The printer font height (negative, pixels) that puts 69 characters as wide as "A" as close
// to available as it can without passing it: from -Trunc(dpiX / 6), grown or shrunk a pixel
// at a time. The canvas's font height is left at the result.
int PrinterFontHeight(Canvas& canvas, int32_t dpiX, int32_t available);

// Saving a report: the filter of the save dialog and the refusal of other extensions.
extern const char* const kQuerySaveFilter;      // "Text File (*.TXT)|*.TXT|Bitmap File (*.BMP)|*.BMP"
extern const char* const kQuerySaveTitle;       // "Save the Query Information"
extern const char* const kQuerySaveRefused;     // "To Save a Query file it must have a BMP or TXT ..."
// The upper-case extension (at most 4 characters, with its dot) that decides how a report
// is saved under fileName. A name without one takes the pattern of the filter entry
// filterIndex (1-based; ".TXT" or ".BMP") and gets it appended.
std::string QuerySaveExtension(std::string& fileName, const std::string& filter, int filterIndex);
// The text outputs' lines as a text file: each line ended by CR LF.
std::string ReportText(const std::vector<std::string>& lines);

} // namespace corvane
