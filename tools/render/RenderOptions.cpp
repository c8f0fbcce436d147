#include "RenderOptions.h"

#include "gazetteer/NameFold.h"
#include "platform/CommandLine.h"
#include "platform/DataPath.h"
#include "platform/Ini.h"

#include <cstdlib>

namespace corvane {

namespace {

// "WxH" with both sides 1..kMaxPictureSide.
bool ParseSize(const std::string& text, int32_t& w, int32_t& h)
{
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    const std::string a = text.substr(0, x), b = text.substr(x + 1);
    auto digits = [](const std::string& s) {
        return !s.empty() && s.size() <= 9 && s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!digits(a) || !digits(b) || !ParseInt32(a, w) || !ParseInt32(b, h)) return false;
    return w >= 1 && h >= 1 && w <= kMaxPictureSide && h <= kMaxPictureSide;
}

bool OutputKindOf(const std::string& path, OutputKind& kind)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    const std::string ext = LowerCase(path.substr(dot + 1));
    if (ext == "png") kind = OutputKind::Png;
    else if (ext == "bmp") kind = OutputKind::Bmp;
    else if (ext == "pdf") kind = OutputKind::Pdf;
    else return false;
    return true;
}

// With more than one --output, the arguments cut after each --output and its value: the
// first part has the options and the first picture, each further part one more picture. With
// one, all of them (the map may then also follow its --output).
std::vector<std::vector<std::string>> PicturesOf(const std::vector<std::string>& args)
{
    size_t outputs = 0;
    for (const std::string& a : args) outputs += a == "--output" || a.rfind("--output=", 0) == 0;
    if (outputs < 2) return {args};
    std::vector<std::vector<std::string>> parts(1);
    for (size_t i = 0; i < args.size(); ++i) {
        parts.back().push_back(args[i]);
        bool ends = args[i].rfind("--output=", 0) == 0;
        if (args[i] == "--output" && i + 1 < args.size()) {
            parts.back().push_back(args[++i]);
            ends = true;
        }
        if (ends && i + 1 < args.size()) parts.emplace_back();
    }
    return parts;
}

// One more picture: a map definition (or none) and its --output.
bool ParseMorePicture(const std::vector<std::string>& args, RenderJob& job, std::string& error)
{
    std::optional<std::string> output;
    if (!ParseArguments(args, {{"output", &output, nullptr}}, job.mapFile, error)) {
        error += " (after the first --output, only a map and its --output may follow)";
        return false;
    }
    if (!output) {
        error = "--output OUT.png, OUT.bmp or OUT.pdf is required after " + job.mapFile;
        return false;
    }
    if (!OutputKindOf(*output, job.kind)) {
        error = "the output file must end in .png, .bmp or .pdf: " + *output;
        return false;
    }
    job.output = *output;
    return true;
}

// "Z1-Z2" or "Z": zoom levels 0..kMaxTileZoom, Z1 <= Z2.
bool ParseZooms(const std::string& text, int& z1, int& z2)
{
    const size_t dash = text.find('-');
    const std::string a = text.substr(0, dash), b = dash == std::string::npos ? a : text.substr(dash + 1);
    auto digits = [](const std::string& s) { return !s.empty() && s.size() <= 2 && s.find_first_not_of("0123456789") == std::string::npos; };
    if (!digits(a) || !digits(b)) return false;
    z1 = std::stoi(a);
    z2 = std::stoi(b);
    return z1 <= z2 && z2 <= kMaxTileZoom;
}

// "W,S,E,N" in degrees, W < E within -180..180, S < N within -90..90.
bool ParseBox(const std::string& text, std::array<double, 4>& box)
{
    size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t comma = text.find(',', at);
        if ((i < 3) == (comma == std::string::npos)) return false;
        const std::string part = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        char* end = nullptr;
        box[static_cast<size_t>(i)] = std::strtod(part.c_str(), &end);
        if (part.empty() || *end != '\0') return false;
        at = comma + 1;
    }
    return box[0] < box[2] && box[1] < box[3] && box[0] >= -180 && box[2] <= 180 && box[1] >= -90 && box[3] <= 90;
}

// A whole number of at most 9 digits.
bool ParseCount(const std::string& text, int64_t& v)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    v = std::stoll(text);
    return true;
}

// "K/N": shard K (0-based) of N, 1 <= N <= kMaxTileShards.
bool ParseShard(const std::string& text, int64_t& k, int64_t& n)
{
    const size_t slash = text.find('/');
    return slash != std::string::npos && ParseCount(text.substr(0, slash), k) && ParseCount(text.substr(slash + 1), n) &&
           n >= 1 && n <= kMaxTileShards && k < n;
}

// --merge OUT.mbtiles PART...: the only other option taken is --strict.
bool ParseMerge(const std::vector<std::string>& args, RenderOptions& options, std::string& error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--strict") {
            options.strict = true;
        } else if (a == "--merge" || a.rfind("--merge=", 0) == 0) {
            if (!options.merge.empty()) {
                error = "--merge is given twice";
                return false;
            }
            options.merge = a == "--merge" ? (i + 1 < args.size() ? args[++i] : std::string()) : a.substr(8);
            if (options.merge.empty()) {
                error = "option --merge needs a value";
                return false;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            error = "--merge OUT.mbtiles PART.mbtiles... takes no option but --strict, not " + a;
            return false;
        } else {
            options.mergeParts.push_back(a);
        }
    }
    if (LowerCase(options.merge.substr(options.merge.size() < 8 ? 0 : options.merge.size() - 8)) != ".mbtiles") {
        error = "--merge writes an MBTiles file, whose name ends in .mbtiles, not " + options.merge;
        return false;
    }
    if (options.mergeParts.empty()) {
        error = "--merge " + options.merge + " wants the MBTiles files of the shards to join";
        return false;
    }
    return true;
}

} // namespace

bool ParseRenderOptions(const std::vector<std::string>& allArgs, RenderOptions& options, std::string& error)
{
    options = RenderOptions{};
    for (const std::string& a : allArgs)
        if (a == "--merge" || a.rfind("--merge=", 0) == 0) return ParseMerge(allArgs, options, error);
    const std::vector<std::vector<std::string>> parts = PicturesOf(allArgs);
    const std::vector<std::string>& args = parts.front();
    for (size_t k = 1; k < parts.size(); ++k) {
        RenderJob job;
        if (!ParseMorePicture(parts[k], job, error)) return false;
        options.more.push_back(job);
    }
    std::optional<std::string> size, output, tiles, zooms, bbox, find, jobs, shard, page, pageSize;
    if (!ParseArguments(args,
                        {{"help", nullptr, &options.help},
                         {"version", nullptr, &options.version},
                         {"strict", nullptr, &options.strict},
                         {"cdrom", &options.cdrom, nullptr},
                         {"datalist", &options.datalist, nullptr},
                         {"settings", &options.settings, nullptr},
                         {"size", &size, nullptr},
                         {"output", &output, nullptr},
                         {"tiles", &tiles, nullptr},
                         {"zooms", &zooms, nullptr},
                         {"zoom", &zooms, nullptr},
                         {"bbox", &bbox, nullptr},
                         {"find", &find, nullptr},
                         {"jobs", &jobs, nullptr},
                         {"shard", &shard, nullptr},
                         {"resume", nullptr, &options.resume},
                         {"page", &page, nullptr},
                         {"page-size", &pageSize, nullptr}},
                        options.mapFile, error)) {
        // Two maps with one --output: the second wants its own.
        if (!options.mapFile.empty() && error.rfind("only one map definition file", 0) == 0)
            error += " (each further map needs its own --output)";
        return false;
    }
    if (options.help || options.version) return true;
    if (size && !ParseSize(*size, options.width, options.height)) {
        error = "--size wants WxH, each side 1 to " + std::to_string(kMaxPictureSide) + " pixels, not " + *size;
        return false;
    }
    if (zooms && !ParseZooms(*zooms, options.zoomMin, options.zoomMax)) {
        error = "--zooms wants Z1-Z2 within 0-" + std::to_string(kMaxTileZoom) + ", not " + *zooms;
        return false;
    }
    if (bbox) {
        std::array<double, 4> box{};
        if (!ParseBox(*bbox, box)) {
            error = "--bbox wants W,S,E,N in degrees, west of east and south of north, not " + *bbox;
            return false;
        }
        options.bbox = box;
    }
    if (page) {
        options.page = LowerCase(*page);
        if (options.page != "portrait" && options.page != "landscape") {
            error = "--page wants portrait or landscape, not " + *page;
            return false;
        }
    }
    if (pageSize) {
        if (pageSize->empty()) {
            error = "--page-size wants the name of a paper size, such as A4 or Letter";
            return false;
        }
        options.pageSize = *pageSize;
    }
    if (tiles && output) {
        error = "--tiles and --output do not go together";
        return false;
    }
    if (find && tiles) {
        error = "--find goes with --output";
        return false;
    }
    if (find && FoldQuery(*find).size() < 2) {
        // The place search starts from the second letter: a shorter name finds nothing.
        error = "--find wants a name of two letters or more, not \"" + *find + "\"";
        return false;
    }
    if (find) options.find = *find;
    if ((zooms || bbox) && !tiles) {
        error = "--zooms and --bbox go with --tiles";
        return false;
    }
    int64_t count = 0;
    if (jobs && (!ParseCount(*jobs, count) || count < 1 || count > kMaxTileJobs)) {
        error = "--jobs wants a number of processes from 1 to " + std::to_string(kMaxTileJobs) + ", not " + *jobs;
        return false;
    }
    options.jobs = static_cast<int>(count);
    if (shard && !ParseShard(*shard, options.shardIndex, options.shardCount)) {
        error = "--shard wants K/N, shard K (0 to N - 1) of N shards, N at most " + std::to_string(kMaxTileShards) +
                ", not " + *shard;
        return false;
    }
    if ((jobs || shard || options.resume) && !tiles) {
        error = "--jobs, --shard and --resume go with --tiles";
        return false;
    }
    if (tiles) {
        options.tiles = *tiles;
        return true;
    }
    if (!output) {
        error = "--output OUT.png, OUT.bmp or OUT.pdf (or --tiles DIR) is required";
        return false;
    }
    if (!OutputKindOf(*output, options.kind)) {
        error = "the output file must end in .png, .bmp or .pdf: " + *output;
        return false;
    }
    options.output = *output;
    return true;
}

std::string RenderUsage()
{
    // One usage line: its manual page takes the synopsis from it.
    return "Usage: corvane-render [OPTION]... [MAP.MDF] {--output OUT.{png,bmp,pdf} | --tiles {DIR | OUT.mbtiles}}\n"
           "  MAP.MDF          the map definition to draw (none: a new map)\n"
           "  --output FILE    the picture to write: PNG or BMP, or a one-page PDF printed as the\n"
           "                   viewer prints (1 inch margins); more maps, each followed by its\n"
           "                   own --output, are drawn one after the other by the same process;\n"
           "                   a file the run reads, or another map's output, is refused\n"
           "  --find NAME      centre the map on the first place of the atlas that the place\n"
           "                   search finds for NAME (two letters or more), at a scale that\n"
           "                   shows it (its theme is added to the map when the map does not\n"
           "                   draw it); when several match, the one shown is named\n"
           "  --tiles DIR      a web map tile pyramid instead: DIR/Z/X/Y.png, 256 x 256 pixels in\n"
           "                   Web Mercator (the XYZ layout), and DIR/index.html that shows them\n"
           "                   with Leaflet (written beside it) and needs no network; a name\n"
           "                   ending in .mbtiles makes one MBTiles file of them instead\n"
           "  --zooms Z1-Z2    the zoom levels of the tiles (default 0-5, at most 18)\n"
           "  --bbox W,S,E,N   the tiles' box in degrees (default: the map's box)\n"
           "  --jobs N         processes drawing tiles at once (default: one for each core)\n"
           "  --shard K/N      draw only shard K (0 to N - 1) of N equal shares of the pyramid, so\n"
           "                   that N runs, on one machine or many, draw it together; the\n"
           "                   shards of a folder share it, those of MBTiles files are joined\n"
           "                   with --merge\n"
           "  --resume         keep the tiles already written and draw only the others (an\n"
           "                   MBTiles file is then written in place, so that a run stopped\n"
           "                   half-way goes on where it stopped)\n"
           "  --merge OUT.mbtiles PART.mbtiles...\n"
           "                   join the MBTiles files of shards into one\n"
           "  --size WxH       the map picture in pixels (default 1024x768); the map's box is fitted\n"
           "                   to this shape\n"
           "  --page portrait|landscape\n"
           "                   the PDF page's orientation (default: the one in which the map prints\n"
           "                   largest, landscape for a map wider than high)\n"
           "  --page-size NAME the PDF's paper: A4, Letter, A3, Legal, A5, B5, Tabloid... (default:\n"
           "                   A4)\n"
           "  --cdrom DIR      the data medium's root (stands for CDROM: in data paths): a folder\n"
           "                   or a disc image (ISO 9660 or UDF) such as atlas.iso\n"
           "  --datalist FILE  the data list file (may begin with CDROM:)\n"
           "  --settings FILE  the viewer's settings file to read the data location and the\n"
           "                   coastline files from (default: the built-in defaults)\n"
           "  --strict         exit with status 3 when the picture was written but a message was\n"
           "                   shown (a missing or damaged file, a theme the data list lacks)\n"
           "  --help           show this text\n"
           "  --version        show the program's version\n"
           "Messages go to standard error. Exit status: 0 the picture was written, 1 the map\n"
           "could not be produced (or its box is none a map can show), 2 bad arguments or an\n"
           "output refused, 3 (with --strict) the picture was written\n"
           "with messages.\n";
}

} // namespace corvane
