#include "store/ImageListFile.h"

#include <string>

#include "store/RunLog.h"
#include "store/Text.h"

namespace vlmr {

static_assert(kListFileLimit <= ListBox::kMaxText, "a list file that can be read must fit in a ListBox");

bool LoadListFromFile(FileSystem& fs, Runtime& rt, std::string_view file, ListBox& list) {
    list.Clear();
    std::string text;
    if (const Status read = fs.ReadTextFile(file, text, kListFileLimit); !read) {
        LogError("the image list " + std::string(file) + " cannot be read: " + Reason(read));
        rt.ShowMessage("Velmora Is NOT Configured", "Velmora", MessageIcon::Information);
        rt.EndProgram();
        return false;
    }
    // The mark is passed over, not erased: erasing would move the whole text.
    const std::size_t bom = text.size() - WithoutBom(text).size();
    list.AssignLines(std::move(text), bom);
    return true;
}

bool SaveListToFile(FileSystem& fs, Runtime& rt, std::string_view file, const ListBox& list) {
    const Status written = fs.WriteTextFileAtomic(file, list.JoinLines("\r\n"));
    if (!written) {
        LogError("the image list " + std::string(file) + " cannot be written: " + Reason(written));
        rt.ShowMessage("An error has occured " + written.description, kAppTitle, MessageIcon::None);
        return false;
    }
    return true;
}

}  // namespace vlmr
