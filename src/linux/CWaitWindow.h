#pragma once
// The progress window on Qt: a borderless box with one blue line of text,
// created on its first show and kept until the program ends.
#include <QWidget>

#include <functional>
#include <memory>

#include "config/CWait.h"

namespace vlmr {

class ClickLabel;

class CWaitWindow : public WaitView {
public:
    CWaitWindow();
    ~CWaitWindow() override;

    // What a click on the label does (the presenter's WLabrel_Click).
    void SetClickAction(std::function<void()> action);

    void Show() override;
    void Focus() override;
    void Hide() override;
    WindowHandle Handle() override;

    // The window, once the first show has created it.
    QWidget* Window() const { return window_.get(); }

private:
    std::unique_ptr<QWidget> window_;
    ClickLabel* WLabrel = nullptr;
    std::function<void()> click_;
};

}  // namespace vlmr
