#pragma once
// The options window on Qt, built from its layout table: a dialog owned by
// the configurator window, which waits while it is open. Escape or the close
// box closes it; every option was stored when it changed.
#include <QDialog>

#include "config/frmOptions.h"

class QAbstractButton;

namespace vlmr {

class OptionsWindow : public QDialog, public OptionsView {
public:
    explicit OptionsWindow(QWidget& owner);

    // The presenter the controls report to; set before the first event.
    void Attach(frmOptions& presenter) { presenter_ = &presenter; }

    void Show() override;
    void ShowType(PictureType type, bool shown) override;
    void SetTypeCheck(PictureType type, bool checked) override;
    void SetProportions(Proportions proportions) override;
    void SetNoRepeatsCheck(bool checked) override;
    void SetPerMonitorCheck(bool checked) override;

private:
    QAbstractButton* Control(const char* name) const;
    // Sets a control from code, so the change is not taken for the user's.
    void Set(const char* name, bool checked);

    frmOptions* presenter_ = nullptr;
    bool updating_ = false;
};

}  // namespace vlmr
