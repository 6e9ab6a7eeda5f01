#pragma once
// The message boxes of the windowed programs: a QMessageBox owned by the active window.

#include "platform/MessageBox.h"

namespace platform {

// CR LF shown as line breaks; plain text, never markup.
class TQtMessagePresenter : public IMessagePresenter {
public:
    int Show(const std::string& text, const std::string& caption, unsigned flags) override;
};

} // namespace platform
