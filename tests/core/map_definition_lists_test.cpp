// The lists of the map definition dialog: move buttons and their enabling, SetItem, drops,
// and the drag's row and scrolling.
#include "mapdef/MapDefinitionLists.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

using Titles = std::vector<std::string>;

MapDefinitionLists Lists(const Titles& base, const Titles& overlay)
{
    MapDefinitionLists m;
    std::vector<std::pair<std::string, MASStruct*>> b, o;
    for (const auto& t : base) b.emplace_back(t, nullptr);
    for (const auto& t : overlay) o.emplace_back(t, nullptr);
    m.Fill(BaseListId, b);
    m.Fill(OverlayListId, o);
    m[BaseListId].MultiSelect = m[OverlayListId].MultiSelect = true;
    m.SetButtons();
    return m;
}

void SelectRows(MapDefinitionLists& m, MapDefListId id, std::initializer_list<int> rows)
{
    for (int r : rows) m[id].Items[static_cast<size_t>(r)].Selected = true;
}

} // namespace

TEST(MapDefinitionLists, MoveButtonsAndTheirEnabling)
{
    MapDefinitionLists m = Lists({}, {"A", "B"});
    EXPECT_FALSE(m.IncludeEnabled || m.IncAllEnabled);
    EXPECT_TRUE(m.ExcludeEnabled && m.ExAllEnabled);

    // "<<": the overlays go to the end of the base list in their order.
    m = Lists({"X"}, {"A", "B"});
    m.ExcAllBtnClick();
    EXPECT_EQ(m[BaseListId].Titles(), (Titles{"X", "A", "B"}));
    EXPECT_TRUE(m[OverlayListId].Items.empty());
    EXPECT_FALSE(m.ExcludeEnabled || m.ExAllEnabled);
    EXPECT_TRUE(m.IncludeEnabled && m.IncAllEnabled);
    EXPECT_EQ(m.Focused, OverlayListId);

    // ">": the selected base items, in order, to the end of the overlays; the base list then
    // selects the item now at the first one's place.
    m = Lists({"A", "B", "C", "D"}, {"O"});
    SelectRows(m, BaseListId, {1, 3});
    m.IncludeBtnClick();
    EXPECT_EQ(m[BaseListId].Titles(), (Titles{"A", "C"}));
    EXPECT_EQ(m[OverlayListId].Titles(), (Titles{"O", "B", "D"}));
    EXPECT_EQ(m[BaseListId].SelectedTitles(), Titles{"C"});
    EXPECT_TRUE(m[OverlayListId].SelectedTitles().empty());

    // Moving the last item selects the new last one; an emptied list selects nothing.
    SelectRows(m, BaseListId, {1});
    m[BaseListId].Items[0].Selected = false;
    m.IncludeBtnClick();
    EXPECT_EQ(m[BaseListId].SelectedTitles(), Titles{"A"});
    EXPECT_EQ(m[BaseListId].ItemIndex, 0);
    m.IncAllBtnClick();
    EXPECT_EQ(m[OverlayListId].Titles(), (Titles{"O", "B", "D", "C", "A"}));
    EXPECT_EQ(m[BaseListId].ItemIndex, -1);
    EXPECT_FALSE(m.IncludeEnabled);

}

TEST(MapDefinitionLists, DropsInsertBeforeTheRowPointedAt)
{
    struct Case {
        MapDefListId from;
        int item;
        MapDefListId to;
        int row;
        Titles base, overlay;
        std::string selected;
    };
    const Case cases[] = {
        // Within the overlays, onto the item above: the two change places.
        {OverlayListId, 2, OverlayListId, 1, {"X"}, {"A", "C", "B", "D"}, "C"},
        // Onto the item below: it goes in before that item, where it already is.
        {OverlayListId, 1, OverlayListId, 2, {"X"}, {"A", "B", "C", "D"}, "B"},
        // Below the last item: to the end; the item before the insertion point is selected.
        {OverlayListId, 0, OverlayListId, 4, {"X"}, {"B", "C", "D", "A"}, "A"},
        {OverlayListId, 3, OverlayListId, 0, {"X"}, {"D", "A", "B", "C"}, "D"},
        // Between the lists.
        {OverlayListId, 1, BaseListId, 0, {"B", "X"}, {"A", "C", "D"}, "B"},
        {BaseListId, 0, OverlayListId, 9, {}, {"A", "B", "C", "D", "X"}, "X"},
    };
    for (const Case& c : cases) {
        MapDefinitionLists m = Lists({"X"}, {"A", "B", "C", "D"});
        SelectRows(m, c.to, {0});
        m.DropItem(c.from, c.item, c.to, c.row);
        EXPECT_EQ(m[BaseListId].Titles(), c.base) << c.item << " to " << c.row;
        EXPECT_EQ(m[OverlayListId].Titles(), c.overlay) << c.item << " to " << c.row;
        EXPECT_EQ(m[c.to].SelectedTitles(), Titles{c.selected}) << c.item << " to " << c.row;
        EXPECT_EQ(m.IncludeEnabled, !c.base.empty());
    }
    MapDefinitionLists m = Lists({"X"}, {"A"});
    m.DropItem(OverlayListId, 5, BaseListId, 0);   // no such item
    EXPECT_EQ(m[BaseListId].Titles(), Titles{"X"});
}

TEST(MapDefinitionLists, DragRowAndEdgeScrolling)
{
    // 18-pixel rows, a client 90 high (five rows), first visible row 2, ten items.
    EXPECT_EQ(DragTargetRow(-1, 90, 18, 2, 10), 2);
    EXPECT_EQ(DragTargetRow(17, 90, 18, 2, 10), 2);
    EXPECT_EQ(DragTargetRow(18, 90, 18, 2, 10), 3);
    EXPECT_EQ(DragTargetRow(90, 90, 18, 2, 10), 6);   // the client height counts as one less
    EXPECT_EQ(DragTargetRow(80, 90, 18, 0, 3), 3);    // below the last item

    EXPECT_EQ(DragScrollStep(2, 2, 5, 10), -1);   // first visible row, rows hidden above
    EXPECT_EQ(DragScrollStep(0, 0, 5, 10), 0);    // already at the top
    EXPECT_EQ(DragScrollStep(7, 2, 5, 10), 1);    // just past the last fully visible row
    EXPECT_EQ(DragScrollStep(3, 0, 3, 3), 0);     // nothing follows
    EXPECT_EQ(DragScrollStep(4, 2, 5, 10), 0);
}
