#include "config/frmOptions.h"

#include <algorithm>

#include "config/ChoiceStored.h"
#include "store/INIMod.h"

namespace vlmr {

namespace {

std::vector<std::string> ExtensionsFor(PictureType type) {
    switch (type) {
        case PictureType::Jpeg: return {std::string(kJpegTypes[0]), std::string(kJpegTypes[1])};
        case PictureType::Png: return {std::string(kPngType)};
        case PictureType::Gif: return {std::string(kGifType)};
        case PictureType::Webp: return {std::string(kWebpType)};
    }
    return {};
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// The words a proportions mode is stored as; Stretch is what any other word means too.
std::string_view WordOf(Proportions proportions) {
    switch (proportions) {
        case Proportions::Fill: return "Fill";
        case Proportions::Fit: return "Fit";
        case Proportions::Stretch: break;
    }
    return "Stretch";
}

}  // namespace

frmOptions::frmOptions(Runtime& runtime, SettingsStore& settings, OptionsView& view)
    : runtime_(runtime), settings_(settings), view_(view) {}

std::vector<std::string> frmOptions::ExtensionsOf(PictureType type) {
    std::vector<std::string> extensions = ExtensionsFor(type);
    for (const std::string& extension : extensions)
        if (!Contains(offered_, extension)) return {};
    return extensions;
}

void frmOptions::Open() {
    Load();
    view_.Show();
}

void frmOptions::Load() {
    offered_ = runtime_.OfferedPictureTypes();
    const Options stored = ReadOptions(settings_, runtime_.AppFile("Config.ini"), offered_);
    for (const PictureType type : kPictureTypes) {
        const std::vector<std::string> extensions = ExtensionsOf(type);
        // JPEG counts as on with either of its extensions: a hand-written
        // ".JPG" alone already brings JPEG pictures in.
        bool& checked = TypeChecked[static_cast<std::size_t>(type)];
        checked = std::any_of(extensions.begin(), extensions.end(),
                              [&](const std::string& extension) { return Contains(stored.types, extension); });
        view_.ShowType(type, !extensions.empty());
        view_.SetTypeCheck(type, checked);
    }
    Stretching = stored.proportions;
    view_.SetProportions(Stretching);
    NoRepeats = stored.noRepeats;
    view_.SetNoRepeatsCheck(NoRepeats);
    PerMonitor = stored.perMonitor;
    view_.SetPerMonitorCheck(PerMonitor);
}

void frmOptions::SetType(PictureType type, bool checked) {
    bool& state = TypeChecked[static_cast<std::size_t>(type)];
    if (state == checked) return;
    state = checked;
    view_.SetTypeCheck(type, checked);
    // The whole list, in the boxes' order: a type is on or off as its box shows.
    std::vector<std::string> types;
    for (const PictureType each : kPictureTypes) {
        if (!TypeChecked[static_cast<std::size_t>(each)]) continue;
        for (std::string& extension : ExtensionsOf(each)) types.push_back(std::move(extension));
    }
    Store(kTypesKey, TypesValue(types));
}

void frmOptions::SelectProportions(Proportions proportions) {
    if (Stretching == proportions) return;
    Stretching = proportions;
    view_.SetProportions(proportions);
    Store(kProportionsKey, WordOf(proportions));
}

void frmOptions::SetNoRepeats(bool checked) {
    if (NoRepeats == checked) return;
    NoRepeats = checked;
    view_.SetNoRepeatsCheck(checked);
    Store(kNoRepeatsKey, checked ? "True" : "False");
}

void frmOptions::SetPerMonitor(bool checked) {
    if (PerMonitor == checked) return;
    PerMonitor = checked;
    view_.SetPerMonitorCheck(checked);
    Store(kPerMonitorKey, checked ? "True" : "False");
}

void frmOptions::Store(std::string_view key, std::string_view value) {
    const std::string file = runtime_.AppFile("Config.ini");
    ReportUnstoredChoice(runtime_, WriteIniValue(settings_, kOptionsSection, key, value, file));
}

}  // namespace vlmr
