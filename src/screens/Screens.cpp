#include "screens/Screens.h"

TMainScreen* frmMain = nullptr;
TVariantScreen* frmVariant = nullptr;
TRuleScreen* frmRule = nullptr;
THelpScreen* frmHelp = nullptr;
TSplashScreen* frmSplash = nullptr;
TExitQueryScreen* frmExitQuery = nullptr;
