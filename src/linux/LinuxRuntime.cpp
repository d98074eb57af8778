#include "LinuxRuntime.h"

#include <QApplication>
#include <QDate>
#include <QLocale>
#include <QMessageBox>
#include <QString>

#include <cstdio>
#include <unistd.h>

namespace vlmr {
namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

void ShowMessageBox(std::string_view text, std::string_view title, MessageIcon icon) {
    QMessageBox box(QtIcon(icon), FromUtf8(title.empty() ? kAppTitle : title), FromUtf8(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);  // the text exactly, never read as markup
    box.exec();
}

std::string ToolkitShortDate() {
    return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

void LinuxRuntime::ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) {
    ShowMessageBox(text, title, icon);
}

void LinuxRuntime::DeliverPendingMessages() { QCoreApplication::processEvents(); }

void LinuxRuntime::EndProgram() {
    // At once: no destructor, no further event handler.
    std::fflush(nullptr);
    ::_exit(0);
}

std::string LinuxRuntime::TodayShortDate() { return ToolkitShortDate(); }

}  // namespace vlmr
