#include "boot/ShownRound.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "boot/KeyedPermutation.h"
#include "store/RunLog.h"

namespace vlmr {

namespace {

constexpr int kDigits = 16;
// Far above the one line we write: anything larger is no file of ours.
constexpr std::size_t kShownFileLimit = 4096;

void AppendHex(std::string& out, std::uint64_t value) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (int shift = 60; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xf];
}

std::optional<std::uint64_t> ParseHex(std::string_view text) {
    if (text.size() != kDigits) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else return std::nullopt;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    return value;
}

// A key for a new round. The time of day is the only chance the program
// has; the old key and the list are mixed in so that two rounds started in
// the same microsecond still differ.
std::uint64_t NewKey(Runtime& rt, std::uint64_t oldKey, std::uint64_t fingerprint) {
    const auto micros = static_cast<std::uint64_t>(std::llround(rt.SecondsSinceMidnight() * 1e6));
    return Mix64(Mix64(oldKey) ^ Mix64(micros) ^ fingerprint);
}

// One step of the fingerprint: a multiply by an odd number and a shift that
// lose nothing, so a different word or state always gives a different state.
std::uint64_t Absorb(std::uint64_t state, std::uint64_t word) {
    state = (state ^ word) * 0x9e3779b97f4a7c15ULL;
    return state ^ state >> 32;
}

// An entry eight bytes a step (in the machine's byte order: both builds are
// little-endian, and Shown.dat stays on its machine), its length first; the
// last step takes the last eight bytes, overlapping the step before. Byte by
// byte, the fingerprint of a million entries took about 100 ms; this, 15.
std::uint64_t EntryHash(std::string_view entry) {
    std::uint64_t hash = Absorb(0, entry.size());
    std::uint64_t word = 0;
    if (entry.size() < sizeof word) {
        for (std::size_t i = 0; i < entry.size(); ++i)
            word |= std::uint64_t{static_cast<unsigned char>(entry[i])} << (8 * i);
        return Absorb(hash, word);
    }
    const char* const last = entry.data() + entry.size() - sizeof word;
    for (const char* at = entry.data(); at < last; at += sizeof word) {
        std::memcpy(&word, at, sizeof word);
        hash = Absorb(hash, word);
    }
    std::memcpy(&word, last, sizeof word);
    return Absorb(hash, word);
}

}  // namespace

std::string FormatShownRound(const ShownRound& round) {
    std::string text;
    for (const std::uint64_t value : {round.key, round.position, round.count, round.fingerprint}) {
        if (!text.empty()) text += ' ';
        AppendHex(text, value);
    }
    return text + "\r\n";
}

std::optional<ShownRound> ParseShownRound(std::string_view text) {
    if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n")
        text.remove_suffix(2);
    else if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    constexpr std::size_t kFields = 4;
    if (text.size() != kFields * kDigits + kFields - 1) return std::nullopt;
    std::uint64_t values[kFields];
    for (std::size_t i = 0; i < kFields; ++i) {
        const std::size_t at = i * (kDigits + 1);
        if (i > 0 && text[at - 1] != ' ') return std::nullopt;
        const std::optional<std::uint64_t> value = ParseHex(text.substr(at, kDigits));
        if (!value) return std::nullopt;
        values[i] = *value;
    }
    const ShownRound round{values[0], values[1], values[2], values[3]};
    if (round.count == 0 || round.position > round.count) return std::nullopt;
    return round;
}

std::uint64_t ListFingerprint(const ListBox& list) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (std::size_t i = 0; i < list.Count(); ++i) hash = Absorb(hash, EntryHash(list.Item(i)));
    return Mix64(hash ^ list.Count());
}

std::size_t DrawWithoutRepeats(FileSystem& fs, Runtime& rt, const ListBox& list) {
    return DrawWithoutRepeats(fs, rt, list, 1).front();
}

std::vector<std::size_t> DrawWithoutRepeats(FileSystem& fs, Runtime& rt, const ListBox& list, std::size_t draws) {
    if (draws == 0 || list.Count() == 0) return {};
    const std::string file = rt.AppFile(kShownFileName);
    const std::uint64_t count = list.Count();
    const std::uint64_t fingerprint = ListFingerprint(list);

    std::optional<ShownRound> round;
    std::string text;
    if (const Status read = fs.ReadTextFile(file, text, kShownFileLimit); read) {
        round = ParseShownRound(text);
        if (!round) LogError(file + " is damaged: a new round of pictures begins");
    } else if (read.kind == ErrorKind::FileNotFound) {
        LogInfo("no " + file + " yet: a new round of pictures begins");
    } else {
        LogError("cannot read " + file + ": " + Reason(read) + "; a new round of pictures begins");
    }

    std::uint64_t oldKey = round ? round->key : 0;
    if (round && (round->count != count || round->fingerprint != fingerprint)) {
        LogInfo("the image list changed: a new round of pictures begins");
        round.reset();
    }

    std::vector<std::size_t> drawn;
    std::vector<std::uint64_t> avoided;  // what a new round should not open with
    while (drawn.size() < draws) {
        if (round && round->position == count) {
            // Before this run's first draw that is the picture the old round
            // ended on; later, the pictures this run already gave out.
            if (drawn.empty())
                avoided.assign(1, KeyedPermutation(count, round->key).At(count - 1));
            else
                avoided.assign(drawn.begin(), drawn.end());
            LogInfo("every picture was shown: a new round begins");
            oldKey = round->key;
            round.reset();
        }
        if (!round) {
            round = ShownRound{NewKey(rt, oldKey, fingerprint), 0, count, fingerprint};
            // A few tries make a clash all but certain not to happen; where
            // the list is too short to avoid one, a repeat is no fault.
            const std::uint64_t places = std::min<std::uint64_t>(draws - drawn.size(), count);
            const auto clashes = [&] {
                const KeyedPermutation order(count, round->key);
                for (std::uint64_t place = 0; place < places; ++place)
                    if (std::find(avoided.begin(), avoided.end(), order.At(place)) != avoided.end()) return true;
                return false;
            };
            for (int tries = 0; !avoided.empty() && count > 1 && tries < 16 && clashes(); ++tries)
                round->key = Mix64(round->key + 1);
        }
        drawn.push_back(static_cast<std::size_t>(KeyedPermutation(count, round->key).At(round->position)));
        ++round->position;
        LogInfo("no repeats: picture " + std::to_string(round->position) + " of " + std::to_string(count) +
                " in this round");
    }
    if (const Status written = fs.WriteTextFileAtomic(file, FormatShownRound(*round)); !written)
        LogError("cannot write " + file + ": " + Reason(written) + "; the next run may repeat a picture");
    return drawn;
}

}  // namespace vlmr
