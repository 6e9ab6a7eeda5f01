#pragma once
// The exit question: keep working, choose another variant, or quit, answered by mouse or by the
// keys 1, 2 and 3.

#include "platform/Form.h"
#include "screens/ScreenLinks.h"

class QAbstractButton;
class QLabel;
class TConfig;

namespace platform {
class TImage;
}

class TfrmExitQuery : public platform::TForm, public IExitQuestion {
    Q_OBJECT
public:
    // The form's design size, in which the option block is centred.
    static constexpr int DesignWidth = 320;
    static constexpr int DesignHeight = 120;

    // The picture's place comes from the configuration (missing: the creation handler fails).
    explicit TfrmExitQuery(const TConfig* config, QWidget* parent = nullptr);
    void FormCreate() override;
    int Ask(bool allowContinue) override;
    void FormKeyPress(char& key) override;

    platform::TImage* imgBackground = nullptr;
    // Invisible click areas over the three option lines.
    QAbstractButton* btnCancel = nullptr;
    QAbstractButton* btnVariant = nullptr;
    QAbstractButton* btnExit = nullptr;
    QLabel* lblYouWant = nullptr;
    QLabel* lblCancel = nullptr;
    QLabel* lblVariant = nullptr;
    QLabel* lblExit = nullptr;

private:
    const TConfig* Config;
    void btnCancelClick();
    void btnVariantClick();
    void btnExitClick();
};
