#include "store/IniFileStore.h"

#include "store/IniText.h"

namespace vlmr {

std::string IniFileStore::Read(std::string_view section, std::string_view key, std::string_view file) {
    std::string text;
    if (!fs_.ReadTextFile(file, text, kSettingsFileLimit)) return "";
    return IniLookup(text, section, key);
}

Status IniFileStore::Write(std::string_view section, std::string_view key, std::string_view value,
                           std::string_view file) {
    std::string text;
    const Status read = fs_.ReadTextFile(file, text, kSettingsFileLimit);
    // A file we cannot read is left alone: rewriting it from nothing would
    // lose every other setting in it. A missing file, or a folder not made
    // yet, holds nothing to lose.
    if (!read && read.kind != ErrorKind::FileNotFound && read.kind != ErrorKind::PathNotFound) return read;
    const auto updated = IniAssign(text, section, key, value);
    if (!updated) return Status::Fail(ErrorKind::Other, "A setting cannot hold a line break");
    return fs_.WriteTextFileAtomic(file, *updated);
}

}  // namespace vlmr
