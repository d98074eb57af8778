#pragma once
// Stands in for the configurator window until it is built: the window with
// its title and size, and closing it ends the program.
#include <QWidget>

#include "platform/Runtime.h"

namespace vlmr {

class PlaceholderConfigurator : public QWidget {
public:
    explicit PlaceholderConfigurator(Runtime& runtime);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Runtime& runtime_;
};

}  // namespace vlmr
