#pragma once
// zarvo-font: builds the font file from installed fonts, or reads an existing one, and draws
// its proof sheet.

#include <iosfwd>
#include <string>
#include <vector>

namespace fonttool {

// args without the program name; messages go to err. 0 on success, 1 on a failure, 2 on a
// wrong command line.
int RunFontTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace fonttool
