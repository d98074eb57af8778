#include <gtest/gtest.h>

#include "Fakes.h"

namespace vlmr::test {
TEST(Smoke, BootRunAppliesStretch) {
    World w;
    w.files.files["/app/Installed"] = "x\r\n";
    w.files.files["/app/IPaths.dat"] = "/p/a.bmp\r\n";
    w.files.files["/app/Config.ini"] = "[VLMR]\r\nStyle=Stretch\r\n";
    FakeMainView view(w.journal);
    frmMain form(w.services, view, [&] { w.journal.push_back("config"); });
    form.Load();
    EXPECT_TRUE(w.runtime.ended);
    EXPECT_NE(std::find(w.journal.begin(), w.journal.end(), "SetWallpaper /p/a.bmp"), w.journal.end());
}
}  // namespace vlmr::test
