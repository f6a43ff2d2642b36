#pragma once

#include "ModalDriver.h"

#include <QString>
#include <QStringList>

class QTreeWidget;

namespace tamblin::test {

// Steps a user takes in the main window's modal dialogs, shared by the tests that play them.
struct AppSteps {
    // The New index wizard: page 1's description, then, with a start file, a scan from it
    // through the source page; Finish.
    static ModalDriver::Step NewIndex(QString description, QString scanFile = {});
    // OK on the scan report, once the scan has finished and Cancel has become OK.
    static bool PressOkWhenFinished(QWidget* modal);
    // The titles of a whole tree (the contents, a list of changes), indented two spaces a
    // level.
    static QStringList Tree(const QTreeWidget* tree);
};

} // namespace tamblin::test
