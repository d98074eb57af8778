#include "store/ListBox.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vlmr {

namespace {

void RefuseOver(std::size_t size) {
    if (size > ListBox::kMaxText) throw std::length_error("a list of more than 2 GiB of text");
}

// std::count widens every comparison to a 64-bit sum; a one-byte sum per
// short block lets the compiler compare 16 bytes at a time (about ten times
// faster on a list of a million lines).
std::size_t CountLineEnds(const char* text, const char* stop) {
    constexpr std::size_t kBlock = 240;  // a multiple of 16 whose count fits in a byte
    std::size_t count = 0;
    for (; static_cast<std::size_t>(stop - text) >= kBlock; text += kBlock) {
        unsigned char inBlock = 0;
        for (std::size_t i = 0; i < kBlock; ++i) inBlock = static_cast<unsigned char>(inBlock + (text[i] == '\n'));
        count += inBlock;
    }
    for (; text < stop; ++text) count += *text == '\n';
    return count;
}

}  // namespace

void ListBox::Clear() {
    data_.clear();
    start_ = 0;
    ends_.clear();
    selected_.reset();
}

std::string_view ListBox::Item(std::size_t index) const {
    const std::uint32_t end = ends_.at(index);
    const std::size_t begin = index == 0 ? start_ : Offset(ends_[index - 1]);
    const std::size_t length = Offset(end) - 1 - (end & kDroppedCr ? 1 : 0) - begin;
    return std::string_view(data_.data() + begin, length);
}

void ListBox::Add(std::string_view text) {
    // After a last line without a line end, the next entry needs one between.
    const bool open = !ends_.empty() && Offset(ends_.back()) > data_.size();
    RefuseOver(data_.size() + open + text.size() + 1);
    if (open) data_ += '\n';
    data_.append(text);
    data_ += '\n';
    ends_.push_back(static_cast<std::uint32_t>(data_.size()));
}

void ListBox::AssignLines(std::string&& text, std::size_t from) {
    RefuseOver(text.size());
    Clear();
    data_ = std::move(text);
    start_ = std::min(from, data_.size());
    const char* const base = data_.data();
    const char* const stop = base + data_.size();
    // Count first so the table is allocated once, at its final size.
    ends_.reserve(CountLineEnds(base + start_, stop) + (stop > base + start_ && stop[-1] != '\n'));
    for (const char* line = base + start_; line < stop;) {
        const auto* lf = static_cast<const char*>(std::memchr(line, '\n', static_cast<std::size_t>(stop - line)));
        if (lf == nullptr) {
            ends_.push_back(static_cast<std::uint32_t>(data_.size() + 1));
            break;
        }
        const std::uint32_t droppedCr = lf > line && lf[-1] == '\r' ? kDroppedCr : 0;
        ends_.push_back(static_cast<std::uint32_t>(lf + 1 - base) | droppedCr);
        line = lf + 1;
    }
}

std::string ListBox::JoinLines(std::string_view lineEnd) const {
    std::size_t total = 0;
    for (std::size_t i = 0; i < Count(); ++i) total += Item(i).size() + lineEnd.size();
    std::string out;
    out.reserve(total);
    for (std::size_t i = 0; i < Count(); ++i) out.append(Item(i)).append(lineEnd);
    return out;
}

bool ListBox::Select(std::size_t index) {
    if (index >= Count()) {
        selected_.reset();
        return false;
    }
    selected_ = index;
    return true;
}

}  // namespace vlmr
