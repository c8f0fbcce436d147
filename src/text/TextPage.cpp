#include "text/TextPage.h"

#include "platform/ByteSource.h"
#include "platform/CodePage.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/TextFile.h"

#include <climits>
#include <cstdlib>
#include <set>

namespace corvane {

namespace {

constexpr unsigned char kIncludeMark = 0xAF;
constexpr unsigned char kDosDegree = 0xF8;
constexpr unsigned char kDegree = 0xB0;
constexpr unsigned char kEndOfFile = 0x1A;
// A page or an included file larger than this is not a text page.
constexpr size_t kMaxPageBytes = 16u << 20;

bool IsLineDrawByte(unsigned char b) { return b >= 0x81 && b != kDegree; }

// The lines of a data file, 0x1A kept as a character; false when it cannot be read.
bool ReadLines(const std::string& dataPath, std::vector<std::string>& lines)
{
    auto src = OpenDataFile(dataPath);
    std::string bytes;
    if (!src || !ReadAllBytes(*src, bytes, kMaxPageBytes)) return false;
    lines = SplitLines(bytes, false);
    return true;
}

// One name for a file however the page spells it.
std::string FileKey(const std::string& dataPath)
{
    const std::string native = NativePath(dataPath);
    char resolved[PATH_MAX];
    return ::realpath(native.c_str(), resolved) ? std::string(resolved) : native;
}

// The byte a character of the viewer is saved as (see EncodeTextPageLine).
char EncodeChar(char32_t cp)
{
    if (cp < 0x80 || cp == kDegree) return static_cast<char>(cp);
    const int windows = UnicodeToCp1252(cp);
    if (windows >= 0 && windows < 0x81) return static_cast<char>(windows);
    const int dos = UnicodeToCp437(cp);
    if (dos >= 0 && IsLineDrawByte(static_cast<unsigned char>(dos)) && dos != kIncludeMark && dos != kDosDegree)
        return static_cast<char>(dos);
    return '?';
}

} // namespace

bool EditLine(const std::string& raw, TextPageLine& line)
{
    std::string s = raw;
    if (!s.empty() && static_cast<unsigned char>(s.back()) == kEndOfFile) s.pop_back();
    TextPageLine out;
    out.text.reserve(s.size());
    bool inBold = false;
    size_t start = 0;
    int runs = 0;
    for (char c : s) {
        if (c == '~') {
            if (!inBold) {
                if (++runs > kMaxBoldRuns) {
                    line = TextPageLine{raw, {}, {}};
                    return false;
                }
                start = out.text.size();
            } else if (out.text.size() > start) {
                out.bold.push_back({start, out.text.size() - start});
            }
            inBold = !inBold;
            continue;
        }
        unsigned char b = static_cast<unsigned char>(c);
        if (b == kDosDegree) b = kDegree;
        // Positions in the line as shown, so that the tildes before a line-drawing character
        // do not move its face onto its neighbour.
        if (IsLineDrawByte(b)) out.lineDraw.push_back(out.text.size());
        out.text += static_cast<char>(b);
    }
    if (inBold && out.text.size() > start) out.bold.push_back({start, out.text.size() - start});
    line = std::move(out);
    return true;
}

std::string TextPage::Caption() const
{
    for (const TextPageLine& l : lines) {
        std::string t = TrimLeft(l.text);
        if (!t.empty()) return t;
    }
    return std::string();
}

bool ReadTextPage(const std::string& TxtFilename, TextPage& page, MessageSink& sink)
{
    page = TextPage();
    std::vector<std::string> raw;
    if (!ReadLines(TxtFilename, raw)) return false;
    std::set<std::string> taken{FileKey(TxtFilename)};
    bool processing = true;
    for (size_t i = 0; i < raw.size();) {
        if (!processing) {
            page.lines.push_back(TextPageLine{raw[i++], {}, {}});
            continue;
        }
        const size_t mark = raw[i].find(static_cast<char>(kIncludeMark));
        if (mark != std::string::npos) {
            // The line goes; the file's lines join the end of the page and are read in turn.
            const std::string path = ShortStr80(CheckCD_Drive(Trim(raw[i].substr(mark + 1))));
            raw.erase(raw.begin() + static_cast<std::ptrdiff_t>(i));
            if (!taken.insert(FileKey(path)).second) continue;   // already on this page
            std::vector<std::string> included;
            if (ReadLines(path, included))
                raw.insert(raw.end(), included.begin(), included.end());
            else
                page.missingIncludes.push_back(path);
            continue;
        }
        TextPageLine line;
        if (!EditLine(raw[i], line)) {
            sink.Info(kTooManyBoldRuns);
            processing = false;
            continue;
        }
        page.lines.push_back(std::move(line));
        ++i;
    }
    return true;
}

std::string CannotOpenMessage(const std::string& TxtFilename)
{
    std::string problem;
    const std::unique_ptr<ByteSource> src = OpenDataFile(TxtFilename, &problem);
    if (src && src->Size() > static_cast<int64_t>(kMaxPageBytes)) problem = TooLargeReason(kMaxPageBytes);
    return WithReason("Cannot open file " + NativePath(TxtFilename), problem);
}

std::string EncodeTextPageLine(const std::vector<StyledText>& pieces)
{
    std::string out;
    bool inBold = false;
    for (const StyledText& p : pieces) {
        if (p.utf8.empty()) continue;
        if (p.bold != inBold) {
            out += '~';
            inBold = p.bold;
        }
        for (char32_t cp : Utf8ToCodePoints(p.utf8)) out += EncodeChar(cp);
    }
    if (inBold) out += '~';
    return out;
}

} // namespace corvane
