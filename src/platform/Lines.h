#pragma once
// The lines of a text file read whole: every reader of our own plain-text formats (sources,
// results files, the uninstall list, INI files) takes its lines through here, so that they all
// agree on what a line is.

#include <string_view>
#include <vector>

namespace platform {

// A line ends at LF; a CR right before the LF belongs to the break (CR LF, as Windows writes
// it), and so does a CR that ends the text (a file cut between the two). Any other CR stays in
// the line. A text that ends in a break opens no further line; an empty
// text has no lines. The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

} // namespace platform
