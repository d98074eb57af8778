// The settings file: reads as the Windows profile API reads, writes that
// change one line and keep every other byte.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "store/INIMod.h"
#include "store/IniText.h"

namespace vlmr::test {
namespace {

// ---- reading -------------------------------------------------------------

TEST(IniRead, NamesMatchWithoutRegardToCaseButValuesKeepIt) {
    const std::string text = "[VlMr]\r\nsTyLe=center\r\n";
    EXPECT_EQ(IniLookup(text, "VLMR", "Style"), "center");
    EXPECT_EQ(IniLookup(text, "vlmr", "STYLE"), "center");
}

TEST(IniRead, BlanksAroundNamesAndValuesAreDropped) {
    const std::string text = "  [ B ]  \r\n  k  =  v w  \r\n\tt\t=\tx\t\r\n";
    EXPECT_EQ(IniLookup(text, "B", "k"), "v w");
    EXPECT_EQ(IniLookup(text, "B", "t"), "x");
}

TEST(IniRead, MatchingQuotesAroundTheWholeValueAreStripped) {
    const std::string text =
        "[A]\r\n"
        "blank=\"Stretch \"\r\n"
        "single='a b'\r\n"
        "open=\"Stretch\r\n"
        "mixed=\"x'\r\n"
        "lone=\"\r\n"
        "empty=\"\"\r\n"
        "spaced=  \" x \"  \r\n"
        "inner=a \"b\" c\r\n";
    EXPECT_EQ(IniLookup(text, "A", "blank"), "Stretch ");
    EXPECT_EQ(IniLookup(text, "A", "single"), "a b");
    EXPECT_EQ(IniLookup(text, "A", "open"), "\"Stretch");
    EXPECT_EQ(IniLookup(text, "A", "mixed"), "\"x'");
    EXPECT_EQ(IniLookup(text, "A", "lone"), "\"");
    EXPECT_EQ(IniLookup(text, "A", "empty"), "");
    EXPECT_EQ(IniLookup(text, "A", "spaced"), " x ");
    EXPECT_EQ(IniLookup(text, "A", "inner"), "a \"b\" c");
}

TEST(IniRead, SemicolonStartsACommentOnlyAtLineStart) {
    const std::string text = ";[A]\r\n[A]\r\n;k=hidden\r\nv=1 ; not a comment\r\n";
    EXPECT_EQ(IniLookup(text, "A", "k"), "");
    EXPECT_EQ(IniLookup(text, "A", "v"), "1 ; not a comment");
}

TEST(IniRead, FirstDuplicateKeyAndFirstSectionWin) {
    const std::string text = "[A]\r\nk=1\r\nk=2\r\n[B]\r\nk=b\r\n[a]\r\nk=3\r\nm=4\r\n";
    EXPECT_EQ(IniLookup(text, "A", "k"), "1");
    EXPECT_EQ(IniLookup(text, "A", "m"), "");  // only the first [A] is searched
    EXPECT_EQ(IniLookup(text, "B", "k"), "b");
}

TEST(IniRead, LineWithoutEqualsIsNoKey) {
    EXPECT_EQ(IniLookup("[A]\r\nk\r\nk=real\r\n", "A", "k"), "real");
    EXPECT_EQ(IniLookup("[A]\r\nk v\r\n", "A", "k v"), "");
    EXPECT_EQ(IniLookup("[A]\r\nk=\r\n", "A", "k"), "");
}

TEST(IniRead, MissingSectionOrKeyReadsEmpty) {
    const std::string text = "[VLMR]\r\nPath=/p\r\n[Startup]\r\nStyle=Tile\r\n";
    EXPECT_EQ(IniLookup(text, "VLMR", "Style"), "");
    EXPECT_EQ(IniLookup(text, "Other", "Path"), "");
    EXPECT_EQ(IniLookup("", "VLMR", "Style"), "");
    EXPECT_EQ(IniLookup("Style=Tile\r\n", "VLMR", "Style"), "");  // a key before any section
}

TEST(IniRead, LongValueReadsAsItsFirst254Characters) {
    const std::string ascii(300, 'x');
    EXPECT_EQ(IniLookup("[A]\r\nk=" + ascii + "\r\n", "A", "k"), std::string(254, 'x'));
    EXPECT_EQ(IniLookup("[A]\r\nk=" + std::string(254, 'x') + "\r\n", "A", "k"), std::string(254, 'x'));

    // Characters, not bytes: a letter is never cut in two.
    std::string accented, expected;
    for (int i = 0; i < 300; ++i) accented += "\xC3\xA9";
    for (int i = 0; i < 254; ++i) expected += "\xC3\xA9";
    EXPECT_EQ(IniLookup("[A]\r\nk=" + accented + "\r\n", "A", "k"), expected);
}

TEST(IniRead, GarbageLinesAndNoFinalLineEndReadFine) {
    using namespace std::string_literals;
    const std::string text = "\x01\x02garbage\r\n[[[\r\n]]]\r\n=\r\n\0\xFF\xFE\r\n"s +
                             "[A]\r\nnoise here\r\n=novalue\r\n[broken\r\nk=v";
    EXPECT_EQ(IniLookup(text, "A", "k"), "v");
    EXPECT_EQ(IniLookup("[A]\nk=lf\n", "A", "k"), "lf");
    EXPECT_EQ(IniLookup("[A]\r\nk=cr\r", "A", "k"), "cr");
}

TEST(IniRead, ThroughReadIniValueTheStoreCannotExceedTheLimit) {
    struct LongStore : SettingsStore {
        std::string Read(std::string_view, std::string_view, std::string_view) override { return std::string(300, 'y'); }
        Status Write(std::string_view, std::string_view, std::string_view, std::string_view) override { return {}; }
    } store;
    EXPECT_EQ(ReadIniValue(store, "VLMR", "Style", "/app/Config.ini"), std::string(254, 'y'));
}

TEST(IniFileStoreRead, AFileOverAMegabyteIsNoSettingsFileAndStaysUntouched) {
    FakeFileSystem fs;
    IniFileStore store(fs);
    const std::string huge = "[VLMR]\r\nStyle=Tile\r\n" + std::string(kSettingsFileLimit, ';');
    fs.files["/app/Config.ini"] = huge;
    EXPECT_EQ(store.Read("VLMR", "Style", "/app/Config.ini"), "");
    EXPECT_FALSE(store.Write("VLMR", "Style", "Center", "/app/Config.ini"));
    EXPECT_EQ(fs.files["/app/Config.ini"], huge);
}

TEST(IniFileStoreRead, MissingOrUnreadableFileReadsEmptyAndNothingIsWritten) {
    FakeFileSystem fs;
    IniFileStore store(fs);
    EXPECT_EQ(store.Read("VLMR", "Style", "/app/Config.ini"), "");
    fs.failing["/locked/Config.ini"] = Status::Fail(ErrorKind::AccessDenied, "Permission denied");
    EXPECT_EQ(store.Read("VLMR", "Style", "/locked/Config.ini"), "");
    EXPECT_TRUE(fs.files.empty());
    EXPECT_EQ(fs.writes, 0);
}

TEST(IniFileStoreRead, ReadLeavesAMessyFileAsItIs) {
    FakeFileSystem fs;
    IniFileStore store(fs);
    const std::string messy = "garbage\r\n[VLMR]\r\nStyle=Tile\r\nStyle=Center\r\n[VLMR]\r\nPath=x";
    fs.files["/app/Config.ini"] = messy;
    EXPECT_EQ(store.Read("vlmr", "style", "/app/Config.ini"), "Tile");
    EXPECT_EQ(fs.files["/app/Config.ini"], messy);
    EXPECT_EQ(fs.writes, 0);
}

// ---- writing -------------------------------------------------------------

struct WriteFixture : ::testing::Test {
    FakeFileSystem fs;
    IniFileStore store{fs};
    const std::string file = "/app/Config.ini";
    // Writes into a file holding `before` and returns what the file holds after.
    std::string WriteInto(const std::string& before, std::string_view section, std::string_view key,
                          std::string_view value) {
        fs.files[file] = before;
        EXPECT_TRUE(store.Write(section, key, value, file));
        return fs.files[file];
    }
};

TEST_F(WriteFixture, NewFileIsCreatedWithCrLfLines) {
    EXPECT_TRUE(store.Write("VLMR", "Style", "Stretch", file));
    EXPECT_EQ(fs.files[file], "[VLMR]\r\nStyle=Stretch\r\n");
    EXPECT_TRUE(store.Write("Startup", "Enabled", "True", file));
    EXPECT_EQ(fs.files[file], "[VLMR]\r\nStyle=Stretch\r\n\r\n[Startup]\r\nEnabled=True\r\n");
    EXPECT_EQ(store.Read("VLMR", "Style", file), "Stretch");
    EXPECT_EQ(store.Read("Startup", "Enabled", file), "True");
}

TEST_F(WriteFixture, KeyIsAddedToTheExistingSection) {
    EXPECT_EQ(WriteInto("[VLMR]\r\nStyle=Tile\r\n\r\n[Startup]\r\nEnabled=True\r\n", "vlmr", "Path", "/p"),
              "[VLMR]\r\nStyle=Tile\r\nPath=/p\r\n\r\n[Startup]\r\nEnabled=True\r\n");
    EXPECT_EQ(WriteInto("[VLMR]", "VLMR", "Style", "Tile"), "[VLMR]\r\nStyle=Tile\r\n");
    EXPECT_EQ(WriteInto("[VLMR]\r\nStyle=Tile", "VLMR", "Path", "/p"), "[VLMR]\r\nStyle=Tile\r\nPath=/p\r\n");
    // Into the first of two sections of that name.
    EXPECT_EQ(WriteInto("[A]\r\nx=1\r\n[A]\r\ny=2\r\n", "A", "y", "3"), "[A]\r\nx=1\r\ny=3\r\n[A]\r\ny=2\r\n");
}

TEST_F(WriteFixture, ExistingKeyLineIsReplacedAndEveryOtherByteKept) {
    const std::string before =
        "; my notes\r\n"
        "garbage line\r\n"
        "[VLMR]\r\n"
        "  STYLE = Tile  \r\n"
        "Path=C:\\x y\r\n"
        "\r\n"
        "[Startup]\r\n"
        "Enabled=True";
    EXPECT_EQ(WriteInto(before, "VLMR", "Style", "Center"),
              "; my notes\r\n"
              "garbage line\r\n"
              "[VLMR]\r\n"
              "STYLE=Center\r\n"
              "Path=C:\\x y\r\n"
              "\r\n"
              "[Startup]\r\n"
              "Enabled=True");
    EXPECT_EQ(store.Read("VLMR", "Style", file), "Center");
}

TEST_F(WriteFixture, OnlyTheFirstDuplicateIsReplacedAndCommentsAreNotKeys) {
    EXPECT_EQ(WriteInto("[A]\r\nk=1\r\nk=2\r\n", "A", "k", "9"), "[A]\r\nk=9\r\nk=2\r\n");
    EXPECT_EQ(WriteInto("[A]\r\n;k=old\r\n", "A", "k", "new"), "[A]\r\n;k=old\r\nk=new\r\n");
}

TEST_F(WriteFixture, NewSectionIsAppended) {
    EXPECT_EQ(WriteInto("[VLMR]\r\nStyle=Tile\r\n", "Startup", "Enabled", "True"),
              "[VLMR]\r\nStyle=Tile\r\n\r\n[Startup]\r\nEnabled=True\r\n");
    EXPECT_EQ(WriteInto("[VLMR]\r\nStyle=Tile", "Startup", "Enabled", "True"),
              "[VLMR]\r\nStyle=Tile\r\n\r\n[Startup]\r\nEnabled=True\r\n");
}

TEST_F(WriteFixture, LfOnlyFileStaysLf) {
    EXPECT_EQ(WriteInto("[VLMR]\nStyle=Tile\n", "VLMR", "Path", "/p"), "[VLMR]\nStyle=Tile\nPath=/p\n");
    EXPECT_EQ(WriteInto("[VLMR]\nStyle=Tile\n", "VLMR", "Style", "Center"), "[VLMR]\nStyle=Center\n");
    EXPECT_EQ(WriteInto("[VLMR]\nStyle=Tile\n", "Startup", "Enabled", "False"),
              "[VLMR]\nStyle=Tile\n\n[Startup]\nEnabled=False\n");
}

TEST_F(WriteFixture, LineBreakInANameOrValueIsRefusedAndTheFileUnchanged) {
    const std::string before = "[VLMR]\r\nStyle=Tile\r\n";
    fs.files[file] = before;
    const std::pair<std::string, std::string> forged[] = {{"VLMR", "Tile\r\n[Startup]\r\nEnabled=True"},
                                                          {"VLMR", "a\nb"},
                                                          {"VLMR", "a\rb"}};
    for (auto& [section, value] : forged) {
        EXPECT_FALSE(store.Write(section, "Style", value, file));
    }
    EXPECT_FALSE(store.Write("VLMR", "St\nyle", "x", file));
    EXPECT_FALSE(store.Write("VL\r\nMR", "Style", "x", file));
    EXPECT_EQ(fs.files[file], before);
    EXPECT_EQ(fs.writes, 0);
}

TEST_F(WriteFixture, UnreadableFileIsNotOverwritten) {
    fs.files[file] = "[VLMR]\r\nStyle=Tile\r\n";
    fs.failing[file] = Status::Fail(ErrorKind::AccessDenied, "Permission denied");
    EXPECT_FALSE(store.Write("VLMR", "Style", "Center", file));
    EXPECT_EQ(fs.writes, 0);
    EXPECT_EQ(fs.files[file], "[VLMR]\r\nStyle=Tile\r\n");
}

TEST_F(WriteFixture, FailedWriteLeavesTheOldFileWhole) {
    const std::string before = "[VLMR]\r\nStyle=Tile\r\nPath=" + std::string(4000, 'p') + "\r\n";
    fs.files[file] = before;
    fs.tornWrites.insert(file);
    EXPECT_FALSE(store.Write("VLMR", "Style", "Center", file));
    EXPECT_EQ(fs.files[file], before);
}

TEST_F(WriteFixture, QuotedValueWithTrailingBlankRoundTrips) {
    EXPECT_TRUE(store.Write("VLMR", "Style", "\"Stretch \"", file));
    EXPECT_EQ(store.Read("VLMR", "Style", file), "Stretch ");
}

TEST_F(WriteFixture, ByteOrderMarkIsNoPartOfTheFirstSectionAndStays) {
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(WriteInto(bom + "[VLMR]\r\nStyle=Tile\r\n", "VLMR", "Style", "Center"),
              bom + "[VLMR]\r\nStyle=Center\r\n");
    EXPECT_EQ(store.Read("VLMR", "Style", file), "Center");
    EXPECT_EQ(WriteInto(bom, "VLMR", "Style", "Tile"), bom + "[VLMR]\r\nStyle=Tile\r\n");
}

}  // namespace
}  // namespace vlmr::test
