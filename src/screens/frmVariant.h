#pragma once
// The variant selection.

#include "app/Screens.h"

class TfrmVariant : public TVariantScreen {
    Q_OBJECT
public:
    explicit TfrmVariant(QWidget* parent = nullptr);
    void FormCreate() override;
    void ShowSelection() override;
    void LoadBackground() override;
};
