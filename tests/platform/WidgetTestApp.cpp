#include "WidgetTestApp.h"

#include <QApplication>

namespace tamblin::test {

namespace {

int g_argc = 1;
char g_name[] = "tamblin_widget_test";
char* g_argv[] = {g_name, nullptr};

} // namespace

QApplication& WidgetTestApp() {
    static auto* app = new QApplication(g_argc, g_argv);
    return *app;
}

} // namespace tamblin::test
