#pragma once

#include <QPixmap>
#include <QWidget>

namespace tamblin {

// The start-up picture: borderless, centred, gone after 2000 ms or at the first key or
// mouse press anywhere in the program, which it swallows.
class CSplashWnd final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kShowMilliseconds = 2000;

    static void EnableSplashScreen(bool enable);
    static bool IsEnabled();
    // Shown only when enabled and no splash is up; nothing when the picture is missing.
    static void ShowSplashScreen(QWidget* owner);
    static CSplashWnd* Current();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CSplashWnd(QWidget* owner, const QPixmap& picture);
    ~CSplashWnd() override;
    void HideSplashScreen();

    QPixmap m_picture;
    QWidget* m_owner;
};

} // namespace tamblin
