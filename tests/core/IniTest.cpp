// The settings file: reads as the Windows profile API reads, writes that
// change one line and keep every other byte.
#include <gtest/gtest.h>

#include <algorithm>

#include "Fakes.h"
#include "store/INIMod.h"
#include "store/IniText.h"

namespace vlmr::test {
namespace {

using namespace std::string_literals;

// A file's bytes in UTF-16 behind its byte order mark.
std::string Utf16File(std::u16string_view text, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : text) {
        const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
}

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

TEST(IniRead, LineWithoutEqualsIsAKeyWithAnEmptyValueThatHidesLaterLines) {
    EXPECT_EQ(IniLookup("[VLMR]\r\nStyle\r\nStyle=Center\r\n", "VLMR", "Style"), "");
    EXPECT_EQ(IniLookup("[A]\r\n  k v  \r\nk v=real\r\n", "A", "k v"), "");
    EXPECT_EQ(IniLookup("[A]\r\n[B\r\n[B=x\r\nk=v\r\n", "A", "[B"), "");  // no header without ']'
    EXPECT_EQ(IniLookup("[A]\r\n;k\r\n;k=x\r\nk=v\r\n", "A", "k"), "v");  // ";k" is another name
    EXPECT_EQ(IniLookup("[A]\r\n \t\x0b\r\n=v\r\n", "A", ""), "v");         // a blank line is none
}

TEST(IniRead, OtherLineEndsBlanksAndEncodingsReadAsTheProfileApiReadsThem) {
    EXPECT_EQ(IniLookup("[VLMR]\rStyle=Center\r", "VLMR", "Style"), "Center");
    EXPECT_EQ(IniLookup("[A]\rk=1\nm=2\r\nn=3", "A", "m"), "2");
    EXPECT_EQ(IniLookup("\x0b[VLMR]\x0c\r\n\x1aStyle\t=\x0b Center\x0c\x1a\r\n", "vlmr", "style"), "Center");
    EXPECT_EQ(IniLookup("[A]\r\nk=a\x1a\x01" "b\x01\r\n", "A", "k"), "a\x1a\x01" "b\x01");  // only at the ends
    // Names asked for are trimmed too.
    EXPECT_EQ(IniLookup("[A]\r\nk=v\r\n", " A\x0b", "\tk "), "v");

    const std::u16string utf16 = u"[VLMR]\r\nStyle=Center\r\nPath=C:\\\u00e9\u20ac\r\n";
    const std::string le = Utf16File(utf16);
    EXPECT_EQ(IniLookup(le, "VLMR", "Style"), "Center");
    EXPECT_EQ(IniLookup(Utf16File(utf16, true), "VLMR", "Path"), "C:\\\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(IniLookup(le + "x", "VLMR", "Style"), "Center");  // a last odd byte is no character
    EXPECT_EQ(IniLookup(le.substr(2), "VLMR", "Style"), "");     // UTF-16 only behind its mark
}

TEST(IniRead, NulEndsTheNameOrValueItIsInButNotTheFile) {
    const std::string text = "[VLMR]\r\nStyle=Cen\0ter\r\nSt\0yle=x\r\nk=\"a\0\"\r\nm=a \0b\r\n[B\0junk]\r\nk=b\r\n"s;
    EXPECT_EQ(IniLookup(text, "VLMR", "Style"), "Cen");
    EXPECT_EQ(IniLookup(text, "VLMR", "St"), "x");
    EXPECT_EQ(IniLookup(text, "VLMR", "k"), "\"a");    // the closing quote went with the NUL
    EXPECT_EQ(IniLookup(text, "VLMR", "m"), "a ");      // trimmed before the cut
    EXPECT_EQ(IniLookup(text, "B", "k"), "b");
    EXPECT_EQ(IniLookup("[A]\r\n\0[B]\r\nk=v\r\n"s, "B", "k"), "");  // no header after a NUL
}

TEST(IniRead, KeysBeforeTheFirstHeaderAreTheSectionWithoutAName) {
    EXPECT_EQ(IniLookup("k=top\r\n[B]\r\nk=b\r\n", "", "k"), "top");
    EXPECT_EQ(IniLookup("[B]\r\n[]\r\nk=v\r\n", "", "k"), "");  // the unnamed one always comes first
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
    // Quoted, the profile API drops the last character it copied, which for
    // exactly 254 inner characters is a letter: the closing quote did not fit.
    for (const std::size_t n : {253, 254, 255, 300}) {
        const std::string quoted = "\"" + std::string(n, 'x') + "\"";
        EXPECT_EQ(IniLookup("[A]\r\nk=" + quoted + "\r\n", "A", "k"), std::string(n == 254 ? 253 : std::min<std::size_t>(n, 254), 'x'));
    }

    // Characters, not bytes: a letter is never cut in two.
    std::string accented, expected;
    for (int i = 0; i < 300; ++i) accented += "\xC3\xA9";
    for (int i = 0; i < 254; ++i) expected += "\xC3\xA9";
    EXPECT_EQ(IniLookup("[A]\r\nk=" + accented + "\r\n", "A", "k"), expected);
}

TEST(IniRead, GarbageLinesAndNoFinalLineEndReadFine) {
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
    // A last line ended by a lone CR gets only its LF, or the CR would join the value.
    EXPECT_EQ(WriteInto("[VLMR]\r\nStyle=Tile\r", "VLMR", "Path", "/p"), "[VLMR]\r\nStyle=Tile\r\nPath=/p\r\n");
    EXPECT_EQ(WriteInto("[VLMR]\r\nStyle=Tile\r", "B", "k", "v"), "[VLMR]\r\nStyle=Tile\r\n\r\n[B]\r\nk=v\r\n");
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

TEST_F(WriteFixture, WriteGoesWhereTheProfileApiPutsIt) {
    EXPECT_EQ(WriteInto("[VLMR]\r\nStyle\r\nStyle=Center\r\n", "VLMR", "Style", "Tile"),
              "[VLMR]\r\nStyle=Tile\r\nStyle=Center\r\n");
    EXPECT_EQ(WriteInto("[A]\r\n\x0b k\x0c=1\r\n", " a\x1a", "K\t", "2"), "[A]\r\nk=2\r\n");
    EXPECT_EQ(WriteInto("[A]\r\nSt\0yle=1\r\n"s, "A", "St", "2"), "[A]\r\nSt\0yle=2\r\n"s);
    EXPECT_EQ(WriteInto("a=1\r\n\r\n[B]\r\n", "", "k", "v"), "a=1\r\nk=v\r\n\r\n[B]\r\n");
    EXPECT_EQ(WriteInto("[B]\r\n", "", "k", "v"), "k=v\r\n[B]\r\n");
}

TEST_F(WriteFixture, CrOnlyFileGetsCrOnlyLines) {
    EXPECT_EQ(WriteInto("[VLMR]\rStyle=Center\r", "VLMR", "Path", "/p"), "[VLMR]\rStyle=Center\rPath=/p\r");
    EXPECT_EQ(WriteInto("[VLMR]\rStyle=Center", "B", "k", "v"), "[VLMR]\rStyle=Center\r\r[B]\rk=v\r");
    EXPECT_EQ(WriteInto("[VLMR]\rStyle=Center\rPath=x\r", "VLMR", "Style", "Tile"), "[VLMR]\rStyle=Tile\rPath=x\r");
}

TEST_F(WriteFixture, Utf16FileKeepsItsByteOrderAndEveryOtherByte) {
    // An unpaired surrogate in a comment and a last odd byte stay as they are.
    const std::u16string before = u"; \xD800\r\n[VLMR]\r\nStyle=Tile\r\n";
    EXPECT_EQ(WriteInto(Utf16File(before) + "?", "VLMR", "Style", "Center"),
              Utf16File(u"; \xD800\r\n[VLMR]\r\nStyle=Center\r\n") + "?");
    EXPECT_EQ(WriteInto(Utf16File(before, true), "VLMR", "Path", "C:\\\xC3\xA9"),
              Utf16File(before + u"Path=C:\\\u00e9\r\n", true));
    EXPECT_EQ(store.Read("VLMR", "Path", file), "C:\\\xC3\xA9");
    EXPECT_EQ(WriteInto(Utf16File(u"[A]\rx=1"), "B", "k", "v"), Utf16File(u"[A]\rx=1\r\r[B]\rk=v\r"));
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
