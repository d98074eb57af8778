#include "win32/ControlSet.h"

#include <cstring>

#include "win32/ClickLabel.h"
#include "win32/DialogFont.h"
#include "win32/Dpi.h"
#include "win32/FrameControl.h"
#include "win32/LayoutColour.h"
#include "win32/PictureBox.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

struct ControlSet::Entry {
    const layout::Control* row;
    HWND window;
    std::unique_ptr<FrameControl> frame;
    std::unique_ptr<PictureBox> picture;
};

namespace {

using layout::Kind;

HWND CreateControl(HINSTANCE instance, HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style,
                   int id) {
    return CreateWindowExW(0, windowClass, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

bool SameFont(const layout::Font& a, const layout::Font& b) {
    return std::strcmp(a.face, b.face) == 0 && a.points == b.points && a.bold == b.bold &&
           a.underline == b.underline;
}

}  // namespace

ControlSet::ControlSet() = default;
ControlSet::~ControlSet() = default;

void ControlSet::Create(HINSTANCE instance, HWND window, std::span<const layout::Control> table, int firstId) {
    for (const layout::Control& row : table) {
        const Entry* container = row.container ? EntryOf(row.container) : nullptr;
        FrameControl* frame = container ? container->frame.get() : nullptr;
        const HWND parent = container ? container->window : window;
        const int id = firstId + row.tabIndex;
        Entry entry{&row, nullptr, nullptr, nullptr};
        switch (row.kind) {
            case Kind::Frame:
                entry.frame = std::make_unique<FrameControl>(instance, parent, id, Widen(row.caption).c_str());
                entry.window = entry.frame->Window();
                break;
            case Kind::TextBox:
                entry.window = CreateControl(instance, parent, L"EDIT", row.caption,
                                             WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, id);
                // As high as its text: the frame draws its line around it.
                if (frame) frame->OutlineChild(entry.window);
                break;
            case Kind::PictureButton:
                entry.picture =
                    std::make_unique<PictureBox>(instance, parent, id, Widen(row.caption).c_str(), row.picture);
                entry.window = entry.picture->Window();
                break;
            case Kind::Option: {
                // The first of a run of options starts the group and is its tab stop.
                const bool first = entries_.empty() || entries_.back().row->kind != Kind::Option;
                entry.window = CreateControl(instance, parent, L"BUTTON", row.caption,
                                             BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0), id);
                break;
            }
            case Kind::CheckBox:
                entry.window = CreateControl(instance, parent, L"BUTTON", row.caption,
                                             BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, id);
                break;
            case Kind::Label: {
                // One line, cut at the edge rather than wrapped: with a face
                // wider than the layout's a wrapped line would hide below the label.
                const DWORD align = row.align == layout::Align::Right ? SS_RIGHT : SS_LEFTNOWORDWRAP;
                entry.window =
                    CreateControl(instance, parent, L"STATIC", row.caption, WS_GROUP | SS_NOTIFY | SS_NOPREFIX | align, id);
                MakeClickLabel(entry.window);
                break;
            }
        }
        entries_.push_back(std::move(entry));
    }
}

void ControlSet::Clear() {
    entries_.clear();
    fonts_.clear();
}

const ControlSet::Entry* ControlSet::EntryOf(std::string_view name) const {
    for (const Entry& entry : entries_)
        if (name == entry.row->name) return &entry;
    return nullptr;
}

HWND ControlSet::Find(std::string_view name) const {
    const Entry* entry = EntryOf(name);
    return entry ? entry->window : nullptr;
}

HWND ControlSet::WithId(int id) const {
    for (const Entry& entry : entries_)
        if (entry.window && GetDlgCtrlID(entry.window) == id) return entry.window;
    return nullptr;
}

PictureBox* ControlSet::Picture(std::string_view name) const {
    const Entry* entry = EntryOf(name);
    return entry ? entry->picture.get() : nullptr;
}

const layout::Control* ControlSet::RowOf(HWND control) const {
    for (const Entry& entry : entries_)
        if (entry.window == control) return entry.row;
    return nullptr;
}

void ControlSet::Layout(UINT dpi) {
    std::vector<std::pair<layout::Font, UniqueFont>> fonts;
    const auto fontFor = [&](const layout::Font& wanted) {
        for (const auto& [font, handle] : fonts)
            if (SameFont(font, wanted)) return handle.get();
        fonts.emplace_back(wanted, CreateLayoutFont(wanted, dpi));
        return fonts.back().second.get();
    };
    for (const Entry& entry : entries_) {
        if (!entry.window) continue;
        const layout::Twips& place = entry.row->place;
        SetWindowPos(entry.window, nullptr, TwipsToPixels(place.left, dpi), TwipsToPixels(place.top, dpi),
                     TwipsToPixels(place.width, dpi), TwipsToPixels(place.height, dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        SendMessageW(entry.window, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(entry.row->font)), TRUE);
    }
    // The old fonts go only now that no control holds them.
    fonts_ = std::move(fonts);
}

LRESULT ControlSet::Colours(HDC dc, HWND control, const layout::Colour& background) const {
    const layout::Control* row = RowOf(control);
    SetBkColor(dc, ColourRef(background, COLOR_BTNFACE));
    SetTextColor(dc, ColourRef(row ? row->colour : layout::kSystemColour, COLOR_BTNTEXT));
    return reinterpret_cast<LRESULT>(BrushFor(dc, background, COLOR_BTNFACE));
}

}  // namespace vlmr::win32
