#include "app/Globals.h"

bool GlobalFailure = false;
std::string ContentDir;

TConfig* Config = nullptr;
TFFont* Fonts = nullptr;
TTask* Tasks = nullptr;
TFRule* Rules = nullptr;
TFPupil* CurrentPupil = nullptr;

// Declared with the windows; kept here until the selection owns them.
#include <cstdint>
std::int32_t SelectedClass = 0;
std::int32_t SelectedTheme = 0;
std::int32_t SelectedVariant = 0;
