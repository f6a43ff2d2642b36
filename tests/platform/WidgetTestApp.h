#pragma once

class QApplication;

namespace tamblin::test {

// The one application object of a widget test binary, made on first use. It is never
// destroyed: Qt Test's input devices would otherwise outlive it at exit.
QApplication& WidgetTestApp();

} // namespace tamblin::test
