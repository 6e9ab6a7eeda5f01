#pragma once
// The exercise screen, the trainer's main window.

#include "app/Screens.h"

class TfrmMain : public TMainScreen {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);

    void FormCreate() override;
    void BackToSelection() override;
    void StartSession() override;
    void FormKeyDown(platform::WORD& key, platform::TShiftState shift) override;
    void FormKeyPress(char& key) override;
    void ShowButtonPanel(bool visible) override;
    void HideResults() override;
    bool ButtonPanelVisible() const override;
    bool ResultsVisible() const override;

    QWidget* panTest = nullptr;
    QWidget* imgResult = nullptr;
};
