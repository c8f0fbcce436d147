#include "platform/qt/QtScreenMetrics.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QScreen>

#include <algorithm>

namespace corvane {

FrameMetrics FrameMetricsOf(const QRect& outer, const QRect& client)
{
    const int left = std::max(0, client.left() - outer.left());
    const int right = std::max(0, outer.right() - client.right());
    const int top = std::max(0, client.top() - outer.top());
    const int bottom = std::max(0, outer.bottom() - client.bottom());
    FrameMetrics f;
    f.DialogFrameWidth = (left + right) / 2;
    f.DialogFrameHeight = std::min(top, bottom);
    f.CaptionHeight = top + bottom - 2 * f.DialogFrameHeight;
    return f;
}

QRect QtScreenMetrics::ScreenGeometry(bool available) const
{
    const QScreen* s = mainWindow_ && mainWindow_->screen() ? mainWindow_->screen() : QGuiApplication::primaryScreen();
    if (!s) return QRect(0, 0, 1024, 768);
    return available ? s->availableGeometry() : s->geometry();
}

ScreenRect QtScreenMetrics::WorkArea() const
{
    const QRect r = ScreenGeometry(true);
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

int32_t QtScreenMetrics::ScreenWidth() const { return ScreenGeometry(false).width(); }

int32_t QtScreenMetrics::ScreenHeight() const { return ScreenGeometry(false).height(); }

int32_t QtScreenMetrics::MainWindowBottom() const
{
    if (!mainWindow_) return WorkArea().Top;
    const QRect outer = mainWindow_->frameGeometry();
    return outer.top() + outer.height();
}

void AwaitWindowFrame(const QWidget& window, int maxMilliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (window.isVisible() && window.frameGeometry() == window.geometry() && clock.elapsed() < maxMilliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

QtScreenMetrics::QtScreenMetrics(const QWidget* mainWindow) : mainWindow_(mainWindow)
{
    if (mainWindow && mainWindow->isWindow() && mainWindow->isVisible())
        frame_ = FrameMetricsOf(mainWindow->frameGeometry(), mainWindow->geometry());
}

} // namespace corvane
