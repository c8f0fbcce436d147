#include "app/AboutBox.h"

#include "app/AppPictures.h"
#include "help/HelpPages.h"
#include "platform/TextFile.h"
#include "platform/VersionInfo.h"
#include "platform/qt/QtCanvas.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>

#include <sys/utsname.h>

namespace corvane {

namespace {

constexpr int kPanelLeft = 8, kPanelTop = 8, kPanelWidth = 342;
constexpr int kShortPanelHeight = 248;   // just below the memo
constexpr int kFullPanelHeight = 308;    // 10 pixels below the memory line
constexpr int kButtonWidth = 75, kButtonHeight = 25;

QString Distribution()
{
    std::string text;
    if (!ReadNativeFile("/etc/os-release", text, 64u << 10)) return {};
    const QStringList lines = QString::fromUtf8(text.c_str()).split('\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith("PRETTY_NAME=")) {
            QString v = line.mid(12);
            if (v.size() >= 2 && (v.startsWith('"') || v.startsWith('\''))) v = v.mid(1, v.size() - 2);
            return v;
        }
    }
    return {};
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& r, Qt::Alignment align = Qt::AlignHCenter | Qt::AlignVCenter)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setGeometry(r);
    l->setAlignment(align);
    return l;
}

} // namespace

QString GetOSInfo()
{
    struct utsname u {};
    if (::uname(&u) != 0) return " Linux";
    return QString::fromStdString(FormatSystemLine(u.sysname, u.release, Distribution().toStdString()));
}

quint64 PhysicalMemoryKB()
{
    // Files under /proc report no size: read until the end rather than asking for it.
    QFile f("/proc/meminfo");
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    for (const QString& line : lines)
        if (line.startsWith("MemTotal:")) return line.mid(9).trimmed().section(' ', 0, 0).toULongLong();
    return 0;
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName("AboutBox");
    setWindowTitle("About");
    setProperty("helpContext", kHelpAboutBox);
    FormCreate();
}

void TAboutBox::FormCreate()
{
    QFont f(FontFamilyFor("Arial"));
    f.setBold(true);
    f.setPointSize(8);
    setFont(f);
    resize(kAboutWidth, kAboutHeight);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(kPanelLeft, kPanelTop, kPanelWidth, kFullPanelHeight);

    ProgramIcon = MakeLabel(Panel1, "ProgramIcon", QRect(8, 8, 32, 32));
    ProgramIcon->setPixmap(ProgramIconPixmap(32));
    ProductName = MakeLabel(Panel1, "ProductName", QRect(0, 12, kPanelWidth, 26));
    QFont big = f;
    big.setPixelSize(20);
    ProductName->setFont(big);
    Version = MakeLabel(Panel1, "Version", QRect(0, 42, kPanelWidth, 18));
    Company = MakeLabel(Panel1, "Company", QRect(0, 62, kPanelWidth, 18));
    ReleaseYear = MakeLabel(Panel1, "ReleaseYear", QRect(0, 82, kPanelWidth, 18));
    Copyright = MakeLabel(Panel1, "Copyright", QRect(8, 102, kPanelWidth - 16, 34));
    Copyright->setWordWrap(true);

    Memo1 = new QTextEdit(Panel1);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(16, 140, kPanelWidth - 32, 100);
    Memo1->setReadOnly(true);
    QFont memoFont = f;
    memoFont.setBold(false);
    Memo1->setFont(memoFont);
    Memo1->setPlainText("Coastlines: GSHHG, the global self-consistent hierarchical high-resolution geography.\n"
                        "Sample themes: open data from public surveys.\n"
                        "Built with Qt.\n"
                        "Thanks to the hydrographers and surveyors whose work these maps show.");
    Memo1->selectAll();
    Memo1->setAlignment(Qt::AlignHCenter);
    Memo1->moveCursor(QTextCursor::Start);

    Bevel1 = new QFrame(Panel1);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(8, 250, kPanelWidth - 16, 2);
    OS = MakeLabel(Panel1, "OS", QRect(8, 258, kPanelWidth - 16, 18));
    MemoryLabel = MakeLabel(Panel1, "MemoryLabel", QRect(8, 280, 180, 18), Qt::AlignLeft | Qt::AlignVCenter);
    PhysMem = MakeLabel(Panel1, "PhysMem", QRect(170, 280, kPanelWidth - 178, 18), Qt::AlignRight | Qt::AlignVCenter);

    OKButton = new QPushButton("&Ok", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    OKButton->installEventFilter(this);
    OKButton->setFocus();   // the box opens with the key on the button, so V works at once
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    InitializeCaptions();
    full_ = false;
    ApplyForm();
    if (QScreen* s = QApplication::primaryScreen()) move(s->geometry().center() - rect().center());
}

void TAboutBox::InitializeCaptions()
{
    GetVersionInfo();
    ProductName->setText(BytesToQString(GetVersionItem("ProductName")));
    Version->setText("Version " + QString::fromStdString(DisplayVersion(GetVersionItem("FileVersion"))));
    Company->setText(BytesToQString(GetVersionItem("CompanyName")));
    Copyright->setText(BytesToQString(GetVersionItem("LegalCopyright")));
    FreeVersionInfo();
    ReleaseYear->setText(QStringLiteral("Released " CORVANE_RELEASE_YEAR));
    struct utsname u {};
    QString kernel = ::uname(&u) == 0 ? QString::fromLatin1(u.sysname) : QString("Linux");
    OS->setText(GetOSInfo());
    // The memory line names the operating system the program runs on: here its kernel.
    MemoryLabel->setText("Memory Available to " + kernel + ":");
    QString sep = QLocale::system().groupSeparator();
    char separator = sep.size() == 1 && sep[0].unicode() < 0x80 ? sep[0].toLatin1() : ',';
    PhysMem->setText(QString::fromStdString(FormatKilobytes(PhysicalMemoryKB(), separator)));
}

void TAboutBox::ApplyForm()
{
    int panelHeight = full_ ? kFullPanelHeight : kShortPanelHeight;
    Panel1->resize(kPanelWidth, panelHeight);
    for (QWidget* w : {static_cast<QWidget*>(Bevel1), static_cast<QWidget*>(OS), static_cast<QWidget*>(MemoryLabel),
                       static_cast<QWidget*>(PhysMem)})
        w->setVisible(full_);
    int buttonTop = kPanelTop + panelHeight + 10;
    OKButton->setGeometry((kAboutWidth - kButtonWidth) / 2, buttonTop, kButtonWidth, kButtonHeight);
    setFixedSize(kAboutWidth, buttonTop + kButtonHeight + 10);
}

void TAboutBox::ToggleForm()
{
    full_ = !full_;
    ApplyForm();
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == OKButton && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_V) {
        ToggleForm();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace corvane
