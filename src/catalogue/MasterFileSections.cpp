// The section readers of a master file: data set descriptors, the key and the symbol text
// block.
#include "catalogue/MASFileReader.h"
#include "catalogue/MasterFile.h"
#include "platform/Ini.h"
#include "platform/MessageSink.h"
#include "platform/TextFile.h"

namespace corvane {

// ---- data set descriptor ----------------------------------------------------------------

bool DSDStruct::Read_InitStr(const std::string& InitStr)
{
    std::string s = InitStr;
    int32_t v = 0;
    // The text before the first blank; then the blank and the blanks after it are removed.
    auto field = [&s, &v]() {
        size_t k = s.find(' ');
        if (k == std::string::npos || !ParseInt32(s.substr(0, k), v)) return false;
        s.erase(0, k + 1);
        size_t b = s.find_first_not_of(' ');
        s.erase(0, b == std::string::npos ? s.size() : b);
        return true;
    };
    if (!field()) return false;
    Data_Type = static_cast<uint8_t>(v);
    if (!field()) return false;
    Number_Of_Files = static_cast<uint8_t>(v);
    if (!field()) return false;
    Plot_Before_Coastline = static_cast<uint8_t>(v) != 0;
    if (!ParseInt32(s, v)) return false;
    Key_Entry_Adjustment = static_cast<uint8_t>(v);
    return true;
}

std::unique_ptr<DSDStruct> DSDStruct::Create(MASFileReader& in, const std::string& InitStr, const std::string& InDSDNum)
{
    auto dsd = std::make_unique<DSDStruct>();
    if (!IsMasterFileName(in.Filename())) {
        in.Sink().Info("INI files - Data Set Descriptor not implemented.");
        return dsd;
    }
    if (!dsd->Read_InitStr(InitStr))
        in.Sink().Warn("Initialise Dataset Descriptor : Error in " + in.Filename() + " (" + InDSDNum + "=" + InitStr + ")");

    TextTokenReader& t = in.Text();
    in.BeginSection();
    const int files = dsd->Number_Of_Files;
    dsd->Number_Of_Files = 0;   // counts the files actually read
    std::unique_ptr<DFNStruct>* tail = &dsd->NextDFN;
    for (int f = 0; f < files; ++f) {
        std::string name;
        if (!t.ReadLine(name)) return dsd;
        *tail = std::make_unique<DFNStruct>();
        (*tail)->FileName = name;
        tail = &(*tail)->NextDFN;
        ++dsd->Number_Of_Files;
    }
    in.MASfile_Count += static_cast<size_t>(files);
    if (files > 1) {
        for (DFNStruct* d = dsd->NextDFN.get(); d; d = d->NextDFN.get())
            if (!t.ReadReal(d->Trigger_Scale)) return dsd;
        t.EndLine();
        int32_t ignored = 0, level = 0;
        if (!t.ReadInt(ignored) || !t.ReadInt(level)) return dsd;
        t.EndLine();
        dsd->Current_Level = static_cast<uint8_t>(level);
        in.MASfile_Count += 2;
    }
    return dsd;
}

// ---- key ----------------------------------------------------------------------------------

namespace {

bool InByteRange(int32_t v) { return v >= 0 && v <= 255; }

} // namespace

std::unique_ptr<KeyStruct> KeyStruct::Create(MASFileReader& in)
{
    auto key = std::make_unique<KeyStruct>();
    if (!IsMasterFileName(in.Filename())) return key;
    TextTokenReader& t = in.Text();
    auto rangeError = [&in]() { in.Sink().Plain("Range check error in " + in.Filename()); };

    in.BeginSection();
    int32_t items = 0, width = 0, hdr = 0;
    if (!t.ReadInt(items) || !t.ReadInt(width) || !t.ReadInt(hdr)) return key;
    t.EndLine();
    if (!InByteRange(items) || !InByteRange(hdr) || width < INT16_MIN || width > INT16_MAX) {
        rangeError();
        return key;
    }
    key->Width = static_cast<int16_t>(width);
    size_t consumed = 1;
    for (int32_t h = 0; h < hdr; ++h) {
        std::string s;
        if (!t.ReadLine(s)) return key;
        key->Text.push_back(TrimRight(s));
        ++key->Num_HdrLines;
        ++consumed;
    }

    std::unique_ptr<K_Descriptor>* tail = &key->NextKD;
    for (int32_t e = 0; e < items; ++e) {
        int32_t f[9];
        for (int32_t& v : f)
            if (!t.ReadInt(v)) return key;
        t.EndLine();
        auto kd = std::make_unique<K_Descriptor>();
        kd->Hidden = f[0] != 0;
        kd->Active = f[1] != 0;
        if (!kd->Active) kd->Hidden = true;
        for (int k : {2, 4, 6, 7, 8})
            if (!InByteRange(f[k])) {
                rangeError();
                return key;
            }
        if (f[3] < 0 || f[3] > 15 || f[5] < 0 || f[5] > 15) {
            rangeError();
            return key;
        }
        kd->Entry_Type = static_cast<uint8_t>(f[2]);
        kd->Top_Colour_Number = static_cast<uint8_t>(f[3]);
        kd->Top_Colour = DOSColour[f[3]];
        kd->Top_Style = static_cast<uint8_t>(f[4]);
        kd->Bottom_Colour_Number = static_cast<uint8_t>(f[5]);
        kd->Bottom_Colour = DOSColour[f[5]];
        kd->Bottom_Style = static_cast<uint8_t>(f[6]);
        kd->Number_Of_Text_Lines = static_cast<uint8_t>(f[7]);
        kd->Display_Order = static_cast<uint8_t>(f[8]);
        // An entry counts only once all its text lines are in: a key cut short keeps the
        // text of the entries before it and nothing of this one.
        const size_t textBefore = key->Text.size();
        for (int l = 0; l < kd->Number_Of_Text_Lines; ++l) {
            std::string s;
            bool ok = t.ReadLine(s);
            if (ok && key->Text.size() > 255) {   // the new line's index would pass 255
                rangeError();
                ok = false;
            }
            if (!ok) {
                key->Text.resize(textBefore);
                return key;
            }
            key->Text.push_back(TrimRight(s));
            kd->TextIdx = static_cast<uint8_t>(key->Text.size() - 1);
        }
        consumed += 1 + kd->Number_Of_Text_Lines;
        *tail = std::move(kd);
        tail = &(*tail)->NextKD;
        ++key->NumItems;
    }
    in.MASfile_Count += consumed;
    return key;
}

// ---- symbol text block ------------------------------------------------------------------

std::unique_ptr<Sym_Text_Control_Block> Sym_Text_Control_Block::Create(MASFileReader& in)
{
    auto block = std::make_unique<Sym_Text_Control_Block>();
    if (!IsMasterFileName(in.Filename())) {
        in.Sink().Info("INI files - Sym_Text not implemented.");
        return block;
    }
    TextTokenReader& t = in.Text();
    in.BeginSection();
    if (t.Eof()) {
        in.Sink().Info("Error in Symbol Text Information.");
        return block;
    }
    bool found = false;
    while (!found && !t.Eof()) {
        std::string head;
        t.ReadLine(head, 5);
        ++in.MASfile_Count;
        found = head == "#####";
    }
    if (!found) return block;

    int32_t defns = 0, add = 0;
    if (!t.ReadInt(defns) || !t.ReadInt(add)) return block;
    t.EndLine();
    block->Lines_To_Add = static_cast<int8_t>(add);
    const int count = static_cast<uint8_t>(defns) + 1;
    std::unique_ptr<Sym_Text_Line_Type>* tail = &block->Line_Array;
    int held = 0;
    for (; held < count; ++held) {
        int32_t f[11];
        bool ok = true;
        for (int32_t& v : f)
            if (ok) ok = t.ReadInt(v);
        if (!ok) break;
        auto line = std::make_unique<Sym_Text_Line_Type>();
        line->Line_Code = static_cast<uint8_t>(f[0]);
        line->Data_Type = static_cast<uint8_t>(f[1]);
        line->Number_Width = static_cast<uint8_t>(f[2]);
        line->Decimal_Places = static_cast<uint8_t>(f[3]);
        line->Action = static_cast<uint8_t>(f[4]);
        line->Preceding_Header = static_cast<int8_t>(f[5]);
        line->Already_Printed = static_cast<uint8_t>(f[6]);
        line->Heading_Justify = static_cast<uint8_t>(f[7]);
        line->Heading_Colour = static_cast<uint8_t>(f[8]);
        line->Data_Inset = static_cast<int16_t>(f[9]);
        line->Data_Colour = static_cast<uint8_t>(f[10]);
        t.ReadChar();   // the separator
        std::string text = t.ReadStr(72);
        t.EndLine();
        for (char& c : text) {
            if (c == '\xF8') c = '\xB0';        // degree sign
            else if (c == '\xFD') c = '\xB2';   // superscript two
        }
        if (text.compare(0, 5, "#####") == 0) text.clear();
        line->Header_Text = text;
        *tail = std::move(line);
        tail = &(*tail)->Next;
    }
    block->Number_Of_Defns = static_cast<uint8_t>(held > 0 ? held - 1 : 0);
    if (held == count) in.MASfile_Count += static_cast<size_t>(count) + 1;
    return block;
}

} // namespace corvane
