#pragma once
// The draw without repeats: every entry of the list comes up once, in an
// order that looks random, before any comes up again. Between runs only the
// round's state is kept, in Shown.dat in the application folder: the key of
// the round's order, how many entries it has shown, and the size and
// fingerprint of the list it belongs to. The file is as small for a million
// entries as for ten.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Runtime.h"
#include "store/ListBox.h"

namespace vlmr {

inline constexpr std::string_view kShownFileName = "Shown.dat";

struct ShownRound {
    std::uint64_t key = 0;          // picks the round's order
    std::uint64_t position = 0;     // entries of the round shown so far
    std::uint64_t count = 0;        // entries of the list
    std::uint64_t fingerprint = 0;  // of the list's entries, in order
    bool operator==(const ShownRound&) const = default;
};

// One line: the four numbers as 16 hexadecimal digits each, one blank apart.
std::string FormatShownRound(const ShownRound& round);
// Nothing for a file in any other form, or one that cannot be ours (an
// empty list, more shown than there are entries).
std::optional<ShownRound> ParseShownRound(std::string_view text);

// A hash of every entry, in order: any change to an entry, or to their
// order, changes it (the line ends the file had play no part).
std::uint64_t ListFingerprint(const ListBox& list);

// The next entry of the round for a list of at least two entries, with the
// state read from and written back to Shown.dat. A missing or damaged file,
// or a list that changed, starts a new round; so does a round that has
// shown everything, with a new order. Whatever goes wrong with the file is
// logged, and an entry is drawn all the same.
std::size_t DrawWithoutRepeats(FileSystem& fs, Runtime& rt, const ListBox& list);
// The next `draws` entries of the round at once, for one picture per
// monitor. A round that ends in the middle is followed by one that does not
// open with the entries already drawn, so no two monitors share a picture
// while the list has enough of them.
std::vector<std::size_t> DrawWithoutRepeats(FileSystem& fs, Runtime& rt, const ListBox& list, std::size_t draws);

}  // namespace vlmr
