// Encodings at the border: UTF-8 inside, the ANSI code page or UTF-8 with a
// byte order mark in files.
#include <gtest/gtest.h>

#include "win32/WinText.h"

namespace vlmr::win32 {
namespace {

constexpr UINT kWesternEurope = 1252;
constexpr UINT kJapanese = 932;
const std::string kBom = "\xEF\xBB\xBF";

TEST(FileEncoding, TextThatFitsTheCodePageIsStoredInIt) {
    EXPECT_EQ(EncodeTextFile("C:\\a.bmp\r\n", kWesternEurope), "C:\\a.bmp\r\n");
    EXPECT_EQ(EncodeTextFile("C:\\Bilder\\M\xC3\xBCller.bmp\r\n", kWesternEurope), "C:\\Bilder\\M\xFCller.bmp\r\n");
    // "日本" in Shift-JIS.
    EXPECT_EQ(EncodeTextFile("\xE6\x97\xA5\xE6\x9C\xAC", kJapanese), "\x93\xFA\x96\x7B");
}

TEST(FileEncoding, TextThatDoesNotFitIsStoredAsUtf8WithAByteOrderMark) {
    const std::string cyrillic = "C:\\\xD0\x9A\xD0\xBE\xD1\x82.bmp\r\n";        // Кот
    const std::string chinese = "D:\\\xE5\x9B\xBE\xE7\x89\x87\\a.bmp\r\n";        // 图片
    EXPECT_EQ(EncodeTextFile(cyrillic, kWesternEurope), kBom + cyrillic);
    EXPECT_EQ(EncodeTextFile(chinese, kWesternEurope), kBom + chinese);
    // One such entry among plain ones decides for the whole file.
    EXPECT_EQ(EncodeTextFile("C:\\a.bmp\r\n" + cyrillic, kWesternEurope), kBom + "C:\\a.bmp\r\n" + cyrillic);
}

TEST(FileEncoding, NoBestFitLookAlikes) {
    // "ł" has no place in 1252; a best-fit mapping would write "l" and name
    // another file.
    const std::string polish = "C:\\Zdj\xC4\x99\x63ia\\\xC5\x82\xC3\xB3\x64\xC5\xBA.bmp";
    EXPECT_EQ(EncodeTextFile(polish, kWesternEurope), kBom + polish);
}

TEST(FileEncoding, ReaderTakesBothForms) {
    EXPECT_EQ(DecodeTextFile("C:\\Bilder\\M\xFCller.bmp\r\n", kWesternEurope), "C:\\Bilder\\M\xC3\xBCller.bmp\r\n");
    EXPECT_EQ(DecodeTextFile("\x93\xFA\x96\x7B", kJapanese), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(DecodeTextFile(kBom + "\xD0\x9A\xD0\xBE\xD1\x82", kWesternEurope), "\xD0\x9A\xD0\xBE\xD1\x82");
    // Bytes behind the mark are taken as they are, valid or not.
    const std::string raw("a\xFF\0z\0", 5);
    EXPECT_EQ(DecodeTextFile(kBom + raw, kWesternEurope), raw);
    EXPECT_EQ(DecodeTextFile("", kWesternEurope), "");
}

TEST(FileEncoding, EveryListSurvivesTheRoundTrip) {
    const std::string lists[] = {
        "C:\\a.bmp\r\nC:\\b.bmp\r\n",
        "C:\\Bilder\\\xC3\x84rger.bmp\r\n\r\nC:\\x.bmp",
        "C:\\\xD0\x9A\xD0\xBE\xD1\x82.bmp\r\nC:\\\xE5\x9B\xBE.bmp\r\n",
        std::string("C:\\nul\0in.bmp\r\n", 15),
    };
    for (const std::string& list : lists)
        for (UINT codePage : {kWesternEurope, kJapanese, static_cast<UINT>(CP_UTF8)})
            EXPECT_EQ(DecodeTextFile(EncodeTextFile(list, codePage), codePage), list) << "code page " << codePage;
}

TEST(Utf16, PathsConvertExactly) {
    EXPECT_EQ(Widen("C:\\\xD0\x9A\xD0\xBE\xD1\x82\\\xF0\x9F\x90\x88.bmp"), L"C:\\\u041a\u043e\u0442\\\U0001F408.bmp");
    EXPECT_EQ(Narrow(L"C:\\\u56fe\u7247"), "C:\\\xE5\x9B\xBE\xE7\x89\x87");
    EXPECT_EQ(Widen(""), L"");
}

}  // namespace
}  // namespace vlmr::win32
