// The picture acceptance check on any bytes: it never reads outside them,
// and what it accepts is a picture of a size we show. Bytes after the end
// of a picture change nothing, so a verdict can never depend on memory past
// the end marker (or past the last pixel of a bitmap).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "linux/desktops/PictureCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vlmr::fuzz::Require;
    const vlmr::PictureVerdict verdict = vlmr::CheckPicture(data, size);
    if (!verdict.whole) {
        Require(verdict.problem != nullptr && *verdict.problem != '\0',
                "a refused picture says no reason");
        return 0;
    }
    Require(verdict.format != vlmr::PictureFormat::Unknown, "an unknown format was accepted");
    Require(verdict.width > 0 && verdict.height > 0, "a picture without pixels was accepted");
    Require(std::uint64_t{verdict.width} * verdict.height <= vlmr::kMaxPicturePixels,
            "a picture over the size bound was accepted");

    std::vector<std::uint8_t> longer(data, data + size);
    longer.insert(longer.end(), {0x00, 0xff, 0xd9, 0x3b, 'I', 'E', 'N', 'D'});
    const vlmr::PictureVerdict again = vlmr::CheckPicture(longer.data(), longer.size());
    Require(again.whole && again.format == verdict.format && again.width == verdict.width &&
                again.height == verdict.height,
            "bytes after a whole picture changed the verdict");
    return 0;
}
