#include "platform/DialogPlacement.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QScreen>
#include <QTreeView>

#include <algorithm>

namespace tamblin {

QWidget* DialogPlacement::Anchor(QWidget* parent) {
    if (parent) {
        return parent->window();
    }
    return QApplication::activeWindow();
}

QRect DialogPlacement::WorkArea(const QWidget* anchor) {
    QScreen* screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

void DialogPlacement::SizeToShare(QWidget* dialog, const QWidget* anchor, double share) {
    QRect area = WorkArea(anchor);
    QSize wanted(static_cast<int>(area.width() * share), static_cast<int>(area.height() * share));
    wanted = wanted.expandedTo(dialog->sizeHint()).expandedTo(dialog->minimumSize());
    dialog->resize(wanted.boundedTo(area.size()));
}

void DialogPlacement::CentreOn(QWidget* dialog, const QWidget* anchor) {
    QRect area = WorkArea(anchor);
    QRect placed(QPoint(), dialog->frameGeometry().size());
    placed.moveCenter(anchor ? anchor->frameGeometry().center() : area.center());
    int left = std::clamp(placed.left(), area.left(),
                          std::max(area.left(), area.left() + area.width() - placed.width()));
    int top = std::clamp(placed.top(), area.top(),
                         std::max(area.top(), area.top() + area.height() - placed.height()));
    dialog->move(left, top);
}

void DialogPlacement::Place(QWidget* dialog, QWidget* parent, double share) {
    QWidget* anchor = Anchor(parent);
    SizeToShare(dialog, anchor, share);
    CentreOn(dialog, anchor);
}

int DialogPlacement::CaptionWidth(const QString& caption) {
    // Title bars often use a bigger or bolder font than the dialog's own.
    QFontMetrics plain(QApplication::font());
    QFontMetrics titleBar(QApplication::font("QMdiSubWindowTitleBar"));
    int text = std::max(plain.horizontalAdvance(caption), titleBar.horizontalAdvance(caption));
    // The icon, the close button and the frame, with some air.
    int controls = 8 * std::max(plain.height(), titleBar.height());
    return text + text / 5 + controls;
}

void DialogPlacement::FitCaption(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) {
        return;
    }
    // The box fixes its own size from its layout when it shows, so the width goes in there.
    int width =
        std::min(CaptionWidth(box.windowTitle()), WorkArea(Anchor(box.parentWidget())).width());
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void DialogPlacement::FitFileColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!view || !model) {
        return;
    }
    auto fit = [view] {
        QHeaderView* header = view->header();
        for (int column = 1; column < header->count(); ++column) {
            view->resizeColumnToContents(column);
        }
        int others = 0;
        for (int column = 1; column < header->count(); ++column) {
            others += header->sectionSize(column);
        }
        // The name takes what is left, but no less than its own content.
        view->resizeColumnToContents(0);
        header->resizeSection(0,
                              std::max(header->sectionSize(0), view->viewport()->width() - others));
    };
    QObject::connect(model, &QFileSystemModel::directoryLoaded, view, fit, Qt::QueuedConnection);
}

} // namespace tamblin
