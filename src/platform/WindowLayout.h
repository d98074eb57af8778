#pragma once
// What a window of the program looks like, as data: the window itself and
// each of its controls, placed in twips (1/1440 inch, 15 to the pixel at
// 96 dpi). Both front ends build their windows from these tables and test
// them against the same tables, so a place, a caption or a colour is
// written down once.
#include <cstddef>
#include <span>
#include <string_view>

namespace vlmr::layout {

// A rectangle relative to the container's client area, in twips.
struct Twips {
    int left = 0, top = 0, width = 0, height = 0;
};

enum class Kind {
    Frame,          // a captioned frame; the controls placed in it are its children
    TextBox,        // a single-line text box
    PictureButton,  // a picture in a one-pixel border that acts as a button
    Option,         // an option button; options next to each other in tab order are one group
    CheckBox,
    Label,          // every label of the program also acts on a click
};

enum class Align { Left, Right };

struct Font {
    const char* face = "MS Sans Serif";  // where it is not installed, the system's dialog face
    double points = 8.25;
    bool bold = false;
    bool underline = false;
};
inline constexpr Font kDialogFont{};
inline constexpr Font kDialogBold{.bold = true};

// The system's own colour for the place it is used in (the dialog face
// behind, the control's ordinary text in front), or a fixed one.
struct Colour {
    bool fixed = false;
    unsigned char red = 0, green = 0, blue = 0;
};
inline constexpr Colour kSystemColour{};
constexpr Colour Rgb(unsigned char red, unsigned char green, unsigned char blue) { return {true, red, green, blue}; }

struct Control {
    const char* name;       // the control's name, also the name the front end gives it
    Kind kind;
    const char* container;  // a frame of the same table, or nullptr for the window
    const char* caption;    // a picture button's is its accessible name
    Twips place;
    int tabIndex;
    Font font = kDialogFont;
    Colour colour = kSystemColour;  // of the text
    Align align = Align::Left;
    const char* picture = nullptr;  // a picture button's picture
};

struct Window {
    const char* caption;
    int width, height;  // the client area, in twips
    Colour background = kSystemColour;
    Font font = kDialogFont;         // for text no control sets its own font for
    const char* picture = nullptr;  // drawn at the top left at its own size
};

constexpr const Control* Find(std::span<const Control> table, std::string_view name) {
    for (const Control& control : table)
        if (name == control.name) return &control;
    return nullptr;
}

// A table lists its controls in tab order, each container before what it
// holds, and every container is a frame: the front ends create the controls
// in table order and rely on it.
constexpr bool WellFormed(std::span<const Control> table) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i > 0 && table[i].tabIndex <= table[i - 1].tabIndex) return false;
        if (!table[i].container) continue;
        const Control* container = Find(table.first(i), table[i].container);
        if (!container || container->kind != Kind::Frame) return false;
    }
    return true;
}

}  // namespace vlmr::layout
