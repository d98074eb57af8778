#include "OptionsWindow.h"

#include <QAbstractButton>

#include "LayoutWidgets.h"

namespace vlmr {

OptionsWindow::OptionsWindow(QWidget& owner)
    : QDialog(&owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setWindowModality(Qt::WindowModal);
    ApplyWindowLook(*this, kOptionsWindow);
    BuildControls(*this, kOptionsControls);

    // What the user does goes to the presenter; what code sets comes back
    // with `updating_` set and goes no further.
    const auto toggled = [this](const char* name, auto action) {
        connect(Control(name), &QAbstractButton::toggled, this, [this, action](bool on) {
            if (!updating_ && presenter_) action(*presenter_, on);
        });
    };
    for (const PictureType type : kPictureTypes)
        toggled(TypeControl(type), [type](frmOptions& p, bool on) { p.SetType(type, on); });
    for (const Proportions mode : {Proportions::Stretch, Proportions::Fill, Proportions::Fit}) {
        toggled(ProportionsControl(mode), [mode](frmOptions& p, bool on) {
            if (on) p.SelectProportions(mode);
        });
    }
    toggled("NRepeat", [](frmOptions& p, bool on) { p.SetNoRepeats(on); });
    toggled("PMonitor", [](frmOptions& p, bool on) { p.SetPerMonitor(on); });
}

QAbstractButton* OptionsWindow::Control(const char* name) const { return findChild<QAbstractButton*>(name); }

void OptionsWindow::Set(const char* name, bool checked) {
    updating_ = true;
    Control(name)->setChecked(checked);
    updating_ = false;
}

void OptionsWindow::Show() {
    // Qt places a dialog over its owner on its first show.
    show();
    raise();
    activateWindow();
}

void OptionsWindow::ShowType(PictureType type, bool shown) { Control(TypeControl(type))->setVisible(shown); }

void OptionsWindow::SetTypeCheck(PictureType type, bool checked) { Set(TypeControl(type), checked); }

void OptionsWindow::SetProportions(Proportions proportions) { Set(ProportionsControl(proportions), true); }

void OptionsWindow::SetNoRepeatsCheck(bool checked) { Set("NRepeat", checked); }

void OptionsWindow::SetPerMonitorCheck(bool checked) { Set("PMonitor", checked); }

}  // namespace vlmr
