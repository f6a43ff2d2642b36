#include "platform/QtDialogService.h"

#include "platform/DialogPlacement.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace tamblin {

namespace {

// Room for long names and the size and date columns beside them.
constexpr double kFileDialogShare = 0.6;

QMessageBox::Icon ToQtIcon(DialogService::Icon icon) {
    switch (icon) {
    case DialogService::Icon::Information:
        return QMessageBox::Information;
    case DialogService::Icon::Warning:
        return QMessageBox::Warning;
    case DialogService::Icon::Question:
        return QMessageBox::Question;
    case DialogService::Icon::Stop:
        return QMessageBox::Critical;
    case DialogService::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(DialogService::Buttons buttons) {
    switch (buttons) {
    case DialogService::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case DialogService::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case DialogService::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case DialogService::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

DialogService::Answer QtDialogService::ShowMessage(QWidget* parent, const Message& message) {
    QMessageBox box(ToQtIcon(message.icon),
                    message.caption.isEmpty() ? QStringLiteral("Tamblin") : message.caption,
                    message.text, ToQtButtons(message.buttons), parent);
    box.setObjectName(QStringLiteral("messageBox"));
    // Messages quote titles, URLs and file names: "The <table> tag" must keep its tag.
    box.setTextFormat(Qt::PlainText);
    if (message.defaultCancel) {
        box.setDefaultButton(QMessageBox::Cancel);
    }
    DialogPlacement::FitCaption(box);
    // The box takes its final size only as it shows; it is centred once it has it.
    QWidget* anchor = DialogPlacement::Anchor(parent);
    QTimer::singleShot(0, &box, [&box, anchor = QPointer<QWidget>(anchor)] {
        DialogPlacement::CentreOn(&box, anchor);
    });
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString QtDialogService::PromptFile(QWidget* parent, const FileRequest& request) {
    QFileDialog dialog(parent, request.title);
    dialog.setObjectName(QStringLiteral("fileDialog"));
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(TranslateFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultExtension);
    if (request.path.endsWith(QLatin1Char('/'))) {
        dialog.setDirectory(request.path);
    } else if (!request.path.isEmpty()) {
        dialog.selectFile(request.path);
    }
    DialogPlacement::FitFileColumns(dialog);
    DialogPlacement::Place(&dialog, parent, kFileDialogShare);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace tamblin
