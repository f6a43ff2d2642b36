#include "AppSteps.h"

#include "scanner/ui/NewIndexWizard.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace tamblin::test {

namespace {

void AddTitles(const QTreeWidgetItem* item, const QString& indent, QStringList& titles) {
    titles.append(indent + item->text(0));
    for (int i = 0; i < item->childCount(); ++i) {
        AddTitles(item->child(i), indent + QStringLiteral("  "), titles);
    }
}

} // namespace

ModalDriver::Step AppSteps::NewIndex(QString description, QString scanFile) {
    return [=](QWidget* modal) {
        auto* wizard = qobject_cast<NewIndexWizard*>(modal);
        if (!wizard) {
            return false;
        }
        QWidget* page = wizard->currentPage();
        QTest::keyClicks(page->findChild<QLineEdit*>(QStringLiteral("description")), description);
        if (!scanFile.isEmpty()) {
            page->findChild<QRadioButton*>(QStringLiteral("scan"))->click();
            wizard->next();
            auto* file = wizard->currentPage()->findChild<QLineEdit*>(QStringLiteral("file"));
            file->clear();
            QTest::keyClicks(file, scanFile);
            wizard->next();
        }
        wizard->button(QWizard::FinishButton)->click();
        return true;
    };
}

bool AppSteps::PressOkWhenFinished(QWidget* modal) {
    auto* button = modal->findChild<QPushButton*>(QStringLiteral("button"));
    if (!button || button->text() != QStringLiteral("OK")) {
        return false;
    }
    button->click();
    return true;
}

QStringList AppSteps::Tree(const QTreeWidget* tree) {
    QStringList titles;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        AddTitles(tree->topLevelItem(i), QString(), titles);
    }
    return titles;
}

} // namespace tamblin::test
