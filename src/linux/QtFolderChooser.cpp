#include "QtFolderChooser.h"

#include <QFile>
#include <QFileDialog>

namespace vlmr {

std::string QtFolderChooser::BrowseForImageFolder() {
    // No owner: the configurator stays usable while the chooser is open.
    // The path's bytes as the file system knows them.
    return QFile::encodeName(QFileDialog::getExistingDirectory(nullptr, "Select Your Image Directory"))
        .toStdString();
}

}  // namespace vlmr
