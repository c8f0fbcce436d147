#include "catalogue/TextTokenReader.h"

#include "platform/Ini.h"
#include "platform/MessageSink.h"
#include "platform/TextFile.h"

#include <cmath>

namespace corvane {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

} // namespace

TextTokenReader::TextTokenReader(const std::string& text, std::string fileLabel, MessageSink& sink)
    : lines_(SplitLines(text)), label_(std::move(fileLabel)), sink_(sink)
{
}

void TextTokenReader::SeekLine(size_t line)
{
    line_ = line < lines_.size() ? line : lines_.size();
    col_ = 0;
}

bool TextTokenReader::SeekEof() const
{
    size_t col = col_;
    for (size_t l = line_; l < lines_.size(); ++l, col = 0)
        for (size_t c = col; c < lines_[l].size(); ++c)
            if (!IsBlank(lines_[l][c])) return false;
    return true;
}

void TextTokenReader::Fail(const std::string& what)
{
    if (failed_) return;
    failed_ = true;
    sink_.Warn("Error in " + label_ + " : " + what + ".");
}

bool TextTokenReader::ReadLine(std::string& s, size_t maxLen)
{
    s.clear();
    if (Eof()) {
        Fail("unexpected end of file at line " + std::to_string(line_ + 1));
        return false;
    }
    const std::string& l = lines_[line_];
    if (col_ < l.size()) s = l.substr(col_, maxLen);
    EndLine();
    return true;
}

void TextTokenReader::EndLine()
{
    if (line_ < lines_.size()) ++line_;
    col_ = 0;
}

bool TextTokenReader::NextToken(std::string& tok)
{
    tok.clear();
    for (;;) {
        if (Eof()) {
            Fail("unexpected end of file at line " + std::to_string(line_ + 1));
            return false;
        }
        const std::string& l = lines_[line_];
        while (col_ < l.size() && IsBlank(l[col_])) ++col_;
        if (col_ < l.size()) break;
        ++line_;
        col_ = 0;
    }
    const std::string& l = lines_[line_];
    size_t start = col_;
    while (col_ < l.size() && !IsBlank(l[col_])) ++col_;
    tok = l.substr(start, col_ - start);
    return true;
}

bool TextTokenReader::ReadInt(int32_t& v)
{
    std::string tok;
    if (!NextToken(tok)) return false;
    if (ParseInt32(tok, v)) return true;
    Fail("invalid number '" + tok.substr(0, 24) + "' at line " + std::to_string(line_ + 1));
    return false;
}

bool TextTokenReader::ReadReal(double& v)
{
    std::string tok;
    if (!NextToken(tok)) return false;
    // A value out of range is not kept: the theme read so far never holds an infinite extent.
    double read = 0;
    if (ParseReal(tok, read) && std::isfinite(read)) {
        v = read;
        return true;
    }
    Fail("invalid number '" + tok.substr(0, 24) + "' at line " + std::to_string(line_ + 1));
    return false;
}

void TextTokenReader::ReadChar()
{
    if (!Eof() && col_ < lines_[line_].size()) ++col_;
}

std::string TextTokenReader::ReadStr(size_t maxLen)
{
    if (Eof()) return {};
    const std::string& l = lines_[line_];
    if (col_ >= l.size()) return {};
    std::string s = l.substr(col_, maxLen);
    col_ += s.size();
    return s;
}

} // namespace corvane
