#include "AppTestSupport.h"

#include <QStandardPaths>

static void InitResources() {
    Q_INIT_RESOURCE(tamblin);
}

namespace tamblin::test {

namespace {

int g_argc = 1;
char g_name[] = "app_test";
char* g_argv[] = {g_name, nullptr};

} // namespace

QApplication& App() {
    static QApplication* app = [] {
        QStandardPaths::setTestModeEnabled(true);
        auto* created = new QApplication(g_argc, g_argv);
        InitResources();
        return created;
    }();
    return *app;
}

SettingsSandbox::SettingsSandbox() {
    App();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
}

SettingsSandbox::~SettingsSandbox() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QSettings SettingsSandbox::Open() const {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarvo"),
                     QStringLiteral("Tamblin"));
}

} // namespace tamblin::test
