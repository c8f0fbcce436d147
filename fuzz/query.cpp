// Query information records and their layout. The input is a record kind (byte 0: 0 one line,
// 1 or 2 a headed record), the record's offset (bytes 1-4, little-endian), the length of a
// master file (bytes 5-6) whose query line definitions lay the record out, that master file,
// and then the query information file itself. A headed record is laid out on the screen, the
// printer (with page breaks), the clipboard and a text file.
#include "FuzzTarget.h"
#include "catalogue/MasterFile.h"
#include "platform/ByteSource.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"
#include "query/QueryRecord.h"
#include "query/QueryReport.h"

#include <algorithm>

using namespace corvane;

CORVANE_FUZZ_TARGET(query)
{
    constexpr size_t kHead = 7;
    if (size < kHead) return;
    const int32_t kind = data[0] % 3;
    const int32_t offset = static_cast<int32_t>(uint32_t{data[1]} | uint32_t{data[2]} << 8 | uint32_t{data[3]} << 16 |
                                                uint32_t{data[4]} << 24);
    const size_t masLength = std::min<size_t>(size_t{data[5]} | size_t{data[6]} << 8, size - kHead);
    const uint8_t* mas = data + kHead;
    const MemorySource info(std::vector<uint8_t>(mas + masLength, data + size));

    if (kind == 0) {
        std::string text;
        if (ReadSingleLine(info, offset, text)) FUZZ_CHECK(text.size() <= 255);
        return;
    }
    NullMessageSink quiet;
    std::unique_ptr<MASStruct> theme =
        MASStruct::Create("CDROM:\\Themes\\Fuzz.MAS", MemorySource(std::vector<uint8_t>(mas, mas + masLength)), quiet);
    RecordingMessageSink messages;
    QueryReport report(theme->Sym_Text.get(), info, "FUZZ.DAT", kind, offset, messages);
    RecordingCanvas canvas(640, 480);
    std::vector<std::string> lines;
    int pages = 0;
    for (Output output : {otScreen, otPrinter, otClipboard, otFile}) {
        ReportDevice device;
        device.output = output;
        device.canvas = &canvas;
        device.monochrome = output == otPrinter;
        device.LeftOffset = 50;
        device.TopOffset = 60;
        device.BottomOffset = 60;
        device.PageHeight = 1000;
        device.NewPage = [&pages] { ++pages; };
        device.lines = &lines;
        canvas.records.clear();
        lines.clear();
        report.StartUp();
        report.Display(device);
        // An entry is laid out in a few steps at most; a record holds at most 255 entries.
        FUZZ_CHECK(canvas.records.size() <= 4 * 256);
        FUZZ_CHECK(lines.size() <= 4 * 256);
        for (const std::string& l : lines) FUZZ_CHECK(l.size() <= 80 + 256);
    }
    FUZZ_CHECK(pages <= 256);
    FUZZ_CHECK(messages.messages.size() <= 2);   // the damage and a missing definition, once each
}
