#include "app/Globals.h"

bool GlobalFailure = false;
std::string ContentDir;
