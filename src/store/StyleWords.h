#pragma once
// The wallpaper styles as the settings file names them under "Style", each
// with the code the wallpaper service takes. A stored word counts only when
// it matches exactly, letter case included.
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/WallpaperService.h"

namespace vlmr {

struct StyleWord {
    std::string_view word;
    std::int32_t code;
};

inline constexpr StyleWord kStyleWords[] = {
    {"Center", WPSTYLE_CENTER},
    {"Tile", WPSTYLE_TILE},
    {"Stretch", WPSTYLE_STRETCH},
};

// The code of a stored style word; nothing for any other text.
inline std::optional<std::int32_t> StyleCode(std::string_view word) {
    for (const StyleWord& style : kStyleWords)
        if (style.word == word) return style.code;
    return std::nullopt;
}

}  // namespace vlmr
