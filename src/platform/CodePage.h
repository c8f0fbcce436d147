#pragma once
// Text in data files is single-byte: Windows-1252, or DOS code page 437 where a line-drawing
// face is asked for. The core keeps the bytes; these turn them into Unicode (UTF-8) at the
// toolkit boundary, and back where the user types text that goes into a file.
#include <cstdint>
#include <string>

namespace corvane {

char32_t Cp1252ToUnicode(uint8_t byte);
char32_t Cp437ToUnicode(uint8_t byte);

std::string Cp1252ToUtf8(const std::string& bytes);
std::string Cp437ToUtf8(const std::string& bytes);

// Text that joins bytes of data files with names from the file system, as messages do
// ("There is a problem opening file /home/jürgen/atlas\Misc\MainMenu.Dat."): each well-formed
// UTF-8 sequence of two to four bytes is taken as the file system's UTF-8, every other byte as
// Windows-1252. A run of Windows-1252 letters forms such a sequence only in unlikely pairs such
// as "Ã©".
std::string MixedTextToUtf8(const std::string& bytes);

// Characters that Windows-1252 cannot hold become '?'.
std::string Utf8ToCp1252(const std::string& utf8);

// The code points of UTF-8 text; a broken sequence gives '?'.
std::u32string Utf8ToCodePoints(const std::string& utf8);
// The byte of a character in each code page; -1 when the code page has none.
int UnicodeToCp1252(char32_t cp);
int UnicodeToCp437(char32_t cp);

// Appends the UTF-8 encoding of one code point.
void AppendUtf8(std::string& out, char32_t cp);

} // namespace corvane
