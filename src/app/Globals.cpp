#include "app/Globals.h"
#include "app/Screens.h"

bool GlobalFailure = false;
std::string ContentDir;

TConfig* Config = nullptr;
TFFont* Fonts = nullptr;
TTask* Tasks = nullptr;
TFRule* Rules = nullptr;
TFPupil* CurrentPupil = nullptr;

TMainScreen* frmMain = nullptr;
TVariantScreen* frmVariant = nullptr;
TRuleScreen* frmRule = nullptr;
THelpScreen* frmHelp = nullptr;
TSplashScreen* frmSplash = nullptr;
TExitQueryScreen* frmExitQuery = nullptr;

std::int32_t SelectedClass = 0;
std::int32_t SelectedTheme = 0;
std::int32_t SelectedVariant = 0;
