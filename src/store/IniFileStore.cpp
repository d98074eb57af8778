#include "store/IniFileStore.h"

#include "store/IniText.h"

namespace vlmr {

std::string IniFileStore::Read(std::string_view section, std::string_view key, std::string_view file) {
    std::string text;
    if (!fs_.ReadTextFile(file, text)) return "";
    return IniLookup(text, section, key);
}

int IniFileStore::Write(std::string_view section, std::string_view key, std::string_view value,
                        std::string_view file) {
    std::string text;
    const Status read = fs_.ReadTextFile(file, text);
    // A file we cannot read is left alone: rewriting it from nothing would
    // lose every other setting in it. A missing file, or a folder not made
    // yet, holds nothing to lose.
    if (!read && read.kind != ErrorKind::FileNotFound && read.kind != ErrorKind::PathNotFound) return 0;
    const auto updated = IniAssign(text, section, key, value);
    if (!updated) return 0;
    return fs_.WriteTextFileAtomic(file, *updated) ? 1 : 0;
}

}  // namespace vlmr
