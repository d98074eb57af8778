#include "PosixLogFile.h"
#include "TempFolderTest.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace vlmr {
namespace {

namespace fs = std::filesystem;

using PosixLogFileTest = test::TempFolderTest;

// Each line goes to stderr as well; only an ordinary file is written, and
// nothing else in the log's place may make a logon run wait.
TEST_F(PosixLogFileTest, MakesItsFoldersAndTakesOnlyAnOrdinaryFile) {
    PosixLogFile log(Path("state/velmora/VLMR.log"));
    testing::internal::CaptureStderr();
    const Status first = log.Append("first line");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "first line\n");
    ASSERT_TRUE(first) << first.description;
    EXPECT_EQ(Contents(Path("state/velmora/VLMR.log")), "first line\n");
    EXPECT_EQ(log.Size(), 11u);

    // A FIFO without a reader, then with one that would take the lines. A
    // wait on either ends the test process.
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    PosixLogFile fifo(Path("fifo"));
    ::alarm(20);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(fifo.Append("to nobody"));
    const int reader = ::open(Path("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    EXPECT_FALSE(fifo.Append("to a reader"));
    testing::internal::GetCapturedStderr();
    ::alarm(0);
    ASSERT_GE(reader, 0);
    char byte;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "a line went into the FIFO";
    ::close(reader);
    EXPECT_EQ(fifo.Size(), 0u);

    fs::create_directory(Path("folder"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(PosixLogFile(Path("folder")).Append("into a folder"));
    testing::internal::GetCapturedStderr();
}

// Two copies writing at once leave every line whole; moving aside replaces
// the older .1, and the next line starts a fresh log.
TEST_F(PosixLogFileTest, TwoWritersKeepLinesWholeAndMoveAsideReplacesTheOld) {
    const std::string path = Path("VLMR.log");
    constexpr int kLines = 300;
    pid_t children[2];
    for (int writer = 0; writer < 2; ++writer) {
        children[writer] = fork();
        ASSERT_GE(children[writer], 0);
        if (children[writer] == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDERR_FILENO);
            PosixLogFile log(path);
            const std::string body(200, static_cast<char>('a' + writer));
            bool ok = true;
            for (int i = 0; i < kLines; ++i) ok = log.Append(std::to_string(writer) + " " + body) && ok;
            _exit(ok ? 0 : 1);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::map<std::string, int> seen;
    std::istringstream lines(Contents(path));
    for (std::string line; std::getline(lines, line);) ++seen[line];
    EXPECT_EQ(seen, (std::map<std::string, int>{{"0 " + std::string(200, 'a'), kLines},
                                                {"1 " + std::string(200, 'b'), kLines}}));

    const std::string full = Contents(path);
    { std::ofstream(path + ".1") << "older\n"; }
    PosixLogFile log(path);
    ASSERT_TRUE(log.MoveAside());
    EXPECT_EQ(Contents(path + ".1"), full);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(log.Size(), 0u);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(log.Append("fresh"));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Contents(path), "fresh\n");
}

}  // namespace
}  // namespace vlmr
