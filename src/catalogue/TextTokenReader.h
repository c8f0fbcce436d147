#pragma once
// Reads the text data files of the catalogue (master files, the data list) as a classic
// text-file reader does: whole lines (cut to a maximum length), and numbers token by token,
// where blanks and line ends separate the tokens and a token that is not a number is an
// error. A read never goes past the last line.
#include "platform/TextFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

class MessageSink;

class TextTokenReader {
public:
    // fileLabel names the file in messages ("Error in " + fileLabel + " : ...").
    TextTokenReader(std::string text, std::string fileLabel, MessageSink& sink);
    // The reader keeps views into its own text.
    TextTokenReader(const TextTokenReader&) = delete;
    TextTokenReader& operator=(const TextTokenReader&) = delete;

    // The read position: a line index and a column in that line.
    size_t LineNo() const { return line_; }
    void SeekLine(size_t line);                 // to the start of a line (clamped to the end)
    bool Eof() const { return line_ >= count_; }
    // True when nothing but blanks and line ends remains.
    bool SeekEof() const;

    // The rest of the current line (at most maxLen characters) and on to the next line.
    // At the end of the file: the "unexpected end" error.
    bool ReadLine(std::string& s, size_t maxLen = 255);
    // Skips to the start of the next line (nothing at the end of the file).
    void EndLine();
    // An integer or a real token; blanks and line ends before it are skipped.
    bool ReadInt(int32_t& v);
    bool ReadReal(double& v);
    // One character of the current line; none at the end of a line (the position stays).
    void ReadChar();
    // Up to maxLen characters of the current line, staying on it.
    std::string ReadStr(size_t maxLen);

    // Set after the first error; the error's message was shown once, later errors are silent.
    bool Failed() const { return failed_; }
    // Reports a damaged file with a message of the caller's own ("Error in " + fileLabel + " : "
    // + what + "."), once.
    void Fail(const std::string& what);

private:
    bool NextToken(std::string& tok);
    void Rewind();
    // The text is walked line by line rather than split into lines: a file of line breaks
    // costs no more than its own bytes.
    std::string text_;
    size_t count_ = 0;        // lines in the text
    LineReader lines_;        // just after the current line
    std::string_view cur_;    // the current line (empty at the end)
    std::string label_;
    MessageSink& sink_;
    size_t line_ = 0;
    size_t col_ = 0;
    bool failed_ = false;
};

} // namespace corvane
