#include "ConfiguratorWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>

#include "ClassicMetrics.h"
#include "ClickLabel.h"
#include "DialogFont.h"
#include "FrameBox.h"
#include "PictureBox.h"

namespace vlmr {
namespace {

// Places are kept in twips, as the layout was drawn; Qt's device-independent
// pixels are 96 dpi pixels, 15 twips each, and Qt scales them on a denser screen.
constexpr QRect Twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

constexpr int kClientWidth = 5430 / 15;
constexpr int kClientHeight = 1605 / 15;

template <typename Control>
Control* Place(Control* control, const char* name, QRect place, const QFont& font) {
    control->setObjectName(name);
    control->setGeometry(place);
    control->setFont(font);
    return control;
}

}  // namespace

ConfiguratorWindow::ConfiguratorWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(frmConfig::kTitle);
    setFixedSize(kClientWidth, kClientHeight);
    const QFont font = DialogFont();
    const QFont bold = DialogFont(true);
    setFont(font);

    // Created in tab order, so the focus chain follows it.
    CFrm = Place(new FrameBox(" Image Path ", this), "CFrm", Twips(120, 120, 5175, 1095), bold);
    IPath = Place(new QLineEdit(CFrm), "IPath", Twips(120, 360, 4935, 195), font);
    PSave = Place(new PictureBox(":/buttons/save.png", CFrm), "PSave", Twips(4200, 600, 345, 330), font);
    POpen = Place(new PictureBox(":/buttons/open.png", CFrm), "POpen", Twips(4680, 600, 330, 330), font);
    OCenter = Place(new QRadioButton("Center", CFrm), "OCenter", Twips(120, 720, 855, 195), font);
    OTile = Place(new QRadioButton("Tile", CFrm), "OTile", Twips(960, 720, 615, 195), font);
    OStretch = Place(new QRadioButton("Stretch", CFrm), "OStretch", Twips(1680, 720, 855, 195), font);
    Label1 = Place(new ClickLabel("Corvantis", this), "Label1", Twips(4200, 1320, 1095, 255), bold);
    LStart = Place(new QCheckBox("Load At Startup", this), "LStart", Twips(120, 1320, 1575, 255), font);

    // Made after the controls, so it is the last child deleted.
    metrics_ = new ClassicMetrics;
    metrics_->setParent(this);
    for (QWidget* control : std::initializer_list<QWidget*>{OCenter, OTile, OStretch, LStart})
        control->setStyle(metrics_);

    // The field is only 13 pixels high: a one-pixel border and no inner
    // margins leave the text its full height.
    IPath->setFrame(false);
    IPath->setTextMargins(0, 0, 0, 0);
    IPath->setStyleSheet("QLineEdit { border: 1px solid palette(dark); padding: 0px; background: palette(base); }");

    Label1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QPalette navy = Label1->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Label1->setPalette(navy);

    QWidget::setTabOrder(IPath, PSave);
    QWidget::setTabOrder(PSave, POpen);
    QWidget::setTabOrder(POpen, OCenter);
    QWidget::setTabOrder(OCenter, OTile);
    QWidget::setTabOrder(OTile, OStretch);
    QWidget::setTabOrder(OStretch, LStart);

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
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->geometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));
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

void ConfiguratorWindow::closeEvent(QCloseEvent* event) {
    // Closing the configurator ends the program; nothing is asked or saved.
    event->accept();
    if (presenter_) presenter_->Unload();
}

}  // namespace vlmr
