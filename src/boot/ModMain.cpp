#include "boot/ModMain.h"

#include <cmath>
#include <random>
#include <string>

#include "store/Text.h"

namespace vlmr {

std::optional<double> RandomBetween(Runtime& rt, std::int32_t upper, std::int32_t lower) {
    const std::int64_t n = static_cast<std::int64_t>(upper) - lower + 1;
    if (n > INT32_MAX || n < INT32_MIN) return std::nullopt;
    // Microseconds since midnight as the seed: every call starts afresh, and
    // two starts a moment apart draw independently.
    const double seconds = rt.SecondsSinceMidnight();
    std::mt19937_64 generator(static_cast<std::uint64_t>(std::llround(seconds * 1e6)));
    const double r = std::generate_canonical<double, 53>(generator);
    return std::floor(r * static_cast<double>(n)) + lower;
}

std::optional<bool> FileExists(FileSystem& fs, std::string_view path) {
    std::string name;
    if (!fs.FirstMatchingFile(path, name)) return std::nullopt;
    return !TrimBlanks(name).empty();
}

}  // namespace vlmr
