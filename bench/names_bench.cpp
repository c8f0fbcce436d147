// The place search: the index of names of the sample atlas built and typed into, and the same
// for an atlas of a million names written by the label layer writer (ten label layers of a
// hundred thousand labels: words of invented syllables, some with accents, some of two or
// three words). A key press is one search of what is typed so far (from the second character
// on) with the forty places the list shows; its goals are 20 ms (sample) and 50 ms (a million
// names) for the worst key press. Building: 1 s and 10 s, read in one go and as the viewer's
// job reads it. The index file: about 40 bytes a name.
#include "WholeMapBench.h"

#include "catalogue/writers/DataListWriter.h"
#include "gazetteer/NameCache.h"
#include "layers/writers/LabelFileWriter.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/TextFile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace corvane {
namespace {

constexpr size_t kShown = 40;
constexpr int kBigFiles = 10, kLabelsPerFile = 100000;

NameSources SampleMedium()
{
    CvVars::Reset();
    CvVars::CDROM = std::string(CORVANE_SOURCE_DIR) + "/atlas";
    CvVars::DatalistFile = CheckCD_Drive("CDROM:\\Misc\\MainMenu.Dat");
    return CurrentNameSources();
}

// ---- an atlas of a million names ------------------------------------------------------------

std::string InventedName(std::mt19937& rng)
{
    static const char* const syllables[] = {"ka", "lo", "ber", "sund", "vik", "ma", "ri", "tor", "en", "ham",
                                            "ford", "wick", "\xF6r", "s\xE9", "\xE5s", "na", "gar", "dal", "mouth",
                                            "ley", "is", "pol", "ost", "\xE6r", "burg", "ville", "ta", "nes"};
    static const char* const words[] = {"Port", "Saint", "Cape", "Bay of", "Isle of", "North", "Upper"};
    std::uniform_int_distribution<int> syl(0, static_cast<int>(std::size(syllables)) - 1), len(2, 4), pick(0, 9),
        word(0, static_cast<int>(std::size(words)) - 1);
    auto one = [&] {
        std::string w;
        for (int i = len(rng); i > 0; --i) w += syllables[syl(rng)];
        w[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(w[0])));
        return w;
    };
    const int form = pick(rng);
    if (form < 6) return one();
    if (form < 8) return std::string(words[word(rng)]) + " " + one();
    return one() + " " + one();
}

// The generated atlas, in a temporary folder that goes with the process.
struct TemporaryAtlas {
    std::string root;
    ~TemporaryAtlas()
    {
        if (root.rfind("/tmp/corvane-names-bench-", 0) == 0) (void)!std::system(("rm -rf '" + root + "'").c_str());
    }
};

const std::string& BigAtlas()
{
    static const TemporaryAtlas atlas{[] {
        char tmpl[] = "/tmp/corvane-names-bench-XXXXXX";
        const char* dir = ::mkdtemp(tmpl);
        if (!dir) throw std::runtime_error("no temporary folder");
        const std::string r = dir;
        ::mkdir((r + "/Misc").c_str(), 0755);
        ::mkdir((r + "/Themes").c_str(), 0755);
        std::mt19937 rng(27);
        std::uniform_real_distribution<double> lat(27, 72), lon(-30, 45);
        std::string master = std::to_string(kBigFiles) + "\r\n\r\n";
        for (int f = 0; f < kBigFiles; ++f) {
            LayerWriteOptions o;
            o.Header.DatasetID = "NAMES";
            o.CellSize = 750000;
            o.FinestUnit = 100;
            LabelFileWriter w(o);
            for (int i = 0; i < kLabelsPerFile; ++i) {
                LabelFeature l;
                l.Lat = lat(rng);
                l.Lon = lon(rng);
                l.Text = InventedName(rng);
                l.TriggerScale = static_cast<int32_t>(rng() % 500);
                w.Add(l);
            }
            const std::string name = "Names" + std::to_string(f) + ".Lbl";
            w.Save(r + "/Themes/" + name);
            master += "6 1 0 0\r\nCDROM:\\Themes\\" + name + "\r\n";
        }
        master += "0\r\n0 0 1 0\r\n27 72 -30 45\r\n27 72 -30 45\r\n1 170 1\r\nPlaces\r\n0 1 4 0 0 0 0 1 1\r\nNames\r\n";
        WriteFileAtomic(r + "/Themes/Places.MAS", master);
        WriteFileAtomic(r + "/Misc/MainMenu.Dat", WriteDataList({{1, "Places", 1, "CDROM:\\Themes\\Places.MAS"}}));
        return r;
    }()};
    return atlas.root;
}

NameSources BigMedium()
{
    CvVars::Reset();
    CvVars::CDROM = BigAtlas();
    CvVars::DatalistFile = CheckCD_Drive("CDROM:\\Misc\\MainMenu.Dat");
    return CurrentNameSources();
}

// ---- building ---------------------------------------------------------------------------------

// Reads the atlas and makes the index and the bytes of its cache file, as the viewer does the
// first time.
StoredNames Build(const NameSources& medium)
{
    NameIndexBuilder builder(medium);
    builder.Run();
    StoredNames names;
    names.index = builder.Index();
    names.sources = builder.Sources();
    names.problems = builder.Problems();
    return names;
}

void Building(benchmark::State& state, const NameSources& medium)
{
    StoredNames names;
    size_t bytes = 0;
    for (auto _ : state) {
        names = Build(medium);
        bytes = SerialiseNames(medium, names).size();
    }
    const double n = static_cast<double>(names.index->Size());
    state.counters["names"] = n;
    state.counters["bytes_per_name"] = n > 0 ? bytes / n : 0;
}

void BM_IndexSampleAtlas(benchmark::State& state) { Building(state, SampleMedium()); }
void BM_IndexMillionNames(benchmark::State& state) { Building(state, BigMedium()); }

double ProcessCpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The index as the viewer builds it the first time: on the thread of its job, with the
// snapshots the list searches while the reading goes on, and the cache file written. The time
// is the wall-clock time until the job is done; process_cpu_ms the processor time of the
// whole process meanwhile (the benchmark's own is that of the thread that waits).
void BM_IndexMillionNamesInViewer(benchmark::State& state)
{
    const NameSources medium = BigMedium();
    const std::string cache = BigAtlas() + "/viewer-names.idx";
    size_t names = 0;
    double cpu = 0;
    for (auto _ : state) {
        ::unlink(cache.c_str());
        const double before = ProcessCpuMs();
        {
            NameIndexJob job(medium, cache);
            while (!job.Progress().done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            names = job.Snapshot()->Size();
        }
        cpu += ProcessCpuMs() - before;
    }
    state.counters["names"] = static_cast<double>(names);
    state.counters["process_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}

// The cache file read back and checked against the files (every later start).
void BM_LoadMillionNames(benchmark::State& state)
{
    const NameSources medium = BigMedium();
    const std::string cache = BigAtlas() + "/names.idx";
    std::string error;
    StoreNames(medium, cache, Build(medium), error);
    for (auto _ : state) {
        StoredNames names;
        if (!LoadCachedNames(medium, cache, names)) state.SkipWithError("the cache file was not taken");
    }
}

// ---- typing -----------------------------------------------------------------------------------

// Each key press of the words, from the second character: the search and the places listed.
// worst_ms is the slowest key press, each taken at its median over the rounds (a single slow
// run is the machine's, not the search's).
void Typing(benchmark::State& state, const NameIndex& index, const std::vector<std::string>& words)
{
    std::vector<std::string> presses;
    for (const std::string& w : words)
        for (size_t n = 2; n <= w.size(); ++n) presses.push_back(w.substr(0, n));
    std::vector<std::vector<double>> times(presses.size());
    size_t i = 0, listed = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const size_t press = i++ % presses.size();
        for (const NameIndex::Hit& h : index.Search(presses[press], kShown)) listed += index.At(h.index).name.size();
        times[press].push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    benchmark::DoNotOptimize(listed);
    double worst = 0;
    for (std::vector<double>& t : times) {
        if (t.empty()) continue;
        std::nth_element(t.begin(), t.begin() + t.size() / 2, t.end());
        worst = std::max(worst, t[t.size() / 2]);
    }
    state.counters["worst_ms"] = worst;
    state.counters["presses"] = static_cast<double>(presses.size());
}

void BM_TypeAheadSample(benchmark::State& state)
{
    static const StoredNames names = Build(SampleMedium());
    Typing(state, *names.index,
           {"brest", "goteborg", "gulf of bothnia", "izmir", "territorial waters", "saint petersburg", "xqzw",
            "an", "mediterranean"});
}

void BM_TypeAheadMillion(benchmark::State& state)
{
    static const StoredNames names = Build(BigMedium());
    Typing(state, *names.index, {"portkalo", "saint maber", "sundvik", "oraes", "bay of ta", "xqzw", "an", "ka ma"});
}

BENCHMARK(BM_IndexSampleAtlas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeAheadSample)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexMillionNames)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_IndexMillionNamesInViewer)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LoadMillionNames)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TypeAheadMillion)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace corvane
