#pragma once
// An information page of the atlas as the text viewer shows it. The page is a plain text
// file (single-byte) with a small mark-up, read line by line:
//  - a 0x1A at the end of a line (the end-of-file mark of old text files) is removed;
//  - 0xAF is an include mark: the rest of the line names a file ("CDROM:" rule, at most 80
//    characters); the line goes and the lines of that file are added at the end of the page,
//    where they are read in turn. Each file is taken in at most once per page, so a page that
//    includes itself, or files that include each other, cannot loop;
//  - 0xF8, the degree sign of the DOS code page, becomes 0xB0, the degree sign here;
//  - any other byte from 0x81 up (but 0xB0) is a DOS line-drawing or special character and
//    is shown in the line-drawing face (code page 437);
//  - "~" toggles bold within its line: the text up to the next "~" is bold, a "~" without a
//    partner makes the rest of the line bold; the "~" characters go.
// The page keeps bytes; turning them into characters is the window's business.
#include <cstddef>
#include <string>
#include <vector>

namespace corvane {

class MessageSink;

struct TextSpan {
    size_t start = 0;
    size_t length = 0;
    bool operator==(const TextSpan& o) const { return start == o.start && length == o.length; }
};

struct TextPageLine {
    std::string text;                 // the bytes shown: tildes removed, 0xF8 made 0xB0
    std::vector<TextSpan> bold;       // bold runs, in order
    std::vector<size_t> lineDraw;     // positions of the line-drawing characters
};

// A line holds at most this many bold runs; one more stops the processing of the page.
constexpr int kMaxBoldRuns = 100;
constexpr const char* kTooManyBoldRuns = "This version cannot handle more than 100 Bold items in a line.";

// The mark-up of one line (no include mark in it). False when the line holds more than
// kMaxBoldRuns bold runs; line then keeps the raw text and no styles.
bool EditLine(const std::string& raw, TextPageLine& line);

struct TextPage {
    std::vector<TextPageLine> lines;
    // Included files that could not be read (their lines are missing from the page).
    std::vector<std::string> missingIncludes;

    // The window's caption: the first line with text in it, leading blanks removed.
    std::string Caption() const;
};

// Reads a page (a data path, "CDROM:" already applied) and applies the mark-up (EditLines).
// False when the page's own file cannot be read. A line with too many bold runs shows
// kTooManyBoldRuns on sink and leaves it and the rest of the page as they were read.
bool ReadTextPage(const std::string& TxtFilename, TextPage& page, MessageSink& sink);

// "Cannot open file " + the file's name on this machine, and why when there is more to say
// than that it is not there (not a regular file, outside the medium, too large).
std::string CannotOpenMessage(const std::string& TxtFilename);

// A line as the viewer holds it, back in the page's bytes and mark-up: bold pieces between
// tildes; characters the line-drawing face showed as their code page 437 bytes, the degree
// sign as 0xB0, others in Windows-1252 where that does not read back as line drawing, else "?".
struct StyledText {
    std::string utf8;
    bool bold = false;
};
std::string EncodeTextPageLine(const std::vector<StyledText>& pieces);

} // namespace corvane
