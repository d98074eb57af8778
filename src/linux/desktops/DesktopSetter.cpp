#include "DesktopSetter.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

#include "store/RunLog.h"
#include "store/Utf16Text.h"

namespace vlmr {
namespace {

bool IsUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

// The name as a terminal may safely show it: control characters and bytes
// that are no UTF-8 as \xNN, so a hostile name cannot steer the terminal.
std::string Printable(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t at = 0; at < name.size();) {
        const auto c = static_cast<unsigned char>(name[at]);
        const std::size_t length = Utf8SequenceLength(name, at);
        if (length > 1 || (length == 1 && c >= 0x20 && c != 0x7f && c != '\\')) {
            out.append(name, at, length);
            at += length;
            continue;
        }
        out += "\\x";
        out += kHex[c >> 4];
        out += kHex[c & 15];
        ++at;
    }
    return out;
}

}  // namespace

void SayWallpaperUnchanged(const std::string& why) { LogError("the wallpaper stays as it was; " + why); }

bool DesktopSetter::Refuse(const std::string& file, const char* why) {
    SayWallpaperUnchanged(Printable(file) + ": " + why);
    return false;
}

std::optional<std::string> DesktopSetter::PictureFile(const std::string& path) {
    if (path.empty()) {
        Refuse(path, "no picture named");
        return std::nullopt;
    }
    // The system would see the name only up to the first NUL: another file.
    if (path.find('\0') != std::string::npos) {
        Refuse(path, "the name holds a NUL byte");
        return std::nullopt;
    }
    std::string file = path;
    if (file.front() != '/') {
        std::error_code error;
        std::string folder = std::filesystem::current_path(error).string();
        if (error) {
            Refuse(path, "the working folder is gone, so the name leads nowhere");
            return std::nullopt;
        }
        if (folder.empty() || folder.back() != '/') folder += '/';
        file = folder + file;
    }
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        Refuse(file, "no such file");
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        Refuse(file, "not an ordinary file");
        return std::nullopt;
    }
    return file;
}

bool DesktopSetter::NameIsUtf8(const std::string& file, const char* mechanism) {
    if (IsUtf8(file)) return true;
    const std::string why = std::string("the name is not UTF-8, and ") + mechanism +
                            " takes only UTF-8 names";
    return Refuse(file, why.c_str());
}

}  // namespace vlmr
