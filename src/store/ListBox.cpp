#include "store/ListBox.h"

#include <cstring>

namespace vlmr {

void ListBox::Clear() {
    data_.clear();
    spans_.clear();
    selected_.reset();
}

std::string_view ListBox::Item(std::size_t index) const {
    const Span& s = spans_.at(index);
    return std::string_view(data_).substr(s.begin, s.length);
}

void ListBox::Add(std::string_view text) {
    spans_.push_back({data_.size(), text.size()});
    data_.append(text);
}

void ListBox::AssignLines(std::string&& text) {
    Clear();
    data_ = std::move(text);
    const char* base = data_.data();
    const std::size_t size = data_.size();
    // Count first so the span table is allocated once.
    std::size_t lines = 0;
    for (const char* p = base; (p = static_cast<const char*>(std::memchr(p, '\n', size - (p - base)))); ++p)
        ++lines;
    spans_.reserve(lines + 1);
    std::size_t begin = 0;
    while (begin < size) {
        const void* hit = std::memchr(base + begin, '\n', size - begin);
        const std::size_t end = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : size;
        std::size_t length = end - begin;
        if (hit && length > 0 && base[end - 1] == '\r') --length;
        spans_.push_back({begin, length});
        begin = end + 1;
    }
}

std::string ListBox::JoinLines(std::string_view lineEnd) const {
    std::size_t total = 0;
    for (const Span& s : spans_) total += s.length + lineEnd.size();
    std::string out;
    out.reserve(total);
    for (const Span& s : spans_) {
        out.append(data_, s.begin, s.length);
        out.append(lineEnd);
    }
    return out;
}

bool ListBox::Select(std::size_t index) {
    if (index >= spans_.size()) {
        selected_.reset();
        return false;
    }
    selected_ = index;
    return true;
}

}  // namespace vlmr
