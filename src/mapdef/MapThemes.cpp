#include "mapdef/MapThemes.h"

#include "mapdef/MDFStruct.h"
#include "platform/ByteSource.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"

#include <algorithm>

namespace corvane {

namespace {

std::string ThemePath(const std::string& dataListFile) { return CheckCD_Drive(ShortStr80(dataListFile)); }

// As a layer file that is not there is told, pointing to the file that names it.
std::string MasterFileMissingMessage(const std::string& path, const std::string& problem)
{
    return WithReason(NativePath(path) + " is not present : Check the data list file", problem);
}

// Keeps the themes of list whose title an entry of chosen carries, using that entry up;
// frees the others. True when a theme went; firstRemoved tells whether the first one did.
bool KeepChosen(MASList& list, std::vector<MASInfoList>& chosen, bool* firstRemoved = nullptr)
{
    bool removed = false;
    if (firstRemoved) *firstRemoved = false;
    for (size_t i = 0; i < list.Count();) {
        MASStruct* m = list.At(i);
        const std::string title = m->Title ? *m->Title : std::string();
        auto entry = std::find_if(chosen.begin(), chosen.end(), [&](const MASInfoList& e) { return e.Title == title; });
        if (entry != chosen.end()) {
            chosen.erase(entry);
            ++i;
        } else {
            if (firstRemoved && i == 0 && !removed) *firstRemoved = true;
            list.Take(m);
            removed = true;
        }
    }
    return removed;
}

} // namespace

std::unique_ptr<MASStruct> LoadTheme(const std::string& dataListFile, const std::string& Title, bool textPage,
                                     MessageSink& sink)
{
    const std::string path = ThemePath(dataListFile);
    std::unique_ptr<MASStruct> theme;
    if (IsMasterFileName(path)) {
        // A theme whose master file is not there keeps its place (empty), but is told.
        std::string problem;
        if (std::unique_ptr<ByteSource> src = OpenDataFile(path, &problem))
            theme = MASStruct::Create(path, *src, sink);
        else
            sink.Plain(MasterFileMissingMessage(path, problem));
    }
    if (!theme) theme = std::make_unique<MASStruct>();
    theme->Title = std::make_unique<std::string>(Title);
    if (textPage && !theme->TextFileName && !IsMasterFileName(dataListFile))
        theme->TextFileName = std::make_unique<std::string>(dataListFile);
    return theme;
}

ThemeListChange ReconcileThemes(TMDFStruct& mdf, std::vector<MASInfoList>& BMList, std::vector<MASInfoList>& OMList,
                                std::vector<MASInfoList>& TextList, MessageSink& sink)
{
    ThemeListChange c;
    const bool hadOverlay = !mdf.OverlayMAS.Empty();
    bool firstRemoved = false;
    c.BaseRemoved = KeepChosen(mdf.NextMAS, BMList);
    c.Changed = KeepChosen(mdf.OverlayMAS, OMList, &firstRemoved) || c.BaseRemoved;
    BMList.clear();

    while (!OMList.empty()) {
        const MASInfoList entry = OMList.front();
        OMList.erase(OMList.begin());
        const std::string path = ThemePath(entry.MASFile);
        if (!FileExists(path)) {
            sink.Show(MsgKind::Plain, "Unable to find the file : " + path);
            OMList.clear();
            c.Stopped = true;
            break;
        }
        mdf.OverlayMAS.Append(LoadTheme(entry.MASFile, entry.Title, false, sink));
        c.Changed = true;
    }
    c.FirstOverlayChanged = hadOverlay ? firstRemoved : !mdf.OverlayMAS.Empty();
    if (c.Stopped) return c;

    c.Changed = KeepChosen(mdf.TextMAS, TextList) || c.Changed;
    for (const MASInfoList& entry : TextList) {
        mdf.TextMAS.Append(LoadTheme(entry.MASFile, entry.Title, true, sink));
        c.Changed = true;
    }
    TextList.clear();
    return c;
}

void RebuildThemeList(MASList& list, const std::vector<std::string>& titles)
{
    MASList pool = std::move(list);
    list = MASList();
    for (const std::string& t : titles)
        if (MASStruct* m = pool.FindTitle(t)) list.Append(pool.Take(m));
}

void ReorderThemes(TMDFStruct& mdf, const std::vector<std::string>& baseTitles,
                   const std::vector<std::string>& overlayTitles)
{
    MASList pool = std::move(mdf.NextMAS);
    while (MASStruct* m = mdf.OverlayMAS.First()) pool.Append(mdf.OverlayMAS.Take(m));
    mdf.NextMAS = MASList();
    mdf.OverlayMAS = MASList();
    for (const std::string& t : baseTitles)
        if (MASStruct* m = pool.FindTitle(t)) mdf.NextMAS.Append(pool.Take(m));
    for (const std::string& t : overlayTitles)
        if (MASStruct* m = pool.FindTitle(t)) mdf.OverlayMAS.Append(pool.Take(m));
}

bool BringOverlayToFront(TMDFStruct& mdf, const std::string& Title)
{
    MASStruct* m = mdf.OverlayMAS.FindTitle(Title);
    if (!m || m == mdf.OverlayMAS.First()) return false;
    mdf.OverlayMAS.MoveToFront(m);
    return true;
}

bool NextOverlay(TMDFStruct& mdf)
{
    if (mdf.OverlayMAS.Count() < 2) return false;
    mdf.OverlayMAS.MoveToBack(mdf.OverlayMAS.First());
    return true;
}

bool PreviousOverlay(TMDFStruct& mdf)
{
    if (mdf.OverlayMAS.Count() < 2) return false;
    mdf.OverlayMAS.MoveToFront(mdf.OverlayMAS.Last());
    return true;
}

void EmptyZoomHistory(TMapDefObj& mdf)
{
    while (mdf.CanZoomOut()) {
    }
}

std::string InfoFileOf(const std::string& Title, const MASList& list)
{
    const MASStruct* m = list.FindTitle(Title);
    if (!m || !m->TextFileName || m->TextFileName->empty()) return {};
    return ThemePath(*m->TextFileName);
}

} // namespace corvane
