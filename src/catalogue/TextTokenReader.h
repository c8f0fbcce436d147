#pragma once
// Reads the text data files of the catalogue (master files, the data list) as a classic
// text-file reader does: whole lines (cut to a maximum length), and numbers token by token,
// where blanks and line ends separate the tokens and a token that is not a number is an
// error. The text is split into lines once; a read never goes past the last line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

class MessageSink;

class TextTokenReader {
public:
    // fileLabel names the file in messages ("Error in " + fileLabel + " : ...").
    TextTokenReader(const std::string& text, std::string fileLabel, MessageSink& sink);

    size_t LineCount() const { return lines_.size(); }
    const std::string& Line(size_t i) const { return lines_[i]; }

    // The read position: a line index and a column in that line.
    size_t LineNo() const { return line_; }
    void SeekLine(size_t line);                 // to the start of a line (clamped to the end)
    bool Eof() const { return line_ >= lines_.size(); }
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
    std::vector<std::string> lines_;
    std::string label_;
    MessageSink& sink_;
    size_t line_ = 0;
    size_t col_ = 0;
    bool failed_ = false;
};

} // namespace corvane
