// The image list on any file: read from a file, kept in a ListBox, written
// and read again, over the in-memory file system of the unit tests. The
// input is the list file's bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Fakes.h"
#include "FuzzCheck.h"
#include "store/ImageListFile.h"
#include "store/ListBox.h"
#include "store/Text.h"

namespace {

using vlmr::fuzz::Require;
constexpr std::string_view kFile = "/app/IPaths.dat";

std::vector<std::string_view> Entries(const vlmr::ListBox& list) {
    std::vector<std::string_view> entries;
    for (std::size_t i = 0; i < list.Count(); ++i) entries.push_back(list.Item(i));
    return entries;
}

// The lines of a list file, the plain way: each ends at LF, without a CR
// right before that LF; a last line without LF counts when it is not empty.
std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    }
    return lines;
}

bool Load(vlmr::test::FakeFileSystem& fs, vlmr::ListBox& list) {
    vlmr::test::Journal journal;
    vlmr::test::FakeRuntime rt(journal);
    return vlmr::LoadListFromFile(fs, rt, kFile, list) && !rt.ended && rt.messages.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    vlmr::ListBox direct;
    direct.AssignLines(std::string(input));
    Require(Entries(direct) == LinesOf(input), "the lines of a text are not its entries");
    for (const std::string_view entry : Entries(direct))
        Require(entry.find('\n') == std::string_view::npos, "an entry holds a line end");

    vlmr::test::FakeFileSystem fs;
    fs.files[std::string(kFile)] = std::string(input);
    vlmr::ListBox loaded;
    Require(Load(fs, loaded), "a list file that can be read was refused");
    Require(Entries(loaded) == LinesOf(vlmr::WithoutBom(input)), "the byte order mark was not dropped, or more was");

    // Entries added one by one make the same list as entries read.
    vlmr::ListBox added;
    std::string expected;
    for (const std::string_view entry : Entries(loaded)) {
        added.Add(entry);
        expected.append(entry).append("\r\n");
    }
    Require(Entries(added) == Entries(loaded), "Add kept other entries than it was given");
    // An entry added after read lines, a last line without LF among them, is one more entry.
    vlmr::ListBox grown;
    grown.AssignLines(std::string(input));
    std::vector<std::string_view> more = Entries(direct);
    const std::string_view extra = input.substr(0, input.size() / 2);
    grown.Add(extra);
    more.push_back(extra);
    Require(Entries(grown) == more, "Add after read lines changed them or the entry added");

    vlmr::test::Journal journal;
    vlmr::test::FakeRuntime rt(journal);
    Require(vlmr::SaveListToFile(fs, rt, kFile, added), "a list could not be written");
    Require(fs.files[std::string(kFile)] == expected, "the file written is not every entry followed by CR LF");

    vlmr::ListBox reread;
    Require(Load(fs, reread), "a list file just written was refused");
    bool lineBreak = false;
    for (const std::string_view entry : Entries(loaded))
        lineBreak = lineBreak || entry.find_first_of("\r\n") != std::string_view::npos;
    const bool startsWithBom = loaded.Count() > 0 && loaded.Item(0) != vlmr::WithoutBom(loaded.Item(0));
    if (!lineBreak && !startsWithBom)
        Require(Entries(reread) == Entries(loaded), "a list written and read again lost or changed entries");

    Require(!reread.Select(reread.Count()) && !reread.Selected(), "an index past the end was selected");
    if (reread.Count() > 0) Require(reread.Select(reread.Count() - 1), "the last entry could not be selected");
    return 0;
}
