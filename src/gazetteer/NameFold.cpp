#include "gazetteer/NameFold.h"

#include "platform/CodePage.h"

#include <array>

namespace corvane {

namespace {

// U+00C0 .. U+017F: what each letter folds to ("" separates words).
const char* const kLatin[192] = {
    // U+00C0
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", "", "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", "", "o", "u", "u", "u", "u", "y", "th", "y",
    // U+0100
    "a", "a", "a", "a", "a", "a", "c", "c", "c", "c", "c", "c", "c", "c", "d", "d",
    "d", "d", "e", "e", "e", "e", "e", "e", "e", "e", "e", "e", "g", "g", "g", "g",
    "g", "g", "g", "g", "h", "h", "h", "h", "i", "i", "i", "i", "i", "i", "i", "i",
    "i", "i", "ij", "ij", "j", "j", "k", "k", "k", "l", "l", "l", "l", "l", "l", "l",
    "l", "l", "l", "n", "n", "n", "n", "n", "n", "n", "n", "n", "o", "o", "o", "o",
    "o", "o", "oe", "oe", "r", "r", "r", "r", "r", "r", "s", "s", "s", "s", "s", "s",
    "s", "s", "t", "t", "t", "t", "t", "t", "u", "u", "u", "u", "u", "u", "u", "u",
    "u", "u", "u", "u", "w", "w", "y", "y", "y", "z", "z", "z", "z", "z", "z", "s",
};

class Folder {
public:
    explicit Folder(std::string& out) : out_(out) {}

    void Add(char32_t cp)
    {
        if (cp < 0x80) {
            const char c = static_cast<char>(cp);
            if (c >= 'A' && c <= 'Z') Put(static_cast<char>(c - 'A' + 'a'));
            else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) Put(c);
            else Separate();
        } else if (cp >= 0xC0 && cp <= 0x17F) {
            Put(kLatin[cp - 0xC0]);
        } else if (cp == 0xAA) {
            Put('a');   // ª
        } else if (cp == 0xBA) {
            Put('o');   // º
        } else if (cp < 0xC0 || (cp >= 0x2000 && cp <= 0x206F) || cp == 0x3000) {
            Separate();   // the rest of Latin-1 and general punctuation: blanks, signs, dashes, quotes
        } else if (cp >= 0x300 && cp <= 0x36F) {
            // A combining accent typed apart from its letter.
        } else if (cp == 0x192) {
            Put('f');   // ƒ
        } else if (cp == 0x218 || cp == 0x219) {
            Put('s');   // Ș ș
        } else if (cp == 0x21A || cp == 0x21B) {
            Put('t');   // Ț ț
        } else {
            std::string utf8;
            AppendUtf8(utf8, cp);
            Put(utf8.c_str());
        }
    }

private:
    void Separate() { pending_ = !out_.empty(); }
    void Put(char c)
    {
        if (pending_) out_ += ' ';
        pending_ = false;
        out_ += c;
    }
    void Put(const char* s)
    {
        if (!*s) return Separate();
        for (; *s; ++s) Put(*s);
    }
    std::string& out_;
    bool pending_ = false;
};

// The folding of every Windows-1252 byte, worked out once.
const std::array<std::string, 256>& ByteFolds()
{
    static const std::array<std::string, 256> folds = [] {
        std::array<std::string, 256> f;
        for (int b = 0; b < 256; ++b) {
            std::string out;
            Folder(out).Add(Cp1252ToUnicode(static_cast<uint8_t>(b)));
            f[static_cast<size_t>(b)] = out;   // empty: a separator
        }
        return f;
    }();
    return folds;
}

} // namespace

std::string FoldName(const std::string& cp1252)
{
    const std::array<std::string, 256>& folds = ByteFolds();
    std::string out;
    out.reserve(cp1252.size());
    bool pending = false;
    for (const char ch : cp1252) {
        const std::string& f = folds[static_cast<uint8_t>(ch)];
        if (f.empty()) {
            pending = !out.empty();
            continue;
        }
        if (pending) out += ' ';
        pending = false;
        out += f;
    }
    return out;
}

std::string FoldQuery(const std::string& utf8)
{
    std::string out;
    Folder folder(out);
    for (const char32_t cp : Utf8ToCodePoints(utf8)) folder.Add(cp);
    return out;
}

} // namespace corvane
