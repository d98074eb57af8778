// Our INI reader and writer (the settings store of systems without the
// profile API) against GetPrivateProfileStringW and WritePrivateProfileStringW
// on random settings files from a fixed seed. Every read must agree; after a
// write into the same starting file on both sides, the API must read our
// result as it reads its own. All in one process, so Wine starts once.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "IniCaseGenerator.h"
#include "store/IniText.h"
#include "win32/ProfileSettings.h"
#include "win32/WinText.h"

namespace {

namespace fs = std::filesystem;
using vlmr::test::IniCase;
using vlmr::test::IniEncoding;

// The test command's run; a longer search: ini_differential <seed> <files>.
constexpr std::uint32_t kSeed = 20240611;
constexpr int kFiles = 300;
constexpr int kShownDisagreements = 20;

std::string FileBytes(const IniCase& c) {
    switch (c.encoding) {
        case IniEncoding::Ansi:
            return c.text;
        case IniEncoding::Utf8Bom:
            return "\xEF\xBB\xBF" + c.text;
        case IniEncoding::Utf16Le:
        case IniEncoding::Utf16Be:
            break;
    }
    const bool big = c.encoding == IniEncoding::Utf16Be;
    std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
    for (const wchar_t unit : vlmr::win32::Widen(c.text)) {
        const char lo = static_cast<char>(unit & 0xFF), hi = static_cast<char>(unit >> 8);
        bytes += big ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
}

std::string Shown(std::string_view bytes, std::size_t limit = 400) {
    std::string out;
    for (const char c : bytes.substr(0, limit)) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\') {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return bytes.size() > limit ? out + "..." : out;
}

bool WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

std::string_view Trim(std::string_view s) {
    constexpr std::string_view kBlanks = " \t\v\f\x1A";
    s.remove_prefix(std::min(s.find_first_not_of(kBlanks), s.size()));
    return s.substr(0, s.find_last_not_of(kBlanks) + 1);
}

// Names as the API compares them: trimmed, without regard to case.
bool SameName(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A write of the API rewrites the whole file from what it parsed. That
// changes the reading of other lines in two cases: it drops what follows a
// NUL in a name or value, after which the blanks before the NUL are trimmed;
// and it writes a section named "" without its header. Ours keeps those
// lines as they were.
bool ApiRewriteChangesReading(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return true;
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", begin), text.size());
        const std::string_view line = Trim(text.substr(begin, end - begin));
        const std::size_t close = line.rfind(']');
        if (!line.empty() && line.front() == '[' && close != std::string_view::npos && Trim(line.substr(1, close - 1)).empty())
            return true;
        begin = end + 1;
    }
    return false;
}

struct Tally {
    int files = 0, queries = 0, writes = 0, refusedByDesign = 0, readBacks = 0, disagreements = 0;
    // Reads the API's rewrite of the whole file changed (see ApiRewriteChangesReading).
    int apiRewrites = 0;

    void Disagree(const std::string& what, const std::string& file, const std::string& section,
                  const std::string& key, const std::string& api, const std::string& ours) {
        if (++disagreements > kShownDisagreements) return;
        std::printf("DISAGREE (%s) file \"%s\" [%s] %s: API \"%s\", ours \"%s\"\n", what.c_str(), Shown(file).c_str(),
                    Shown(section).c_str(), Shown(key).c_str(), Shown(api).c_str(), Shown(ours).c_str());
    }
};

}  // namespace

int main(int argc, char** argv) {
    const auto seed = argc > 1 ? static_cast<std::uint32_t>(std::stoul(argv[1])) : kSeed;
    const int files = argc > 2 ? std::stoi(argv[2]) : kFiles;
    const fs::path folder = fs::temp_directory_path() / ("vlmr-ini-diff-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    vlmr::win32::ProfileSettings api;
    vlmr::test::IniCaseGenerator generator(seed);
    Tally tally;
    // The API caches the files it reads: every case gets files of new names.
    auto pathOf = [&](int n, const char* suffix) {
        return vlmr::win32::Narrow((folder / (std::to_string(n) + suffix + ".ini")).wstring());
    };

    const std::vector<IniCase> known = vlmr::test::KnownCases();
    const int total = static_cast<int>(known.size()) + files;
    for (int n = 0; n < total; ++n) {
        const IniCase c = n < static_cast<int>(known.size()) ? known[static_cast<std::size_t>(n)] : generator.Next();
        const std::string bytes = FileBytes(c);
        const std::string read = pathOf(n, "r"), theirs = pathOf(n, "a"), ours = pathOf(n, "o");
        if (!WriteFile(vlmr::win32::Widen(read), bytes) || !WriteFile(vlmr::win32::Widen(theirs), bytes)) {
            std::printf("cannot write the test files in %s\n", folder.string().c_str());
            return 2;
        }
        ++tally.files;
        for (const auto& [section, key] : c.queries) {
            ++tally.queries;
            const std::string expected = api.Read(section, key, read);
            const std::string got = vlmr::IniLookup(bytes, section, key);
            if (got != expected) tally.Disagree("read", bytes, section, key, expected, got);
        }

        ++tally.writes;
        const auto written = vlmr::IniAssign(bytes, c.writeSection, c.writeKey, c.writeValue);
        const bool lineBreak = c.writeValue.find_first_of("\r\n") != std::string::npos;
        if (!written) {
            // A value with a line break would forge other entries: ours refuses it by design.
            if (lineBreak) ++tally.refusedByDesign;
            else tally.Disagree("write refused", bytes, c.writeSection, c.writeKey, "written", "refused");
            continue;
        }
        if (lineBreak) tally.Disagree("write with a line break", bytes, c.writeSection, c.writeKey, "-", "written");
        // In the encoding of the file, so that the API can store every character.
        const std::string alone = pathOf(n, "s");
        const std::string mark = bytes.substr(0, c.encoding == IniEncoding::Ansi      ? 0
                                                 : c.encoding == IniEncoding::Utf8Bom ? 3
                                                                                      : 2);
        if (!WriteFile(vlmr::win32::Widen(alone), mark) || !api.Write(c.writeSection, c.writeKey, c.writeValue, theirs) ||
            !api.Write(c.writeSection, c.writeKey, c.writeValue, alone) || !WriteFile(vlmr::win32::Widen(ours), *written)) {
            std::printf("cannot write %s, %s or %s\n", theirs.c_str(), alone.c_str(), ours.c_str());
            return 2;
        }
        // The written key reads as in a file that holds nothing else; every
        // other key as before the write. The API reads our file so, and its own.
        const std::string what = "after writing [" + Shown(c.writeSection) + "] " + Shown(c.writeKey) + "=" +
                                 Shown(c.writeValue) + " our file " + Shown(*written);
        for (const auto& [section, key] : c.readBack) {
            ++tally.readBacks;
            const bool writtenKey = SameName(section, c.writeSection) && SameName(key, c.writeKey);
            const std::string expected = api.Read(section, key, writtenKey ? alone : read);
            const std::string fromTheirs = api.Read(section, key, theirs);
            const std::string fromOurs = api.Read(section, key, ours);
            const std::string ourRead = vlmr::IniLookup(*written, section, key);
            if (fromTheirs != expected) {
                ++tally.apiRewrites;
                if (!ApiRewriteChangesReading(c.text))
                    tally.Disagree(what + ", the API reading its own", bytes, section, key, expected, fromTheirs);
            }
            if (fromOurs != expected) tally.Disagree(what + ", the API reading ours", bytes, section, key, expected, fromOurs);
            if (ourRead != fromOurs) tally.Disagree(what + ", reading our file", bytes, section, key, fromOurs, ourRead);
        }
    }
    fs::remove_all(folder);
    std::printf("seed %u: %d files (%zu of them known cases), %d queries, %d writes (%d refused by design: a line break), "
                "%d reads after the writes (3 API reads and 1 of ours each; %d where the API's rewrite of a file with "
                "a NUL or a section named \"\" changed the reading), %d disagreements\n",
                seed, tally.files, known.size(), tally.queries, tally.writes, tally.refusedByDesign, tally.readBacks,
                tally.apiRewrites, tally.disagreements);
    return tally.disagreements == 0 ? 0 : 1;
}
