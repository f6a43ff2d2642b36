#include "platform/DialogService.h"

#include "platform/QtDialogService.h"

namespace tamblin {

namespace {
DialogService* g_installed = nullptr;
}

DialogService& Dialogs() {
    static QtDialogService real;
    return g_installed ? *g_installed : real;
}

void SetDialogService(DialogService* service) {
    g_installed = service;
}

QStringList TranslateFilter(const QString& filter) {
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) {
            break;
        }
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString description = parts[i];
        // "*.*" needs a dot here; the intent is every file.
        description.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
        if (patterns == QStringLiteral("*.*")) {
            patterns = QStringLiteral("*");
        }
        // "Navora Files (*.xo)" already names its patterns; others get them added.
        result << (description.contains(QLatin1Char('('))
                       ? description
                       : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return result;
}

} // namespace tamblin
