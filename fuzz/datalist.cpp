// The data list: the title lookup and the tree of the data set list window read from the bytes.
#include "FuzzTarget.h"
#include "catalogue/DataList.h"
#include "platform/MessageSink.h"

#include <string>

using namespace corvane;

CORVANE_FUZZ_TARGET(datalist)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    DataListTitles titles;
    const size_t usable = titles.Parse(text);

    RecordingMessageSink sink;
    const DataListTree tree = ParseDataListTree(text, "MainMenu.Dat", sink);
    FUZZ_CHECK(sink.messages.size() <= 1);   // a damaged list is told once
    FUZZ_CHECK(!tree.Nodes.empty() || sink.messages.size() == 1);
    (void)usable;
    size_t reached = 0;
    for (size_t i = 0; i < tree.Nodes.size(); ++i) {
        const DataListNode& n = tree.Nodes[i];
        FUZZ_CHECK(n.Parent < static_cast<int>(i));   // a parent comes before its children
        FUZZ_CHECK(n.Title.size() <= 87 && n.FileStr.size() <= 80);
        reached += n.Children.size();
        titles.Find(n.Title);
    }
    FUZZ_CHECK(reached + tree.Roots.size() == tree.Nodes.size());
}
