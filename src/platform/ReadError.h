#pragma once
// A fault that a reader of the program's files met: which file, which line (1 the first; 0 when
// it concerns the whole file or none is known) and what went wrong. The readers return these and
// show nothing; whoever runs them decides what the pupil or the teacher is told.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct TReadError {
    enum class TKind {
        // A read error ended the data inside a line; what came before was kept.
        LineCut,
        // The file, or a part of it the reader could not take, could not be read.
        FileUnreadable,
        // The library cannot be used: it is not one of its kind (a wrong signature, no entry), or
        // the content directory's configuration that locates it cannot be read.
        LibraryUnusable,
    };
    TKind Kind = TKind::FileUnreadable;
    std::string File; // program form; empty when the reader does not know it
    std::int32_t Line = 0;
    std::string What; // the reader's own words, cp1251
};

using TReadErrors = std::vector<TReadError>;

} // namespace platform
