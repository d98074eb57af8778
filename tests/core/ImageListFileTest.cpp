// The image list file: every line taken as it is, lists of any length, and a
// save that never leaves half a list behind.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "store/ImageListFile.h"

namespace vlmr::test {
namespace {

using namespace std::string_literals;

struct ListFile : ::testing::Test {
    Journal journal;
    FakeRuntime rt{journal};
    FakeFileSystem fs;
    const std::string file = "/app/IPaths.dat";

    std::vector<std::string> Load(const std::string& content) {
        fs.files[file] = content;
        ListBox list;
        list.Add("stale entry");
        list.Select(0);
        EXPECT_TRUE(LoadListFromFile(fs, rt, file, list));
        EXPECT_FALSE(list.Selected());
        std::vector<std::string> entries;
        for (std::size_t i = 0; i < list.Count(); ++i) entries.emplace_back(list.Item(i));
        return entries;
    }
    using Entries = std::vector<std::string>;
};

TEST_F(ListFile, ZeroBytesIsAnEmptyListWithoutMessage) {
    EXPECT_EQ(Load(""), Entries{});
    EXPECT_TRUE(rt.messages.empty());
    EXPECT_FALSE(rt.ended);
}

TEST_F(ListFile, ByteOrderMarkIsNoPartOfTheFirstEntry) {
    EXPECT_EQ(Load("\xEF\xBB\xBF/p/a.bmp\r\n"), Entries{"/p/a.bmp"});
}

TEST_F(ListFile, LastLineWithoutLineEndIsAnEntry) {
    EXPECT_EQ(Load("/p/a.bmp\r\n/p/b.bmp"), (Entries{"/p/a.bmp", "/p/b.bmp"}));
    EXPECT_EQ(Load("/p/only.bmp"), (Entries{"/p/only.bmp"}));
}

TEST_F(ListFile, EmptyLinesAreEntriesInTheirPlace) {
    EXPECT_EQ(Load("/p/a.bmp\r\n\r\n/p/c.bmp\r\n"), (Entries{"/p/a.bmp", "", "/p/c.bmp"}));
    EXPECT_EQ(Load("\r\n"), (Entries{""}));
    EXPECT_EQ(Load("\r\n\r\n"), (Entries{"", ""}));
}

TEST_F(ListFile, LfOnlyAndMixedLineEnds) {
    EXPECT_EQ(Load("/p/a.bmp\n/p/b.bmp\n"), (Entries{"/p/a.bmp", "/p/b.bmp"}));
    EXPECT_EQ(Load("/p/a.bmp\n/p/b.bmp\r\n\n/p/d.bmp"), (Entries{"/p/a.bmp", "/p/b.bmp", "", "/p/d.bmp"}));
}

TEST_F(ListFile, VeryLongLine) {
    const std::string longLine(100 * 1024, 'x');
    EXPECT_EQ(Load(longLine + "\r\n/p/b.bmp\r\n"), (Entries{longLine, "/p/b.bmp"}));
}

TEST_F(ListFile, InvalidUtf8AndNulBytesAreKeptVerbatim) {
    const std::string odd1 = "/p/\xFF\xFE\xC3(.bmp";
    const std::string odd2 = "/p/a\0b.bmp"s;
    EXPECT_EQ(Load(odd1 + "\r\n" + odd2 + "\r\n"), (Entries{odd1, odd2}));

    ListBox list;
    ASSERT_TRUE(LoadListFromFile(fs, rt, file, list));
    ASSERT_TRUE(SaveListToFile(fs, rt, "/app/copy.dat", list));
    EXPECT_EQ(fs.files["/app/copy.dat"], odd1 + "\r\n" + odd2 + "\r\n");
}

TEST_F(ListFile, AMillionLinesLoadAndSaveUnchanged) {
    std::string content;
    const std::size_t count = 1'000'000;
    for (std::size_t i = 0; i < count; ++i) content.append("C:\\Pictures\\").append(std::to_string(i)).append(".bmp\r\n");
    fs.files[file] = content;
    ListBox list;
    ASSERT_TRUE(LoadListFromFile(fs, rt, file, list));
    ASSERT_EQ(list.Count(), count);
    EXPECT_EQ(list.Item(32768), "C:\\Pictures\\32768.bmp");
    EXPECT_EQ(list.Item(count - 1), "C:\\Pictures\\999999.bmp");
    ASSERT_TRUE(SaveListToFile(fs, rt, "/app/copy.dat", list));
    EXPECT_TRUE(fs.files["/app/copy.dat"] == content);  // not EXPECT_EQ: a failure would print 24 MB
    EXPECT_TRUE(rt.messages.empty());
}

TEST_F(ListFile, SaveEndsEveryEntryWithCrLf) {
    ListBox list;
    list.Add("/p/a.bmp");
    list.Add("");
    list.Add("/p/c d.bmp");
    ASSERT_TRUE(SaveListToFile(fs, rt, file, list));
    EXPECT_EQ(fs.files[file], "/p/a.bmp\r\n\r\n/p/c d.bmp\r\n");

    Load("/p/lf.bmp\n/p/last.bmp");
    ListBox reloaded;
    ASSERT_TRUE(LoadListFromFile(fs, rt, file, reloaded));
    ASSERT_TRUE(SaveListToFile(fs, rt, file, reloaded));
    EXPECT_EQ(fs.files[file], "/p/lf.bmp\r\n/p/last.bmp\r\n");
}

TEST_F(ListFile, SavingAnEmptyListGivesZeroBytes) {
    fs.files[file] = "/p/old.bmp\r\n";
    ListBox empty;
    ASSERT_TRUE(SaveListToFile(fs, rt, file, empty));
    ASSERT_EQ(fs.files.count(file), 1u);
    EXPECT_EQ(fs.files[file], "");
}

TEST_F(ListFile, FailedSaveIsReportedAndLeavesTheOldListWhole) {
    const std::string old = "/p/old1.bmp\r\n/p/old2.bmp\r\n";
    ListBox list;
    for (int i = 0; i < 1000; ++i) list.Add("/p/new" + std::to_string(i) + ".bmp");

    // Refused outright.
    fs.files[file] = old;
    fs.failing[file] = Status::Fail(ErrorKind::AccessDenied, "Permission denied");
    EXPECT_FALSE(SaveListToFile(fs, rt, file, list));
    ASSERT_EQ(rt.messages.size(), 1u);
    EXPECT_EQ(rt.messages[0].text, "An error has occured Permission denied");
    EXPECT_EQ(rt.messages[0].title, "VLMR");
    EXPECT_EQ(rt.messages[0].title, kAppTitle);
    EXPECT_EQ(rt.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(fs.files[file], old);

    // Failing part-way through the write.
    fs.failing.clear();
    fs.tornWrites.insert(file);
    EXPECT_FALSE(SaveListToFile(fs, rt, file, list));
    ASSERT_EQ(rt.messages.size(), 2u);
    EXPECT_EQ(rt.messages[1].text, "An error has occured There is not enough space on the disk.");
    EXPECT_EQ(fs.files[file], old);
    EXPECT_FALSE(rt.ended);  // the caller carries on
}

}  // namespace
}  // namespace vlmr::test
