#include "DesktopSetter.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace vlmr {
namespace {

// Length of the well-formed UTF-8 sequence at text[at] (no overlong forms,
// no surrogates, nothing past U+10FFFF), or 0 when there is none.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        if (lead == 0xe0) low = 0xa0;
        if (lead == 0xed) high = 0x9f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        if (lead == 0xf0) low = 0x90;
        if (lead == 0xf4) high = 0x8f;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xbf) return 0;
    return length;
}

bool IsUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8Length(text, at);
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
        const std::size_t length = Utf8Length(name, at);
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

void SayWallpaperUnchanged(const std::string& why) {
    std::fprintf(stderr, "VLMR: the wallpaper stays as it was; %s\n", why.c_str());
}

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
