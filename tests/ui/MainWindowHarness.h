#pragma once
// The main window of the viewer on a data root, with scripted dialogs, recorded messages and
// no CD-ROM drives, for tests that open map windows through it.
#include "TestUtil.h"
#include "app/MainFrm.h"
#include "mapwindow/MapFrm.h"
#include "platform/CdromMounts.h"
#include "platform/CvVars.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/Settings.h"

#include <QApplication>

#include <memory>
#include <string>

namespace corvane::test {

struct MainWindowHarness {
    // Shows the main window on the data root cdrom, its settings in settingsFile.
    void Start(const std::string& cdrom, const std::string& settingsFile)
    {
        settings = std::make_unique<SettingsStore>(settingsFile);
        frm = std::make_unique<TMainFrm>(MainFrmServices{settings.get(), &dialogs, &sink, &mounts, {cdrom, {}}, {}});
        frm->show();
        Settle();
        InstallMapWindowFactory(sink);
    }
    void Stop()
    {
        // A map with unsaved changes closes without saving: a map window left open would
        // outlive its main window.
        sink.answers.clear();
        sink.defaultAnswer = MsgResult::No;
        if (MapFrm) MapFrm->CloseWindow();
        Settle();
        SetMapWindowFactory(nullptr);
        frm.reset();
        CvVars::Reset();
    }
    // Lets the window system's events and the window's own queued work run, and takes up the
    // window geometry reported without waiting for it to settle.
    static void Settle()
    {
        for (int i = 0; i < 4; ++i) {
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (auto* map = dynamic_cast<TMapFrm*>(MapFrm); map && map->GeometryPending()) map->GeometrySettled();
        }
    }
    static TMapFrm* Map() { return dynamic_cast<TMapFrm*>(MapFrm); }

    std::unique_ptr<SettingsStore> settings;
    ScriptedDialogService dialogs;
    RecordingMessageSink sink;
    FixedCdromProvider mounts{{}};
    std::unique_ptr<TMainFrm> frm;
};

} // namespace corvane::test
