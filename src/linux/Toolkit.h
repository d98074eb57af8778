#pragma once
// The Qt front end as VLMR sees it: the module libvelmora-toolkit.so, which
// VLMR loads only for a course that needs the toolkit. Both sides are built
// together by one compiler from this header, so C++ objects and references
// cross between them as they are; the core exists once, in VLMR, and the
// module uses VLMR's.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "PictureDecoder.h"
#include "boot/frmMain.h"
#include "platform/Runtime.h"
#include "platform/WallpaperService.h"

namespace vlmr {

// What the lean course asks of a started toolkit.
class Toolkit {
public:
    virtual ~Toolkit() = default;
    virtual void ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) = 0;
    virtual void DeliverPendingMessages() = 0;
    virtual std::string TodayShortDate() = 0;
    // Makes and shows the configurator on these services, once; the event
    // loop then runs it.
    virtual void OpenConfigurator(const Services& services, std::function<WindowHandle()> webOwner) = 0;
    virtual int RunEventLoop() = 0;
};

// The module's entry points, found by these names.
using ToolkitMainFunction = int(int argc, char** argv);      // the whole program on the toolkit
using ToolkitStartFunction = Toolkit*(int argc, char** argv);  // the toolkit started, once
// The decoder of the pictures other than bitmaps; it needs no started
// toolkit. The caller owns it.
using PictureDecoderFunction = PictureDecoder*();
inline constexpr char kToolkitMainName[] = "VelmoraToolkitMain";
inline constexpr char kToolkitStartName[] = "VelmoraToolkitStart";
inline constexpr char kPictureDecoderName[] = "VelmoraPictureDecoder";
inline constexpr char kToolkitModuleFile[] = "libvelmora-toolkit.so";

}  // namespace vlmr
