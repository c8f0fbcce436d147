// The place search: names folded for matching, the order of the matches, and the index of
// names read from an atlas written by our own writers (a label layer, point symbols with
// headed query records, polygon outlines with one-line records): where each place lies and
// the box it is shown in, the cache in the user's folder, and a damaged layer file.
#include "TestUtil.h"
#include "catalogue/writers/DataListWriter.h"
#include "gazetteer/NameFold.h"
#include "gazetteer/NameCache.h"
#include "gazetteer/PlaceView.h"
#include "layers/writers/LabelFileWriter.h"
#include "layers/writers/PolygonFileWriter.h"
#include "layers/writers/SymbolFileWriter.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/RunInputs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>

using namespace corvane;
using corvane::test::TempDir;

namespace {

std::vector<std::string> Found(const NameIndex& index, const std::string& typed)
{
    std::vector<std::string> names;
    for (const NameIndex::Hit& h : index.Search(typed, 10)) names.push_back(index.At(h.index).name);
    return names;
}

Place Named(const std::string& name)
{
    Place p;
    p.name = name;
    p.theme = "T";
    return p;
}

} // namespace

TEST(NameIndexTest, MatchingIgnoresCaseAccentsAndTheCodePageAndFindsWordStartsFirst)
{
    // Typed as UTF-8, held as Windows-1252.
    EXPECT_EQ(FoldQuery("goteborg"), FoldName("G\xF6teborg"));
    EXPECT_EQ(FoldQuery("\xC4\xB0zmir"), FoldName("Izmir"));          // İzmir
    EXPECT_EQ(FoldQuery("\xC3\x86r\xC3\xB8"), FoldName("\xC6r\xF8"));  // Ærø
    EXPECT_EQ(FoldQuery("\xC3\x86r\xC3\xB8"), "aero");
    EXPECT_EQ(FoldQuery("\xC5\x81\xC3\xB3\x64\xC5\xBA"), "lodz");      // Łódź, which Windows-1252 cannot hold
    EXPECT_EQ(FoldName("L\xF3\x64z"), "lodz");
    EXPECT_EQ(FoldName("  Saint-Malo  "), "saint malo");
    EXPECT_EQ(FoldQuery("STRA\xC3\x9F" "E"), "strasse");

    const NameIndex index({Named("Abrestia"), Named("Bad Brest"), Named("Brest"), Named("Gulf of Bothnia"),
                           Named("G\xF6teborg"), Named("Izmir"), Named("\xC6r\xF8"), Named("L\xF3\x64z")});
    EXPECT_EQ(Found(index, "brest"), (std::vector<std::string>{"Brest", "Bad Brest", "Abrestia"}));
    EXPECT_EQ(Found(index, "GOTEBORG"), std::vector<std::string>{"G\xF6teborg"});
    EXPECT_EQ(Found(index, "\xC4\xB0zmir"), std::vector<std::string>{"Izmir"});
    EXPECT_EQ(Found(index, "aero"), std::vector<std::string>{"\xC6r\xF8"});
    EXPECT_EQ(Found(index, "\xC5\x81\xC3\xB3\x64\xC5\xBA"), std::vector<std::string>{"L\xF3\x64z"});
    EXPECT_EQ(Found(index, "gulf of both"), std::vector<std::string>{"Gulf of Bothnia"});
    EXPECT_TRUE(Found(index, "b").empty());   // from the second character on
    // A limit keeps the best.
    EXPECT_EQ(index.Search("brest", 2).size(), 2u);
}

namespace {

// An atlas of one theme: a label layer, towns with headed query records, a sea's outline with
// a one-line record, and a text page.
class NameAtlasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        CvVars::CDROM = dir.Path();
        CvVars::DatalistFile = dir / "Misc/MainMenu.Dat";
        medium = {CvVars::DatalistFile, CvVars::CDROM};
        dir.Write("Misc/MainMenu.Dat", WriteDataList({{1, "Geography", 1, "XXXX"},
                                                      {2, "Places", 1, "CDROM:\\Themes\\Places.MAS"},
                                                      {2, "Intro", 0, "CDROM:\\Info\\Intro.Txt"}}));
        dir.Write("Themes/Places.MAS", Master("CDROM:\\Themes\\Names.Lbl"));
        WriteLabels({{57.7, 11.97, "  G\xF6teborg", 30}, {48.39, -4.49, "Brest", 60}}, "Themes/Names.Lbl");

        // Brest and Izmir with headed records: the name, then the kind.
        std::string towns;
        const auto record = [&](const std::string& name, const std::string& kind) {
            const int64_t at = static_cast<int64_t>(towns.size());
            towns += std::string{2, 0, static_cast<char>(name.size())} + name + '\x01' +
                     static_cast<char>(kind.size()) + kind;
            return at;
        };
        LayerWriteOptions o;
        o.Header.DatasetID = "TOWNS";
        o.Header.AssDataType = 1;
        o.Header.AssDataFilename = "TOWNS.DAT";
        o.FinestUnit = 1000;
        SymbolFileWriter syx(o, true);
        syx.Add({48.39, -4.49, 1, record("Brest", "seat of a third-order division")});
        syx.Add({38.42, 27.14, 1, record("Izmir", "seat of a first-order division")});
        syx.Save(dir / "Themes/Towns.Syx");
        dir.Write("Themes/DNN/TOWNS.DAT", towns);

        o.Header.DatasetID = "SEAS";
        o.Header.AssDataType = 0;
        o.Header.AssDataFilename = "SEAS.DAT";
        PolygonFileWriter pol(o, 7);
        PolygonFeature gulf;
        gulf.Parts = {{{60.5, 17}, {66, 17}, {66, 25.5}, {60.5, 25.5}, {60.5, 17}}};
        gulf.Reference = {63, 21};
        pol.Add(gulf);
        pol.Save(dir / "Themes/Seas.Pol");
        // One line is shown as it stands (its 0xF8 the letter, not a degree sign).
        dir.Write("Themes/DNN/SEAS.DAT", std::string(1, 28) + "Sea: Gulf of Bothnia (S\xF8rby)");
    }
    void TearDown() override { CvVars::Reset(); }

    // The theme's master file; labels is the label layer of the first data set, and of a
    // second one when given (one file named twice).
    static std::string Master(const std::string& labels, const std::string& again = {})
    {
        std::string m = again.empty() ? "3\r\n" : "4\r\n";
        m += "CDROM:\\Info\\Intro.Txt\r\n6 1 0 0\r\n" + labels + "\r\n";
        if (!again.empty()) m += "6 1 0 0\r\n" + again + "\r\n";
        m += "4 1 0 1\r\nCDROM:\\Themes\\Towns.Syx\r\n7 1 0 2\r\nCDROM:\\Themes\\Seas.Pol\r\n0\r\n0 0 1 0\r\n"
             "40 60 -10 30\r\n40 60 -10 30\r\n3 170 1\r\nPlaces\r\n"
             "0 1 4 0 0 0 0 1 1\r\nNames of places\r\n0 1 3 4 1 4 1 1 2\r\nTowns\r\n0 1 1 4 1 4 1 1 3\r\nSeas\r\n"
             "#####\r\n1 0\r\n0 1 0 0 2 -1 0 1 14 139 15 Town:\r\n0 0 0 0 2 -1 0 1 14 139 15 Kind of place:\r\n";
        return m;
    }
    struct L {
        double lat, lon;
        std::string text;
        int trigger;
    };
    std::vector<uint8_t> WriteLabels(const std::vector<L>& labels, const std::string& file)
    {
        LayerWriteOptions o;
        o.Header.DatasetID = "NAMES";
        o.FinestUnit = 1000;
        o.CellSize = 20000000;   // one cell holds them all
        LabelFileWriter w(o);
        for (const L& l : labels) {
            LabelFeature f;
            f.Lat = l.lat;
            f.Lon = l.lon;
            f.Text = l.text;
            f.TriggerScale = l.trigger;
            w.Add(f);
        }
        w.Save(dir / file);
        return w.Bytes();
    }
    Place Only(const NameIndex& index, const std::string& typed)
    {
        const auto hits = index.Search(typed, 10);
        EXPECT_EQ(hits.size(), 1u) << typed;
        return hits.empty() ? Place{} : index.At(hits.front().index);
    }

    TempDir dir;
    NameSources medium;
    const GeoBox present{0, 30, 0, 40};   // a picture of 1000 x 750 pixels keeps this shape
};

} // namespace

TEST_F(NameAtlasTest, LabelsRecordsAndKeyTextsAreFoundWhereTheyLieAndShownAtAScaleThatShowsThem)
{
    NameIndexBuilder builder(medium);
    ASSERT_TRUE(builder.Run());
    EXPECT_TRUE(builder.Problems().empty()) << builder.Problems().front();
    const NameIndex index(builder.Places());

    // A label: at its anchor, shown at the widest zoom that draws it.
    const Place goteborg = Only(index, "goteborg");
    EXPECT_EQ(goteborg.name, "G\xF6teborg");
    EXPECT_EQ(goteborg.source, PlaceSource::Label);
    EXPECT_NEAR(goteborg.lat, 57.7, 1e-3);
    EXPECT_NEAR(goteborg.lon, 11.97, 1e-3);
    GeoBox b = PlaceViewBox(goteborg, present, 1000, 750, 96);
    EXPECT_NEAR((b.minLat + b.maxLat) / 2, goteborg.lat, 1e-9);
    EXPECT_NEAR((b.minLon + b.maxLon) / 2, goteborg.lon, 1e-9);
    EXPECT_EQ(std::lround(1000 / b.LonRange()), 30);
    EXPECT_NEAR(b.LatRange() / b.LonRange(), 0.75, 1e-9);

    // A town's record and its label are one place: the record, drawn from its label's zoom.
    const Place brest = Only(index, "brest");
    EXPECT_EQ(brest.source, PlaceSource::Record);
    EXPECT_EQ(brest.kind, "seat of a third-order division");
    EXPECT_EQ(brest.theme, "Places");
    EXPECT_EQ(brest.trigger, 60);
    EXPECT_EQ(brest.dataType, 4);
    EXPECT_EQ(brest.layerFile, "CDROM:\\Themes\\Towns.Syx");
    EXPECT_EQ(brest.infoOffset, 0);
    EXPECT_NEAR(brest.lat, 48.39, 1e-3);
    EXPECT_NEAR(brest.lon, -4.49, 1e-3);

    // A record without a label: at about 1:500,000 (1000 pixels at 96 per inch are 265 m).
    const Place izmir = Only(index, "izmir");
    EXPECT_EQ(izmir.infoOffset, 40);
    b = PlaceViewBox(izmir, present, 1000, 750, 96);
    EXPECT_NEAR((b.minLat + b.maxLat) / 2, izmir.lat, 1e-9);
    EXPECT_NEAR(b.LonRange() * 111320 * std::cos(izmir.lat * M_PI / 180) / 0.2645833, 500000, 500);

    // An area: fitted to its outline's extent.
    const Place gulf = Only(index, "bothnia");
    EXPECT_EQ(gulf.name, "Gulf of Bothnia (S\xF8rby)");
    EXPECT_EQ(gulf.kind, "Sea");
    ASSERT_TRUE(gulf.hasExtent);
    EXPECT_NEAR(gulf.extent.west, 17, 1e-3);
    EXPECT_NEAR(gulf.extent.north, 66, 1e-3);
    EXPECT_NEAR(gulf.lat, 63, 1e-3);   // its reference point, where a query click finds it
    b = PlaceViewBox(gulf, present, 1000, 750, 96);
    EXPECT_TRUE(b.minLon < 17 && b.maxLon > 25.5 && b.minLat < 60.5 && b.maxLat > 66);
    EXPECT_NEAR((b.minLon + b.maxLon) / 2, 21.25, 1e-3);
    EXPECT_NEAR(b.LonRange(), 8.5 * 1.1, 1e-3);   // the wider side fits, with a tenth to spare

    // A key text: the area of its item's features.
    const Place towns = Only(index, "towns");
    EXPECT_EQ(towns.source, PlaceSource::Key);
    EXPECT_NEAR(towns.extent.west, -4.49, 1e-3);
    EXPECT_NEAR(towns.extent.east, 27.14, 1e-3);
    // The text page and the heading name nothing.
    EXPECT_TRUE(index.Search("intro", 10).empty() && index.Search("geography", 10).empty());
}

TEST_F(NameAtlasTest, TheCacheIsUsedWhileTheFilesStayAndBuiltAnewWhenOneChanges)
{
    const std::string cache = dir / "cache/corvane/names.idx";
    bool fromCache = true;
    std::string error;
    StoredNames names = LoadOrBuildNames(medium, cache, &fromCache, &error);
    EXPECT_FALSE(fromCache);
    EXPECT_TRUE(error.empty()) << error;
    ASSERT_TRUE(std::filesystem::exists(cache));

    names = LoadOrBuildNames(medium, cache, &fromCache);
    EXPECT_TRUE(fromCache);
    const Place goteborg = Only(*names.index, "goteborg");
    EXPECT_NEAR(goteborg.lon, 11.97, 1e-3);
    EXPECT_EQ(goteborg.trigger, 30);
    EXPECT_EQ(Only(*names.index, "bothnia").hasExtent, true);
    NameIndexBuilder fresh(medium);
    fresh.Run();
    EXPECT_EQ(names.index->Size(), fresh.Places().size());

    // The label layer written again, the same size and bytes but later: read anew.
    const std::string labels = dir / "Themes/Names.Lbl";
    const auto when = std::filesystem::last_write_time(labels);
    WriteLabels({{57.7, 11.97, "  G\xF6teborg", 30}, {48.39, -4.49, "Brest", 60}}, "Themes/Names.Lbl");
    std::filesystem::last_write_time(labels, when + std::chrono::seconds(10));
    // In a program that keeps the files it reads from being written over, the stale index it
    // read is written anew all the same.
    BeginRunInputs();
    LoadOrBuildNames(medium, cache, &fromCache, &error);
    EndRunInputs();
    EXPECT_FALSE(fromCache);
    EXPECT_TRUE(error.empty()) << error;
    LoadOrBuildNames(medium, cache, &fromCache);
    EXPECT_TRUE(fromCache);
    // Another medium's index is not taken for this one's.
    StoredNames other;
    EXPECT_FALSE(LoadCachedNames({medium.dataList, medium.cdrom + "/"}, cache, other));
}

TEST_F(NameAtlasTest, ADamagedLabelLayerIsReadAsFarAsItGoesAndToldOnce)
{
    // Two labels in one cell, the file cut in the middle of the second; the file is named by
    // two data sets.
    const std::vector<uint8_t> whole =
        WriteLabels({{50, 1, "Dunkerque", 0}, {50.5, 1.5, "Boulogne", 0}}, "Themes/Cut.Lbl");
    dir.Write("Themes/Cut.Lbl", std::string(whole.begin(), whole.end() - 14));
    dir.Write("Themes/Places.MAS", Master("CDROM:\\Themes\\Cut.Lbl", "CDROM:\\Themes\\Cut.Lbl"));
    NameIndexBuilder builder(medium);
    ASSERT_TRUE(builder.Run());
    const NameIndex index(builder.Places());
    EXPECT_EQ(index.Search("dunkerque", 10).size(), 1u);
    EXPECT_TRUE(index.Search("boulogne", 10).empty());
    EXPECT_EQ(Only(index, "izmir").kind, "seat of a first-order division");   // the rest is read
    ASSERT_EQ(builder.Problems().size(), 1u);
    EXPECT_EQ(builder.Problems().front(), NativePath(dir / "Themes/Cut.Lbl") + " is damaged : Only part of it is indexed");
}
