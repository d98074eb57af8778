#include "win32/Resources.h"

#include "win32/ResourceIds.h"

namespace vlmr::win32 {

HICON ApplicationIcon(HINSTANCE instance, bool small) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELMORA), IMAGE_ICON,
                                         GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON),
                                         GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON), LR_SHARED));
}

UniqueBitmap LoadPicture(HINSTANCE instance, std::string_view name) {
    const int id = name == "banner" ? IDB_BANNER : name == "save" ? IDB_SAVE : name == "open" ? IDB_OPEN : 0;
    if (!id) return {};
    return UniqueBitmap(
        static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

}  // namespace vlmr::win32
