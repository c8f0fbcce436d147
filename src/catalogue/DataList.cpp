#include "catalogue/DataList.h"

#include "catalogue/TextTokenReader.h"
#include "platform/ByteSource.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "platform/TextFile.h"

#include <algorithm>

namespace corvane {

namespace {

// A data list larger than this is refused as unreadable (tens of thousands of entries fit).
constexpr size_t kMaxDataListBytes = 8u << 20;
// Deeper entries are kept as siblings at this depth (the levels are meant to be one digit).
constexpr size_t kMaxDepth = 64;

// What a data list that holds not one entry is told with (a garbage or empty file).
constexpr const char* kNoUsableEntry = "it holds no usable entry";

bool ReadDataListText(std::string& text, MessageSink& sink)
{
    std::string problem;
    std::unique_ptr<ByteSource> src = OpenDataFile(CvVars::DatalistFile, &problem);
    if (!src || !ReadAllBytes(*src, text, kMaxDataListBytes, &problem)) {
        sink.Warn(WithReason("There is a problem opening file " + NativePath(CvVars::DatalistFile) + ".", problem));
        return false;
    }
    return true;
}

// Names of the regular files in the folder of dataPrefix whose names begin with its file-name
// part, compared without regard to case, in the order of their upper-cased names.
std::vector<std::string> FilesBeginningWith(const std::string& dataPrefix)
{
    std::vector<std::string> found;
    const std::string dir = ExtractFilePath(dataPrefix);
    const std::string stem = UpperCase(ExtractFileName(dataPrefix));
    std::vector<DataFolderEntry> entries;
    if (!ListDataFolder(dir, entries)) return found;
    for (const DataFolderEntry& e : entries)
        if (!e.folder && e.name.size() >= stem.size() && UpperCase(e.name.substr(0, stem.size())) == stem)
            found.push_back(e.name);
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        return UpperCase(a) < UpperCase(b);
    });
    return found;
}

} // namespace

void ReadDataListFile(const std::string& Title, std::string& sFile, MessageSink& sink)
{
    DataListTitles titles;
    sFile = titles.Load(sink) ? titles.Find(Title) : std::string();
}

bool DataListTitles::Load(MessageSink& sink)
{
    files_.clear();
    std::string text;
    if (!ReadDataListText(text, sink)) return false;
    if (Parse(text) == 0) {
        sink.Warn("Error in " + NativePath(CvVars::DatalistFile) + " : " + kNoUsableEntry + ".");
        return false;
    }
    return true;
}

size_t DataListTitles::Parse(const std::string& text)
{
    files_.clear();
    size_t usable = 0;
    auto numbered = [](std::string_view line) { return !line.empty() && line[0] >= '0' && line[0] <= '9'; };
    LineReader lines(text);
    for (std::string_view titleLine; lines.Next(titleLine);) {
        std::string_view fileLine;
        const bool hasFileLine = lines.Next(fileLine);
        if (numbered(titleLine) && hasFileLine && numbered(fileLine)) ++usable;
        std::string title = titleLine.size() > 2 ? TrimRight(std::string(titleLine.substr(2))) : std::string();
        if (fileLine.substr(0, 2) == "0 ") title = "(Text) " + title;
        // The first entry of a title wins.
        files_.emplace(UpperCase(ShortStr255(title)),
                       fileLine.size() > 2 ? ShortStr255(std::string(fileLine.substr(2))) : std::string());
    }
    return usable;
}

std::string DataListTitles::Find(const std::string& Title) const
{
    auto it = files_.find(UpperCase(Title));
    return it == files_.end() ? std::string() : it->second;
}

DataListTree ParseDataListTree(const std::string& text, const std::string& fileLabel, MessageSink& sink)
{
    DataListTree tree;
    TextTokenReader t(text, fileLabel, sink);
    std::vector<int> path;   // the open branch: the last node added at each depth
    while (!t.SeekEof()) {
        int32_t level = 0, type = 0;
        if (!t.ReadInt(level)) break;
        t.ReadChar();
        std::string title = TrimRight(t.ReadStr(87));
        t.EndLine();
        if (!t.ReadInt(type)) break;
        t.ReadChar();
        std::string file = t.ReadStr(80);
        t.EndLine();
        if (type == 0) title = ("(Text) " + title).substr(0, 87);

        // A greater level (by any amount) makes a child of the entry before; an equal or
        // smaller one closes the branches at that level and below.
        while (!path.empty() && tree.Nodes[static_cast<size_t>(path.back())].Level >= level) path.pop_back();
        if (path.size() >= kMaxDepth) path.pop_back();

        DataListNode node;
        node.Title = title;
        node.Level = level;
        node.Type = type;
        node.FileStr = file;
        node.Parent = path.empty() ? -1 : path.back();
        const int index = static_cast<int>(tree.Nodes.size());
        if (node.Parent < 0) tree.Roots.push_back(index);
        else tree.Nodes[static_cast<size_t>(node.Parent)].Children.push_back(index);
        tree.Nodes.push_back(std::move(node));
        path.push_back(index);
    }
    if (tree.Nodes.empty()) t.Fail(kNoUsableEntry);   // said once: not after another error
    return tree;
}

DataListTree ReadDataListTree(MessageSink& sink)
{
    std::string text;
    if (!ReadDataListText(text, sink)) return {};
    return ParseDataListTree(text, NativePath(CvVars::DatalistFile), sink);
}

std::string ConvFileStr(const std::string& S, MessageSink& sink)
{
    // A heading's placeholder; blanks after it (hand-edited lists) do not make it a path.
    if (TrimRight(S) == "XXXX") return {};
    std::string s = S;
    size_t dot = s.find('.');
    if (dot != std::string::npos) s.erase(dot + 1);
    s = CheckCD_Drive(s);

    // An empty file string names no folder: the working folder is not searched.
    const std::vector<std::string> ini = Trim(S).empty() ? std::vector<std::string>() : FilesBeginningWith(s + "I");
    if (!ini.empty()) {
        const std::string dir = ExtractFilePath(s);
        std::string other;
        if (!SameText(ini[0], ExtractFileName(s) + "INI")) other = ini[0];
        else if (ini.size() > 1) other = ini[1];
        if (!other.empty()) {
            sink.Info("Use of user defined Initialisation files is currently not implemented " + NativePath(dir + other));
            size_t k = other.rfind('.');
            s = dir + (k == std::string::npos ? other : other.substr(0, k + 1));
        }
        return s + "INI";
    }
    if (FileExists(s + "MAS")) return s + "MAS";
    sink.Info(WithReason(NativePath(s + "MAS") + " file does not exist", DataFileProblem(s + "MAS")));
    return {};
}

} // namespace corvane
