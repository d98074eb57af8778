// Choosing the image folder: the short form lands in the path field and the
// title reminds the user to save; a cancel empties the field.
#include <gtest/gtest.h>

#include "Fakes.h"

namespace vlmr::test {
namespace {

constexpr const char* kReminder = "Dont Forget To Click Save...";

TEST(FolderChoice, AChoicePutsItsShortFormInTheFieldAndTheReminderInTheTitle) {
    ConfigWorld w;
    w.chooser.choices = {"C:\\Documents and Settings\\Anna\\My Pictures"};
    w.chooser.shortForms["C:\\Documents and Settings\\Anna\\My Pictures"] = "C:\\DOCUME~1\\Anna\\MYPICT~1";
    w.form.POpen_Click();
    EXPECT_EQ(w.journal, (Journal{"browse", "short C:\\Documents and Settings\\Anna\\My Pictures",
                                  "cfg:Path C:\\DOCUME~1\\Anna\\MYPICT~1", std::string("cfg:Caption ") + kReminder}));
    EXPECT_EQ(w.form.IPath, "C:\\DOCUME~1\\Anna\\MYPICT~1");
    EXPECT_EQ(w.form.Caption, kReminder);
    EXPECT_EQ(w.files.writes, 0);  // nothing is stored before the save
    EXPECT_TRUE(w.runtime.messages.empty());
}

TEST(FolderChoice, CancelFirstLeavesFieldEmptyAndTitleAlone) {
    ConfigWorld w;
    w.chooser.choices = {""};
    w.form.POpen_Click();
    EXPECT_EQ(w.form.IPath, "");
    EXPECT_EQ(w.form.Caption, "Velmora Configurator");
    for (const std::string& e : w.journal) EXPECT_NE(e.rfind("cfg:Caption", 0), 0u) << e;
    EXPECT_TRUE(w.runtime.messages.empty());
}

TEST(FolderChoice, NoShortFormCountsAsACancel) {
    ConfigWorld w;
    w.chooser.choices = {"/media/gone"};
    w.chooser.shortForms["/media/gone"] = "";
    w.form.POpen_Click();
    EXPECT_EQ(w.form.IPath, "");
    EXPECT_EQ(w.form.Caption, "Velmora Configurator");
    EXPECT_EQ(w.journal.back(), "cfg:Path ");
}

TEST(FolderChoice, LaterChoicesReplaceTheFieldAndACancelEmptiesItButKeepsTheReminder) {
    ConfigWorld w;
    w.chooser.choices = {"/home/u/first", "/home/u/second", ""};
    w.form.POpen_Click();
    w.form.POpen_Click();
    EXPECT_EQ(w.form.IPath, "/home/u/second");
    EXPECT_EQ(w.form.Caption, kReminder);

    w.journal.clear();
    w.form.POpen_Click();
    EXPECT_EQ(w.form.IPath, "");
    EXPECT_EQ(w.journal.back(), "cfg:Path ");  // the view is emptied too
    EXPECT_EQ(w.form.Caption, kReminder);
}

TEST(FolderChoice, ATypedPathIsWhatTheSaveUses) {
    ConfigWorld w;
    w.chooser.choices = {"/home/u/chosen"};
    w.form.POpen_Click();
    w.form.PathEdited("/home/u/typed");
    w.journal.clear();
    w.form.PSave_Click();  // no style selected: the save stops after proving the folder
    EXPECT_EQ(w.journal, (Journal{"write /home/u/typed/VLMR-Test.VLMR", "remove /home/u/typed/VLMR-Test.VLMR",
                                  "deliver", "message:Center, Tile or Stretch Wallpaper Images?"}));
}

}  // namespace
}  // namespace vlmr::test
