// Work done in a child process: its answer comes back whole, and a child that crashes or
// stalls costs this program nothing, leaves no core dump and is ended on time.
#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <unistd.h>

using namespace corvane;

namespace {

TEST(ChildProcess, AnAnswerLargerThanAPipeComesBackWholeAndOneTooLongIsRefused)
{
    std::string big(3 << 20, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31 + i / 4096);
    std::string answer;
    EXPECT_EQ(RunInChild([&big] { return big; }, 20, big.size(), answer), ChildEnd::Finished);
    EXPECT_TRUE(answer == big);
    EXPECT_EQ(RunInChild([&big] { return big; }, 20, big.size() - 1, answer), ChildEnd::Failed);
    EXPECT_TRUE(answer.empty());
    EXPECT_EQ(RunInChild([] { return std::string(); }, 20, 10, answer), ChildEnd::Finished);
}

TEST(ChildProcess, ACrashingChildLeavesNoCoreDumpAndThisProgramGoesOn)
{
    // Not dumpable: no core file and no crash reporter, whatever the system's core pattern.
    std::string answer;
    ASSERT_EQ(RunInChild([] { return std::to_string(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0)); }, 20, 10, answer),
              ChildEnd::Finished);
    EXPECT_EQ(answer, "0");
    EXPECT_EQ(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 1);   // this program is untouched

    EXPECT_EQ(RunInChild([]() -> std::string { std::abort(); }, 20, 10, answer), ChildEnd::Failed);
    EXPECT_TRUE(answer.empty());
}

TEST(ChildProcess, WhatADyingChildWritesToStandardErrorIsNotShown)
{
    // This program's standard error, caught in a file for the while.
    char name[] = "/tmp/corvane-stderr-XXXXXX";
    const int caught = ::mkstemp(name);
    ASSERT_GE(caught, 0);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(caught, STDERR_FILENO);
    std::string answer;
    const ChildEnd end = RunInChild(
        []() -> std::string {
            const char text[] = "malloc(): corrupted top size\n";
            (void)!::write(STDERR_FILENO, text, sizeof text - 1);
            std::abort();
        },
        20, 10, answer);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    const off_t size = ::lseek(caught, 0, SEEK_END);
    ::close(caught);
    ::unlink(name);
    EXPECT_EQ(end, ChildEnd::Failed);
    EXPECT_EQ(size, 0);
}

TEST(ChildProcess, AStalledChildIsEndedEvenWhenThisProgramIgnoresOrBlocksTheAlarm)
{
    struct sigaction old {};
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGALRM, &ignore, &old);
    sigset_t alarm, oldMask;
    ::sigemptyset(&alarm);
    ::sigaddset(&alarm, SIGALRM);
    ::sigprocmask(SIG_BLOCK, &alarm, &oldMask);

    // The child's own alarm ends it even when this program is gone: its alarm signal acts.
    std::string answer;
    EXPECT_EQ(RunInChild(
                  [] {
                      struct sigaction now {};
                      ::sigaction(SIGALRM, nullptr, &now);
                      sigset_t mask;
                      ::sigprocmask(SIG_BLOCK, nullptr, &mask);
                      return std::string(now.sa_handler == SIG_DFL ? "default" : "changed") +
                             (::sigismember(&mask, SIGALRM) ? " blocked" : " open");
                  },
                  20, 100, answer),
              ChildEnd::Finished);
    EXPECT_EQ(answer, "default open");
    EXPECT_EQ(RunInChild([]() -> std::string { for (;;) ::pause(); }, 1, 10, answer), ChildEnd::TimedOut);

    ::sigprocmask(SIG_SETMASK, &oldMask, nullptr);
    ::sigaction(SIGALRM, &old, nullptr);
}

} // namespace
