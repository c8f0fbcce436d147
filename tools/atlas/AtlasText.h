#pragma once
// Text for the atlas's files. Sources are UTF-8; the atlas holds single bytes:
//  - labels, key texts, titles, query headings and values are Windows-1252;
//  - text pages are read by the text viewer as DOS text: bytes from 0x81 up (but 0xB0) are
//    shown as line-drawing characters and 0xF8 as a degree sign, so a page keeps only ASCII,
//    the degree sign (written 0xF8) and the box-drawing characters (written in code page 437).
// Letters that the target cannot hold lose their accents (Gdańsk gives Gdansk, İzmir Izmir);
// anything else becomes "?".
#include <functional>
#include <optional>
#include <string>

namespace corvane::atlas {

enum class TextUse {
    Plain,        // labels, key texts, query headings, one-line information
    QueryValue,   // values of headed records: the viewer turns 0xF8 into a degree sign, so
                  // the letter o with a stroke (0xF8 in Windows-1252) is written as "o"
    QueryHeading, // headings of query lines: the viewer turns 0xF8 into a degree sign and
                  // 0xFD into a superscript two, so o with a stroke is written as "o" and
                  // y with an acute as "y"
    Page,         // text pages, see above
};

std::string ToAtlasText(const std::string& utf8, TextUse use);

// Replaces every {name} in a template by the value field(name) gives; "{{" and "}}" stand
// for braces. A name that field does not know is reported in missing (the first one) and
// left empty.
std::string ExpandTemplate(const std::string& tpl,
                           const std::function<std::optional<std::string>(const std::string&)>& field,
                           std::string* missing = nullptr);

} // namespace corvane::atlas
