#include "ShownText.h"

#include <QLabel>
#include <QTextDocument>
#include <QWidget>

#include <cstdlib>

namespace tamblin::test {

QString ShownText(const QLabel& label) {
    Qt::TextFormat format = label.textFormat();
    bool rich =
        format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(label.text()));
    if (!rich) {
        return label.text();
    }
    QTextDocument document;
    document.setHtml(label.text());
    return document.toPlainText();
}

QString LabelsShowLiterally(const QWidget& window, const QStringList& texts) {
    QString faults;
    for (const QString& text : texts) {
        bool seen = false;
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            QString shown = ShownText(*label);
            seen = seen || shown.contains(text);
            if (label->text().contains(text) && !shown.contains(text)) {
                faults += label->objectName() + QStringLiteral(" shows \"") + shown +
                          QStringLiteral("\"\n");
            }
        }
        if (!seen) {
            faults += QStringLiteral("no label shows \"") + text + QStringLiteral("\"\n");
        }
    }
    return faults;
}

void SavePngIfAsked(QWidget& window, const QString& name) {
    if (const char* dir = std::getenv("TAMBLIN_PNG_DIR")) {
        window.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name +
                           QStringLiteral(".png"));
    }
}

} // namespace tamblin::test
