#include "app/CvSplash.h"

#include "app/AppPictures.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

TCvSplash::TCvSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName("CvSplash");
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(kSplashWidth, kSplashHeight);
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(rect());
    auto* picture = new QLabel(panel);
    picture->setObjectName("Image1");
    const int inset = panel->frameWidth();
    picture->setGeometry(inset, inset, kSplashWidth - 2 * inset, kSplashHeight - 2 * inset);
    picture->setPixmap(SplashPicture(picture->width(), picture->height()));
    if (QScreen* s = QApplication::primaryScreen()) move(s->geometry().center() - rect().center());

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TCvSplash::Timer1Timer);
    I = 0;
    Timer1->start();
}

void TCvSplash::Timer1Timer() { ++I; }

void TCvSplash::CloseAndFree()
{
    while (I < 3) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    Timer1->stop();
    hide();
    deleteLater();
}

} // namespace corvane
