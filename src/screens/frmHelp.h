#pragma once
// The help window: the help text of the language's picture folder, read once at start-up and
// then only shown and hidden.

#include "platform/Files.h"
#include "platform/Form.h"
#include "screens/ScreenLinks.h"

#include <QStringList>
#include <string>

class QPlainTextEdit;
class QPushButton;
class TConfig;

class TfrmHelp : public platform::TForm, public IHelpWindow {
    Q_OBJECT
public:
    // Larger help files are refused rather than loaded into the text box.
    static constexpr std::size_t MaxHelpSize = platform::MaxHelpFileSize;

    // The help file's place comes from the configuration (missing: the creation handler fails).
    explicit TfrmHelp(const TConfig* config, QWidget* parent = nullptr);
    void FormCreate() override;
    void ShowHelp() override;
    void HideHelp() override;
    void FormKeyPress(char& key) override;

    QPushButton* btnClose = nullptr;
    QPlainTextEdit* txtHelp = nullptr;

protected:
    void FormDeactivate() override;
    void FormResize() override;

private:
    void MakeTextBox();
    const TConfig* Config;
    bool Placed = false;
};

// The lines of a text file's bytes; a line ends in CR LF, a lone CR or a lone LF, and a break at
// the very end opens no further line.
QStringList SplitHelpLines(const std::string& bytes);
