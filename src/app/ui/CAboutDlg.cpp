#include "app/ui/CAboutDlg.h"

#include "index/IndexFile.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

namespace tamblin {

namespace {

QLabel* Picture(const QString& resource, const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(QPixmap(resource));
    return label;
}

QLabel* Text(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About Tamblin"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);
    layout->addWidget(
        Picture(QStringLiteral(":/tamblin/tamblin.png"), QStringLiteral("programIcon"), this), 0, 0,
        2, 1, Qt::AlignTop);
    layout->addWidget(
        Text(QStringLiteral("Tamblin version ") + QString::fromLatin1(kProgramVersion),
             QStringLiteral("programVersion"), this),
        0, 1);
    layout->addWidget(Text(QStringLiteral("Navora version ") + QString::fromLatin1(kNavoraVersion),
                           QStringLiteral("navoraVersion"), this),
                      1, 1);
    layout->addWidget(
        Picture(QStringLiteral(":/tamblin/about.png"), QStringLiteral("aboutPicture"), this), 2, 0,
        1, 2, Qt::AlignCenter);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace tamblin
