#pragma once
// zarvo-content: dump, pack, unpack and check the exercise and rule libraries. Arguments and
// output are UTF-8; the libraries are read with the trainer's own readers.

#include <ostream>
#include <string>
#include <vector>

// `args` without the program name. Returns the exit status.
int RunContentTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

std::string ContentToolUsage();
