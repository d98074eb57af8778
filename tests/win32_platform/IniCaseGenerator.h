#pragma once
// Random settings files and the questions to ask of them, from a fixed seed:
// the input of the differential run of our INI code against the profile API.
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace vlmr::test {

enum class IniEncoding { Ansi, Utf8Bom, Utf16Le, Utf16Be };

struct IniCase {
    std::string text;  // UTF-8; may hold NULs
    IniEncoding encoding = IniEncoding::Ansi;
    std::vector<std::pair<std::string, std::string>> queries;  // section, key
    std::string writeSection, writeKey, writeValue;
    // What to read after the write: the written key and others, half of them
    // in the written section.
    std::vector<std::pair<std::string, std::string>> readBack;
};

// The cases the Linux reader and writer once read or wrote otherwise than
// the profile API: a bare key line, CR-only line ends, VT/FF/Ctrl-Z, UTF-16,
// a NUL, an append after a last line ended by a lone CR.
std::vector<IniCase> KnownCases();

class IniCaseGenerator {
public:
    explicit IniCaseGenerator(std::uint32_t seed) : random_(seed) {}
    IniCase Next();

private:
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }
    bool OneIn(std::size_t n) { return Below(n) == 0; }
    std::string AnyCase(std::string name);
    std::string Blanks();
    std::string SectionName();
    std::string KeyName();
    std::string Value(bool unicode);
    std::string Line(bool unicode);
    std::string LineEnd(int style);
    std::pair<std::string, std::string> Name();

    std::mt19937 random_;
    // The section of the line being made, and the names of the key lines made so far.
    std::string section_;
    std::vector<std::pair<std::string, std::string>> made_;
};

}  // namespace vlmr::test
