#pragma once

#include <QString>
#include <QStringList>

class QLabel;
class QWidget;

namespace tamblin::test {

// What a label really shows: its text read as rich text when the label takes it as such.
QString ShownText(const QLabel& label);
// Every label under window that was given one of texts shows it literally; and each text is
// shown by at least one label. Returns what went wrong, empty when nothing did.
QString LabelsShowLiterally(const QWidget& window, const QStringList& texts);
// Saves window.grab() as NAME.png in $TAMBLIN_PNG_DIR when that is set.
void SavePngIfAsked(QWidget& window, const QString& name);

} // namespace tamblin::test
