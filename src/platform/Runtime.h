#pragma once
// What the program needs from its process and its desktop session.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vlmr {

enum class MessageIcon { None, Information, Warning, Question };

// Opaque handle of a real window, handed back to the platform as an owner.
using WindowHandle = std::uintptr_t;

enum class InstanceCheck { Alone, AnotherRunning, Failed };

class Runtime {
public:
    virtual ~Runtime() = default;

    // Is another copy of the program running? Holds the claim for this one.
    virtual InstanceCheck CheckOtherInstance() = 0;
    // The command-line text after the program's own name, as one string.
    virtual std::string CommandLineText() = 0;
    // Where the program keeps its data files.
    virtual std::string AppFolder() = 0;
    // A data file of the application folder: the folder, the platform's
    // separator and the name, joined without any test for a trailing separator.
    virtual std::string AppFile(std::string_view name) = 0;
    // The picture to show when the draw gave no image.
    virtual std::string FallbackImage() = 0;
    // A modal box with one OK button; returns when the user dismisses it.
    virtual void ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) = 0;
    // Let the platform process every window message waiting now.
    virtual void DeliverPendingMessages() = 0;
    // Destroy every window and end the process. A real runtime never returns;
    // a test runtime records the call and the caller returns at once.
    virtual void EndProgram() = 0;
    // Local time of day, in seconds since midnight with the fraction.
    virtual double SecondsSinceMidnight() = 0;
    // Today's date in the user's short date form.
    virtual std::string TodayShortDate() = 0;
    // The picture types, besides bitmaps, that this system's desktops can
    // show, as extensions in capitals (".JPG"): what a user may turn on.
    virtual std::vector<std::string> OfferedPictureTypes() = 0;
};

// The title a message box carries when the program gives none.
inline constexpr std::string_view kAppTitle = "VLMR";

}  // namespace vlmr
