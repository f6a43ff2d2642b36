#pragma once

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <ostream>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tamblin::test {

// One QApplication for the whole test program, with the pictures compiled in.
QApplication& App();

// Settings live in a scratch directory while this lives, so tests never touch a user's.
class SettingsSandbox {
public:
    SettingsSandbox();
    ~SettingsSandbox();
    QSettings Open() const;
    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

} // namespace tamblin::test
