#include "PosixFileSystem.h"
#include "TempFolderTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vlmr {
namespace {

namespace fs = std::filesystem;

class PosixFileSystemTest : public test::TempFolderTest {
protected:
    PosixFileSystem files_{"/nowhere/velmora"};
};

TEST_F(PosixFileSystemTest, ReadsBytesAsStoredAndTellsWhatIsMissing) {
    const std::string data("a\r\nb\n\0c\xff", 8);
    ASSERT_TRUE(files_.WriteTextFile(Path("list"), data));
    std::string text;
    ASSERT_TRUE(files_.ReadTextFile(Path("list"), text, 8));
    EXPECT_EQ(text, data);

    EXPECT_EQ(files_.ReadTextFile(Path("absent"), text, 8).kind, ErrorKind::FileNotFound);
    EXPECT_EQ(files_.ReadTextFile(Path("no/such/file"), text, 8).kind, ErrorKind::PathNotFound);
    EXPECT_EQ(files_.ReadTextFile(Path("list/below-a-file"), text, 8).kind, ErrorKind::PathNotFound);
    const Status folder = files_.ReadTextFile(root_, text, 8);
    EXPECT_EQ(folder.kind, ErrorKind::Other);
    EXPECT_FALSE(folder.description.empty());
}

// None of these may block or grow without bound: each is refused at once.
TEST_F(PosixFileSystemTest, ReadsOnlyOrdinaryFilesWithinTheLimit) {
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", Path("zero"));
    ASSERT_TRUE(files_.WriteTextFile(Path("nine"), "123456789"));
    std::string text = "kept";
    for (const char* name : {"fifo", "zero", "nine"}) {
        const Status read = files_.ReadTextFile(Path(name), text, 8);
        EXPECT_EQ(read.kind, ErrorKind::Other) << name;
        EXPECT_FALSE(read.description.empty()) << name;
    }
    EXPECT_EQ(text, "kept");
    // A terabyte of nothing is judged by its size, not read.
    { std::ofstream(Path("sparse")); }
    fs::resize_file(Path("sparse"), std::uintmax_t{1} << 40);
    EXPECT_EQ(files_.ReadTextFile(Path("sparse"), text, 1 << 30).description, "File too large");
}

TEST_F(PosixFileSystemTest, AtomicWriteKeepsLinksAndClearsLeftovers) {
    // A dotfile manager's link: the link stays, its target gets the text and keeps its mode.
    fs::create_directory(Path("dotfiles"));
    ASSERT_TRUE(files_.WriteTextFile(Path("dotfiles/Config.ini"), "old"));
    fs::permissions(Path("dotfiles/Config.ini"), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("dotfiles/Config.ini", Path("Config.ini"));
    ASSERT_TRUE(files_.WriteTextFileAtomic(Path("Config.ini"), "new"));
    EXPECT_TRUE(fs::is_symlink(Path("Config.ini")));
    EXPECT_EQ(Contents(Path("dotfiles/Config.ini")), "new");
    EXPECT_EQ(fs::status(Path("dotfiles/Config.ini")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    // A killed writer's temporary file goes with the next write; a live one's stays.
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string dead = Path("IPaths.dat.tmp" + std::to_string(gone) + "-0");
    const std::string live = Path("IPaths.dat.tmp" + std::to_string(getppid()) + "-0");
    for (const std::string& leftover : {dead, live, Path("IPaths.dat.tmpnotours")}) {
        ASSERT_TRUE(files_.WriteTextFile(leftover, "half a list"));
    }
    ASSERT_TRUE(files_.WriteTextFileAtomic(Path("IPaths.dat"), "list\r\n"));
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(fs::exists(Path("IPaths.dat.tmpnotours")));
}

TEST_F(PosixFileSystemTest, AtomicWriteReplacesWholeOrLeavesTheOldFile) {
    ASSERT_TRUE(files_.WriteTextFileAtomic(Path("IPaths.dat"), "old\r\n"));
    ASSERT_TRUE(files_.WriteTextFileAtomic(Path("IPaths.dat"), "new\r\n"));
    EXPECT_EQ(Contents(Path("IPaths.dat")), "new\r\n");

    // A folder in the way makes the final rename fail: nothing else changes.
    fs::create_directory(Path("busy"));
    EXPECT_FALSE(files_.WriteTextFileAtomic(Path("busy"), "x"));
    EXPECT_EQ(std::distance(fs::directory_iterator(root_), {}), 2) << "a temporary file was left behind";
    EXPECT_EQ(files_.WriteTextFileAtomic(Path("gone/IPaths.dat"), "x").kind, ErrorKind::PathNotFound);
}

TEST_F(PosixFileSystemTest, CreatesOnlyTheApplicationFolder) {
    PosixFileSystem files(Path("config/velmora"));
    ASSERT_TRUE(files.WriteTextFileAtomic(Path("config/velmora/Config.ini"), "[VLMR]\r\n"));
    ASSERT_TRUE(files.WriteTextFile(Path("config/velmora/Installed"), "today\r\n"));
    EXPECT_EQ(Contents(Path("config/velmora/Installed")), "today\r\n");
    EXPECT_EQ(files.WriteTextFile(Path("pictures/VLMR-Test.VLMR"), "").kind, ErrorKind::PathNotFound);
    EXPECT_FALSE(fs::exists(Path("pictures")));
}

TEST_F(PosixFileSystemTest, FirstMatchingFileSeesOrdinaryFilesOnly) {
    ASSERT_TRUE(files_.WriteTextFile(Path("Installed"), ""));
    fs::create_directory(Path("folder"));
    std::string name = "stale";
    ASSERT_TRUE(files_.FirstMatchingFile(Path("Installed"), name));
    EXPECT_EQ(name, "Installed");
    for (const char* other : {"folder", "absent", "Installed/below"}) {
        ASSERT_TRUE(files_.FirstMatchingFile(Path(other), name)) << other;
        EXPECT_EQ(name, "") << other;
    }
    ASSERT_TRUE(files_.RemoveFile(Path("Installed")));
    EXPECT_EQ(files_.RemoveFile(Path("Installed")).kind, ErrorKind::FileNotFound);
}

}  // namespace
}  // namespace vlmr
