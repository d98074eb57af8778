#pragma once
// The configurator window on Qt, built from its layout table, each user
// action handed to the frmConfig presenter. Its background's context menu
// and Ctrl+O open the options window.
#include <QWidget>

#include <functional>

#include "config/frmConfig.h"

class QAction;
class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace vlmr {

class ClickLabel;
class PictureBox;

class ConfiguratorWindow : public QWidget, public ConfigView {
public:
    ConfiguratorWindow();

    // The presenter the controls report to; set before the first event.
    void Attach(frmConfig& presenter) { presenter_ = &presenter; }
    // What "Options..." does.
    void SetOptionsAction(std::function<void()> action) { openOptions_ = std::move(action); }

    void Show() override;
    void SetCaption(const std::string& caption) override;
    void SetPathText(const std::string& text) override;
    void SetStartupCheck(bool checked) override;
    void SetStyleOption(std::optional<StyleOption> option) override;
    void SetButtonSunken(PictureButton button, bool sunken) override;
    void Minimize() override;
    void Restore() override;
    WindowHandle Handle() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QRadioButton* Option(StyleOption option) const;

    frmConfig* presenter_ = nullptr;
    std::function<void()> openOptions_;
    QAction* options_;
    bool placed_ = false;
    // Set while code changes a control, so the change is not taken for the user's.
    bool updating_ = false;

    // The controls the window works with, named as the presenter knows them
    // (also their object names).
    QLineEdit* IPath;
    PictureBox* PSave;
    PictureBox* POpen;
    QRadioButton* OCenter;
    QRadioButton* OTile;
    QRadioButton* OStretch;
    ClickLabel* Label1;
    QCheckBox* LStart;
};

}  // namespace vlmr
