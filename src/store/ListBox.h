#pragma once
// The program's working lists (the boot run's PList, the configurator's
// IList): ordered text entries with an optional selected one. The entries
// live in one buffer, so a list of a million paths costs little more memory
// than the file it came from.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vlmr {

class ListBox {
public:
    void Clear();
    std::size_t Count() const { return spans_.size(); }
    std::string_view Item(std::size_t index) const;
    void Add(std::string_view text);
    // Replaces the entries with the lines of the text: a line ends at LF,
    // a CR right before the LF is dropped, and a last line without a line
    // end is an entry like the others.
    void AssignLines(std::string&& text);
    // All entries, each followed by the line end.
    std::string JoinLines(std::string_view lineEnd) const;

    std::optional<std::size_t> Selected() const { return selected_; }
    // Selects the entry; an index past the end selects nothing and fails.
    bool Select(std::size_t index);

private:
    struct Span {
        std::size_t begin;
        std::size_t length;
    };
    std::string data_;
    std::vector<Span> spans_;
    std::optional<std::size_t> selected_;
};

}  // namespace vlmr
