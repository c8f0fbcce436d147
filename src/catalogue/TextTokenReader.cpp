#include "catalogue/TextTokenReader.h"

#include "platform/Ini.h"
#include "platform/MessageSink.h"
#include "platform/TextFile.h"

#include <cmath>

namespace corvane {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

} // namespace

TextTokenReader::TextTokenReader(std::string text, std::string fileLabel, MessageSink& sink)
    : text_(std::move(text)), lines_(text_), label_(std::move(fileLabel)), sink_(sink)
{
    for (std::string_view l; lines_.Next(l);) ++count_;
    Rewind();
}

void TextTokenReader::Rewind()
{
    lines_ = LineReader(text_);
    line_ = col_ = 0;
    cur_ = {};
    if (count_ > 0) lines_.Next(cur_);
}

void TextTokenReader::SeekLine(size_t line)
{
    // Sections are read in file order, so a seek back (and the walk from the start) is rare.
    if (line < line_) Rewind();
    while (line_ < line && line_ < count_) EndLine();
    col_ = 0;
}

bool TextTokenReader::SeekEof() const
{
    if (Eof()) return true;
    for (size_t c = col_; c < cur_.size(); ++c)
        if (!IsBlank(cur_[c])) return false;
    LineReader rest = lines_;
    for (std::string_view l; rest.Next(l);)
        for (char c : l)
            if (!IsBlank(c)) return false;
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
    if (col_ < cur_.size()) s = std::string(cur_.substr(col_, maxLen));
    EndLine();
    return true;
}

void TextTokenReader::EndLine()
{
    if (line_ < count_) {
        ++line_;
        cur_ = {};
        if (line_ < count_) lines_.Next(cur_);
    }
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
        while (col_ < cur_.size() && IsBlank(cur_[col_])) ++col_;
        if (col_ < cur_.size()) break;
        EndLine();
    }
    size_t start = col_;
    while (col_ < cur_.size() && !IsBlank(cur_[col_])) ++col_;
    tok = std::string(cur_.substr(start, col_ - start));
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
    if (!Eof() && col_ < cur_.size()) ++col_;
}

std::string TextTokenReader::ReadStr(size_t maxLen)
{
    if (Eof() || col_ >= cur_.size()) return {};
    std::string s(cur_.substr(col_, maxLen));
    col_ += s.size();
    return s;
}

} // namespace corvane
