// Opening the home page: the browser found, not found, or not looked for.
#include <gtest/gtest.h>

#include "BuildConfig.h"
#include "Fakes.h"
#include "shell/OpenWebPage.h"

namespace vlmr::test {
namespace {

TEST(OpenWebPage, FoundBrowserStartsWithOwnerTrimmedPathAndUnchangedAddress) {
    Journal j;
    FakeRuntime rt(j);
    FakeShell shell(j);
    shell.lookup = {BrowserLookup::Result::Found, "  /opt/my browser/bin/web  ", ""};
    const std::string address = " https://example.test/a b?q=\"x\"&r='y' ";
    OpenWebPage(rt, shell, 77, address);
    EXPECT_EQ(j, (Journal{"FindBrowser", "StartBrowser 77 /opt/my browser/bin/web " + address}));
    EXPECT_TRUE(rt.messages.empty());
}

TEST(OpenWebPage, NoBrowserTellsTheUserAndStartsNothing) {
    for (BrowserLookup lookup : {BrowserLookup{BrowserLookup::Result::NotFound, "", ""},
                                 BrowserLookup{BrowserLookup::Result::NotFound, "/usr/bin/stale", ""},
                                 BrowserLookup{BrowserLookup::Result::Found, "", ""},
                                 BrowserLookup{BrowserLookup::Result::Found, "   ", ""}}) {
        SCOPED_TRACE("browser '" + lookup.browser + "'");
        Journal j;
        FakeRuntime rt(j);
        FakeShell shell(j);
        shell.lookup = lookup;
        OpenWebPage(rt, shell, 77, "https://example.test/");
        EXPECT_EQ(j, (Journal{"FindBrowser", "message:Could not find a Browser!!!"}));
        ASSERT_EQ(rt.messages.size(), 1u);
        EXPECT_EQ(rt.messages[0].title, "Browser Not Found");
        EXPECT_EQ(rt.messages[0].icon, MessageIcon::Warning);
    }
}

TEST(OpenWebPage, FailedProbeIsReportedAndStartsNothing) {
    Journal j;
    FakeRuntime rt(j);
    FakeShell shell(j);
    shell.lookup = {BrowserLookup::Result::ProbeFailed, "/usr/bin/browser", "Permission denied"};
    OpenWebPage(rt, shell, 77, "https://example.test/");
    ASSERT_EQ(rt.messages.size(), 1u);
    EXPECT_NE(rt.messages[0].text.find("Permission denied"), std::string::npos);
    ASSERT_EQ(j.size(), 2u);  // the lookup and the message, no start
    EXPECT_EQ(j[0], "FindBrowser");
    EXPECT_EQ(j[1], "message:" + rt.messages[0].text);
    EXPECT_EQ(rt.messages[0].icon, MessageIcon::Warning);
}

TEST(FrmMainClick, OpensTheHomePageOwnedByTheBanner) {
    World w;
    w.form.Click();
    EXPECT_EQ(w.journal, (Journal{"FindBrowser", "StartBrowser 4242 /usr/bin/browser " + std::string(kHomePage)}));
    EXPECT_FALSE(std::string(kHomePage).empty());
}

}  // namespace
}  // namespace vlmr::test
