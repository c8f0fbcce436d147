#include "help/HelpPages.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <set>
#include <sstream>

namespace corvane {

namespace {

// ---- a small reader of the pages' HTML -----------------------------------------------------------

struct Token {
    enum Kind { Text, Open, Close } kind = Text;
    std::string name;                           // tag name, lower case
    std::map<std::string, std::string> attrs;   // attribute names in lower case
    std::string text;                           // for Text: the raw text
};

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

void ParseAttributes(const std::string& s, size_t i, Token& t)
{
    while (i < s.size()) {
        while (i < s.size() && (IsSpace(s[i]) || s[i] == '/')) ++i;
        size_t start = i;
        while (i < s.size() && !IsSpace(s[i]) && s[i] != '=' && s[i] != '/') ++i;
        if (i == start) break;
        std::string name = Lower(s.substr(start, i - start));
        while (i < s.size() && IsSpace(s[i])) ++i;
        std::string value;
        if (i < s.size() && s[i] == '=') {
            ++i;
            while (i < s.size() && IsSpace(s[i])) ++i;
            if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
                const char q = s[i++];
                size_t end = s.find(q, i);
                if (end == std::string::npos) end = s.size();
                value = s.substr(i, end - i);
                i = end + 1;
            } else {
                start = i;
                while (i < s.size() && !IsSpace(s[i])) ++i;
                value = s.substr(start, i - start);
            }
        }
        t.attrs[name] = value;
    }
}

std::vector<Token> Tokenize(const std::string& html)
{
    std::vector<Token> out;
    size_t i = 0;
    auto addText = [&](size_t from, size_t to) {
        if (to > from) out.push_back({Token::Text, {}, {}, html.substr(from, to - from)});
    };
    while (i < html.size()) {
        const size_t lt = html.find('<', i);
        if (lt == std::string::npos) {
            addText(i, html.size());
            break;
        }
        addText(i, lt);
        if (html.compare(lt, 4, "<!--") == 0) {
            const size_t end = html.find("-->", lt + 4);
            i = end == std::string::npos ? html.size() : end + 3;
            continue;
        }
        // The end of the tag, past quoted attribute values.
        size_t j = lt + 1;
        char quote = 0;
        while (j < html.size() && (quote || html[j] != '>')) {
            if (quote && html[j] == quote)
                quote = 0;
            else if (!quote && (html[j] == '"' || html[j] == '\''))
                quote = html[j];
            ++j;
        }
        const std::string inner = html.substr(lt + 1, j - lt - 1);
        i = j + 1;
        if (inner.empty() || inner[0] == '!' || inner[0] == '?') continue;   // doctype, processing
        Token t;
        size_t k = 0;
        if (inner[0] == '/') {
            t.kind = Token::Close;
            k = 1;
        } else {
            t.kind = Token::Open;
        }
        const size_t nameStart = k;
        while (k < inner.size() && !IsSpace(inner[k]) && inner[k] != '/') ++k;
        t.name = Lower(inner.substr(nameStart, k - nameStart));
        if (t.kind == Token::Open) ParseAttributes(inner, k, t);
        out.push_back(std::move(t));
    }
    return out;
}

// Text with its entities decoded (the named ones the pages use, and numeric ones).
std::string DecodeEntities(const std::string& s)
{
    static const std::map<std::string, uint32_t> named = {
        {"amp", '&'},      {"lt", '<'},       {"gt", '>'},       {"quot", '"'},     {"apos", '\''},
        {"nbsp", 0xA0},    {"rsaquo", 0x203A}, {"lsaquo", 0x2039}, {"deg", 0xB0},    {"mdash", 0x2014},
        {"ndash", 0x2013}, {"times", 0xD7},   {"rarr", 0x2192},  {"larr", 0x2190},  {"uarr", 0x2191},
        {"darr", 0x2193},  {"prime", 0x2032}, {"Prime", 0x2033}, {"hellip", 0x2026}, {"middot", 0xB7},
    };
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        const size_t semi = s.find(';', i);
        if (semi == std::string::npos || semi - i > 10) {
            out += s[i];
            continue;
        }
        const std::string name = s.substr(i + 1, semi - i - 1);
        uint32_t cp = 0;
        bool known = false;
        if (name.size() > 1 && name[0] == '#') {
            try {
                cp = static_cast<uint32_t>(name[1] == 'x' || name[1] == 'X' ? std::stoul(name.substr(2), nullptr, 16)
                                                                            : std::stoul(name.substr(1)));
                known = true;
            } catch (...) {
            }
        } else if (auto it = named.find(name); it != named.end()) {
            cp = it->second;
            known = true;
        }
        if (!known || cp == 0 || cp > 0x10FFFF) {
            out += s[i];
            continue;
        }
        AppendUtf8(out, cp == 0xA0 ? U' ' : static_cast<char32_t>(cp));
        i = semi;
    }
    return out;
}

// White space run together into single blanks, none at the ends.
std::string Squeeze(const std::string& s)
{
    std::string out;
    bool space = false;
    for (char c : s) {
        if (IsSpace(c)) {
            space = true;
            continue;
        }
        if (space && !out.empty()) out += ' ';
        space = false;
        out += c;
    }
    return out;
}

bool IsHeading(const std::string& name) { return name == "h1" || name == "h2" || name == "h3" || name == "h4"; }
// Elements whose text is not part of the body.
bool IsHidden(const std::string& name) { return name == "head" || name == "style" || name == "script" || name == "title"; }
// Elements that end a line of text.
bool IsBreak(const std::string& name)
{
    static const std::set<std::string> blocks = {"p",  "br", "li", "tr", "td", "th", "div", "pre", "table",
                                                 "ul", "ol", "dl", "dt", "dd", "h1", "h2", "h3", "h4"};
    return blocks.count(name) > 0;
}

std::string AnchorOf(const Token& t)
{
    if (auto it = t.attrs.find("id"); it != t.attrs.end() && !it->second.empty()) return it->second;
    if (t.name == "a")
        if (auto it = t.attrs.find("name"); it != t.attrs.end()) return it->second;
    return {};
}

bool HasScheme(const std::string& href)
{
    const size_t colon = href.find(':');
    if (colon == std::string::npos) return false;
    return std::all_of(href.begin(), href.begin() + static_cast<std::ptrdiff_t>(colon),
                       [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '+' || c == '-'; });
}

// Words of a text in lower case: runs of letters and digits (bytes of UTF-8 sequences count as
// letters).
std::vector<std::string> Words(const std::string& s)
{
    std::vector<std::string> out;
    std::string w;
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || u >= 0x80) {
            w += static_cast<char>(std::tolower(u));
        } else if (!w.empty()) {
            out.push_back(w);
            w.clear();
        }
    }
    if (!w.empty()) out.push_back(w);
    return out;
}

size_t CountPrefixes(const std::vector<std::string>& words, const std::string& prefix)
{
    return static_cast<size_t>(std::count_if(words.begin(), words.end(),
                                             [&](const std::string& w) { return w.compare(0, prefix.size(), prefix) == 0; }));
}

} // namespace

HelpTarget SplitHelpTarget(const std::string& target)
{
    const size_t hash = target.find('#');
    if (hash == std::string::npos) return {target, {}};
    return {target.substr(0, hash), target.substr(hash + 1)};
}

HelpContextMap ParseHelpContexts(const std::string& text)
{
    HelpContextMap out;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string squeezed = Squeeze(line);
        if (squeezed.empty() || squeezed[0] == '#') continue;
        std::istringstream fields(squeezed);
        long number = -1;
        std::string target, extra;
        const bool ok = static_cast<bool>(fields >> number >> target) && !(fields >> extra) && number >= 0 &&
                        number <= 0x7FFFFFFF && squeezed.find_first_not_of("0123456789") == squeezed.find(' ');
        if (!ok) {
            out.errors.push_back("line " + std::to_string(lineNo) + ": not a help context and a page: " + squeezed);
            continue;
        }
        if (!out.targets.emplace(static_cast<int>(number), target).second)
            out.errors.push_back("line " + std::to_string(lineNo) + ": help context " + std::to_string(number) +
                                 " given twice");
    }
    return out;
}

std::string HelpPageTitle(const std::string& html)
{
    std::string title;
    bool inTitle = false;
    for (const Token& t : Tokenize(html)) {
        if (t.kind != Token::Text && t.name == "title") {
            if (t.kind == Token::Close) break;
            inTitle = true;
        } else if (inTitle && t.kind == Token::Text) {
            title += t.text;
        }
    }
    return Squeeze(DecodeEntities(title));
}

std::vector<std::string> HelpAnchors(const std::string& html)
{
    std::vector<std::string> out;
    for (const Token& t : Tokenize(html))
        if (t.kind == Token::Open)
            if (std::string a = AnchorOf(t); !a.empty()) out.push_back(a);
    return out;
}

std::vector<HelpLink> HelpLinks(const std::string& html)
{
    std::vector<HelpLink> out;
    bool inLink = false;
    for (const Token& t : Tokenize(html)) {
        if (t.kind == Token::Open && t.name == "img") {
            if (auto it = t.attrs.find("src"); it != t.attrs.end()) out.push_back({it->second, {}, true});
        } else if (t.kind == Token::Open && t.name == "a") {
            auto it = t.attrs.find("href");
            inLink = it != t.attrs.end();
            if (inLink) out.push_back({it->second, {}, false});
        } else if (t.kind == Token::Close && t.name == "a") {
            if (inLink) out.back().text = Squeeze(DecodeEntities(out.back().text));
            inLink = false;
        } else if (t.kind == Token::Text && inLink) {
            out.back().text += t.text;
        }
    }
    return out;
}

std::string HelpPlainText(const std::string& html)
{
    std::string text;
    int hidden = 0;
    for (const Token& t : Tokenize(html)) {
        if (t.kind == Token::Text) {
            if (!hidden) text += t.text;
        } else if (IsHidden(t.name)) {
            hidden = std::max(0, hidden + (t.kind == Token::Open ? 1 : -1));
        } else if (IsBreak(t.name)) {
            text += ' ';
        }
    }
    return Squeeze(DecodeEntities(text));
}

std::vector<HelpSection> HelpSections(const std::string& page, const std::string& html)
{
    std::vector<HelpSection> out;
    out.push_back({page, {}, HelpPageTitle(html), {}});
    int hidden = 0;
    bool inHeading = false;
    std::string pendingAnchor;   // an anchor with no text after it yet
    for (const Token& t : Tokenize(html)) {
        HelpSection& s = out.back();
        if (t.kind == Token::Text) {
            if (hidden) continue;
            if (inHeading) {
                s.title += t.text;
            } else {
                s.text += t.text;
                if (!Squeeze(t.text).empty()) pendingAnchor.clear();
            }
            continue;
        }
        if (IsHidden(t.name)) {
            hidden = std::max(0, hidden + (t.kind == Token::Open ? 1 : -1));
            continue;
        }
        if (IsHeading(t.name)) {
            if (t.kind == Token::Open) {
                std::string anchor = AnchorOf(t);
                out.push_back({page, anchor.empty() ? pendingAnchor : anchor, {}, {}});
                pendingAnchor.clear();
                inHeading = true;
            } else {
                inHeading = false;
            }
            continue;
        }
        if (t.kind == Token::Open) {
            if (std::string a = AnchorOf(t); !a.empty()) {
                if (inHeading && s.anchor.empty())
                    s.anchor = a;
                else if (!inHeading)
                    pendingAnchor = a;
            }
        }
        if (IsBreak(t.name)) (inHeading ? s.title : s.text) += ' ';
    }
    for (HelpSection& s : out) {
        s.title = Squeeze(DecodeEntities(s.title));
        s.text = Squeeze(DecodeEntities(s.text));
    }
    // A page whose first heading comes at once has no text of its own before it.
    if (out.size() > 1 && out.front().text.empty()) out.erase(out.begin());
    return out;
}

std::vector<HelpContentsEntry> HelpContentsEntries(const std::string& html)
{
    std::vector<HelpContentsEntry> out;
    int depth = 0;
    bool inLink = false;
    for (const Token& t : Tokenize(html)) {
        if (t.name == "ul" || t.name == "ol") {
            if (t.kind == Token::Open)
                ++depth;
            else if (t.kind == Token::Close)
                depth = std::max(0, depth - 1);
        } else if (t.name == "a" && t.kind == Token::Open) {
            auto it = t.attrs.find("href");
            inLink = it != t.attrs.end();
            if (inLink) out.push_back({depth, it->second, {}});
        } else if (t.name == "a" && t.kind == Token::Close) {
            if (inLink) out.back().text = Squeeze(DecodeEntities(out.back().text));
            inLink = false;
        } else if (t.kind == Token::Text && inLink) {
            out.back().text += t.text;
        }
    }
    return out;
}

std::vector<size_t> SearchHelp(const std::vector<HelpSection>& sections, const std::string& query, size_t limit)
{
    const std::vector<std::string> wanted = Words(query);
    if (wanted.empty()) return {};
    struct Scored {
        size_t index;
        size_t score;
    };
    std::vector<Scored> hits;
    for (size_t i = 0; i < sections.size(); ++i) {
        const std::vector<std::string> title = Words(sections[i].title);
        const std::vector<std::string> text = Words(sections[i].text);
        size_t score = 0;
        bool all = true;
        for (const std::string& w : wanted) {
            const size_t inTitle = CountPrefixes(title, w);
            const size_t inText = CountPrefixes(text, w);
            if (inTitle + inText == 0) {
                all = false;
                break;
            }
            score += 20 * std::min<size_t>(inTitle, 1) + std::min<size_t>(inText, 10);
        }
        if (all) hits.push_back({i, score});
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Scored& a, const Scored& b) { return a.score > b.score; });
    std::vector<size_t> out;
    for (size_t i = 0; i < hits.size() && i < limit; ++i) out.push_back(hits[i].index);
    return out;
}

std::vector<std::string> BrokenHelpLinks(const std::map<std::string, std::string>& pages,
                                         const std::vector<std::string>& otherFiles)
{
    std::map<std::string, std::set<std::string>> anchors;
    for (const auto& [name, html] : pages) {
        const std::vector<std::string> a = HelpAnchors(html);
        anchors[name] = std::set<std::string>(a.begin(), a.end());
    }
    const std::set<std::string> others(otherFiles.begin(), otherFiles.end());
    std::vector<std::string> out;
    for (const auto& [name, html] : pages)
        for (const HelpLink& link : HelpLinks(html)) {
            if (link.href.empty()) {
                out.push_back(name + ": a link without a target");
                continue;
            }
            if (HasScheme(link.href)) continue;
            const HelpTarget target = SplitHelpTarget(link.href);
            const std::string file = target.page.empty() ? name : target.page;
            auto page = anchors.find(file);
            if (page == anchors.end()) {
                if (!others.count(file)) out.push_back(name + ": " + link.href + " leads to no file");
                else if (!target.anchor.empty()) out.push_back(name + ": " + link.href + " names an anchor in a file that is no page");
                continue;
            }
            if (!target.anchor.empty() && !page->second.count(target.anchor))
                out.push_back(name + ": " + link.href + " names an anchor " + file + " does not have");
        }
    return out;
}

} // namespace corvane
