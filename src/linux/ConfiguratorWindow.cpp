#include "ConfiguratorWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>

#include "ClickLabel.h"
#include "FrameBox.h"
#include "LayoutWidgets.h"
#include "PictureBox.h"
#include "config/OptionsLayout.h"

namespace vlmr {
namespace {

// One of the table's controls, as the widget its kind is made as.
template <typename Control>
Control* Built(const QWidget& window, const char* name) {
    return window.findChild<Control*>(name);
}

}  // namespace

ConfiguratorWindow::ConfiguratorWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    ApplyWindowLook(*this, kConfiguratorWindow);
    BuildControls(*this, kConfiguratorControls);
    IPath = Built<QLineEdit>(*this, "IPath");
    PSave = Built<PictureBox>(*this, "PSave");
    POpen = Built<PictureBox>(*this, "POpen");
    OCenter = Built<QRadioButton>(*this, "OCenter");
    OTile = Built<QRadioButton>(*this, "OTile");
    OStretch = Built<QRadioButton>(*this, "OStretch");
    Label1 = Built<ClickLabel>(*this, "Label1");
    LStart = Built<QCheckBox>(*this, "LStart");

    // What the user does goes to the presenter; what code sets comes back
    // through the view with `updating_` set and goes no further.
    connect(IPath, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (presenter_) presenter_->PathEdited(text.toStdString());
    });
    const auto picture = [this](PictureBox* box, PictureButton which, void (frmConfig::*click)()) {
        box->SetActions([this, which] { if (presenter_) presenter_->MouseDown(which); },
                        [this, which] { if (presenter_) presenter_->MouseUp(which); },
                        [this, click] { if (presenter_) (presenter_->*click)(); });
    };
    picture(PSave, PictureButton::Save, &frmConfig::PSave_Click);
    picture(POpen, PictureButton::Open, &frmConfig::POpen_Click);
    for (const StyleOption option : {StyleOption::Center, StyleOption::Tile, StyleOption::Stretch}) {
        connect(Option(option), &QRadioButton::toggled, this, [this, option](bool on) {
            if (on && !updating_ && presenter_) presenter_->SelectStyle(option);
        });
    }
    Label1->SetClickAction([this] { if (presenter_) presenter_->Label1_Click(); });
    connect(LStart, &QCheckBox::toggled, this, [this](bool on) {
        if (!updating_ && presenter_) presenter_->SetLStart(on ? vbChecked : vbUnchecked);
    });

    // The window's own action, so Ctrl+O works wherever the focus is in it.
    options_ = new QAction(QString::fromUtf8(kOptionsMenuEntry), this);
    options_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    options_->setShortcutContext(Qt::WindowShortcut);
    addAction(options_);
    connect(options_, &QAction::triggered, this, [this] {
        if (openOptions_) openOptions_();
    });
}

QRadioButton* ConfiguratorWindow::Option(StyleOption option) const {
    switch (option) {
        case StyleOption::Center: return OCenter;
        case StyleOption::Tile: return OTile;
        case StyleOption::Stretch: return OStretch;
    }
    return OCenter;
}

void ConfiguratorWindow::Show() {
    if (!placed_) {
        placed_ = true;
        CentreOnScreen(*this);
    }
    show();
    raise();
    activateWindow();
}

void ConfiguratorWindow::SetCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void ConfiguratorWindow::SetPathText(const std::string& text) { IPath->setText(QString::fromStdString(text)); }

void ConfiguratorWindow::SetStartupCheck(bool checked) {
    updating_ = true;
    LStart->setChecked(checked);
    updating_ = false;
}

void ConfiguratorWindow::SetStyleOption(std::optional<StyleOption> option) {
    updating_ = true;
    if (option) {
        Option(*option)->setChecked(true);
    } else {
        // An exclusive group never lets its last selection go on its own.
        for (QRadioButton* button : {OCenter, OTile, OStretch}) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
    }
    updating_ = false;
}

void ConfiguratorWindow::SetButtonSunken(PictureButton button, bool sunken) {
    (button == PictureButton::Save ? PSave : POpen)->SetSunken(sunken);
}

void ConfiguratorWindow::Minimize() { showMinimized(); }

void ConfiguratorWindow::Restore() { showNormal(); }

WindowHandle ConfiguratorWindow::Handle() { return static_cast<WindowHandle>(winId()); }

void ConfiguratorWindow::contextMenuEvent(QContextMenuEvent* event) {
    // Only the background: the path field has its own text menu (it never
    // passes the event on), and the picture buttons and the other controls
    // stay as they are.
    QWidget* under = childAt(event->pos());
    if (under && !dynamic_cast<FrameBox*>(under)) {
        event->ignore();
        return;
    }
    QMenu menu(this);
    menu.addAction(options_);
    menu.exec(event->globalPos());
}

void ConfiguratorWindow::closeEvent(QCloseEvent* event) {
    // Closing the configurator ends the program; nothing is asked or saved.
    event->accept();
    if (presenter_) presenter_->Unload();
}

}  // namespace vlmr
