#pragma once
// The configurator window: the image folder, the wallpaper style and
// "Load At Startup". The style and the start-up choice are stored the
// moment they change; the folder waits for the save.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "boot/frmMain.h"
#include "config/CWait.h"
#include "config/ConfiguratorLayout.h"
#include "platform/FolderLister.h"
#include "platform/FolderChooser.h"
#include "platform/LogonList.h"
#include "store/ListBox.h"

namespace vlmr {

// In the order of the wallpaper style codes (Center 0, Tile 1, Stretch 2).
enum class StyleOption { Center, Tile, Stretch };
enum class PictureButton { Save, Open };

// Check box states as the window toolkit reports them.
enum CheckState : int { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };

// What a real configurator window must do for the presenter.
class ConfigView {
public:
    virtual ~ConfigView() = default;
    virtual void Show() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetPathText(const std::string& text) = 0;
    virtual void SetStartupCheck(bool checked) = 0;
    virtual void SetStyleOption(std::optional<StyleOption> option) = 0;
    // Sunken three-dimensional edge while pressed, flat otherwise.
    virtual void SetButtonSunken(PictureButton button, bool sunken) = 0;
    virtual void Minimize() = 0;
    virtual void Restore() = 0;
    virtual WindowHandle Handle() = 0;
};

struct ConfigServices {
    Services base;
    LogonList& logon;
    FolderChooser& chooser;
    FolderLister& lister;
    std::string executablePath;  // what logon starts
};

class frmConfig {
public:
    frmConfig(ConfigServices services, ConfigView& view, CWait& wait, std::function<WindowHandle()> webOwner);

    // Reads the settings and restores the check box and the style option;
    // a state that changes runs its click action, as a user's click would.
    void Load();
    // The window goes away: the program ends, nothing is asked or saved.
    void Unload();

    // Setting a state from code or by the user: runs the click action only
    // when the state changes.
    void SetLStart(int state);
    void SelectStyle(StyleOption option);

    void POpen_Click();
    // Proves the folder, collects its images, writes the list and ends the
    // program asking for a restart.
    void PSave_Click();
    // Adds every bitmap under the folder to IList, and every file of the
    // extra picture types (extensions in capitals, ".JPG").
    void RecurseFolderList(const std::string& folder, const std::vector<std::string>& types = {});
    void Label1_Click();
    void MouseDown(PictureButton button);
    void MouseUp(PictureButton button);
    // The user typed or pasted into the path field.
    void PathEdited(const std::string& text) { IPath = text; }

    static constexpr const char* kTitle = kConfiguratorWindow.caption;

    std::string IPath;
    int LStart = vbUnchecked;
    std::optional<StyleOption> Style;
    std::string Stile;
    ListBox IList;
    std::string Caption = kTitle;

private:
    void LStart_Click();
    void StyleClick(StyleOption option);
    void SetCaption(const std::string& caption);
    std::string SettingsFile();
    // Tells why the save stopped at writing file; nothing is written after it.
    void SaveFailed(const Status& failure, const std::string& file);
    // Tells the user when a click of theirs could not be stored.
    void ChoiceStored(const Status& stored);

    ConfigServices s_;
    ConfigView& view_;
    CWait& wait_;
    std::function<WindowHandle()> webOwner_;
    bool replaying_ = false;
};

}  // namespace vlmr
