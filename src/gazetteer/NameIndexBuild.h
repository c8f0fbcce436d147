#pragma once
// Building the index of names of an atlas.
//
// The builder reads the data list, every theme's master file (text pages have no names of
// their own), the label layers, the layers whose features answer queries with their query
// information files, and one file of every other data set (its least detailed one) for the
// areas of the key items. Every file is read through the data path layer; the readers hand
// out their features through their visitors. A damaged layer file is read as far as it goes
// and told once; a file that is missing is told once too.
//
// The same name read twice for one place is kept once: a label and a query record of one
// theme naming the same place (a town's name and its record, a sea's name and its polygon)
// become the record, with the label's zoom trigger; the same record read from two files (a
// sea's outline and its filled polygon) is kept from the one a query click searches.
//
// Every file read is stamped with its identity, for the cache of the index (NameCache.h).
#include "gazetteer/NameIndex.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvane {

class ByteSource;
struct HdrRec;

// The medium whose names are indexed: the data list as a data path ("CDROM:" replaced) and
// the root that stands for "CDROM:".
struct NameSources {
    std::string dataList;
    std::string cdrom;
};
// The medium of the process (CvVars).
NameSources CurrentNameSources();

// A file read, with its identity when it was read (empty: it could not be opened).
struct SourceStamp {
    std::string path;   // the data path
    std::string identity;
};
// The identity of a data file as it is now (empty when it cannot be opened).
std::string IdentityOf(const std::string& dataPath);

struct NameIndexProgress {
    int filesDone = 0;
    int filesTotal = 0;   // grows as the themes are read
    size_t names = 0;
    bool done = false;
    bool fromCache = false;
};

class NameIndexBuilder {
public:
    explicit NameIndexBuilder(NameSources sources);
    ~NameIndexBuilder();

    using ProgressFn = std::function<void(const NameIndexProgress&, const NameIndexBuilder&)>;
    // Reads everything (see above). progress is called after every file; cancel, when set,
    // stops the reading between files. False when cancelled.
    bool Run(const ProgressFn& progress = {}, const std::atomic<bool>* cancel = nullptr);

    // The places read so far, merged, in the index's order (areas, points by the zoom of
    // their label, key texts).
    std::vector<Place> Places() const;
    // The index of them, made without copying them (also for the snapshots of a reading).
    std::shared_ptr<const NameIndex> Index() const;
    const std::vector<SourceStamp>& Sources() const { return stamps_; }
    // What was found wrong, once for each file, in the order found.
    const std::vector<std::string>& Problems() const { return problems_; }

private:
    struct Theme;
    class Gatherer;
    std::unique_ptr<ByteSource> Open(const std::string& dataPath);
    void Problem(const std::string& text);
    void ReadTheme(Theme& theme, const std::function<void()>& fileDone, const std::atomic<bool>* cancel);
    void ReadRecords(const Theme& theme, const std::string& layerFile, int dataType, const HdrRec& header,
                     const Gatherer& g);
    void AddPlace(Place p);
    std::vector<uint32_t> Order() const;   // the places not merged away, in the index's order

    NameSources sources_;
    std::vector<SourceStamp> stamps_;
    std::vector<std::string> problems_;
    std::vector<Place> places_;
    std::vector<bool> dead_;
    // Where the places read lie, by their theme and name (see AddPlace).
    std::unordered_map<uint64_t, uint32_t> cellHead_;          // the last point of a cell
    std::vector<uint32_t> nextInCell_;                         // the point before in its cell
    std::unordered_map<uint64_t, std::vector<uint32_t>> areas_;   // the places with an extent
    std::vector<std::string> told_;                      // files a problem was told for
    std::vector<uint32_t> near_;                         // AddPlace's candidates, kept for reuse
};

} // namespace corvane
