#include "CatalogueFixtures.h"
#include "catalogue/MASFileReader.h"
#include "platform/ByteSource.h"
#include "platform/MessageSink.h"

#include <gtest/gtest.h>

#include <random>

using namespace corvane;
using corvane::test::TempDir;

namespace {

std::unique_ptr<MASStruct> Read(const std::string& text, RecordingMessageSink& sink,
                                const std::string& name = "D:\\THEMES\\DEPTH.MAS")
{
    return MASStruct::Create(name, MemorySource(text), sink);
}

template <typename T>
int Count(const T* p, std::unique_ptr<T> T::*next)
{
    int n = 0;
    for (; p; p = (p->*next).get()) ++n;
    return n;
}

// A theme that uses every part of the file: a three-file descriptor, a one-file descriptor,
// alternate coastline lines, a key with headings, an inactive entry and colour 6, and a
// symbol text block with a degree sign (in its DOS form).
const std::string kRichTheme =
    "2\r\nCDROM:\\Text\\Depth.Txt\r\n"
    "3 3 1 3\r\nCDROM:\\Depth\\D0.Rle\r\nCDROM:\\Depth\\D1.Rle\r\nCDROM:\\Depth\\D2.Rle\r\n50 10.125 0\r\n3 2\r\n"
    "4 1 0 0\r\nCDROM:\\Depth\\Wrecks.Syx\r\n0\r\n1 -7 0 1\r\n\r\n\r\n"
    "49.5 61.123456789 -12.25 3.1\r\n0.0000001 89.99999999999 -180 180\r\n"
    "3 240 2\r\nDepth\r\n(metres)\r\n0 1 2 9 1 15 0 2 1\r\n0 - 10\r\n10 - 50\r\n"
    "1 0 1 6 2 4 3 1 2\r\nover 50\r\n1 1 3 12 7 0 0 1 3\r\nWreck\r\n"
    "#####\r\n3 -2\r\n1 0 8 0 0 -1 0 0 14 -300 15 Depth m\xFD\r\n2 0 8 0 0 -1 0 0 14 -300 15 Depth m\xFD\r\n"
    "3 0 8 0 0 -1 0 0 14 -300 15  Temperature \xF8" "C\r\n4 0 8 0 0 -1 0 0 14 -300 15 Depth m\xFD\r\n";

// A one-descriptor theme followed by the given key section.
std::string KeyFile(const std::string& keySection)
{
    return "1\r\n\r\n1 1 0 0\r\nx.vec\r\n0\r\n0 0 0 0\r\n0 1 0 1\r\n0 1 0 1\r\n" + keySection;
}

} // namespace

TEST(MasterFile, RoundTripThroughReaderAndWriter)
{
    RecordingMessageSink sink;
    auto mas = Read(kRichTheme, sink);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(WriteMasterFile(*mas), kRichTheme);
    // and once more from the records the first reading made
    EXPECT_EQ(WriteMasterFile(*Read(WriteMasterFile(*mas), sink)), kRichTheme);

    EXPECT_EQ(mas->Number_Of_Datasets, 2);
    ASSERT_TRUE(mas->TextFileName);
    const DSDStruct* d = mas->NextDSD.get();
    ASSERT_TRUE(d && d->NextDSD);
    EXPECT_EQ(d->Data_Type, dtRLE);
    EXPECT_EQ(d->Number_Of_Files, 3);
    EXPECT_TRUE(d->Plot_Before_Coastline);
    EXPECT_EQ(d->Current_Level, 2);
    EXPECT_EQ(d->NextDFN->NextDFN->FileName, "CDROM:\\Depth\\D1.Rle");
    EXPECT_EQ(d->NextDFN->NextDFN->Trigger_Scale, 10.125);
    EXPECT_EQ(d->NextDSD->Number_Of_Files, 1);   // no trigger or level lines follow it
    EXPECT_EQ(d->NextDSD->NextDFN->FileName, "CDROM:\\Depth\\Wrecks.Syx");
    EXPECT_EQ(mas->Force_Coastline_Style, -7);
    EXPECT_TRUE(mas->Alternate_Coastline);
    EXPECT_EQ(mas->DefaultMaxlat, 61.123456789);
    EXPECT_EQ(mas->Minlat, 1e-7);

    ASSERT_TRUE(mas->Key);
    const KeyStruct& key = *mas->Key;
    EXPECT_EQ(key.NumItems, 3);
    EXPECT_EQ(key.Width, 240);
    EXPECT_EQ(key.Text, (std::vector<std::string>{"Depth", "(metres)", "0 - 10", "10 - 50", "over 50", "Wreck"}));
    const K_Descriptor* k1 = key.NextKD.get();
    EXPECT_EQ(k1->Top_Colour, 0xFF0000u);
    EXPECT_EQ(k1->TextIdx, 3);
    const K_Descriptor* k2 = k1->NextKD.get();
    EXPECT_TRUE(k2->Hidden);                 // inactive, and hidden already in the file
    EXPECT_EQ(k2->Top_Colour, 0x000080u);    // colour 6 is the same as 4
    EXPECT_EQ(k2->Top_Colour, k2->Bottom_Colour);
    EXPECT_EQ(k2->NextKD->TextIdx, 5);

    ASSERT_TRUE(mas->Sym_Text);
    EXPECT_EQ(mas->Sym_Text->Number_Of_Defns, 3);   // a count of 3 holds four definitions
    EXPECT_EQ(Count(mas->Sym_Text->Line_Array.get(), &Sym_Text_Line_Type::Next), 4);
    const Sym_Text_Line_Type* l3 = mas->Sym_Text->Line_Array->Next->Next.get();
    EXPECT_EQ(l3->Preceding_Header, -1);
    EXPECT_EQ(l3->Data_Inset, -300);
    EXPECT_EQ(l3->Header_Text, " Temperature \xB0" "C");

    // An inactive entry that is not hidden is read as hidden.
    std::string t = kRichTheme;
    t.replace(t.find("1 0 1 6"), 7, "0 0 1 6");
    EXPECT_TRUE(Read(t, sink)->Key->NextKD->NextKD->Hidden);
}

TEST(MasterFile, ZeroDataSetsIgnoresWhatFollowsTheMenuSwitchLine)
{
    RecordingMessageSink sink;
    auto mas = Read("0\r\n\r\n0\r\n1 0 0 0\r\n0 1 0 1\r\nrubbish\r\n#####\r\n", sink);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_FALSE(mas->Key);
    EXPECT_FALSE(mas->Sym_Text);
    EXPECT_FALSE(mas->Coastline_Included);
}

TEST(MasterFile, DescriptorLinesBlankSlotsAndMenuSwitches)
{
    // Slot 1 is blank, slot 2 breaks off at its third number, slot 3 is fine; two menu switches.
    const std::string text =
        "3\r\ninfo.txt\r\n   \r\n  1 2 x 0\r\na.vec\r\nb.vec\r\n20 5\r\n0 1\r\n5 1 1 4\r\nc.sym\r\n"
        "2\r\nswitch one\r\nswitch two\r\n0 0 0 0\r\n1 2 3 4\r\n5 6 7 8\r\n0 100 0\r\n";
    RecordingMessageSink sink;
    auto mas = Read(text, sink);
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[0].kind, MsgKind::Warning);
    EXPECT_EQ(sink.messages[0].text, "Initialise Dataset Descriptor : Error in D:/THEMES/DEPTH.MAS (Data Set 2=1 2 x 0)");
    EXPECT_EQ(sink.messages[1].text, "The Menu Switches are not implemented.");

    const DSDStruct* d = mas->NextDSD.get();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->Number_Of_Files, 2);   // fields before the failure keep their values
    EXPECT_EQ(d->NextDFN->NextDFN->FileName, "b.vec");   // and the files are still read
    EXPECT_EQ(d->Current_Level, 1);
    ASSERT_TRUE(d->NextDSD);
    EXPECT_EQ(d->NextDSD->Key_Entry_Adjustment, 4);
    ASSERT_TRUE(mas->Key);   // the menu switch lines were skipped
    EXPECT_EQ(mas->Key->Width, 100);
    EXPECT_FALSE(mas->Sym_Text);   // the file ends with the key
}

TEST(MasterFile, ReadInitStrTakesBytesModulo256AndStopsAtTheFirstBadField)
{
    DSDStruct d;
    EXPECT_TRUE(d.Read_InitStr("260 2  1   7"));
    EXPECT_EQ(d.Data_Type, 4);
    EXPECT_EQ(d.Number_Of_Files, 2);
    EXPECT_TRUE(d.Plot_Before_Coastline);
    EXPECT_EQ(d.Key_Entry_Adjustment, 7);
    DSDStruct e;
    EXPECT_FALSE(e.Read_InitStr("3 x 1 0"));
    EXPECT_EQ(e.Data_Type, 3);
    EXPECT_EQ(e.Number_Of_Files, 0);
    EXPECT_FALSE(e.Read_InitStr("7"));   // no blank after the first field
}

TEST(MasterFile, KeyRangeErrorsKeepTheEntriesBefore)
{
    RecordingMessageSink sink;
    auto mas = Read(KeyFile("3 50 1\r\nHead\r\n0 1 1 2 1 2 1 1 1\r\nFirst   \r\n0 1 1 16 1 2 1 1 2\r\nBad\r\n"
                            "0 1 1 2 1 2 1 1 3\r\nThird\r\n#####\r\n0 0\r\n1 1 1 1 1 1 1 1 1 1 1 Hdr\r\n"),
                    sink);
    ASSERT_EQ(sink.Texts(), std::vector<std::string>{"Range check error in D:/THEMES/DEPTH.MAS"});
    ASSERT_TRUE(mas->Key);
    EXPECT_EQ(mas->Key->NumItems, 1);
    EXPECT_EQ(mas->Key->Text, (std::vector<std::string>{"Head", "First"}));
    // The symbol text block is still found behind the broken key.
    ASSERT_TRUE(mas->Sym_Text);
    EXPECT_EQ(mas->Sym_Text->Line_Array->Header_Text, "Hdr");

    // Text lines pushing TextIdx past 255: the entry that overflows is dropped.
    auto lines = [](int n) { std::string r; while (n-- > 0) r += "t\r\n"; return r; };
    const std::string many = "2 0 200\r\n" + lines(200) + "0 1 4 1 0 1 0 50 1\r\n" + lines(50) + "0 1 4 1 0 1 0 10 2\r\n" + lines(10);
    sink.Clear();
    mas = Read(KeyFile(many), sink);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Range check error in D:/THEMES/DEPTH.MAS"});
    EXPECT_EQ(mas->Key->NumItems, 1);
    EXPECT_EQ(mas->Key->NextKD->TextIdx, 249);
    EXPECT_EQ(mas->Key->Text.size(), 250u);

    // More than 50 entries are read.
    std::string key = "60 10 0\r\n";
    for (int i = 0; i < 60; ++i) key += "0 1 2 3 0 3 0 0 " + std::to_string(i + 1) + "\r\n";
    sink.Clear();
    EXPECT_EQ(Count(Read(KeyFile(key), sink)->Key->NextKD.get(), &K_Descriptor::NextKD), 60);
    EXPECT_TRUE(sink.messages.empty());
}

TEST(MasterFile, SymbolTextSection)
{
    // Lines before "#####" are passed over; a header beginning with "#####" is made empty;
    // the header text takes at most 72 characters after one separator.
    const std::string longText(80, 'a');
    RecordingMessageSink sink;
    auto mas = Read(KeyFile("0 10 0\r\nnotes\r\n#####\r\n1 0\r\n1 2 3 4 5 -3 7 8 9 -10 11 #####x\r\n"
                            "300 0 0 0 0 200 0 0 0 70000 0 " + longText + "\r\n"),
                    sink);
    EXPECT_TRUE(sink.messages.empty());
    ASSERT_TRUE(mas->Sym_Text);
    const Sym_Text_Line_Type* l = mas->Sym_Text->Line_Array.get();
    EXPECT_EQ(l->Preceding_Header, -3);
    EXPECT_EQ(l->Data_Inset, -10);
    EXPECT_EQ(l->Header_Text, "");
    EXPECT_EQ(l->Next->Line_Code, 300 % 256);
    EXPECT_EQ(l->Next->Preceding_Header, static_cast<int8_t>(200));
    EXPECT_EQ(l->Next->Header_Text, longText.substr(0, 72));

    // No "#####" at all: an empty block without a message.
    sink.Clear();
    mas = Read(KeyFile("0 10 0\r\n\r\n"), sink);
    EXPECT_TRUE(sink.messages.empty());
    ASSERT_TRUE(mas->Sym_Text);
    EXPECT_FALSE(mas->Sym_Text->Line_Array);

    // The section starting at the end of the file.
    MASFileReader in("X.MAS", "1\r\n", sink);
    in.MASfile_Count = 1;
    auto block = Sym_Text_Control_Block::Create(in);
    EXPECT_EQ(sink.Texts().back(), "Error in Symbol Text Information.");
    EXPECT_EQ(sink.messages.back().kind, MsgKind::Information);
    EXPECT_FALSE(block->Line_Array);
}

TEST(MasterFile, InitialisationFilesAreNotRead)
{
    RecordingMessageSink sink;
    MASFileReader in("CDROM:\\THEMES\\DEPTH.INI", "1 1 0 0\r\nx\r\n", sink);
    auto d = DSDStruct::Create(in, "1 1 0 0", "Data Set 1");
    auto k = KeyStruct::Create(in);
    auto s = Sym_Text_Control_Block::Create(in);
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"INI files - Data Set Descriptor not implemented.",
                                                      "INI files - Sym_Text not implemented."}));
    EXPECT_FALSE(d->NextDFN);
    EXPECT_FALSE(k->NextKD);

    TempDir dir;
    dir.Write("themes/depth.ini", "1\r\n");
    dir.Write("themes/depth.mas", kRichTheme);
    sink.Clear();
    EXPECT_FALSE(MASStruct::Create(dir.Path() + "\\THEMES\\DEPTH.INI", sink)->NextDSD);
    EXPECT_FALSE(MASStruct::Create(dir.Path() + "\\THEMES\\MISSING.MAS", sink)->NextDSD);
    EXPECT_TRUE(sink.messages.empty());
    // A master file is found through the data path rules, whatever the case of its name.
    auto mas = MASStruct::Create(dir.Path() + "\\THEMES\\DEPTH.MAS", sink);
    ASSERT_TRUE(mas->NextDSD);
    EXPECT_EQ(mas->NextDSD->NextDSD->NextDFN->FileName, "CDROM:\\Depth\\Wrecks.Syx");
}

TEST(MasterFile, DamagedFilesKeepWhatWasReadBefore)
{
    RecordingMessageSink sink;
    // A descriptor promising more files than the file holds.
    auto mas = Read("2\r\n\r\n1 1 0 0\r\na.vec\r\n1 9 0 0\r\nb.vec\r\nc.vec\r\n", sink);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Error in D:/THEMES/DEPTH.MAS : unexpected end of file at line 8."});
    ASSERT_TRUE(mas->NextDSD);
    EXPECT_EQ(mas->NextDSD->NextDSD->Number_Of_Files, 2);
    EXPECT_EQ(Count(mas->NextDSD->NextDSD->NextDFN.get(), &DFNStruct::NextDFN), 2);
    EXPECT_FALSE(mas->Key);

    sink.Clear();
    mas = Read("1\r\n\r\n1 1 0 0\r\na.vec\r\n0\r\n0 0 0 0\r\n1 2 x3 4\r\n", sink);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Error in D:/THEMES/DEPTH.MAS : invalid number 'x3' at line 7."});
    EXPECT_EQ(mas->DefaultMaxlat, 2);
    EXPECT_TRUE(mas->NextDSD);

    // A file of megabytes is no master file (nor is it held line by line).
    sink.Clear();
    mas = Read(kRichTheme + std::string(5u << 20, '\n'), sink);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Error in D:/THEMES/DEPTH.MAS : it is larger than the limit of 4 MB."});
    EXPECT_FALSE(mas->NextDSD);
}

TEST(MasterFile, TruncationsAndBitFlipsNeverBreakTheReader)
{
    const std::string text = kRichTheme;
    for (size_t n = 0; n < text.size(); ++n) {
        RecordingMessageSink sink;
        auto mas = Read(text.substr(0, n), sink);
        // Each key entry and descriptor held is complete.
        if (mas->Key) {
            int lines = mas->Key->Num_HdrLines;
            for (const K_Descriptor* k = mas->Key->NextKD.get(); k; k = k->NextKD.get()) lines += k->Number_Of_Text_Lines;
            EXPECT_EQ(static_cast<int>(mas->Key->Text.size()), lines);
            EXPECT_EQ(Count(mas->Key->NextKD.get(), &K_Descriptor::NextKD), mas->Key->NumItems);
        }
        for (const DSDStruct* d = mas->NextDSD.get(); d; d = d->NextDSD.get())
            EXPECT_EQ(Count(d->NextDFN.get(), &DFNStruct::NextDFN), d->Number_Of_Files);
    }
    std::mt19937 rng(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string t = text;
        for (int f = 0; f < 1 + round % 4; ++f) t[rng() % t.size()] ^= static_cast<char>(1u << (rng() % 8));
        RecordingMessageSink sink;
        auto mas = Read(t, sink);
        if (mas->Key) {
            EXPECT_LE(mas->Key->Text.size(), 256u);
        }
    }
    // A few megabytes of garbage.
    std::string garbage(3u << 20, '\0');
    const char alphabet[] = "0123456789 -.#\t";
    for (char& c : garbage) c = rng() % 50 < 2 ? '\n' : alphabet[rng() % (sizeof alphabet - 1)];
    garbage[0] = '9';
    garbage[1] = '\n';
    RecordingMessageSink sink;
    Read(garbage, sink);
    EXPECT_LE(sink.messages.size(), 260u);   // at most one per descriptor slot, and a few
}
