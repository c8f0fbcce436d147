#include "display/SubsetModel.h"

#include "catalogue/MasterFile.h"
#include "mapdef/MDFStruct.h"
#include "platform/MessageSink.h"
#include "render/KeyItem.h"
#include "render/Keys.h"
#include "render/MapView.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

K_Descriptor* Mutable(KeyStruct& key, const K_Descriptor* kd)
{
    for (K_Descriptor* k = key.NextKD.get(); k; k = k->NextKD.get())
        if (k == kd) return k;
    return nullptr;
}

bool WantsLineDraw(const std::string& s)
{
    return std::any_of(s.begin(), s.end(), [](char ch) {
        const auto b = static_cast<unsigned char>(ch);
        return b < 32 || b >= 129;
    });
}

bool ValidRow(const std::vector<SubsetRow>& rows, int row) { return row >= 0 && static_cast<size_t>(row) < rows.size(); }

} // namespace

SubsetStylePicker StylePickerFor(uint8_t entryType)
{
    switch (entryType) {
    case 1: return SubsetStylePicker::Line;
    case 2: return SubsetStylePicker::Fill;
    case 3: return SubsetStylePicker::Symbol;
    case 4:
    case 5: return SubsetStylePicker::None;
    default: return SubsetStylePicker::Beep;
    }
}

int SubsetRowHeight(int fontHeight, int ppi) { return static_cast<int>(std::trunc(-fontHeight * double(ppi) / 72)) - 1; }

void SubsetModel::Initialise(const KeyStruct& key, MessageSink& messages)
{
    Caption = "Data Subset : ";
    for (int i = 0; i < key.Num_HdrLines && static_cast<size_t>(i) < key.Text.size(); ++i)
        Caption += key.Text[static_cast<size_t>(i)] + " ";
    Rows.clear();
    LineDrawFont = false;
    TopColour.assign(256, 0);
    BottomColour.assign(256, 0);
    TopStyle.assign(256, 0);
    BottomStyle.assign(256, 0);

    for (int i = 1; i <= key.NumItems; ++i) {
        const KeyItemAt item = FindKeyItem(key, i);
        if (!item.kd) {
            messages.Warn(kKeyNotFound);
            continue;
        }
        const K_Descriptor& kd = *item.kd;
        for (int j = 1; j <= kd.Number_Of_Text_Lines; ++j) {
            SubsetRow row;
            if (j == 1 && kd.Entry_Type != 0) {
                row.Status = kd.Active ? kSubsetActive : kSubsetInactive;
                row.Shown = kd.Hidden ? kSubsetHidden : kSubsetVisible;
                TopColour[i] = kd.Top_Colour;
                BottomColour[i] = kd.Bottom_Colour;
            }
            const size_t line = static_cast<size_t>(item.firstLine + j - 1);
            const std::string text = line < key.Text.size() ? key.Text[line] : std::string();
            row.DefText = " " + text;
            if (WantsLineDraw(text)) LineDrawFont = true;
            TopStyle[i] = kd.Top_Style;
            BottomStyle[i] = kd.Bottom_Style;
            Rows.push_back(std::move(row));
        }
    }
}

bool SubsetModel::StatusClick(int row)
{
    if (!ValidRow(Rows, row)) return false;
    SubsetRow& r = Rows[static_cast<size_t>(row)];
    if (r.Status == kSubsetActive) {
        r.Status = kSubsetInactive;
        r.Shown = kSubsetHidden;   // data not drawn are not explained either
        return true;
    }
    if (r.Status == kSubsetInactive) {
        r.Status = kSubsetActive;
        return true;
    }
    return false;
}

bool SubsetModel::KeyClick(int row)
{
    if (!ValidRow(Rows, row)) return false;
    SubsetRow& r = Rows[static_cast<size_t>(row)];
    if (r.Shown == kSubsetVisible) {
        r.Shown = kSubsetHidden;
        return true;
    }
    if (r.Shown == kSubsetHidden && r.Status != kSubsetInactive) {
        r.Shown = kSubsetVisible;
        return true;
    }
    return false;
}

bool SubsetModel::ItemRow(int row) const { return ValidRow(Rows, row) && Rows[static_cast<size_t>(row)].Shown != kSubsetBlank; }

int SubsetModel::FirstRow(const KeyStruct& key, int order)
{
    int row = 1;
    for (const K_Descriptor* kd = key.NextKD.get(); kd; kd = kd->NextKD.get())
        if (kd->Display_Order < order) row += kd->Number_Of_Text_Lines;
    return row;
}

const K_Descriptor* SubsetModel::ItemOfOrder(const KeyStruct& key, int order) { return FindKeyItem(key, order).kd; }

SubsetItemRef SubsetModel::GetKeyItem(const KeyStruct& key, int bPos)
{
    for (int b = 1; b <= key.NumItems; ++b)
        if (FirstRow(key, b) == bPos) return {b, FindKeyItem(key, b).kd};
    return {};
}

SubsetChange SubsetModel::Apply(KeyStruct& key) const
{
    SubsetChange change;
    size_t r = 0;   // the item's first row
    for (int i = 1; i <= key.NumItems; ++i) {
        K_Descriptor* kd = Mutable(key, FindKeyItem(key, i).kd);
        if (!kd || kd->Number_Of_Text_Lines == 0 || r >= Rows.size()) continue;
        const bool active = Rows[r].Status == kSubsetActive;
        const bool hidden = Rows[r].Shown == kSubsetHidden;
        const auto idx = static_cast<size_t>(i);
        change.Map = change.Map || active != kd->Active || TopColour[idx] != kd->Top_Colour ||
                     BottomColour[idx] != kd->Bottom_Colour || TopStyle[idx] != kd->Top_Style ||
                     BottomStyle[idx] != kd->Bottom_Style;
        change.Key = change.Key || hidden != kd->Hidden;
        kd->Active = active;
        kd->Hidden = hidden;
        kd->Top_Colour = TopColour[idx];
        kd->Bottom_Colour = BottomColour[idx];
        kd->Top_Style = TopStyle[idx];
        kd->Bottom_Style = BottomStyle[idx];
        r += kd->Number_Of_Text_Lines;
    }
    return change;
}

DisplayOutcome SubsetOutcome(MapView& view, const SubsetChange& change)
{
    if (change.Map) {
        if (view.MDF) view.MDF->Changed = true;
        return {MapUpdate::MarkRedraw, true};
    }
    return {change.Key ? MapUpdate::OverlayRefresh : MapUpdate::None, true};
}

} // namespace corvane
