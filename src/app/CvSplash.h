#pragma once
// The splash window shown while the program starts: borderless, centred, a bevelled panel with
// the splash picture. It stays up at least about three seconds from its creation.
#include <QWidget>

class QTimer;

namespace corvane {

constexpr int kSplashWidth = 623;
constexpr int kSplashHeight = 474;

class TCvSplash : public QWidget {
    Q_OBJECT
public:
    explicit TCvSplash(QWidget* parent = nullptr);

    int I = 0;   // seconds counted by the timer
    QTimer* Timer1 = nullptr;

    // Processes pending events until the timer has ticked three times, stops the timer and
    // frees the window.
    void CloseAndFree();

private:
    void Timer1Timer();
};

} // namespace corvane
