#pragma once
// Outcome of one platform operation. No exception crosses the seam: every
// operation that can fail says so here, and the caller decides whether to
// skip the step or stop.
#include <string>
#include <utility>

namespace vlmr {

enum class ErrorKind {
    None,
    FileNotFound,   // the file itself is missing
    PathNotFound,   // a folder named in the path does not exist
    AccessDenied,
    Other,
};

struct Status {
    ErrorKind kind = ErrorKind::None;
    std::string description;  // English, for the user's eyes

    static Status Ok() { return {}; }
    static Status Fail(ErrorKind k, std::string text) { return {k, std::move(text)}; }
    bool ok() const { return kind == ErrorKind::None; }
    explicit operator bool() const { return ok(); }
};

}  // namespace vlmr
