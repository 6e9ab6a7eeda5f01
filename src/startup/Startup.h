#pragma once
// Start-up and shutdown of the trainer: the content directory, the global objects in their fixed
// order, the six windows, the screen check, the intro and the event loop, and everything freed
// again in reverse order.

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class TTrainer;

struct TStartupOptions {
    std::string ContentDir; // from --content; empty: environment or beside the binary
    bool PrintConfig = false;
    bool Help = false;
    bool Version = false;
    std::string Error; // a malformed command line
};

TStartupOptions ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();

// --content, else $ZARVO_CONTENT_DIR, else <binary dir>/../share/zarvo/; absolute, ending in '/'.
std::string LocateContentDir(const std::string& option, const std::string& binaryDir);

// The screen is good enough: at least 640 x 400 pixels and more than 7 bits per pixel.
bool SystemRequirementsMet(int width, int height, int bitsPerPixel);

// The whole run of the trainer inside an existing application object; returns the exit status:
// 0, 1 when start-up failed (the flag was set), 2 when another copy is running, 3 when an error
// escaped start-up (shown in an error box and written to `err`). `ready`, when given, is called
// with the trainer once its windows exist, before the screen check and the event loop.
int RunTrainer(const TStartupOptions& options, const std::string& binaryDir, std::ostream& err,
               const std::function<void(TTrainer&)>& ready = {});

// --print-config: what the trainer resolves at start-up, one Name=value per line in UTF-8,
// without the language question and without windows. Boxes go to `err`; returns non-zero when
// one was shown or a setting could not be read.
int PrintConfig(const TStartupOptions& options, const std::string& binaryDir, std::ostream& out,
                std::ostream& err);

// The program's main: handles --help and --version, creates the application object.
int ZarvoMain(int argc, char** argv);
