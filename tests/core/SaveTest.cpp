// The save: its checks, its order of writes and messages, and what it
// leaves behind when it stops early.
#include <gtest/gtest.h>

#include <algorithm>

#include "Fakes.h"
#include "store/IniText.h"

namespace vlmr::test {
namespace {

constexpr const char* kPathError = "Path is not valid\r\nMust specify a directory not a drive";

// A configurator with a style chosen and a folder stored by an earlier save,
// and `folder` in the path field.
void Ready(ConfigWorld& w, const std::string& folder,
           const std::string& ini = "[VLMR]\r\nStyle=Tile\r\nPath=/old\r\n") {
    w.files.files["/app/Config.ini"] = ini;
    w.files.files["/app/IPaths.dat"] = "/old/x.bmp\r\n/old/y.bmp\r\n";
    w.form.Load();
    w.form.PathEdited(folder);
    w.journal.clear();
    w.files.writes = 0;
}

std::string StoredPath(ConfigWorld& w) { return IniLookup(w.files.files["/app/Config.ini"], "VLMR", "Path"); }

auto Count(const Journal& j, const std::string& entry) { return std::count(j.begin(), j.end(), entry); }

TEST(Save, EmptyPathIsRefusedBeforeAnythingIsWritten) {
    for (const char* ini : {"[VLMR]\r\nStyle=Tile\r\n", ""}) {  // the path is checked before the style
        SCOPED_TRACE(ini);
        ConfigWorld w;
        Ready(w, "", ini);
        const auto before = w.files.files;
        w.form.PSave_Click();
        EXPECT_EQ(w.journal, Journal{"message:NO PATH SET!!!"});
        ASSERT_EQ(w.runtime.messages.size(), 1u);
        EXPECT_EQ(w.runtime.messages[0].title, "Velmora");
        EXPECT_EQ(w.runtime.messages[0].icon, MessageIcon::Information);
        EXPECT_EQ(w.files.writes, 0);
        EXPECT_EQ(w.files.files, before);
    }
}

TEST(Save, NoStyleAsksForOneAfterProvingTheFolderAndWritesNoMarker) {
    ConfigWorld w;
    w.lister.AddFolder("/pics");
    w.lister.AddFile("/pics/a.bmp");
    Ready(w, "/pics", "[VLMR]\r\nPath=/old\r\n");
    w.form.PSave_Click();
    EXPECT_EQ(w.journal, (Journal{"write /pics/VLMR-Test.VLMR", "remove /pics/VLMR-Test.VLMR", "deliver",
                                  "message:Center, Tile or Stretch Wallpaper Images?"}));
    ASSERT_EQ(w.runtime.messages.size(), 1u);
    EXPECT_EQ(w.runtime.messages[0].title, "Velmora");
    EXPECT_EQ(w.runtime.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(w.files.files.count("/app/Installed"), 0u);
    EXPECT_EQ(w.files.files.count("/pics/VLMR-Test.VLMR"), 0u);
    EXPECT_FALSE(w.runtime.ended);
}

TEST(Save, AFolderThatCannotTakeTheTestFileStopsTheSaveWithNothingWritten) {
    const std::string cannot = "Could not write /no/such/VLMR-Test.VLMR\r\nfailed";
    for (ErrorKind kind : {ErrorKind::PathNotFound, ErrorKind::AccessDenied, ErrorKind::FileNotFound, ErrorKind::Other}) {
        SCOPED_TRACE(static_cast<int>(kind));
        ConfigWorld w;
        Ready(w, "/no/such");
        w.files.failing["/no/such/VLMR-Test.VLMR"] = Status::Fail(kind, "failed");
        const auto before = w.files.files;
        w.form.PSave_Click();
        const std::string text = kind == ErrorKind::PathNotFound ? kPathError : cannot;
        EXPECT_EQ(w.journal, (Journal{"write /no/such/VLMR-Test.VLMR", "message:" + text}));
        EXPECT_EQ(w.runtime.messages, (std::vector<Message>{{text, "Error", MessageIcon::Warning}}));
        EXPECT_EQ(w.files.files, before);
        EXPECT_EQ(w.form.Caption, "Velmora Configurator");
        EXPECT_FALSE(w.runtime.ended);
    }
}

TEST(Save, NothingFoundKeepsMarkerAndTheWorkingListAndLeavesTheConfiguratorOpen) {
    ConfigWorld w;
    w.lister.AddFolder("/home/u/Bilder für Anna");
    w.lister.AddFile("/home/u/Bilder für Anna/notes.txt");
    Ready(w, "/home/u/Bilder für Anna");
    w.form.PSave_Click();
    const std::string folder = "/home/u/Bilder für Anna";
    EXPECT_EQ(w.journal, (Journal{"write " + folder + "/VLMR-Test.VLMR", "remove " + folder + "/VLMR-Test.VLMR",
                                  "deliver", "write-atomic /app/Installed", "read /app/Config.ini",
                                  "read /app/Config.ini", "read /app/Config.ini",  // the options, before the scan
                                  "read /app/Config.ini",
                                  "cfg:Caption Please Wait.....", "wait:Show",
                                  "wait:Focus", "cfg:Minimize", "list " + folder, "deliver", "wait:Hide",
                                  "cfg:Restore", "cfg:Caption Velmora Configurator", "list /app/IPaths.dat",
                                  "message:No Images Found!!"}));
    ASSERT_EQ(w.runtime.messages.size(), 1u);
    EXPECT_EQ(w.runtime.messages[0].title, "Velmora");
    EXPECT_EQ(w.runtime.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(w.files.files["/app/Installed"], "07/12/2026\r\n");
    EXPECT_EQ(w.files.files["/app/IPaths.dat"], "/old/x.bmp\r\n/old/y.bmp\r\n");
    EXPECT_EQ(StoredPath(w), "/old");
    EXPECT_EQ(w.form.Caption, "Velmora Configurator");
    EXPECT_FALSE(w.waitView.visible);
    EXPECT_FALSE(w.runtime.ended);

    // The user adds a picture and saves again: the same progress window comes back.
    w.lister.AddFile("/home/u/Bilder für Anna/new.bmp");
    w.journal.clear();
    w.form.PSave_Click();
    EXPECT_EQ(Count(w.journal, "wait:Show"), 1);
    EXPECT_EQ(Count(w.journal, "wait:Hide"), 1);
    EXPECT_EQ(w.files.files["/app/IPaths.dat"], folder + "/new.bmp\r\n");
    EXPECT_TRUE(w.runtime.ended);
}

TEST(Save, NothingFoundOnAFirstInstallWritesTheEmptyList) {
    ConfigWorld w;
    w.lister.AddFolder("/jpegs");
    Ready(w, "/jpegs");
    w.files.files.erase("/app/IPaths.dat");
    w.form.PSave_Click();
    EXPECT_EQ(w.files.files.at("/app/IPaths.dat"), "");
    EXPECT_EQ(w.runtime.messages.at(0).text, "No Images Found!!");
}

TEST(Save, AFailedStoreOfTheFolderIsReportedAndNoRestartIsAsked) {
    ConfigWorld w;
    w.lister.AddFolder("/pics");
    w.lister.AddFile("/pics/a.bmp");
    Ready(w, "/pics");
    w.files.tornWrites.insert("/app/Config.ini");
    w.form.PSave_Click();
    ASSERT_EQ(w.runtime.messages.size(), 2u);
    EXPECT_EQ(w.runtime.messages[0].text, "1 Images Found");
    EXPECT_EQ(w.runtime.messages[1],
              (Message{"Could not write /app/Config.ini\r\nThere is not enough space on the disk.", "Error",
                       MessageIcon::Warning}));
    EXPECT_EQ(StoredPath(w), "/old");
    EXPECT_FALSE(w.runtime.ended);
}

TEST(Save, OneImageStoresTheFieldTextAfterTheCountAndEndsAfterTheRestartNotice) {
    ConfigWorld w;
    const std::string shortForm = "/home/u/MYPICT~1";
    w.chooser.choices = {"/home/u/My Pictures"};
    w.chooser.shortForms["/home/u/My Pictures"] = shortForm;
    w.lister.AddFolder(shortForm);
    w.lister.AddFile(shortForm + "/readme.txt");
    w.lister.AddFile(shortForm + "/one.BMP");
    Ready(w, "");
    w.files.files[shortForm + "/VLMR-Test.VLMR"] = "left over";  // overwritten, then removed
    w.form.POpen_Click();
    w.journal.clear();
    w.form.PSave_Click();
    const std::string test = shortForm + "/VLMR-Test.VLMR";
    EXPECT_EQ(Acts(w.journal),
              (Journal{"write " + test, "remove " + test, "deliver", "write-atomic /app/Installed",
                       "cfg:Caption Please Wait.....", "wait:Show", "wait:Focus", "cfg:Minimize", "list " + shortForm,
                       "deliver", "wait:Hide", "cfg:Restore", "cfg:Caption Velmora Configurator",
                       "write-atomic /app/IPaths.dat", "message:1 Images Found", "ini:write VLMR/Path=" + shortForm,
                       "write-atomic /app/Config.ini", "message:Velmora Must Be Restarted", "end"}));
    ASSERT_EQ(w.runtime.messages.size(), 2u);
    for (const Message& m : w.runtime.messages) {
        EXPECT_EQ(m.title, "VLMR");
        EXPECT_EQ(m.icon, MessageIcon::Information);
    }
    EXPECT_EQ(w.files.files["/app/IPaths.dat"], shortForm + "/one.BMP\r\n");
    EXPECT_EQ(StoredPath(w), shortForm);
    EXPECT_EQ(IniLookup(w.files.files["/app/Config.ini"], "VLMR", "Style"), "Tile");
    EXPECT_EQ(w.files.files.count(test), 0u);
    EXPECT_TRUE(w.runtime.ended);
}

TEST(Save, AFailedListWriteIsNoSuccessAndALaterSaveStartsAfresh) {
    ConfigWorld w;
    w.lister.AddFolder("/first");
    w.lister.AddFile("/first/a.bmp");
    w.lister.AddFolder("/second");
    w.lister.AddFile("/second/b.bmp");
    Ready(w, "/first");
    w.files.tornWrites.insert("/app/IPaths.dat");
    w.form.PSave_Click();
    ASSERT_GE(w.journal.size(), 2u);
    EXPECT_EQ(Journal(w.journal.end() - 2, w.journal.end()),
              (Journal{"write-atomic /app/IPaths.dat", "message:" + w.runtime.messages.at(0).text}));
    ASSERT_EQ(w.runtime.messages.size(), 1u);
    EXPECT_EQ(w.runtime.messages[0].text.rfind("An error has occured", 0), 0u);
    EXPECT_EQ(w.files.files["/app/IPaths.dat"], "/old/x.bmp\r\n/old/y.bmp\r\n");
    EXPECT_EQ(StoredPath(w), "/old");
    EXPECT_EQ(w.form.IList.Count(), 0u);
    EXPECT_EQ(w.form.Caption, "Velmora Configurator");
    EXPECT_FALSE(w.runtime.ended);

    w.files.tornWrites.clear();
    w.form.PathEdited("/second");
    w.form.PSave_Click();
    EXPECT_EQ(w.files.files["/app/IPaths.dat"], "/second/b.bmp\r\n");
    EXPECT_EQ(w.runtime.messages.at(1).text, "1 Images Found");
    EXPECT_EQ(StoredPath(w), "/second");
    EXPECT_TRUE(w.runtime.ended);
}

TEST(Save, ThePictureTypesStoredAtTheSaveJoinTheScan) {
    ConfigWorld w;
    RecordingLogFile log;
    w.lister.AddFolder("/mixed");
    for (const char* name : {"a.bmp", "b.JPG", "c.png", "d.webp", "e.gif", "f.jpeg"})
        w.lister.AddFile(std::string("/mixed/") + name);
    Ready(w, "/mixed");
    // Chosen after the configurator opened; a type this system does not offer is passed by.
    w.files.files["/app/Config.ini"] += "[Options]\r\nTypes=.PNG .WEBP .JPG\r\n";
    w.form.PSave_Click();
    EXPECT_EQ(w.files.files["/app/IPaths.dat"], "/mixed/a.bmp\r\n/mixed/b.JPG\r\n/mixed/c.png\r\n");
    const std::vector<std::string> said = log.Messages();
    EXPECT_NE(std::find(said.begin(), said.end(), "info save: picture types .BMP .PNG .JPG"), said.end());
    EXPECT_TRUE(w.runtime.ended);
}

TEST(Save, ADriveRootGetsNoDoubledSeparator) {
    ConfigWorld w("C:\\Wall\\VLMR.exe", '\\', true);
    w.lister.AddFolder("D:\\");
    w.lister.AddFile("D:\\a.bmp");
    w.lister.AddFolder("D:\\Pics");
    w.lister.AddFile("D:\\Pics\\p.bmp");
    Ready(w, "D:\\");
    w.form.PSave_Click();
    EXPECT_EQ(w.journal.front(), "write D:\\VLMR-Test.VLMR");
    EXPECT_EQ(w.files.files["/app/IPaths.dat"], "D:\\Pics\\p.bmp\r\nD:\\a.bmp\r\n");
    EXPECT_EQ(StoredPath(w), "D:\\");
}

}  // namespace
}  // namespace vlmr::test
