#pragma once
// A test fixture around the main window harness, for the tests of the File commands: the
// harness's dialogs, messages and main window under short names, and a PDF page count.
#include "MainWindowHarness.h"

#include <gtest/gtest.h>

#include <iterator>
#include <regex>
#include <string>
#include <sys/resource.h>

namespace corvane::test {

// While it lives, files this process writes may not grow beyond bytes (a full disc, in
// effect); the limit before it comes back when it goes.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &before_);
        rlimit limit = before_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &before_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit before_ {};
};

// The pages of a PDF file's text.
inline int PdfPages(const std::string& pdf)
{
    const std::regex page(R"(/Type\s*/Page[^s])");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

class MainWindowFixture : public ::testing::Test {
protected:
    // Shows the main window on the data medium at cdrom (map windows open through it).
    void StartMainWindow(const std::string& cdrom) { window.Start(cdrom, dir / "cfg/corvane.ini"); }
    static void Settle() { MainWindowHarness::Settle(); }
    static TMapFrm* Map() { return MainWindowHarness::Map(); }

    TempDir dir;
    MainWindowHarness window;
    ScriptedDialogService& dialogs = window.dialogs;
    RecordingMessageSink& sink = window.sink;
    std::unique_ptr<TMainFrm>& frm = window.frm;
};

} // namespace corvane::test
