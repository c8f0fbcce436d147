// Text pages with their mark-up: the bytes are a page on the data medium whose include marks
// may name two more pages of the scratch folder (which include each other and the page); the
// page is read and marked up, and every line is turned into what the viewer shows and back
// into the page's bytes, as saving a page does.
#include "FuzzSupport.h"
#include "FuzzTarget.h"
#include "platform/CodePage.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"
#include "text/TextPage.h"

using namespace corvane;
using namespace corvane::fuzz;

CORVANE_FUZZ_TARGET(textpage)
{
    static const bool includes = [] {
        WriteScratchFile("One.Txt", "One\r\n\xAF" "CDROM:\\Two.Txt\r\n~bold~ \xC9\xCD\xBB\r\n");
        WriteScratchFile("Two.Txt", "\xAF" "CDROM:\\Page.Txt\r\n\xAF" "cdrom:\\one.txt\r\nTwo \xF8\r\n");
        return true;
    }();
    (void)includes;
    CvVars::CDROM = ScratchDir();
    const std::string path = WriteScratchFile("Page.Txt", data, size);

    NullMessageSink sink;
    TextPage page;
    FUZZ_CHECK(ReadTextPage(path, page, sink));
    page.Caption();
    for (const TextPageLine& line : page.lines) {
        size_t end = 0;
        for (const TextSpan& s : line.bold) {
            FUZZ_CHECK(s.start >= end && s.length > 0 && s.start + s.length <= line.text.size());
            end = s.start + s.length;
        }
        for (size_t at : line.lineDraw) FUZZ_CHECK(at < line.text.size());
        // The line as the viewer holds it: pieces of one face and weight, in UTF-8.
        std::vector<StyledText> pieces;
        size_t draw = 0;
        for (size_t i = 0; i < line.text.size(); ++i) {
            bool bold = false;
            for (const TextSpan& s : line.bold) bold = bold || (i >= s.start && i < s.start + s.length);
            const bool lineDraw = draw < line.lineDraw.size() && line.lineDraw[draw] == i;
            draw += lineDraw;
            const uint8_t b = static_cast<uint8_t>(line.text[i]);
            std::string utf8;
            AppendUtf8(utf8, lineDraw ? Cp437ToUnicode(b) : Cp1252ToUnicode(b));
            if (pieces.empty() || pieces.back().bold != bold) pieces.push_back({"", bold});
            pieces.back().utf8 += utf8;
        }
        const std::string saved = EncodeTextPageLine(pieces);
        // One byte for every character shown (lines left as read after too many bold runs
        // may still hold their tildes and end-of-file mark, which marking up removes).
        TextPageLine back;
        EditLine(saved, back);
        const bool marked = line.text.find('~') == std::string::npos && (line.text.empty() || line.text.back() != '\x1A');
        if (marked) FUZZ_CHECK(back.text.size() == line.text.size());
    }
}
