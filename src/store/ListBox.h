#pragma once
// The program's working lists (the boot run's PList, the configurator's
// IList): ordered text entries with an optional selected one. The entries
// live in one buffer with their line ends, and each costs four bytes more,
// so a list of a million paths costs little more memory than its file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vlmr {

class ListBox {
public:
    // The most text a list holds, line ends included. Past it Add throws
    // std::length_error; a list file is refused long before (kListFileLimit).
    static constexpr std::size_t kMaxText = (std::size_t{1} << 31) - 2;

    void Clear();
    std::size_t Count() const { return ends_.size(); }
    std::string_view Item(std::size_t index) const;
    void Add(std::string_view text);
    // Replaces the entries with the lines of the text from byte `from` on
    // (what comes before, a byte order mark say, belongs to no entry): a line
    // ends at LF, a CR right before the LF is dropped, and a last line
    // without a line end is an entry like the others. A text over kMaxText
    // throws std::length_error.
    void AssignLines(std::string&& text, std::size_t from = 0);
    // All entries, each followed by the line end.
    std::string JoinLines(std::string_view lineEnd) const;

    std::optional<std::size_t> Selected() const { return selected_; }
    // Selects the entry; an index past the end selects nothing and fails.
    bool Select(std::size_t index);

private:
    // For each entry, the offset just past its line end (one past the text
    // for a last line that has none), with kDroppedCr set when a CR before
    // the LF is no part of the entry. An entry starts where the one before
    // it ends, so four bytes an entry say where every entry is.
    static constexpr std::uint32_t kDroppedCr = std::uint32_t{1} << 31;
    static std::size_t Offset(std::uint32_t end) { return end & ~kDroppedCr; }

    std::string data_;
    std::size_t start_ = 0;  // where the first entry begins
    std::vector<std::uint32_t> ends_;
    std::optional<std::size_t> selected_;
};

}  // namespace vlmr
