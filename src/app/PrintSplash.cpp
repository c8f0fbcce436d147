#include "app/PrintSplash.h"

#include "app/AppPictures.h"
#include "platform/VersionInfo.h"
#include "platform/qt/QtCanvas.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace corvane {

TPrintSplashForm* PrintSplashForm = nullptr;

TPrintSplashForm::TPrintSplashForm(std::function<void()> onCancel, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), onCancel_(std::move(onCancel))
{
    setObjectName("PrintSplashForm");
    setProperty("helpContext", 1007);   // File, Print...
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(kPrintSplashWidth, kPrintSplashHeight);
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(rect());

    auto* icon = new QLabel(panel);
    icon->setPixmap(ProgramIconPixmap(32));
    icon->setGeometry(16, 16, 32, 32);

    GetVersionInfo();
    auto* product = new QLabel(BytesToQString(GetVersionItem("ProductName")), panel);
    product->setObjectName("ProductName");
    auto* version = new QLabel("Version " + QString::fromStdString(DisplayVersion(GetVersionItem("FileVersion"))), panel);
    version->setObjectName("Version");
    FreeVersionInfo();
    QFont big(FontFamilyFor("Arial"));
    big.setPixelSize(20);
    big.setBold(true);
    product->setFont(big);
    product->setGeometry(0, 24, kPrintSplashWidth, 28);
    product->setAlignment(Qt::AlignCenter);
    version->setGeometry(0, 56, kPrintSplashWidth, 20);
    version->setAlignment(Qt::AlignCenter);

    auto* printing = new QLabel("Printing...", panel);
    printing->setObjectName("Printing");
    QFont mid = big;
    mid.setPixelSize(16);
    printing->setFont(mid);
    printing->setGeometry(0, 96, kPrintSplashWidth, 26);
    printing->setAlignment(Qt::AlignCenter);

    CancelButton = new QPushButton("&Cancel", panel);
    CancelButton->setObjectName("CancelButton");
    CancelButton->setGeometry((kPrintSplashWidth - 75) / 2, 150, 75, 25);
    connect(CancelButton, &QPushButton::clicked, this, [this] {
        if (onCancel_) onCancel_();
    });

    if (QScreen* s = QApplication::primaryScreen()) move(s->geometry().center() - rect().center());
    PrintSplashForm = this;
}

TPrintSplashForm::~TPrintSplashForm()
{
    if (PrintSplashForm == this) PrintSplashForm = nullptr;
}

} // namespace corvane
