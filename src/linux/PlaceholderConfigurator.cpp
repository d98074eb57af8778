#include "PlaceholderConfigurator.h"

#include <QCloseEvent>

namespace vlmr {

PlaceholderConfigurator::PlaceholderConfigurator(Runtime& runtime)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), runtime_(runtime) {
    setWindowTitle("Velmora Configurator");
    setFixedSize(362, 107);
}

void PlaceholderConfigurator::closeEvent(QCloseEvent* event) {
    event->accept();
    runtime_.EndProgram();
}

}  // namespace vlmr
