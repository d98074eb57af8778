#include "PosixFileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace vlmr {
namespace {

namespace fs = std::filesystem;

class PosixFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vlmr-fs-XXXXXX";
        root_ = mkdtemp(pattern);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Path(const std::string& name) const { return root_ + "/" + name; }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::string root_;
    PosixFileSystem files_{"/nowhere/velmora"};
};

TEST_F(PosixFileSystemTest, ReadsBytesAsStoredAndTellsWhatIsMissing) {
    const std::string data("a\r\nb\n\0c\xff", 8);
    ASSERT_TRUE(files_.WriteTextFile(Path("list"), data));
    std::string text;
    ASSERT_TRUE(files_.ReadTextFile(Path("list"), text));
    EXPECT_EQ(text, data);

    EXPECT_EQ(files_.ReadTextFile(Path("absent"), text).kind, ErrorKind::FileNotFound);
    EXPECT_EQ(files_.ReadTextFile(Path("no/such/file"), text).kind, ErrorKind::PathNotFound);
    EXPECT_EQ(files_.ReadTextFile(Path("list/below-a-file"), text).kind, ErrorKind::PathNotFound);
    const Status folder = files_.ReadTextFile(root_, text);
    EXPECT_EQ(folder.kind, ErrorKind::Other);
    EXPECT_FALSE(folder.description.empty());
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
