// The version resource of the shipped executable, read back as Explorer reads it.
#include <utility>

#include "Scenario.h"

namespace vlmr::wintest {
namespace {

class VersionResource : public Scenario {
protected:
    void SetUp() override {
        DWORD ignored = 0;
        const std::wstring exe = folder_.Exe().wstring();
        const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version resource";
        block_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block_.data()));
    }

    std::wstring String(const std::wstring& table, const wchar_t* name) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring query = L"\\StringFileInfo\\" + table + L"\\" + name;
        if (!VerQueryValueW(block_.data(), query.c_str(), &value, &length) || value == nullptr) return L"(missing)";
        std::wstring text(static_cast<const wchar_t*>(value), length);
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
    }

    std::vector<unsigned char> block_;
};

TEST_F(VersionResource, IsUsEnglishUnicodeWithTheProductStrings) {
    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_GE(length, sizeof(Translation));
    const auto* translation = static_cast<const Translation*>(value);
    EXPECT_EQ(translation->language, 0x0409);
    EXPECT_EQ(translation->codePage, 1200);

    const std::pair<const wchar_t*, const char*> expected[] = {
        {L"FileVersion", "2.02.0006"}, {L"ProductVersion", "2.02.0006"}, {L"OriginalFilename", "VLMR.exe"},
        {L"InternalName", "VLMR"},     {L"LegalTrademarks", "VLMR"},     {L"ProductName", "Velmora"},
        {L"FileDescription", "Velmora"}, {L"Comments", "Velmora"},        {L"CompanyName", "Corvantis"},
    };
    for (const auto& [name, text] : expected) {
        EXPECT_EQ(Narrow(String(L"040904B0", name)), text) << Narrow(name);
    }
}

TEST_F(VersionResource, NumericVersionIs2_2_0_6) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(2, 2));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(6, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(2, 2));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(6, 0));
}

}  // namespace
}  // namespace vlmr::wintest
