// What an atlas description builds beside the layers: the master records of its themes and
// pages, and the data list.
#include "AtlasDescription.h"
#include "AtlasText.h"
#include "platform/CodePage.h"
#include "platform/DataPath.h"

#include <algorithm>
#include <cstdio>

namespace corvane::atlas {

namespace {

std::string Backslashes(std::string s)
{
    std::replace(s.begin(), s.end(), '/', '\\');
    while (!s.empty() && s.front() == '\\') s.erase(0, 1);
    return s;
}

} // namespace

std::string AtlasDataPath(const std::string& inside)
{
    return "CDROM:\\" + Backslashes(inside);
}

std::optional<Region> ThemeExtent(const AtlasDescription& atlas, const ThemeSpec& theme)
{
    if (theme.extent) return theme.extent;
    std::optional<Region> full;
    for (const DatasetSpec& d : theme.datasets)
        for (const FileRef& f : d.files)
            if (const LayerSpec* l = atlas.FindLayer(f.layer); l && l->region) {
                if (!full) { full = *l->region; continue; }
                full->west = std::min(full->west, l->region->west);
                full->east = std::max(full->east, l->region->east);
                full->south = std::min(full->south, l->region->south);
                full->north = std::max(full->north, l->region->north);
            }
    return full;
}

std::string MapOffItsThemes(const AtlasDescription& atlas, const MapSpec& map)
{
    if (!map.extent) return {};
    auto text = [](const Region& r) {
        char s[160];
        std::snprintf(s, sizeof s, "%g %g %g %g", r.south, r.north, r.west, r.east);
        return std::string(s);
    };
    const Region& m = *map.extent;
    std::string theirs;
    for (const auto* list : {&map.base, &map.overlay})
        for (const std::string& title : *list)
            for (const ThemeSpec& t : atlas.themes) {
                if (!SameText(t.title, title)) continue;
                const std::optional<Region> e = ThemeExtent(atlas, t);
                if (!e) continue;
                if (m.west <= e->east && e->west <= m.east && m.south <= e->north && e->south <= m.north) return {};
                theirs += (theirs.empty() ? "" : ", ") + t.title + " " + text(*e);
                break;
            }
    if (theirs.empty()) return {};
    return "the map's extent " + text(m) + " meets none of its themes' (" + theirs +
           "): an extent is minlat maxlat minlon maxlon, a layer's region W E S N";
}

std::string KeyInLineDrawFont(const ThemeSpec& theme)
{
    auto told = [](const std::string& text) -> std::string {
        const std::string bytes = ToAtlasText(text, TextUse::Plain);
        if (std::none_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<uint8_t>(c) > 128; })) return {};
        return "key text \"" + text + "\" is drawn in the viewer's line-drawing font, as \"" + Cp437ToUtf8(bytes) +
               "\" (a key text with a letter beyond ASCII turns the key's texts into the DOS code page)";
    };
    for (const std::string& h : theme.keyHeading)
        if (std::string t = told(h); !t.empty()) return t;
    for (const KeyEntrySpec& k : theme.key)
        for (const std::string& line : k.text)
            if (std::string t = told(line); !t.empty()) return t;
    return {};
}

std::unique_ptr<MASStruct> BuildMasterRecord(const AtlasDescription& atlas, const ThemeSpec& theme)
{
    auto mas = std::make_unique<MASStruct>();
    mas->Title = std::make_unique<std::string>(ToAtlasText(theme.title, TextUse::Plain));
    if (!theme.textFile.empty()) mas->TextFileName = std::make_unique<std::string>(AtlasDataPath(theme.textFile));
    mas->Number_Of_Datasets = static_cast<uint8_t>(std::min<size_t>(theme.datasets.size(), 255));
    mas->Coastline_Included = theme.coastlineIncluded;
    mas->May_Be_Top_Level = theme.mayBeTopLevel;
    mas->Force_Coastline_Style = theme.forceCoastlineStyle;

    const Region full = ThemeExtent(atlas, theme).value_or(Region{0, 0, 0, 0});
    Region def = theme.defaultExtent ? *theme.defaultExtent : full;
    mas->Minlat = full.south; mas->Maxlat = full.north; mas->Minlon = full.west; mas->Maxlon = full.east;
    mas->DefaultMinlat = def.south; mas->DefaultMaxlat = def.north;
    mas->DefaultMinlon = def.west; mas->DefaultMaxlon = def.east;

    std::unique_ptr<DSDStruct>* dsdTail = &mas->NextDSD;
    for (const DatasetSpec& d : theme.datasets) {
        auto dsd = std::make_unique<DSDStruct>();
        const LayerSpec* first = d.files.empty() ? nullptr : atlas.FindLayer(d.files[0].layer);
        dsd->Data_Type = static_cast<uint8_t>(d.dataType ? d.dataType : first ? first->dataType : 0);
        dsd->Number_Of_Files = static_cast<uint8_t>(std::min<size_t>(d.files.size(), 255));
        dsd->Plot_Before_Coastline = d.beforeCoastline;
        dsd->Key_Entry_Adjustment = static_cast<uint8_t>(d.keyAdjustment);
        dsd->Current_Level = d.files.size() > 1 ? static_cast<uint8_t>(d.level) : 0;
        std::vector<FileRef> files = d.files;
        if (d.from > 0 && files.size() == 1) {
            files[0].trigger = d.from;
            files.push_back(files[0]);
        }
        dsd->Number_Of_Files = static_cast<uint8_t>(std::min<size_t>(files.size(), 255));
        std::unique_ptr<DFNStruct>* dfnTail = &dsd->NextDFN;
        for (const FileRef& f : files) {
            auto dfn = std::make_unique<DFNStruct>();
            const LayerSpec* l = atlas.FindLayer(f.layer);
            dfn->FileName = AtlasDataPath(l ? l->output : f.layer);
            dfn->Trigger_Scale = f.trigger;
            *dfnTail = std::move(dfn);
            dfnTail = &(*dfnTail)->NextDFN;
        }
        *dsdTail = std::move(dsd);
        dsdTail = &(*dsdTail)->NextDSD;
    }

    if (!theme.key.empty() || !theme.keyHeading.empty()) {
        auto key = std::make_unique<KeyStruct>();
        key->NumItems = static_cast<uint8_t>(std::min<size_t>(theme.key.size(), 255));
        key->Width = static_cast<int16_t>(theme.keyWidth);
        key->Num_HdrLines = static_cast<uint8_t>(std::min<size_t>(theme.keyHeading.size(), 255));
        for (const std::string& s : theme.keyHeading) key->Text.push_back(ToAtlasText(s, TextUse::Plain));
        std::unique_ptr<K_Descriptor>* kdTail = &key->NextKD;
        int number = 0;
        for (const KeyEntrySpec& k : theme.key) {
            ++number;
            auto kd = std::make_unique<K_Descriptor>();
            kd->Active = k.active;
            kd->Hidden = k.hidden || !k.active;
            kd->Entry_Type = static_cast<uint8_t>(k.entryType);
            kd->Top_Colour_Number = static_cast<uint8_t>(k.topColour & 15);
            kd->Bottom_Colour_Number = static_cast<uint8_t>(k.bottomColour & 15);
            kd->Top_Colour = DOSColour[kd->Top_Colour_Number];
            kd->Bottom_Colour = DOSColour[kd->Bottom_Colour_Number];
            kd->Top_Style = static_cast<uint8_t>(k.topStyle);
            kd->Bottom_Style = static_cast<uint8_t>(k.bottomStyle);
            kd->Number_Of_Text_Lines = static_cast<uint8_t>(std::min<size_t>(k.text.size(), 255));
            kd->Display_Order = static_cast<uint8_t>(k.order ? k.order : number);
            for (const std::string& s : k.text) key->Text.push_back(ToAtlasText(s, TextUse::Plain));
            kd->TextIdx = k.text.empty() ? 0 : static_cast<uint8_t>(std::min<size_t>(key->Text.size() - 1, 255));
            *kdTail = std::move(kd);
            kdTail = &(*kdTail)->NextKD;
        }
        mas->Key = std::move(key);
    }

    if (theme.hasQuery && !theme.queryLines.empty()) {
        auto st = std::make_unique<Sym_Text_Control_Block>();
        st->Number_Of_Defns = static_cast<uint8_t>(std::min<size_t>(theme.queryLines.size() - 1, 255));
        st->Lines_To_Add = static_cast<int8_t>(theme.linesToAdd);
        std::unique_ptr<Sym_Text_Line_Type>* tail = &st->Line_Array;
        for (const QueryLineSpec& q : theme.queryLines) {
            auto l = std::make_unique<Sym_Text_Line_Type>();
            l->Line_Code = static_cast<uint8_t>(q.lineCode);
            l->Data_Type = static_cast<uint8_t>(q.dataType);
            l->Number_Width = static_cast<uint8_t>(q.width);
            l->Decimal_Places = static_cast<uint8_t>(q.decimals);
            l->Action = static_cast<uint8_t>(q.action);
            l->Preceding_Header = static_cast<int8_t>(q.preceding);
            l->Already_Printed = static_cast<uint8_t>(q.printed);
            l->Heading_Justify = static_cast<uint8_t>(q.justify);
            l->Heading_Colour = static_cast<uint8_t>(q.headingColour);
            l->Data_Inset = static_cast<int16_t>(q.inset);
            l->Data_Colour = static_cast<uint8_t>(q.dataColour);
            l->Header_Text = ToAtlasText(q.heading, TextUse::QueryHeading);
            *tail = std::move(l);
            tail = &(*tail)->Next;
        }
        mas->Sym_Text = std::move(st);
    }
    return mas;
}

std::string PageMasterPath(const PageSpec& page)
{
    if (!page.master.empty()) return page.master;
    std::string m = page.file;
    const size_t slash = m.find_last_of("/\\");
    const size_t dot = m.find('.', slash == std::string::npos ? 0 : slash);
    if (dot != std::string::npos) m.erase(dot);
    return m + ".MAS";
}

std::unique_ptr<MASStruct> BuildPageMaster(const PageSpec& page)
{
    auto mas = std::make_unique<MASStruct>();
    mas->Title = std::make_unique<std::string>("(Text) " + ToAtlasText(page.title, TextUse::Plain));
    mas->TextFileName = std::make_unique<std::string>(AtlasDataPath(page.file));
    return mas;
}

std::vector<DataListEntry> BuildDataList(const AtlasDescription& atlas)
{
    std::vector<DataListEntry> out;
    for (const MenuEntry& m : atlas.menu) {
        DataListEntry e;
        switch (m.kind) {
        case MenuEntry::Heading:
            e.Level = atlas.headings[m.index].menuLevel;
            e.Title = ToAtlasText(atlas.headings[m.index].title, TextUse::Plain);
            e.Type = 1;
            e.File = "XXXX";
            break;
        case MenuEntry::Theme:
            e.Level = atlas.themes[m.index].menuLevel;
            e.Title = ToAtlasText(atlas.themes[m.index].title, TextUse::Plain);
            e.Type = 1;
            e.File = AtlasDataPath(atlas.themes[m.index].master);
            break;
        case MenuEntry::Page:
            e.Level = atlas.pages[m.index].menuLevel;
            e.Title = ToAtlasText(atlas.pages[m.index].title, TextUse::Plain);
            e.Type = 0;
            e.File = AtlasDataPath(PageMasterPath(atlas.pages[m.index]));
            break;
        }
        out.push_back(e);
    }
    return out;
}

} // namespace corvane::atlas
