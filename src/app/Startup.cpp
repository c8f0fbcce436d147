#include "app/Startup.h"

#include "app/AppPictures.h"
#include "app/CvSplash.h"
#include "app/EditFrm.h"
#include "app/MainFrm.h"
#include "dialogs/MapDefinition.h"
#include "mapwindow/MapFrm.h"
#include "platform/CdromMounts.h"
#include "platform/CommandLine.h"
#include "platform/DataListSearch.h"
#include "platform/PageSetup.h"
#include "platform/RunInputs.h"
#include "platform/Settings.h"
#include "platform/StartMap.h"
#include "platform/VersionInfo.h"
#include "platform/qt/QtDialogService.h"
#include "platform/qt/QtMessageSink.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtScreenMetrics.h"

#include <QApplication>
#include <QLocale>
#include <QPalette>
#include <QStyleFactory>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <string>
#include <vector>

namespace corvane {

namespace {

std::string ProgramName(const char* argv0)
{
    std::string p = argv0 ? argv0 : "corvane";
    size_t k = p.find_last_of('/');
    return k == std::string::npos ? p : p.substr(k + 1);
}

std::string CurrentFolder()
{
    char cwd[4096];
    return ::getcwd(cwd, sizeof cwd) ? cwd : "";
}

// --dark: the Fusion style (unless the command line names a style) in dark colours. The maps
// keep the colours of their definitions.
void UseDarkLook(const std::vector<std::string>& toolkitOptions)
{
    bool styleNamed = false;
    for (const std::string& o : toolkitOptions)
        styleNamed = styleNamed || o.rfind("-style", 0) == 0 || o.rfind("--style", 0) == 0;
    if (!styleNamed) QApplication::setStyle(QStyleFactory::create("Fusion"));
    QPalette p;
    const QColor window(0x2d, 0x2d, 0x30), base(0x1e, 0x1e, 0x1e), text(0xe6, 0xe6, 0xe6);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3d));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, QColor(0x55, 0x55, 0x58));
    p.setColor(QPalette::Midlight, QColor(0x45, 0x45, 0x48));
    p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x33));
    p.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x22));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, QColor(0x2f, 0x6f, 0xb0));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x6a, 0xb0, 0xf0));
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    QApplication::setPalette(p);
}

} // namespace

void OpenFirstMap(TMainFrm& mainFrm, const std::string& mapFile)
{
    const std::string map = !mapFile.empty()       ? mapFile
                            : mainFrm.Settings() ? StartMap(*mainFrm.Settings(), CurrentFolder())
                                                 : std::string();
    if (map.empty())
        mainFrm.New1Click();
    else
        mainFrm.OpenMapFile(map);
}

std::vector<std::string> InstalledSampleAtlases()
{
    return SampleAtlasFolders(QCoreApplication::applicationDirPath().toStdString(), CORVANE_BIN_TO_DATA,
                              std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), std::getenv("XDG_DATA_DIRS"));
}

int RunCorvane(int argc, char** argv)
{
    const std::string program = ProgramName(argc > 0 ? argv[0] : nullptr);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    CommandLineOptions options;
    std::string error;
    if (!ParseCommandLine(args, options, error)) {
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), error.c_str(), CommandLineUsage(program).c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(CommandLineUsage(program).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        GetVersionInfo();
        std::printf("%s %s (%s)\n", GetVersionItem("ProductName").c_str(), GetVersionItem("FileVersion").c_str(),
                    DisplayVersion(GetVersionItem("FileVersion")).c_str());
        FreeVersionInfo();
        return 0;
    }

    // No save of the viewer writes over a file it reads: the data list, a master or layer file,
    // a disc image. Its own documents (the map definition, the settings, a text page) are
    // written back as they are edited.
    BeginRunInputs();

    if (!options.mapFile.empty()) {
        std::string resolved;
        if (!ResolveMapFileArgument(options.mapFile, CurrentFolder(), resolved, error)) {
            std::fprintf(stderr, "%s: %s\n", program.c_str(), error.c_str());
            return 1;
        }
        options.mapFile = resolved;
    }

    // The toolkit takes its own options (-style, -platform, -reverse, ...) from the command line.
    QApplication app(argc, argv);
    if (options.dark) UseDarkLook(options.toolkit);
    QApplication::setApplicationName(QString::fromStdString(program));
    QApplication::setOrganizationName("Halvern");
    QApplication::setWindowIcon(ProgramIcon());
    // The desktop matches the windows with the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(kDesktopFileName);

    SettingsStore settings(options.settings ? *options.settings
                                            : DefaultSettingsPath(program, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
    QtDialogService dialogs;
    QtMessageSink sink;
    ProcMountsCdromProvider mounts;
    QtPrinterFacts printer;
    GeneralPageSetUp().SetPrinter(&printer);
    GeneralPageSetUp().SetMetricSource([] { return QLocale::system().measurementSystem() == QLocale::MetricSystem; });
    QueryPageSetUp().SetPrinter(&printer);
    QueryPageSetUp().SetMetricSource([&settings] { return QueryReportMetric(settings); });

    // 1. The splash, painted at once.
    auto* splash = new TCvSplash;
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    // 2. The application title and the help.
    sink.SetTitle(kApplicationTitle);
    app.setProperty("helpFile", kHelpFile);

    // 3. The main window (it locates the data list as it is created), then the one map
    // definition dialog.
    MainFrmServices services;
    services.settings = &settings;
    services.dialogs = &dialogs;
    services.sink = &sink;
    services.mounts = &mounts;
    services.overrides.cdrom = options.cdrom;
    services.overrides.datalist = options.datalist;
    services.sampleAtlases = InstalledSampleAtlases();
    TMainFrm mainFrm(services);
    mainFrm.SetSplash(splash);
    if (mainFrm.TerminateRequested()) {
        // No data list file: the program ends without a message.
        delete splash;
        return 1;
    }
    MapDefinition = new TMapDefinition(&mainFrm, &dialogs, sink);

    // 4. Show the main window; its first showing closes the splash.
    QApplication::processEvents();
    mainFrm.show();
    AwaitWindowFrame(mainFrm, 500);   // the map window stands below the whole strip, frame included

    // 5. The map named on the command line, or the map open last (the sample map on the first
    // start), or a new map.
    InstallMapWindowFactory(sink);
    InstallTextViewerFactories();
    OpenFirstMap(mainFrm, options.mapFile);

    // 6.
    int status = app.exec();
    GeneralPageSetUp().SetPrinter(nullptr);
    QueryPageSetUp().SetPrinter(nullptr);
    QueryPageSetUp().SetMetricSource(nullptr);
    return status;
}

} // namespace corvane
