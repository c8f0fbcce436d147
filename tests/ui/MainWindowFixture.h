#pragma once
// A main window on the offscreen platform with the services the tests answer: settings in a
// temporary folder, scripted dialogs, recorded messages and no CD-ROM drives.
#include "TestUtil.h"
#include "app/MainFrm.h"
#include "mapwindow/MapFrm.h"
#include "platform/CdromMounts.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/Settings.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <regex>
#include <string>

namespace corvane::test {

// The pages of a PDF file's text.
inline int PdfPages(const std::string& pdf)
{
    const std::regex page(R"(/Type\s*/Page[^s])");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

class MainWindowFixture : public ::testing::Test {
protected:
    // Creates and shows the main window on the data medium at cdrom.
    void StartMainWindow(const std::string& cdrom)
    {
        settings = std::make_unique<SettingsStore>(dir / "cfg/corvane.ini");
        frm = std::make_unique<TMainFrm>(MainFrmServices{settings.get(), &dialogs, &sink, &mounts, {cdrom, {}}});
        frm->show();
        Settle();
    }

    // Lets the window system's events and the windows' own queued work run, and takes up the
    // map window's geometry reported without waiting for it to settle.
    static void Settle()
    {
        for (int i = 0; i < 4; ++i) {
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (auto* map = dynamic_cast<TMapFrm*>(MapFrm); map && map->GeometryPending()) map->GeometrySettled();
        }
    }
    static TMapFrm* Map() { return dynamic_cast<TMapFrm*>(MapFrm); }

    TempDir dir;
    std::unique_ptr<SettingsStore> settings;
    ScriptedDialogService dialogs;
    RecordingMessageSink sink;
    FixedCdromProvider mounts{{}};
    std::unique_ptr<TMainFrm> frm;
};

} // namespace corvane::test
