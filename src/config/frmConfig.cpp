#include "config/frmConfig.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "BuildConfig.h"
#include "boot/ModMain.h"
#include "config/ChoiceStored.h"
#include "config/FolderScan.h"
#include "shell/OpenWebPage.h"
#include "store/INIMod.h"
#include "store/ImageListFile.h"
#include "store/LogonEntry.h"
#include "store/Options.h"
#include "store/RunLog.h"
#include "store/StyleWords.h"

namespace vlmr {

namespace {
// The options stand in the order of the style codes.
std::string_view WordOf(StyleOption option) { return kStyleWords[static_cast<std::size_t>(option)].word; }

// The scan's length for the log, to a hundredth of a second.
std::string SecondsSince(std::chrono::steady_clock::time_point start) {
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", taken.count());
    return text;
}
}  // namespace

frmConfig::frmConfig(ConfigServices services, ConfigView& view, CWait& wait,
                     std::function<WindowHandle()> webOwner)
    : s_(std::move(services)), view_(view), wait_(wait), webOwner_(std::move(webOwner)) {}

std::string frmConfig::SettingsFile() { return s_.base.runtime.AppFile("Config.ini"); }

void frmConfig::Load() {
    // Restoring the stored choices is no choice of the user's: a failure to
    // store them again changes nothing the user did, so it is not reported.
    replaying_ = true;
    SettingsStore& settings = s_.base.settings;
    SetLStart(ReadIniValue(settings, "Startup", "Enabled", SettingsFile()) == "True" ? vbChecked : vbUnchecked);
    Stile = ReadIniValue(settings, "VLMR", "Style", SettingsFile());
    if (const std::optional<std::int32_t> code = StyleCode(Stile)) SelectStyle(static_cast<StyleOption>(*code));
    replaying_ = false;
}

void frmConfig::Unload() { s_.base.runtime.EndProgram(); }

void frmConfig::SetLStart(int state) {
    if (state == LStart) return;
    LStart = state;
    view_.SetStartupCheck(state == vbChecked);
    LStart_Click();
}

void frmConfig::LStart_Click() {
    // The logon list first, then the record of the choice; each is tried
    // whatever became of the other.
    const bool on = LStart == vbChecked;
    const Status listed = on ? SetRegistryString(s_.logon, kLogonEntryName, s_.executablePath)
                             : DeleteRegistryValue(s_.logon, kLogonEntryName);
    const Status recorded = WriteIniValue(s_.base.settings, "Startup", "Enabled", on ? "True" : "False", SettingsFile());
    ChoiceStored(listed ? recorded : listed);
}

void frmConfig::SelectStyle(StyleOption option) {
    if (Style == option) return;
    Style = option;
    view_.SetStyleOption(option);
    StyleClick(option);
}

void frmConfig::StyleClick(StyleOption option) {
    ChoiceStored(WriteIniValue(s_.base.settings, "VLMR", "Style", WordOf(option), SettingsFile()));
}

void frmConfig::ChoiceStored(const Status& stored) { ReportUnstoredChoice(s_.base.runtime, stored, !replaying_); }

void frmConfig::SetCaption(const std::string& caption) {
    Caption = caption;
    view_.SetCaption(caption);
}

void frmConfig::POpen_Click() {
    IPath = s_.chooser.GetShortPath(s_.chooser.BrowseForImageFolder());
    view_.SetPathText(IPath);
    if (IPath.empty()) return;
    SetCaption("Dont Forget To Click Save...");
}

void frmConfig::PSave_Click() {
    Runtime& rt = s_.base.runtime;
    FileSystem& fs = s_.base.files;
    const std::string folder = IPath;
    // The empty field is refused before anything is written: a test file
    // named after an empty folder would land in the root of the drive.
    if (folder.empty()) {
        LogError("save: no folder chosen");
        rt.ShowMessage("NO PATH SET!!!", "Velmora", MessageIcon::Information);
        return;
    }
    LogInfo("save: folder " + folder);
    // Prove the folder exists and can be written to.
    const std::string testFile = s_.lister.JoinPath(folder, "VLMR-Test.VLMR");
    if (Status st = fs.WriteTextFile(testFile, "Testing 4 Valid Path\r\n"); !st) return SaveFailed(st, testFile);
    if (Status st = fs.RemoveFile(testFile); !st) return SaveFailed(st, testFile);
    rt.DeliverPendingMessages();

    if (!Style) {
        LogError("save: no style chosen");
        rt.ShowMessage("Center, Tile or Stretch Wallpaper Images?", "Velmora", MessageIcon::Question);
        return;
    }
    const std::string marker = rt.AppFile("Installed");
    if (Status st = fs.WriteTextFileAtomic(marker, rt.TodayShortDate() + "\r\n"); !st) return SaveFailed(st, marker);

    // The picture types as stored now: the options window may have changed
    // them since the configurator opened.
    const Options options = ReadOptions(s_.base.settings, SettingsFile(), rt.OfferedPictureTypes());
    if (!options.types.empty()) LogInfo("save: picture types .BMP " + TypesValue(options.types));

    SetCaption("Please Wait.....");
    wait_.Show();
    wait_.Focus();
    view_.Minimize();
    const auto started = std::chrono::steady_clock::now();
    RecurseFolderList(folder, options.types);
    LogInfo("save: " + std::to_string(IList.Count()) + " images found in " + SecondsSince(started) + " s");
    rt.DeliverPendingMessages();
    wait_.Hide();
    view_.Restore();
    SetCaption(kTitle);

    // A scan that found nothing (a folder of JPEG files, say) must not cost
    // the user the list that works: only a first install, which has none,
    // gets the empty list, and with it the fallback picture.
    const std::string listFile = rt.AppFile("IPaths.dat");
    const bool keepOldList = IList.Count() == 0 && FileExists(fs, listFile).value_or(true);
    // A list that could not be written is no success: the old list stays
    // whole, and this run's findings go so a later save starts afresh.
    if (!keepOldList && !SaveListToFile(fs, rt, listFile, IList)) {
        IList.Clear();
        return;
    }
    if (IList.Count() == 0) {
        LogError(keepOldList ? "save: no images found; the image list " + listFile + " is kept as it was"
                             : "save: no images found; the image list " + listFile + " is empty");
        rt.ShowMessage("No Images Found!!", "Velmora", MessageIcon::Warning);
        return;
    }
    rt.ShowMessage(std::to_string(IList.Count()) + " Images Found", kAppTitle, MessageIcon::Information);
    if (Status st = WriteIniValue(s_.base.settings, "VLMR", "Path", folder, SettingsFile()); !st)
        return SaveFailed(st, SettingsFile());
    LogInfo("save: " + std::to_string(IList.Count()) + " images written to " + listFile);
    rt.ShowMessage("Velmora Must Be Restarted", kAppTitle, MessageIcon::Information);
    Unload();
}

void frmConfig::SaveFailed(const Status& failure, const std::string& file) {
    LogError("save: could not write " + file + ": " + Reason(failure));
    // A save that ends without a word leaves the user thinking it worked.
    if (failure.kind == ErrorKind::PathNotFound)
        s_.base.runtime.ShowMessage("Path is not valid\r\nMust specify a directory not a drive", "Error",
                                    MessageIcon::Warning);
    else
        s_.base.runtime.ShowMessage("Could not write " + file + "\r\n" + failure.description, "Error",
                                    MessageIcon::Warning);
}

void frmConfig::RecurseFolderList(const std::string& folder, const std::vector<std::string>& types) {
    MessagePacer pacer([this] { s_.base.runtime.DeliverPendingMessages(); });
    ScanFolderTree(s_.lister, folder, IList, pacer, types);
}

void frmConfig::Label1_Click() { OpenWebPage(s_.base.runtime, s_.base.shell, webOwner_(), kHomePage); }

void frmConfig::MouseDown(PictureButton button) { view_.SetButtonSunken(button, true); }

void frmConfig::MouseUp(PictureButton button) { view_.SetButtonSunken(button, false); }

}  // namespace vlmr
