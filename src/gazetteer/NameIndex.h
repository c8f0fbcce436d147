#pragma once
// The index of the names of an atlas: every name it holds, what it is and where it lies, and
// the search of the place search (the type-ahead of the viewer, corvane-render --find and the
// gazetteer corvane-atlas names writes).
//
// Names come from three places: the texts of the label layers (a point, with the zoom trigger
// from which its label is drawn), the key texts of every theme (the area of the features drawn
// with that key item), and the records of the query information files (a point symbol, or a
// polygon with its reference point and the area of its outline; a town, a sea, a country's
// waters). Texts are kept as the files hold them, in Windows-1252.
//
// A search folds the typed text as the names are folded (NameFold.h) and answers, in this
// order: names equal to it, names with a word that starts with it, names that hold it
// anywhere. Within each group the places come in the index's order: areas first, then points
// by the zoom their label needs (the widest first), then key texts.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

enum class PlaceSource : uint8_t { Label = 0, Key = 1, Record = 2 };

// A box in decimal degrees.
struct PlaceExtent {
    double west = 0, south = 0, east = 0, north = 0;
};

// One name of the atlas.
struct Place {
    std::string name;        // as the data hold it (Windows-1252), trimmed
    std::string kind;        // a query record's kind ("Gulf", "capital of a country"); else empty
    std::string theme;       // the title of its theme in the data list
    PlaceSource source = PlaceSource::Label;
    double lon = 0, lat = 0;          // the point: label anchor, symbol, reference point, or the area's centre
    bool hasExtent = false;
    PlaceExtent extent;               // the area of a polygon's outline or of a key item's features
    uint16_t trigger = 0;             // pixels per degree of longitude from which its label is drawn; 0 none
    std::string layerFile;            // a record's layer file, as its master file names it
    int dataType = 0;                 // that layer's data type
    int64_t infoOffset = -1;          // the query record's offset in the layer's information file
};

// The longest name kept, in bytes.
constexpr size_t kMaxPlaceName = 255;

class NameIndex {
public:
    NameIndex() = default;
    // Takes the places in the order given.
    explicit NameIndex(const std::vector<Place>& places);
    // Takes the places at the positions given, in that order.
    NameIndex(const std::vector<Place>& places, const std::vector<uint32_t>& order);

    size_t Size() const { return recs_.size(); }
    Place At(size_t i) const;

    // The places matching the typed text (UTF-8), at most limit, best first (see above); none
    // for a text that folds to fewer than two characters.
    enum class Match : uint8_t { Exact, WordStart, Anywhere };
    struct Hit {
        uint32_t index = 0;
        Match match = Match::Anywhere;
    };
    std::vector<Hit> Search(const std::string& typedUtf8, size_t limit) const;

    // The index as bytes (Serialise) and back (Parse: false when the bytes are not an index
    // of this version, or damaged).
    std::string Serialise() const;
    static bool Parse(const std::string& bytes, size_t& at, NameIndex& index);

private:
    struct Rec {
        int32_t lon = 0, lat = 0;      // millionths of a degree
        uint32_t extent = UINT32_MAX;  // into extents_
        uint32_t nameAt = 0;           // into names_
        uint32_t foldAt = 0;           // into folded_
        uint16_t nameLen = 0, foldLen = 0;
        uint16_t theme = 0;            // into themes_
        uint16_t layer = UINT16_MAX;   // into layers_
        uint32_t kind = UINT32_MAX;    // into kinds_
        uint16_t trigger = 0;
        uint8_t source = 0;
        int64_t info = -1;
    };
    struct Layer {
        std::string file;
        int dataType = 0;
    };
    void Finish();   // the lookup of whole names
    std::vector<Hit> SearchFolded(const std::string& folded, size_t limit) const;

    std::vector<Rec> recs_;
    std::string names_;
    std::string folded_;                 // each folded name followed by '\n'
    std::vector<std::array<int32_t, 4>> extents_;
    std::vector<std::string> themes_, kinds_;
    std::vector<Layer> layers_;
    std::vector<std::pair<uint64_t, uint32_t>> wholeNames_;   // hash of the folded name, place; sorted
};

// "48°23'N 4°29'W": degrees and minutes (rounded to the minute), in Windows-1252.
std::string DegreesMinutes(double lat, double lon);

} // namespace corvane
