// The options window's presenter: what opening it shows, and what each
// change of a control stores in [Options].
#include <gtest/gtest.h>

#include "Fakes.h"
#include "config/frmOptions.h"
#include "store/IniText.h"

namespace vlmr::test {
namespace {

const char* const kTypeNames[] = {"Jpeg", "Png", "Gif", "Webp"};
const char* const kProportionNames[] = {"Stretch", "Fill", "Fit"};

class FakeOptionsView : public OptionsView {
public:
    explicit FakeOptionsView(Journal& j) : journal(j) {}
    void Show() override { journal.push_back("opt:Show"); }
    void ShowType(PictureType type, bool shown) override {
        journal.push_back(std::string(shown ? "opt:Shown " : "opt:Hidden ") + Name(type));
    }
    void SetTypeCheck(PictureType type, bool checked) override {
        journal.push_back(std::string("opt:") + Name(type) + (checked ? " on" : " off"));
    }
    void SetProportions(Proportions p) override {
        journal.push_back(std::string("opt:Stretching ") + kProportionNames[static_cast<int>(p)]);
    }
    void SetNoRepeatsCheck(bool checked) override {
        journal.push_back(checked ? "opt:NoRepeats on" : "opt:NoRepeats off");
    }
    void SetPerMonitorCheck(bool checked) override {
        journal.push_back(checked ? "opt:PerMonitor on" : "opt:PerMonitor off");
    }
    static const char* Name(PictureType type) { return kTypeNames[static_cast<int>(type)]; }
    Journal& journal;
};

struct OptionsWorld {
    explicit OptionsWorld(const std::string& ini = "") {
        if (!ini.empty()) base.files.files["/app/Config.ini"] = ini;
    }
    std::string Stored(const char* key) { return IniLookup(base.files.files["/app/Config.ini"], "Options", key); }

    World base;
    RecordingSettings settings{base.journal, base.settings};
    FakeOptionsView view{base.journal};
    frmOptions form{base.runtime, settings, view};
};

TEST(OptionsWindow, OpeningShowsTheStoredOptionsAndWritesNothing) {
    struct Case {
        const char* ini;
        std::array<bool, 4> types;
        Proportions proportions;
        bool noRepeats;
        bool perMonitor;
    };
    const Case cases[] = {
        {"", {}, Proportions::Stretch, false, false},
        {"[Options]\r\nTypes=.JPG .JPEG .PNG\r\nProportions=Fill\r\nNoRepeats=True\r\n",
         {true, true, false, false}, Proportions::Fill, true, false},
        {"[Options]\r\nTypes=.GIF\r\nProportions=Fit\r\nPerMonitor=True\r\n", {false, false, true, false},
         Proportions::Fit, false, true},
        // Either JPEG extension alone brings JPEG pictures in.
        {"[Options]\r\nTypes=.JPEG\r\n", {true, false, false, false}, Proportions::Stretch, false, false},
        // Words in another case or form, and types this system does not offer, are the defaults.
        {"[Options]\r\nTypes=.png .WEBP .TIFF\r\nProportions=fill\r\nNoRepeats=true\r\nPerMonitor=true\r\n", {},
         Proportions::Stretch, false, false},
        {"[Options]\r\nProportions=Zoom\r\nNoRepeats=1\r\nPerMonitor=1\r\n", {}, Proportions::Stretch, false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        OptionsWorld w(c.ini);
        w.form.Open();
        EXPECT_EQ(Acts(w.base.journal),
                  (Journal{"opt:Shown Jpeg", std::string("opt:Jpeg ") + (c.types[0] ? "on" : "off"), "opt:Shown Png",
                           std::string("opt:Png ") + (c.types[1] ? "on" : "off"), "opt:Shown Gif",
                           std::string("opt:Gif ") + (c.types[2] ? "on" : "off"), "opt:Hidden Webp", "opt:Webp off",
                           std::string("opt:Stretching ") + kProportionNames[static_cast<int>(c.proportions)],
                           std::string("opt:NoRepeats ") + (c.noRepeats ? "on" : "off"),
                           std::string("opt:PerMonitor ") + (c.perMonitor ? "on" : "off"), "opt:Show"}));
        EXPECT_EQ(w.form.TypeChecked, c.types);
        EXPECT_EQ(w.form.Stretching, c.proportions);
        EXPECT_EQ(w.form.NoRepeats, c.noRepeats);
        EXPECT_EQ(w.form.PerMonitor, c.perMonitor);
        EXPECT_EQ(w.base.files.writes, 0);
    }

    // Where the system offers WebP, its box shows, with what is stored.
    OptionsWorld webp("[Options]\r\nTypes=.WEBP\r\n");
    webp.base.runtime.offeredTypes.push_back(".WEBP");
    webp.form.Load();
    EXPECT_EQ(webp.form.TypeChecked, (std::array<bool, 4>{false, false, false, true}));
    EXPECT_EQ(std::count(webp.base.journal.begin(), webp.base.journal.end(), "opt:Shown Webp"), 1);
}

TEST(OptionsWindow, EachChangeStoresItsOptionAtOnceAndOnlyOnAChange) {
    OptionsWorld w("[VLMR]\r\nStyle=Stretch\r\n");
    w.base.runtime.offeredTypes.push_back(".WEBP");
    w.form.Load();
    w.base.journal.clear();

    // JPEG is both its extensions; the list follows the boxes' order, whatever the order of the clicks.
    w.form.SetType(PictureType::Png, true);
    w.form.SetType(PictureType::Jpeg, true);
    w.form.SetType(PictureType::Webp, true);
    w.form.SetType(PictureType::Jpeg, true);  // no change
    w.form.SetType(PictureType::Png, false);
    EXPECT_EQ(Acts(w.base.journal),
              (Journal{"opt:Png on", "ini:write Options/Types=.PNG", "write-atomic /app/Config.ini", "opt:Jpeg on",
                       "ini:write Options/Types=.JPG .JPEG .PNG", "write-atomic /app/Config.ini", "opt:Webp on",
                       "ini:write Options/Types=.JPG .JPEG .PNG .WEBP", "write-atomic /app/Config.ini", "opt:Png off",
                       "ini:write Options/Types=.JPG .JPEG .WEBP", "write-atomic /app/Config.ini"}));
    w.form.SetType(PictureType::Jpeg, false);
    w.form.SetType(PictureType::Webp, false);
    EXPECT_EQ(w.Stored("Types"), "");

    w.base.journal.clear();
    for (const Proportions p : {Proportions::Fill, Proportions::Fill, Proportions::Fit, Proportions::Stretch}) {
        w.form.SelectProportions(p);
        EXPECT_EQ(w.Stored("Proportions"), kProportionNames[static_cast<int>(p)]);
    }
    w.form.SetNoRepeats(true);
    EXPECT_EQ(w.Stored("NoRepeats"), "True");
    w.form.SetNoRepeats(false);
    EXPECT_EQ(w.Stored("NoRepeats"), "False");
    w.form.SetPerMonitor(true);
    w.form.SetPerMonitor(true);  // no change
    EXPECT_EQ(w.Stored("PerMonitor"), "True");
    w.form.SetPerMonitor(false);
    EXPECT_EQ(w.Stored("PerMonitor"), "False");
    EXPECT_EQ(std::count_if(w.base.journal.begin(), w.base.journal.end(),
                            [](const std::string& e) { return e.rfind("ini:write", 0) == 0; }),
              7)
        << "choosing Fill or ticking PerMonitor twice wrote twice";
    // The rest of the file stays as it was.
    EXPECT_EQ(IniLookup(w.base.files.files["/app/Config.ini"], "VLMR", "Style"), "Stretch");
    EXPECT_TRUE(w.base.runtime.messages.empty());
}

TEST(OptionsWindow, AFailedStoreShowsTheConfiguratorsBoxAndTheControlKeepsItsState) {
    OptionsWorld w("[Options]\r\nNoRepeats=True\r\n");
    w.form.Load();
    w.base.files.tornWrites.insert("/app/Config.ini");
    w.form.SetNoRepeats(false);
    w.form.SetType(PictureType::Gif, true);
    const Message box{"Could not store this choice\r\nThere is not enough space on the disk.", "Error",
                      MessageIcon::Warning};
    EXPECT_EQ(w.base.runtime.messages, (std::vector<Message>{box, box}));
    EXPECT_FALSE(w.form.NoRepeats);
    EXPECT_TRUE(w.form.TypeChecked[static_cast<int>(PictureType::Gif)]);
    EXPECT_EQ(w.base.files.files["/app/Config.ini"], "[Options]\r\nNoRepeats=True\r\n");
}

}  // namespace
}  // namespace vlmr::test
