// The configurator's load, its style options, the credit label and the
// unload: what each writes, and in which order.
#include <gtest/gtest.h>

#include "BuildConfig.h"
#include "Fakes.h"
#include "store/IniText.h"

namespace vlmr::test {
namespace {

std::string Stored(ConfigWorld& w, const char* section, const char* key) {
    return IniLookup(w.files.files["/app/Config.ini"], section, key);
}

TEST(ConfigLoad, WithoutSettingsFileWritesNothingAtAll) {
    ConfigWorld w;
    w.logon.entries["VLMR"] = "/elsewhere/VLMR";
    w.form.Load();
    EXPECT_EQ(Acts(w.journal), Journal{});
    EXPECT_EQ(w.files.writes, 0);
    EXPECT_EQ(w.files.files.count("/app/Config.ini"), 0u);
    EXPECT_EQ(w.logon.entries, (std::map<std::string, std::string>{{"VLMR", "/elsewhere/VLMR"}}));
    EXPECT_EQ(w.form.LStart, vbUnchecked);
    EXPECT_FALSE(w.form.Style);
    EXPECT_EQ(w.form.Caption, "Velmora Configurator");
    EXPECT_EQ(w.form.IPath, "");
    EXPECT_EQ(w.form.IList.Count(), 0u);
}

TEST(ConfigLoad, StoredChoicesRunTheirClickActionsInOrderBeforeTheWindowShows) {
    ConfigWorld w;
    w.files.files["/app/Config.ini"] = "[Startup]\r\nEnabled=True\r\n[VLMR]\r\nStyle=Stretch\r\nPath=/old\r\n";
    w.logon.entries["VLMR"] = "/moved/away/VLMR";
    w.form.Load();
    EXPECT_EQ(Acts(w.journal), (Journal{"cfg:Check on", "logon:write VLMR=/opt/velmora/VLMR",
                                        "ini:write Startup/Enabled=True", "write-atomic /app/Config.ini",
                                        "cfg:Style Stretch", "ini:write VLMR/Style=Stretch",
                                        "write-atomic /app/Config.ini"}));
    EXPECT_EQ(w.logon.entries["VLMR"], "/opt/velmora/VLMR");  // the entry follows the program
    EXPECT_EQ(w.form.LStart, vbChecked);
    EXPECT_EQ(w.form.Style, StyleOption::Stretch);
    EXPECT_EQ(Stored(w, "Startup", "Enabled"), "True");
    EXPECT_EQ(Stored(w, "VLMR", "Path"), "/old");  // never read back, never touched
    EXPECT_EQ(w.form.IPath, "");
    EXPECT_TRUE(w.runtime.messages.empty());
}

TEST(ConfigLoad, EnabledOtherThanExactTrueLeavesBoxClearAndWritesNothing) {
    for (const char* ini : {"[Startup]\r\nEnabled=true\r\n", "[Startup]\r\nEnabled=False\r\n",
                            "[Startup]\r\nEnabled=TRUE\r\n", "[Startup]\r\nEnabled=\"True \"\r\n",
                            "[Startup]\r\nEnabled=1\r\n", "[Startup]\r\nEnabled=\r\n", "[Startup]\r\n",
                            "[Other]\r\nEnabled=True\r\n"}) {
        SCOPED_TRACE(ini);
        ConfigWorld w;
        w.files.files["/app/Config.ini"] = ini;
        w.logon.entries["VLMR"] = "/kept/VLMR";
        w.form.Load();
        EXPECT_EQ(Acts(w.journal), Journal{});
        EXPECT_EQ(w.form.LStart, vbUnchecked);
        EXPECT_EQ(w.logon.entries["VLMR"], "/kept/VLMR");  // an existing entry stays until the user clears it
        EXPECT_EQ(w.files.files["/app/Config.ini"], ini);
    }
}

TEST(ConfigLoad, EachStoredStyleIsSelectedAndWrittenAgain) {
    const std::pair<const char*, StyleOption> cases[] = {
        {"Center", StyleOption::Center}, {"Tile", StyleOption::Tile}, {"Stretch", StyleOption::Stretch}};
    for (auto [word, option] : cases) {
        SCOPED_TRACE(word);
        ConfigWorld w;
        w.files.files["/app/Config.ini"] = std::string("[VLMR]\r\nStyle=") + word + "\r\n";
        w.form.Load();
        EXPECT_EQ(Acts(w.journal), (Journal{std::string("cfg:Style ") + word,
                                            std::string("ini:write VLMR/Style=") + word,
                                            "write-atomic /app/Config.ini"}));
        EXPECT_EQ(w.form.Style, option);
        EXPECT_EQ(w.form.Stile, word);
        EXPECT_EQ(w.form.LStart, vbUnchecked);
    }
}

TEST(ConfigLoad, StyleOtherThanTheExactWordsSelectsNothing) {
    for (const char* value : {"tile", "", "CENTER", "Stretched", "Tiled", "\"Tile \"", "Center Tile", "0"}) {
        SCOPED_TRACE(std::string("'") + value + "'");
        ConfigWorld w;
        w.files.files["/app/Config.ini"] = std::string("[VLMR]\r\nStyle=") + value + "\r\n";
        w.form.Load();
        EXPECT_EQ(Acts(w.journal), Journal{});
        EXPECT_FALSE(w.form.Style);
        EXPECT_EQ(w.files.writes, 0);
    }
}

TEST(StyleOptions, AClickStoresTheStyleAtOnceAndOnlyOnAChange) {
    ConfigWorld w;
    w.files.files["/app/Config.ini"] = "[VLMR]\r\nPath=/old\r\n";
    w.form.Load();
    w.form.SelectStyle(StyleOption::Stretch);
    EXPECT_EQ(Acts(w.journal), (Journal{"cfg:Style Stretch", "ini:write VLMR/Style=Stretch",
                                        "write-atomic /app/Config.ini"}));
    EXPECT_EQ(Stored(w, "VLMR", "Style"), "Stretch");

    w.journal.clear();
    w.form.SelectStyle(StyleOption::Stretch);  // already selected
    EXPECT_EQ(w.journal, Journal{});

    w.form.SelectStyle(StyleOption::Center);
    w.form.SelectStyle(StyleOption::Tile);
    EXPECT_EQ(Acts(w.journal), (Journal{"cfg:Style Center", "ini:write VLMR/Style=Center",
                                        "write-atomic /app/Config.ini", "cfg:Style Tile",
                                        "ini:write VLMR/Style=Tile", "write-atomic /app/Config.ini"}));
    EXPECT_EQ(Stored(w, "VLMR", "Style"), "Tile");
    EXPECT_EQ(Stored(w, "VLMR", "Path"), "/old");
    EXPECT_TRUE(w.runtime.messages.empty());
}

TEST(StyleOptions, AFailedWriteIsReportedWithItsReasonAndTheOptionStaysSelected) {
    ConfigWorld w;
    w.files.files["/app/Config.ini"] = "[VLMR]\r\nStyle=Tile\r\n";
    w.files.tornWrites.insert("/app/Config.ini");
    w.form.SelectStyle(StyleOption::Center);
    EXPECT_EQ(w.form.Style, StyleOption::Center);
    EXPECT_EQ(w.runtime.messages,
              (std::vector<Message>{{"Could not store this choice\r\nThere is not enough space on the disk.", "Error",
                                     MessageIcon::Warning}}));
    EXPECT_EQ(w.files.files["/app/Config.ini"], "[VLMR]\r\nStyle=Tile\r\n");
    EXPECT_FALSE(w.runtime.ended);

    // The load's replay of a stored style is no click of the user's: nothing is said.
    ConfigWorld replay;
    replay.files.files["/app/Config.ini"] = "[Startup]\r\nEnabled=True\r\n[VLMR]\r\nStyle=Tile\r\n";
    replay.files.tornWrites.insert("/app/Config.ini");
    replay.logon.failure = Status::Fail(ErrorKind::AccessDenied, "Access is denied.");
    replay.form.Load();
    EXPECT_EQ(replay.form.Style, StyleOption::Tile);
    EXPECT_TRUE(replay.runtime.messages.empty());
}

TEST(CreditLabel, OpensTheHomePageOnBehalfOfTheStartUpWindow) {
    ConfigWorld w;
    w.form.Label1_Click();
    EXPECT_EQ(w.journal, (Journal{"FindBrowser", "StartBrowser 4242 /usr/bin/browser " + std::string(kHomePage)}));
    EXPECT_NE(w.base.view.Handle(), w.view.Handle());  // the owner is frmMain, not the configurator
}

TEST(ConfigUnload, EndsTheProgramWithoutAskingOrStoringTheChosenFolder) {
    ConfigWorld w;
    w.chooser.choices = {"/home/u/pics"};
    w.form.POpen_Click();
    ASSERT_EQ(w.form.Caption, "Dont Forget To Click Save...");
    w.journal.clear();
    w.form.Unload();
    EXPECT_EQ(w.journal, Journal{"end"});
    EXPECT_EQ(w.files.writes, 0);
    EXPECT_TRUE(w.runtime.messages.empty());
}

}  // namespace
}  // namespace vlmr::test
