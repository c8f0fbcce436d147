// The atlas description of corvane-atlas: parsing, checking, and the catalogue records and
// data list built from it.
#include "AtlasDescription.h"
#include "CommandLine.h"
#include "catalogue/writers/MasterFileWriter.h"
#include "platform/ByteSource.h"
#include "platform/MessageSink.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::atlas;

namespace {

const char* kSample = R"(# a small atlas
[atlas]
title = Test Atlas
sources = ../work
date = 20170615

[layer towns]
type = symbols-info
source = towns.geojson
where = population >= 50000
output = Themes/Towns/Towns.Syx
region = -30 45 27 72
cell = 0.75
key = field class
info-kind = 2
info-file = TOWNS.DAT
info-line = 0 {name}
info-line = 1 "  {country}"
info-display-count = 1

[layer names]
type = 6
source = towns.geojson
output = Themes/Towns/Towns.Lbl
key = 1
label-text = {name}
label-trigger = field label_trigger
justify = centre below

[heading Places]
level = 1

[theme Coastal towns]
level = 2
master = Themes\Towns\Towns.MAS
extent = 27 72 -30 45
key-width = 180
key-heading = Coastal towns

[dataset]
file = towns 40
file = towns 0
level = 2

[dataset]
key-adjustment = 6
file = names

[key]
type = symbol
colour = 6 12
style = 12
text = Large
text = (over a million)
[key]
type = line
colour = 3
style = 2
active = no
[key]
type = text
colour = 0
text = Names
order = 1

[query]
lines-to-add = -1
[query-line]
values = yes
action = 2
justify = centre
heading = Town:
[query-line]
code = 11
preceding = 0
heading = Credit

[page Sources]
level = 2
file = Info/Sources.Txt
line = ~Sources~
line =    indented
include = Info/More.Txt
)";

AtlasDescription Parse(const std::string& text, std::vector<DescriptionError>& errors)
{
    AtlasDescription a;
    ParseAtlasDescription(text, a, errors);
    return a;
}

} // namespace

TEST(AtlasDescription, ReadsEveryBlockInOrder)
{
    std::vector<DescriptionError> errors;
    AtlasDescription a = Parse(kSample, errors);
    ASSERT_TRUE(errors.empty()) << errors[0].line << ": " << errors[0].message;
    EXPECT_EQ(a.title, "Test Atlas");
    EXPECT_EQ(a.date, 20170615);
    ASSERT_EQ(a.layers.size(), 2u);

    const LayerSpec& t = a.layers[0];
    EXPECT_EQ(t.dataType, 4);
    EXPECT_EQ(t.where, "population >= 50000");
    ASSERT_TRUE(t.region.has_value());
    EXPECT_DOUBLE_EQ(t.region->west, -30);
    EXPECT_DOUBLE_EQ(t.region->north, 72);
    EXPECT_DOUBLE_EQ(t.cellDegrees, 0.75);
    EXPECT_EQ(t.key.field, "class");
    EXPECT_EQ(t.infoKind, 2);
    ASSERT_EQ(t.infoLines.size(), 2u);
    EXPECT_EQ(t.infoLines[1].code, 1);
    EXPECT_EQ(t.infoLines[1].text, "  {country}");   // quotes keep the blanks
    EXPECT_EQ(t.infoDisplayCount.value_or(-1), 1);

    const LayerSpec& n = a.layers[1];
    EXPECT_EQ(n.dataType, 6);
    EXPECT_EQ(n.key.constant, 1);
    EXPECT_FALSE(n.key.FromField());
    EXPECT_EQ(n.labelTrigger.field, "label_trigger");
    EXPECT_EQ(n.hJust, 1);
    EXPECT_EQ(n.vJust, 3);

    ASSERT_EQ(a.menu.size(), 3u);
    EXPECT_EQ(a.menu[0].kind, MenuEntry::Heading);
    EXPECT_EQ(a.menu[1].kind, MenuEntry::Theme);
    EXPECT_EQ(a.menu[2].kind, MenuEntry::Page);
    const ThemeSpec& th = a.themes[0];
    ASSERT_EQ(th.datasets.size(), 2u);
    EXPECT_EQ(th.datasets[0].files.size(), 2u);
    EXPECT_DOUBLE_EQ(th.datasets[0].files[0].trigger, 40);
    EXPECT_EQ(th.datasets[1].keyAdjustment, 6);
    ASSERT_EQ(th.key.size(), 3u);
    EXPECT_EQ(th.key[0].topColour, 6);
    EXPECT_EQ(th.key[0].bottomColour, 12);
    EXPECT_EQ(th.key[1].bottomColour, 3);          // one colour serves both
    EXPECT_EQ(th.queryLines.size(), 2u);
    EXPECT_EQ(th.queryLines[0].dataType, 1);
    EXPECT_EQ(th.queryLines[0].justify, 2);        // centre
    EXPECT_EQ(th.linesToAdd, -1);
    ASSERT_EQ(a.pages[0].lines.size(), 3u);
    EXPECT_EQ(a.pages[0].lines[1].text, "   indented");
    EXPECT_TRUE(a.pages[0].lines[2].include);

    EXPECT_TRUE(CheckAtlasDescription(a, errors)) << errors[0].line << ": " << errors[0].message;
}

TEST(AtlasDescription, ReportsMistakesWithTheirLines)
{
    std::vector<DescriptionError> errors;
    Parse("[atlas]\n"                    // 1
          "colour = 3\n"                 // 2: unknown in [atlas]
          "[dataset]\n"                  // 3: no theme yet
          "[layer a]\n"                  // 4
          "type = pictures\n"            // 5
          "cell = -1\n"                  // 6
          "region = 10 0 0 10\n"         // 7: west above east
          "id = THIRTEEN-CHARS\n"        // 8
          "[theme T]\n"                  // 9
          "[key]\n"                      // 10
          "colour = 16\n"                // 11
          "style = 1 2 3\n"              // 12
          "text\n"                       // 13
          "[layer]\n"                    // 14
          "[mystery]\n"                  // 15
          "[key]\n"                      // 16
          "text = Island\n"              // 17
          "text = and islet\n"           // 18: text repeats
          "colour = 4\n"                 // 19
          "colour = 2\n",                // 20: given twice
          errors);
    std::vector<int> lines;
    for (const DescriptionError& e : errors) lines.push_back(e.line);
    EXPECT_EQ(lines, (std::vector<int>{2, 3, 5, 6, 7, 8, 11, 12, 13, 14, 15, 20}));
}

TEST(AtlasDescription, CheckFindsWhatSpansBlocks)
{
    std::string text = kSample;
    std::vector<DescriptionError> errors;
    AtlasDescription a = Parse(text, errors);
    ASSERT_TRUE(errors.empty());

    AtlasDescription b = a;
    b.themes[0].datasets[1].files[0].layer = "nowhere";               // undefined layer
    b.themes[0].datasets[0].files[1].trigger = 90;                    // triggers must fall
    b.themes[0].datasets.push_back(a.themes[0].datasets[1]);
    b.themes[0].datasets.back().keyAdjustment = 50;                   // 1 + 50 passes 50
    b.layers[0].infoLines.push_back({5, "x"});                        // no query line 5
    b.layers[1].output = "Themes/" + std::string(80, 'x') + "/L.Lbl"; // path too long
    b.themes[0].queryLines[1].preceding = 7;                          // names no line
    EXPECT_FALSE(CheckAtlasDescription(b, errors));
    auto has = [&](const std::string& part) {
        for (const DescriptionError& e : errors)
            if (e.message.find(part) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has("no layer named nowhere"));
    EXPECT_TRUE(has("most detailed"));
    EXPECT_TRUE(has("passes 50"));
    EXPECT_TRUE(has("info-line 5"));
    EXPECT_TRUE(has("longer than 80"));
    EXPECT_TRUE(has("preceding 7"));

    errors.clear();
    AtlasDescription c = a;
    c.themes[0].datasets[1].dataType = 4;                             // labels in a symbol set
    c.layers[1].infoKind = 0;                                         // labels carry no information
    EXPECT_FALSE(CheckAtlasDescription(c, errors));
    EXPECT_TRUE(has("of type 6, the dataset of type 4"));
    EXPECT_TRUE(has("only types 4, 7 and 9"));
}

TEST(AtlasDescription, MapsNameThemesOfTheDataListAndTitlesStayUnique)
{
    std::vector<DescriptionError> errors;
    AtlasDescription a = Parse(std::string(kSample) + R"(
[map Maps/Coast.MDF]
extent = 50 60 -5 10
window = 640 480
background = #000080
land-style = 0
base = coastal TOWNS
overlay = Coastal towns
text = Sources
)", errors);
    ASSERT_TRUE(errors.empty()) << errors[0].message;
    ASSERT_EQ(a.maps.size(), 1u);
    const MapSpec& m = a.maps[0];
    EXPECT_EQ(m.file, "Maps/Coast.MDF");
    EXPECT_DOUBLE_EQ(m.extent->west, -5);
    EXPECT_DOUBLE_EQ(m.extent->north, 60);
    EXPECT_EQ(*m.background, 0x800000u);   // #RRGGBB becomes 0x00BBGGRR
    EXPECT_EQ(m.width, 640);
    EXPECT_TRUE(CheckAtlasDescription(a, errors)) << errors[0].message;   // titles match without case

    auto has = [&](const std::string& part) {
        for (const DescriptionError& e : errors)
            if (e.message.find(part) != std::string::npos) return true;
        return false;
    };
    AtlasDescription b = a;
    b.maps[0].overlay = {"Tides"};
    b.maps[0].text = {"Coastal towns"};                 // a theme, not a page
    b.maps[0].extent.reset();
    b.headings[0].title = "COASTAL towns";              // a map would find the heading first
    for (int i = 0; i < 48; ++i) b.themes[0].key.push_back(b.themes[0].key[0]);
    EXPECT_FALSE(CheckAtlasDescription(b, errors));
    EXPECT_TRUE(has("no theme titled Tides"));
    EXPECT_TRUE(has("no page titled Coastal towns"));
    EXPECT_TRUE(has("has no extent"));
    EXPECT_TRUE(has("earlier entry titled Coastal towns"));
    EXPECT_TRUE(has("51 key entries, more than the 50"));
}

TEST(AtlasDescription, MasterRecordFollowsTheTheme)
{
    std::vector<DescriptionError> errors;
    AtlasDescription a = Parse(kSample, errors);
    ASSERT_TRUE(errors.empty());
    std::unique_ptr<MASStruct> m = BuildMasterRecord(a, a.themes[0]);

    EXPECT_EQ(m->Number_Of_Datasets, 2);
    EXPECT_EQ(*m->Title, "Coastal towns");
    EXPECT_FALSE(m->TextFileName);
    EXPECT_DOUBLE_EQ(m->Minlat, 27);
    EXPECT_DOUBLE_EQ(m->Maxlon, 45);
    EXPECT_DOUBLE_EQ(m->DefaultMinlon, -30);      // no default extent: the full one

    const DSDStruct* d1 = m->NextDSD.get();
    ASSERT_TRUE(d1);
    EXPECT_EQ(d1->Data_Type, 4);
    EXPECT_EQ(d1->Number_Of_Files, 2);
    EXPECT_EQ(d1->Current_Level, 2);
    EXPECT_EQ(d1->NextDFN->FileName, "CDROM:\\Themes\\Towns\\Towns.Syx");
    EXPECT_DOUBLE_EQ(d1->NextDFN->NextDFN->Trigger_Scale, 0);
    const DSDStruct* d2 = d1->NextDSD.get();
    ASSERT_TRUE(d2);
    EXPECT_EQ(d2->Data_Type, 6);
    EXPECT_EQ(d2->Key_Entry_Adjustment, 6);
    EXPECT_EQ(d2->Current_Level, 0);

    const KeyStruct& k = *m->Key;
    EXPECT_EQ(k.NumItems, 3);
    EXPECT_EQ(k.Width, 180);
    EXPECT_EQ(k.Num_HdrLines, 1);
    EXPECT_EQ(k.Text, (std::vector<std::string>{"Coastal towns", "Large", "(over a million)", "Names"}));
    const K_Descriptor* e1 = k.NextKD.get();
    EXPECT_EQ(e1->Top_Colour_Number, 6);            // the number is kept for the writer
    EXPECT_EQ(e1->Top_Colour, 0x000080u);           // colour 6 is the same as 4
    EXPECT_EQ(e1->Bottom_Colour, 0x0000FFu);
    EXPECT_EQ(e1->TextIdx, 2);
    EXPECT_EQ(e1->Display_Order, 1);
    const K_Descriptor* e2 = e1->NextKD.get();
    EXPECT_FALSE(e2->Active);
    EXPECT_TRUE(e2->Hidden);                         // inactive entries are hidden
    EXPECT_EQ(e2->TextIdx, 0);                       // no text lines
    EXPECT_EQ(e2->Display_Order, 2);
    EXPECT_EQ(e2->NextKD->TextIdx, 3);
    EXPECT_EQ(e2->NextKD->Display_Order, 1);

    const Sym_Text_Control_Block& st = *m->Sym_Text;
    EXPECT_EQ(st.Number_Of_Defns, 1);                // two definitions
    EXPECT_EQ(st.Lines_To_Add, -1);
    EXPECT_EQ(st.Line_Array->Data_Type, 1);
    EXPECT_EQ(st.Line_Array->Header_Text, "Town:");
    EXPECT_EQ(st.Line_Array->Next->Line_Code, 11);
    EXPECT_EQ(st.Line_Array->Next->Preceding_Header, 0);
}

TEST(AtlasDescription, DataListMarksHeadingsAndPages)
{
    std::vector<DescriptionError> errors;
    AtlasDescription a = Parse(kSample, errors);
    std::vector<DataListEntry> list = BuildDataList(a);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].File, "XXXX");
    EXPECT_EQ(list[1].Level, 2);
    EXPECT_EQ(list[1].Type, 1);
    EXPECT_EQ(list[1].File, "CDROM:\\Themes\\Towns\\Towns.MAS");
    EXPECT_EQ(list[2].Type, 0);
    EXPECT_EQ(list[2].File, "CDROM:\\Info\\Sources.MAS");   // the page's master file
    EXPECT_EQ(AtlasDataPath("/Misc/MainMenu.Dat"), "CDROM:\\Misc\\MainMenu.Dat");
}

TEST(AtlasCommandLine, LayerOptionsBecomeABlock)
{
    CommandLine cl = ParseCommandLine({"layer", "--type", "vectors", "--source", "a.geojson", "--region",
                                       "-30 45 27 72", "--key", "field level", "--output", "x/L.Vec"});
    ASSERT_TRUE(cl.error.empty()) << cl.error;
    EXPECT_EQ(cl.command, CommandLine::Layer);
    EXPECT_EQ(cl.output, "x/L.Vec");
    EXPECT_EQ(cl.layerBlock, "type = vectors\nsource = a.geojson\nregion = -30 45 27 72\nkey = field level\n");

    cl = ParseCommandLine({"build", "--dry-run", "--only", "a", "--only", "b", "atlas.desc"});
    EXPECT_TRUE(cl.error.empty());
    EXPECT_TRUE(cl.dryRun);
    EXPECT_EQ(cl.only, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(cl.description, "atlas.desc");

    EXPECT_FALSE(ParseCommandLine({"build", "--type", "1", "atlas.desc"}).error.empty());   // a layer option
    EXPECT_FALSE(ParseCommandLine({"layer", "--type", "1"}).error.empty());                 // no output
    EXPECT_FALSE(ParseCommandLine({"check", "a.desc", "b.desc"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"build", "--sources"}).error.empty());
    EXPECT_EQ(ParseCommandLine({"inspect", "--help"}).command, CommandLine::Help);
    EXPECT_TRUE(ParseCommandLine({"build", "--no-layers", "atlas.desc"}).noLayers);
    EXPECT_FALSE(ParseCommandLine({"build", "--no-layers", "--only", "a", "atlas.desc"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"check", "--no-layers", "atlas.desc"}).error.empty());
}

TEST(AtlasCommandLine, ExportTakesThemesAndItsOptions)
{
    CommandLine cl = ParseCommandLine({"export", "--cdrom", "atlas", "Territorial waters", "Lakes", "--polygons",
                                       "--label-code-page", "437", "--output", "z.gpkg"});
    ASSERT_TRUE(cl.error.empty()) << cl.error;
    EXPECT_EQ(cl.command, CommandLine::Export);
    EXPECT_EQ(cl.exportInputs, (std::vector<std::string>{"Territorial waters", "Lakes"}));
    EXPECT_EQ(cl.cdrom, "atlas");
    EXPECT_EQ(cl.output, "z.gpkg");
    EXPECT_TRUE(cl.polygons);
    EXPECT_EQ(cl.labelCodePage, 437);
    EXPECT_FALSE(ParseCommandLine({"export", "Lakes"}).error.empty());                     // no output
    EXPECT_FALSE(ParseCommandLine({"export", "--output", "z.gpkg"}).error.empty());        // nothing to export
    EXPECT_FALSE(ParseCommandLine({"export", "Lakes", "--label-code-page", "850", "--output", "z.gpkg"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"build", "--polygons", "atlas.desc"}).error.empty());
}

// A page is listed by its master file, which the data set list finds as "name.MAS" and which
// names the page as its text file; read back by the viewer's reader.
TEST(AtlasDescription, PagesHaveMasterFilesTheDataListNames)
{
    std::vector<DescriptionError> errors;
    AtlasDescription a = Parse(std::string(kSample) + "[page About]\nlevel = 2\nfile = Info/About.Text.Txt\n"
                                                      "master = Info/Read.mas\nline = x\n", errors);
    ASSERT_TRUE(errors.empty()) << errors[0].message;
    EXPECT_EQ(PageMasterPath(a.pages[0]), "Info/Sources.MAS");
    EXPECT_EQ(PageMasterPath(a.pages[1]), "Info/Read.mas");
    EXPECT_FALSE(CheckAtlasDescription(a, errors));     // About.Text.Txt has two dots
    errors.clear();
    a.pages[1].file = "Info/About.Txt";
    EXPECT_TRUE(CheckAtlasDescription(a, errors)) << errors[0].message;
    a.pages[1].master = "Info/Read.Txt";                // not found by the data list's rule
    a.themes[0].master = "Themes/Towns.Dat";
    EXPECT_FALSE(CheckAtlasDescription(a, errors));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].message.find("Themes/Towns.Dat does not end in .MAS"), std::string::npos);
    EXPECT_NE(errors[1].message.find("Info/Read.Txt does not end in .MAS"), std::string::npos);
    errors.clear();
    a.pages[1].master = "Info/About.Txt";                // the page itself
    EXPECT_FALSE(CheckAtlasDescription(a, errors));

    const std::string bytes = WriteMasterFile(*BuildPageMaster(a.pages[0]));
    RecordingMessageSink sink;
    std::unique_ptr<MASStruct> back = MASStruct::Create("Sources.MAS", MemorySource(bytes), sink);
    ASSERT_TRUE(back);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(back->NextDSD, nullptr);
    ASSERT_TRUE(back->TextFileName);
    EXPECT_EQ(*back->TextFileName, "CDROM:\\Info\\Sources.Txt");
    EXPECT_FALSE(back->Key);
}

TEST(AtlasDescription, ADataSetFromAScaleListsItsFileTwice)
{
    std::vector<DescriptionError> errors;
    AtlasDescription a = Parse(kSample, errors);
    a.themes[0].datasets[1].from = 120;
    ASSERT_TRUE(CheckAtlasDescription(a, errors));
    std::unique_ptr<MASStruct> m = BuildMasterRecord(a, a.themes[0]);
    const DSDStruct* names = m->NextDSD->NextDSD.get();
    ASSERT_EQ(names->Number_Of_Files, 2);
    EXPECT_EQ(names->Current_Level, 0);
    for (const DFNStruct* f = names->NextDFN.get(); f; f = f->NextDFN.get()) {
        EXPECT_EQ(f->FileName, "CDROM:\\Themes\\Towns\\Towns.Lbl");
        EXPECT_DOUBLE_EQ(f->Trigger_Scale, 120);
    }
    // Several files give their own triggers.
    a.themes[0].datasets[0].from = 120;
    EXPECT_FALSE(CheckAtlasDescription(a, errors));
    EXPECT_NE(errors.back().message.find("from is for a data set of one file"), std::string::npos);
    errors.clear();
    Parse("[atlas]\n[theme T]\nmaster = T.MAS\n[dataset]\nfrom = -3\n", errors);
    EXPECT_EQ(errors.size(), 1u);
}

TEST(AtlasDescription, MapsTakeTheirGraticuleAndKeyLooks)
{
    std::vector<DescriptionError> errors;
    AtlasDescription a = Parse(std::string(kSample) + R"(
[map Maps/Coast.MDF]
extent = 50 60 -5 10
grid-colour = #8DA5B8
key-background = 16777215
key-text = #202020
base-key = Bottom-Left
overlay-key = top-right
base = Coastal towns
)", errors);
    ASSERT_TRUE(errors.empty()) << errors[0].message;
    const MapSpec& m = a.maps[0];
    EXPECT_EQ(*m.gridColour, 0xB8A58Du);
    EXPECT_EQ(*m.keyBackground, 0xFFFFFFu);
    EXPECT_EQ(*m.keyText, 0x202020u);
    EXPECT_EQ(*m.baseKeyCorner, 4);
    EXPECT_EQ(*m.overlayKeyCorner, 2);
    Parse("[atlas]\n[map M.MDF]\nbase-key = middle\nkey-text = #12345G\n", errors);
    EXPECT_EQ(errors.size(), 2u);
}
