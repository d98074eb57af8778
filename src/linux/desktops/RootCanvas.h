#pragma once
// A new root pixmap for the default screen, drawn one picture at a time,
// each in a style over an area of it. Only the part of a picture that shows
// crosses to the X server, once, at most at its own size (ShownPicture);
// the server places it, repeats it or scales it (RENDER, bilinear), and
// fills the rest black. No screen-sized image is ever made here.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Before Xlib, whose macros (None, Status) would break them.
#include "PictureDecoder.h"
#include "RootLayout.h"
#include "RootPicture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrender.h>

#include "PixelUpload.h"

namespace vlmr {

class RootCanvas {
public:
    // Nothing is sent before the first Draw.
    RootCanvas(Display* display, PictureDecoder* others);
    // Frees what it made, the pixmap too unless it was taken.
    ~RootCanvas();
    RootCanvas(const RootCanvas&) = delete;
    RootCanvas& operator=(const RootCanvas&) = delete;

    // Decodes the picture and draws it in the style (a WallpaperStyle) over
    // the area, given on the root window, black where it does not cover.
    // false, and why, when it cannot be shown: the area then counts as
    // undrawn, though a bitmap whose file changed on the way may have left
    // some rows in it.
    bool Draw(const PictureBytes& picture, std::uint32_t style, const Rect& area, std::string& why);
    // Black wherever no picture was drawn, so no pixel is left unwritten.
    void FillUndrawn();
    // The screen less the areas drawn so far; the caller destroys it.
    Region Undrawn() const;
    // The pixmap, once a picture was drawn on it (0 before); it stays on the
    // server after this canvas (see ShowOnRoot).
    Pixmap Take();

private:
    // Sends the part of the picture shown to (x, y) of a drawable.
    using PutShown = std::function<bool(Drawable drawable, int x, int y)>;
    bool Scale(const PutShown& put, const Rect& shown, const Rect& target, double sx, double sy, std::string& why);
    bool Tile(const PutShown& put, const Rect& shown, const Rect& target, std::string& why);
    void FillAround(const Rect& area, const Rect& target);

    Display* display_;
    PictureDecoder* others_;
    PixelUpload upload_;
    Rect screen_;
    int depth_;
    Pixmap pixmap_ = 0;
    GC gc_ = nullptr;
    XRenderPictFormat* format_ = nullptr;  // the screen's, once asked
    Picture target_ = 0;                   // the pixmap as RENDER draws on it
    Region drawn_;
};

}  // namespace vlmr
