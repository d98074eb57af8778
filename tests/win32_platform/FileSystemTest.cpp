// Text files and the listing on the real file system.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "win32/Win32FileSystem.h"
#include "win32/WinText.h"

namespace vlmr::win32 {
namespace {

namespace fs = std::filesystem;

class Win32FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  (L"vlmr-fs-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(next_++));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        for (const auto& entry : fs::recursive_directory_iterator(folder_))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(folder_);
    }

    // A path inside the test folder as the portable code writes it.
    std::string Path(const std::string& name) const { return Narrow(folder_.wstring()) + "\\" + name; }
    fs::path Native(const std::string& name) const { return folder_ / Widen(name); }

    std::string Bytes(const std::string& name) const {
        std::ifstream in(Native(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::size_t EntryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }
    void Touch(const std::string& name, DWORD attributes) {
        std::ofstream(Native(name)) << "x";
        SetFileAttributesW(Native(name).c_str(), attributes);
    }

    Win32FileSystem files_;
    fs::path folder_;
    static inline unsigned next_ = 0;
};

TEST_F(Win32FileSystemTest, MissingFileAndMissingFolderAreToldApart) {
    std::string text = "untouched";
    const Status file = files_.ReadTextFile(Path("IPaths.dat"), text, 1 << 20);
    EXPECT_EQ(file.kind, ErrorKind::FileNotFound);
    const Status folder = files_.ReadTextFile(Path("gone\\IPaths.dat"), text, 1 << 20);
    EXPECT_EQ(folder.kind, ErrorKind::PathNotFound);
    for (const Status& s : {file, folder}) {
        EXPECT_FALSE(s.description.empty());
        EXPECT_NE(s.description.back(), '\n');
    }
    EXPECT_EQ(files_.RemoveFile(Path("IPaths.dat")).kind, ErrorKind::FileNotFound);
}

TEST_F(Win32FileSystemTest, ListsWithAnyLettersSurviveTheRoundTrip) {
    const std::string plain = "C:\\a.bmp\r\nC:\\Bilder\\M\xC3\xBCller.bmp\r\n";
    const std::string cyrillic = plain + "C:\\\xD0\x9A\xD0\xBE\xD1\x82.bmp\r\n";
    // The list file itself may carry a name in any script.
    const std::string name = "\xE5\x9B\xBE\xE7\x89\x87.dat";
    for (const std::string& text : {plain, cyrillic}) {
        ASSERT_TRUE(files_.WriteTextFileAtomic(Path(name), text));
        EXPECT_EQ(Bytes(name), EncodeTextFile(text, GetACP()));
        std::string back;
        ASSERT_TRUE(files_.ReadTextFile(Path(name), back, 1 << 20));
        EXPECT_EQ(back, text);
    }
    // The Cyrillic list does not fit a Western code page.
    if (GetACP() == 1252) {
        EXPECT_EQ(Bytes(name).substr(0, 3), "\xEF\xBB\xBF");
    }
}

TEST_F(Win32FileSystemTest, AtomicWriteReplacesWholeAndLeavesNothingBehind) {
    ASSERT_TRUE(files_.WriteTextFileAtomic(Path("IPaths.dat"), std::string(100000, 'a') + "\r\n"));
    ASSERT_TRUE(files_.WriteTextFileAtomic(Path("IPaths.dat"), "C:\\b.bmp\r\n"));
    EXPECT_EQ(Bytes("IPaths.dat"), "C:\\b.bmp\r\n");
    ASSERT_TRUE(files_.WriteTextFileAtomic(Path("IPaths.dat"), ""));
    EXPECT_EQ(Bytes("IPaths.dat"), "");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(Win32FileSystemTest, FailedAtomicWriteKeepsTheOldList) {
    ASSERT_TRUE(files_.WriteTextFileAtomic(Path("IPaths.dat"), "C:\\old.bmp\r\n"));
    {
        // Another program holds the list open and lets nobody replace it.
        const HANDLE held = CreateFileW(Native("IPaths.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        const Status status = files_.WriteTextFileAtomic(Path("IPaths.dat"), "C:\\new.bmp\r\n");
        CloseHandle(held);
        EXPECT_FALSE(status.ok());
        EXPECT_FALSE(status.description.empty());
    }
    EXPECT_EQ(Bytes("IPaths.dat"), "C:\\old.bmp\r\n");
    EXPECT_EQ(EntryCount(), 1u);  // the temporary file is gone

    EXPECT_EQ(files_.WriteTextFileAtomic(Path("gone\\IPaths.dat"), "x").kind, ErrorKind::PathNotFound);
}

TEST_F(Win32FileSystemTest, PlainWriteTruncatesAndRemoveDeletes) {
    ASSERT_TRUE(files_.WriteTextFile(Path("Installed"), "a much longer first text\r\n"));
    ASSERT_TRUE(files_.WriteTextFile(Path("Installed"), "07.12.2025\r\n"));
    EXPECT_EQ(Bytes("Installed"), "07.12.2025\r\n");
    ASSERT_TRUE(files_.RemoveFile(Path("Installed")));
    EXPECT_FALSE(fs::exists(Native("Installed")));
}

TEST_F(Win32FileSystemTest, ListingSkipsFoldersHiddenAndSystemFiles) {
    fs::create_directory(Native("Installed"));
    Touch("hidden.bmp", FILE_ATTRIBUTE_HIDDEN);
    Touch("system.bmp", FILE_ATTRIBUTE_SYSTEM);
    std::string name = "stale";

    ASSERT_TRUE(files_.FirstMatchingFile(Path("Installed"), name));
    EXPECT_EQ(name, "");
    ASSERT_TRUE(files_.FirstMatchingFile(Path("*.bmp"), name));
    EXPECT_EQ(name, "");

    Touch("\xD0\x9A\xD0\xBE\xD1\x82.bmp", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(files_.FirstMatchingFile(Path("*.bmp"), name));
    EXPECT_EQ(name, "\xD0\x9A\xD0\xBE\xD1\x82.bmp");
}

TEST_F(Win32FileSystemTest, NothingThereIsAnAnswerNotAFailure) {
    std::string name = "stale";
    ASSERT_TRUE(files_.FirstMatchingFile(Path("Installed"), name));
    EXPECT_EQ(name, "");
    ASSERT_TRUE(files_.FirstMatchingFile(Path("gone\\Installed"), name));
    EXPECT_EQ(name, "");
}

}  // namespace
}  // namespace vlmr::win32
