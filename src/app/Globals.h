#pragma once
// Shared state of the trainer: the global failure flag, the content directory and the global
// objects. Start-up owns the objects and publishes them here; everything else only reads them.

#include <string>

class TConfig;
class TFFont;
class TTask;
class TFRule;
class TFPupil;

// Set by a reader or report that failed; every later start-up step tests it and does nothing.
extern bool GlobalFailure;

// The content directory: absolute, in program form, ending in a backslash.
extern std::string ContentDir;

// Null until start-up creates them, and again after shutdown frees them.
extern TConfig* Config;
extern TFFont* Fonts;
extern TTask* Tasks;
extern TFRule* Rules;
extern TFPupil* CurrentPupil;
