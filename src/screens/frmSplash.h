#pragma once
// The intro, praise, right-answer and slip pictures.

#include "app/Screens.h"

class TfrmSplash : public TSplashScreen {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);
    void ShowIntro() override;
    void ShowPraise() override;
    void ShowRight(int top) override;
    void ShowSlip() override;
    void CloseSplash() override;
};
