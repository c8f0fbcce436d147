#include "catalogue/writers/MasterFileWriter.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace corvane {

namespace {

const char* const kEol = "\r\n";

// A string that must stay on one line of the file.
const std::string& OneLine(const std::string& s)
{
    if (s.find_first_of("\r\n\x1A") != std::string::npos)
        throw std::invalid_argument("master file line holds a line break: " + s.substr(0, 40));
    return s;
}

template <typename T>
size_t ChainLength(const T* p, std::unique_ptr<T> T::*next)
{
    size_t n = 0;
    for (; p; p = (p->*next).get()) ++n;
    return n;
}

void CheckCount(size_t n, size_t max, const char* what)
{
    if (n > max) throw std::invalid_argument(std::string("master file: too many ") + what);
}

std::string Ints(std::initializer_list<long> values)
{
    std::string s;
    for (long v : values) {
        if (!s.empty()) s += ' ';
        s += std::to_string(v);
    }
    return s;
}

} // namespace

std::string FormatMasterReal(double v)
{
    if (!std::isfinite(v)) throw std::invalid_argument("master file: a real that is not finite");
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

std::string WriteMasterFile(const MASStruct& mas)
{
    std::string out;
    auto line = [&out](const std::string& s) { out += OneLine(s); out += kEol; };

    const size_t descriptors = ChainLength(mas.NextDSD.get(), &DSDStruct::NextDSD);
    CheckCount(descriptors, 255, "data set descriptors");
    const size_t slots = std::max<size_t>(mas.Number_Of_Datasets, descriptors);
    line(std::to_string(slots));
    line(mas.TextFileName ? *mas.TextFileName : std::string());
    for (const DSDStruct* d = mas.NextDSD.get(); d; d = d->NextDSD.get()) {
        const size_t files = ChainLength(d->NextDFN.get(), &DFNStruct::NextDFN);
        CheckCount(files, 255, "files in a data set");
        line(Ints({d->Data_Type, static_cast<long>(files), d->Plot_Before_Coastline ? 1 : 0, d->Key_Entry_Adjustment}));
        for (const DFNStruct* f = d->NextDFN.get(); f; f = f->NextDFN.get()) line(f->FileName);
        if (files > 1) {
            std::string triggers;
            for (const DFNStruct* f = d->NextDFN.get(); f; f = f->NextDFN.get())
                triggers += (triggers.empty() ? "" : " ") + FormatMasterReal(f->Trigger_Scale);
            line(triggers);
            line(Ints({static_cast<long>(files), d->Current_Level}));
        }
    }
    for (size_t s = descriptors; s < slots; ++s) line("");
    line("0");   // menu switches
    if (slots == 0) return out;

    line(Ints({mas.Coastline_Included ? 1 : 0, mas.Force_Coastline_Style, mas.May_Be_Top_Level ? 1 : 0,
               mas.Alternate_Coastline ? 1 : 0}));
    if (mas.Alternate_Coastline) {
        line("");
        line("");
    }
    line(FormatMasterReal(mas.DefaultMinlat) + " " + FormatMasterReal(mas.DefaultMaxlat) + " " +
         FormatMasterReal(mas.DefaultMinlon) + " " + FormatMasterReal(mas.DefaultMaxlon));
    line(FormatMasterReal(mas.Minlat) + " " + FormatMasterReal(mas.Maxlat) + " " + FormatMasterReal(mas.Minlon) +
         " " + FormatMasterReal(mas.Maxlon));

    static const KeyStruct kEmptyKey;
    const KeyStruct& key = mas.Key ? *mas.Key : kEmptyKey;
    const size_t entries = ChainLength(key.NextKD.get(), &K_Descriptor::NextKD);
    CheckCount(entries, 255, "key entries");
    size_t text = 0;
    auto textLine = [&]() { line(text < key.Text.size() ? key.Text[text] : std::string()); ++text; };
    line(Ints({static_cast<long>(entries), key.Width, key.Num_HdrLines}));
    for (int h = 0; h < key.Num_HdrLines; ++h) textLine();
    for (const K_Descriptor* k = key.NextKD.get(); k; k = k->NextKD.get()) {
        if (k->Top_Colour_Number > 15 || k->Bottom_Colour_Number > 15)
            throw std::invalid_argument("master file: a key colour number outside 0..15");
        line(Ints({k->Hidden ? 1 : 0, k->Active ? 1 : 0, k->Entry_Type, k->Top_Colour_Number, k->Top_Style,
                   k->Bottom_Colour_Number, k->Bottom_Style, k->Number_Of_Text_Lines, k->Display_Order}));
        for (int l = 0; l < k->Number_Of_Text_Lines; ++l) textLine();
    }

    if (mas.Sym_Text) {
        const Sym_Text_Control_Block& b = *mas.Sym_Text;
        const size_t defns = ChainLength(b.Line_Array.get(), &Sym_Text_Line_Type::Next);
        CheckCount(defns, 256, "symbol text lines");
        if (defns == 0) {
            line("");   // reads back as a block without definitions
            return out;
        }
        line("#####");
        line(Ints({static_cast<long>(defns - 1), b.Lines_To_Add}));
        for (const Sym_Text_Line_Type* l = b.Line_Array.get(); l; l = l->Next.get()) {
            std::string header = l->Header_Text.substr(0, 72);
            for (char& c : header) {
                if (c == '\xB0') c = '\xF8';
                else if (c == '\xB2') c = '\xFD';
            }
            line(Ints({l->Line_Code, l->Data_Type, l->Number_Width, l->Decimal_Places, l->Action, l->Preceding_Header,
                       l->Already_Printed, l->Heading_Justify, l->Heading_Colour, l->Data_Inset, l->Data_Colour}) +
                 " " + header);
        }
    }
    return out;
}

} // namespace corvane
