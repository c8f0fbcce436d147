// Saving: a save that dies or fails part way leaves the old file and its backup whole, no
// temporary file behind, and says why; and the Save / Save As rules of a document.
#include "TestUtil.h"
#include "platform/ByteSink.h"
#include "platform/ByteSource.h"
#include "platform/CvVars.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/RunInputs.h"
#include "platform/SaveCommand.h"
#include "platform/TextFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace corvane;
using corvane::test::ReadFile;
using corvane::test::TempDir;

namespace {

std::set<std::string> Names(const std::string& dir)
{
    std::set<std::string> out;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) out.insert(e->d_name);
        ::closedir(d);
    }
    return out;
}

// A map file saved twice: "North.MDF" holds "second", "North.BAK" holds "first".
struct SavedTwice {
    TempDir dir;
    std::string path = dir / "North.MDF";
    SavedTwice()
    {
        EXPECT_TRUE(SaveWithBackup(path, "first"));
        EXPECT_TRUE(SaveWithBackup(path, "second"));
    }
    void ExpectUntouched() const
    {
        EXPECT_EQ(ReadFile(path), "second");
        EXPECT_EQ(ReadFile(dir / "North.BAK"), "first");
        EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"North.MDF", "North.BAK"}));
    }
};

// True when process pid has a file of folder open for writing that already holds data: the
// save's temporary file, in the middle of being written.
bool WritingInto(pid_t pid, const std::string& folder)
{
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    for (const std::string& fd : Names(fds)) {
        char target[4096];
        const ssize_t n = ::readlink((fds + "/" + fd).c_str(), target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = '\0';
        struct stat st {};
        if (std::string(target).rfind(folder + "/", 0) == 0 && ::stat((fds + "/" + fd).c_str(), &st) == 0 &&
            st.st_size > 0)
            return true;
    }
    return false;
}

} // namespace

TEST(SaveWithBackup, AFileSizeLimitIsAReportedFailureThatLeavesTheOldFilesWhole)
{
    SavedTwice saved;
    int pipefd[2];
    ASSERT_EQ(::pipe(pipefd), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The child may write files of at most 1000 bytes; without the signal ignored it would
        // die of SIGXFSZ.
        ::close(pipefd[0]);
        const rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const bool ok = SaveWithBackup(saved.path, std::string(100000, 'x'), &error);
        (void)!::write(pipefd[1], error.data(), error.size());
        ::_exit(ok ? 0 : 3);
    }
    ::close(pipefd[1]);
    char reason[256] = {};
    (void)!::read(pipefd[0], reason, sizeof reason - 1);
    ::close(pipefd[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(std::string(reason), std::strerror(EFBIG));
    saved.ExpectUntouched();
}

TEST(StreamFileAtomic, AWriterThatGivesUpLeavesTheOldFileWholeAndPiecesOfAnySizeArriveInOrder)
{
    SavedTwice saved;
    // A writer that stops after some of its bytes reached the disc: no file made, none left.
    std::string error;
    EXPECT_FALSE(StreamFileAtomic(saved.path, [](ByteSink& sink) {
        const std::string rows(400000, 'r');
        return sink.Write(rows.data(), rows.size()) && false;
    }, &error));
    EXPECT_FALSE(error.empty());
    saved.ExpectUntouched();
    // Small pieces are gathered, large ones written as they come: the bytes keep their order.
    std::string expected;
    ASSERT_TRUE(StreamFileAtomic(saved.path, [&](ByteSink& sink) {
        char c = 'a';
        for (size_t n : {size_t{1}, size_t{70000}, size_t{3}, size_t{300000}, size_t{17}, size_t{65536}, size_t{65535}}) {
            const std::string piece(n, c++);
            expected += piece;
            if (!sink.Write(piece.data(), piece.size())) return false;
        }
        return true;
    }));
    EXPECT_EQ(ReadFile(saved.path), expected);
}

TEST(SaveWithBackup, AKillInTheMiddleOfTheWriteLeavesTheOldFilesWholeAndNoTemporaryFile)
{
    SavedTwice saved;
    bool killedWhileWriting = false;
    // The write of 64 MiB takes long enough to be caught; a child that finished before it was
    // seen writing is tried again with the files put back.
    for (int attempt = 0; attempt < 10 && !killedWhileWriting; ++attempt) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const bool ok = SaveWithBackup(saved.path, std::string(64u << 20, 'n'));
            ::_exit(ok ? 0 : 3);
        }
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (WritingInto(pid, saved.dir.Path())) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                killedWhileWriting = WIFSIGNALED(status);
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                break;
            }
        }
        if (!killedWhileWriting) {
            ASSERT_TRUE(SaveWithBackup(saved.path, "first"));
            ASSERT_TRUE(SaveWithBackup(saved.path, "second"));
        }
    }
    ASSERT_TRUE(killedWhileWriting);
    saved.ExpectUntouched();
    // The next save goes through as usual.
    ASSERT_TRUE(SaveWithBackup(saved.path, "third"));
    EXPECT_EQ(ReadFile(saved.path), "third");
    EXPECT_EQ(ReadFile(saved.dir / "North.BAK"), "second");
}

TEST(SaveWithBackup, AFileThisRunReadsIsWrittenOverByNoNameOfIt)
{
    TempDir dir;
    const std::string list = dir.Write("Misc/MainMenu.Dat", "the data list");
    ASSERT_EQ(::symlink(list.c_str(), (dir / "link.png").c_str()), 0);
    ASSERT_EQ(::link(list.c_str(), (dir / "hard.png").c_str()), 0);
    BeginRunInputs();
    ASSERT_NE(FileSource::Open(dir / "Misc/../Misc/MainMenu.Dat"), nullptr);
    for (const std::string& name : {list, dir / "link.png", dir / "hard.png", dir / "Misc/./MainMenu.Dat"}) {
        std::string error;
        EXPECT_FALSE(WriteFileAtomic(name, "a picture", &error)) << name;
        EXPECT_EQ(error, "it is one of the files this program reads");
    }
    // Nor does the backup of a map take the name of one.
    const std::string chart = dir.Write("Misc/Chart.MDF", "a map");
    ASSERT_NE(FileSource::Open(dir.Write("Misc/Chart.BAK", "read as a layer")), nullptr);
    EXPECT_FALSE(SaveWithBackup(chart, "the map changed"));
    EXPECT_EQ(ReadFile(list), "the data list");
    EXPECT_EQ(ReadFile(dir / "Misc/Chart.BAK"), "read as a layer");
    EXPECT_EQ(Names(dir / "Misc"), (std::set<std::string>{"MainMenu.Dat", "Chart.MDF", "Chart.BAK"}));
    // A document read to be written back is no such file.
    ForgetRunInput(dir / "link.png");
    EXPECT_TRUE(WriteFileAtomic(list, "saved"));
    EndRunInputs();
    EXPECT_EQ(ReadFile(list), "saved");
}

TEST(SaveWithBackup, TemporaryFilesOfAWriterThatWasKilledGoWithTheNextSaveInTheFolder)
{
    SavedTwice saved;
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string dead = std::to_string(gone), alive = std::to_string(::getppid());
    saved.dir.Write(".North.MDF.corvane-" + dead + "-1a~", "torn");
    saved.dir.Write(".North.BAK.corvane-" + dead + "-20~", "first");
    saved.dir.Write(".Chart.png.corvane-" + dead + "-0~/Chart.shp", "an export");
    saved.dir.Write(".North.MDF.corvane-" + alive + "-1~", "being written");
    saved.dir.Write(".North.MDF.corvane-" + dead + "-1~x", "not ours");
    // A name of today's form carries the machine: a dead process's file of this machine goes;
    // one that a process of another machine writes into a shared folder stays.
    const std::string ours = TemporarySibling("North.MDF");
    const size_t pid = ours.find(".corvane-") + 9, at = ours.rfind('@');
    ASSERT_NE(at, std::string::npos);
    const std::string deadHere = ours.substr(0, pid) + dead + ours.substr(ours.find('-', pid));
    std::string elsewhere = deadHere;
    char& mark = elsewhere[elsewhere.rfind('@') + 1];
    mark = mark == '0' ? '1' : '0';   // another machine's mark
    saved.dir.Write(deadHere, "torn here");
    saved.dir.Write(elsewhere, "being written elsewhere");
    ASSERT_TRUE(SaveWithBackup(saved.dir / "South.MDF", "south"));
    EXPECT_EQ(Names(saved.dir.Path()),
              (std::set<std::string>{"North.MDF", "North.BAK", "South.MDF", ".North.MDF.corvane-" + alive + "-1~",
                                     ".North.MDF.corvane-" + dead + "-1~x", elsewhere}));
}

TEST(SaveWithBackup, ANameThatIsALinkIsSavedThroughAndStaysALink)
{
    TempDir dir;
    const std::string real = dir.Write("real/North.MDF", "first");
    dir.Write("Maps/keep", "");
    const std::string link = dir / "Maps/North.MDF";
    ASSERT_EQ(::symlink("../real/North.MDF", link.c_str()), 0);
    ASSERT_TRUE(SaveWithBackup(link, "second"));
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(real), "second");
    EXPECT_EQ(ReadFile(dir / "real/North.BAK"), "first");
    EXPECT_EQ(Names(dir / "Maps"), (std::set<std::string>{"keep", "North.MDF"}));

    // A link to a file not made yet makes it; a loop of links is refused with its reason.
    const std::string ahead = dir / "Maps/South.MDF";
    ASSERT_EQ(::symlink((dir / "real/South.MDF").c_str(), ahead.c_str()), 0);
    ASSERT_TRUE(WriteFileAtomic(ahead, "south"));
    EXPECT_EQ(ReadFile(dir / "real/South.MDF"), "south");
    ASSERT_EQ(::lstat(ahead.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::symlink("b", (dir / "Maps/a").c_str()), 0);
    ASSERT_EQ(::symlink("a", (dir / "Maps/b").c_str()), 0);
    std::string error;
    EXPECT_FALSE(SaveWithBackup(dir / "Maps/a", "loop", &error));
    EXPECT_EQ(error, std::strerror(ELOOP));
    EXPECT_EQ(Names(dir / "Maps"), (std::set<std::string>{"keep", "North.MDF", "South.MDF", "a", "b"}));

    // In a shared folder such as /tmp, a link someone else put there is not followed: the save
    // replaces the link, not the file it points to.
    if (::geteuid() != 0) GTEST_SKIP() << "not run as root: a link cannot be given to another user";
    dir.Write("shared/keep", "");
    ASSERT_EQ(::chmod((dir / "shared").c_str(), 01777), 0);
    const std::string planted = dir / "shared/Trap.MDF";
    ASSERT_EQ(::symlink(real.c_str(), planted.c_str()), 0);
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(SaveWithBackup(planted, "trap"));
    EXPECT_EQ(ReadFile(real), "second");
    ASSERT_EQ(::lstat(planted.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(ReadFile(planted), "trap");
}

TEST(SaveWithBackup, TheNewFileKeepsTheOwnerGroupAndPermissionsOfTheOld)
{
    TempDir dir;
    const std::string path = dir.Write("Shared.MDF", "first");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(SaveWithBackup(path, "second"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // Another user's file: only a user allowed to give files away (the administrator) can keep
    // its owner.
    if (::geteuid() != 0) GTEST_SKIP() << "not run as root: files cannot be given to another user";
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(SaveWithBackup(path, "third"));
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(ReadFile(path), "third");
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// ---- Save and Save As ---------------------------------------------------------------------------

class DocumentSaverTest : public ::testing::Test {
protected:
    DocumentSaver Saver()
    {
        DocumentSaver s(&dialogs, sink, {"Save File As", "MDF Files (*.mdf)|*.mdf|All Files (*.*)|*.*", ".MDF"},
                        [this](const std::string& path, std::string* error) {
                            written.push_back(path);
                            return SaveWithBackup(path, "v" + std::to_string(written.size()), error);
                        });
        return s;
    }
    TempDir dir;
    ScriptedDialogService dialogs;
    RecordingMessageSink sink;
    std::vector<std::string> written;
};

TEST_F(DocumentSaverTest, AReadOnlyFileIsNotOverwrittenAndFailuresAreReported)
{
    std::string name = dir.Write("Locked.MDF", "locked");
    ASSERT_EQ(::chmod(name.c_str(), 0444), 0);
    ASSERT_TRUE(IsReadOnly(name));
    EXPECT_EQ(Saver().Save(name), SaveResult::Cancelled);   // Save As offered, then cancelled
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].kind, MsgKind::Warning);
    EXPECT_EQ(sink.messages[0].text, "Locked.MDF is read only.");
    EXPECT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, dir / "Locked.MDF");
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(ReadFile(name), "locked");

    sink.Clear();
    dialogs.saveAnswers.push_back({DialogOutcome::Failed, ""});
    EXPECT_EQ(Saver().SaveAs(name), SaveResult::Failed);
    // A file that cannot be written: the system's reason.
    std::string gone = dir / "gone/North.MDF";
    EXPECT_EQ(Saver().Save(gone), SaveResult::Failed);
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Unable to load Save dialog",
                                                      "Unable to save " + gone + " : " + std::strerror(ENOENT)}));
}

TEST_F(DocumentSaverTest, SaveAsOpensWhereTheDocumentIsSoThatAcceptingItSavesItThere)
{
    CvVars::DefaultDir = dir / "reports/";
    dir.Write("reports/keep", "");
    // A ':' is part of a file name here, not a drive.
    std::string name = dir.Write("Maps/Trip 12:30.MDF", "trip");
    ASSERT_EQ(::chmod(name.c_str(), 0444), 0);
    dialogs.saveAnswers.push_back({DialogOutcome::Ok, dir / "Maps/Trip 12:30 copy"});
    EXPECT_EQ(Saver().Save(name), SaveResult::Saved);
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Trip 12:30.MDF is read only."}));
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].initialDir, dir / "Maps/");
    EXPECT_EQ(dialogs.saveRequests[0].fileName, dir / "Maps/Trip 12:30.MDF");
    EXPECT_EQ(name, dir / "Maps/Trip 12:30 copy.MDF");
    EXPECT_EQ(written, (std::vector<std::string>{name}));

    // A new document, or one whose folder has gone, starts in the default folder.
    std::string none;
    std::string gone = dir / "gone/North.MDF";
    EXPECT_EQ(Saver().SaveAs(none), SaveResult::Cancelled);
    EXPECT_EQ(Saver().SaveAs(gone), SaveResult::Cancelled);
    EXPECT_EQ(dialogs.saveRequests[1].initialDir, CvVars::DefaultDir);
    EXPECT_EQ(dialogs.saveRequests[2].initialDir, CvVars::DefaultDir);
    CvVars::Reset();
}

TEST_F(DocumentSaverTest, SaveAsNamesTheDocumentOnlyOnceItIsSaved)
{
    std::string name = dir.Write("Maps/North.MDF", "north");
    std::vector<std::string> named;
    auto saver = [&] {
        DocumentSaver s = Saver();
        s.onNamed = [&](const std::string& n) { named.push_back(n); };
        return s;
    };
    // A folder that is not there: the reason, and the map keeps its name.
    dialogs.saveAnswers.push_back({DialogOutcome::Ok, dir / "gone/South"});
    EXPECT_EQ(saver().SaveAs(name), SaveResult::Failed);
    EXPECT_EQ(name, dir / "Maps/North.MDF");
    EXPECT_TRUE(named.empty());
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Unable to save " + dir / "gone/South.MDF" + " : " + std::strerror(ENOENT)}));

    // With the map filter a name typed without extension gains ".MDF"; with "All Files" the
    // document keeps the name typed, and the file written still gains it.
    dialogs.saveAnswers = {{DialogOutcome::Ok, dir / "Maps/South"}, {DialogOutcome::Ok, dir / "Maps/East"}};
    dialogs.saveFilterAnswers = {1, 2};
    EXPECT_EQ(saver().SaveAs(name), SaveResult::Saved);
    EXPECT_EQ(name, dir / "Maps/South.MDF");
    EXPECT_EQ(saver().SaveAs(name), SaveResult::Saved);
    EXPECT_EQ(name, dir / "Maps/East");
    EXPECT_EQ(named, (std::vector<std::string>{dir / "Maps/South.MDF", dir / "Maps/East"}));
    EXPECT_EQ(written, (std::vector<std::string>{dir / "gone/South.MDF", dir / "Maps/South.MDF", dir / "Maps/East.MDF"}));
}

TEST_F(DocumentSaverTest, APageInsideADiscImageIsReadOnly)
{
    CvVars::DefaultDir = dir / "";
    const std::string image = dir.Write("atlas.iso", "an image");
    std::string page = image + "/Info/Intro.Txt";
    EXPECT_TRUE(IsReadOnly(page));
    EXPECT_EQ(Saver().Save(page), SaveResult::Cancelled);
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Intro.Txt is read only."}));
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].initialDir, CvVars::DefaultDir);
    EXPECT_TRUE(written.empty());
    CvVars::Reset();
}
