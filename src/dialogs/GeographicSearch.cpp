#include "dialogs/GeographicSearch.h"

#include "platform/MessageSink.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvane {

namespace {

// The entry mode outlives the dialog: it is where the user left it the time before.
struct EntryMode {
    bool DecDeg = false, DecMin = false, DecSec = false;
};
EntryMode& LastMode()
{
    static EntryMode mode;
    return mode;
}

const char* const kRowLetters[4] = {"N", "S", "W", "E"};
const char* const kRowLabels[4] = {"Northern most latitude", "Southern most latitude", "Western most longitude",
                                   "Eastern most longitude"};

// Grid columns: label, degrees, minutes, seconds, hemisphere letter, its spin button.
enum Column { ColLabel = 0, ColDeg, ColMin, ColSec, ColHemi, ColSpin };

QSpinBox* Spin(QWidget* parent, const QString& name, int max)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(0, max);
    s->setAlignment(Qt::AlignRight);
    return s;
}

QPushButton* Header(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setFlat(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

TGeographicSearch::TGeographicSearch(QWidget* parent, MessageSink& messages) : QDialog(parent), messages_(messages)
{
    setObjectName("GeographicSearch");
    setWindowTitle("Geographic Search");
    setModal(true);

    grid_ = new QGridLayout;
    DPanel1 = Header(this, "DPanel1", "Deg");
    MPanel1 = Header(this, "MPanel1", "Min");
    SPanel1 = Header(this, "SPanel1", "Sec");
    HPanel1 = new QLabel("Hemi", this);
    HPanel1->setObjectName("HPanel1");
    HPanel1->setAlignment(Qt::AlignCenter);
    grid_->addWidget(HPanel1, 0, ColHemi, 1, 2);
    connect(DPanel1, &QPushButton::clicked, this, &TGeographicSearch::DPanel1Click);
    connect(MPanel1, &QPushButton::clicked, this, &TGeographicSearch::MPanel1Click);
    connect(SPanel1, &QPushButton::clicked, this, &TGeographicSearch::SPanel1Click);

    for (int r = 0; r < 4; ++r) {
        const QString p = kRowLetters[r];
        const bool latitude = r < 2;
        grid_->addWidget(new QLabel(kRowLabels[r], this), r + 1, ColLabel);
        Deg[r] = Spin(this, p + "Deg1", latitude ? 90 : 180);
        Min[r] = Spin(this, p + "Min1", 60);
        Sec[r] = Spin(this, p + "Sec1", 60);
        Edit[r] = new QLineEdit(this);
        Edit[r]->setObjectName(p + "Edit1");
        Edit[r]->setAlignment(Qt::AlignRight);
        Edit[r]->hide();
        Hemi[r] = new QLineEdit(this);
        Hemi[r]->setObjectName(p + "Hemi1");
        Hemi[r]->setProperty("tag", r + 1);
        Hemi[r]->setMaxLength(1);
        // Only the keys handled in eventFilter change the letter: no pasting, cutting or
        // dropping of other text, which OK would read as north or east.
        Hemi[r]->setReadOnly(true);
        Hemi[r]->setAcceptDrops(false);
        Hemi[r]->setAlignment(Qt::AlignCenter);
        Hemi[r]->setFixedWidth(Hemi[r]->fontMetrics().horizontalAdvance("WW") + 12);
        Hemi[r]->installEventFilter(this);
        grid_->addWidget(Hemi[r], r + 1, ColHemi);

        // The small up/down button beside the letter: either half toggles it.
        auto* spin = new QWidget(this);
        auto* v = new QVBoxLayout(spin);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(0);
        HemiUp[r] = new QToolButton(spin);
        HemiDown[r] = new QToolButton(spin);
        HemiUp[r]->setObjectName(p + "HemiUp1");
        HemiDown[r]->setObjectName(p + "HemiDown1");
        for (QToolButton* b : {HemiUp[r], HemiDown[r]}) {
            b->setArrowType(b == HemiUp[r] ? Qt::UpArrow : Qt::DownArrow);
            b->setFixedSize(16, 11);
            b->setFocusPolicy(Qt::NoFocus);
            b->setProperty("tag", r + 1);
            connect(b, &QToolButton::clicked, this, [this, r] { HemiSpinClick(r + 1); });
            v->addWidget(b);
        }
        grid_->addWidget(spin, r + 1, ColSpin);
    }

    OKBtn = new QPushButton("&OK", this);
    CancelBtn = new QPushButton("&Cancel", this);
    ClearBtn = new QPushButton("C&lear", this);
    HelpBtn = new QPushButton("&Help", this);
    OKBtn->setObjectName("OKBtn");
    CancelBtn->setObjectName("CancelBtn");
    ClearBtn->setObjectName("ClearBtn");
    HelpBtn->setObjectName("HelpBtn");
    HelpBtn->hide();
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TGeographicSearch::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ClearBtn, &QPushButton::clicked, this, &TGeographicSearch::ClearBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {OKBtn, CancelBtn, ClearBtn, HelpBtn}) buttons->addWidget(b);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid_);
    outer->addLayout(buttons);

    const EntryMode& m = LastMode();
    values_.DecDeg = m.DecDeg;
    values_.DecMin = m.DecMin;
    values_.DecSec = m.DecSec;
    FromValues();
}

TGeographicSearch::~TGeographicSearch()
{
    LastMode() = {values_.DecDeg, values_.DecMin, values_.DecSec};
}

void TGeographicSearch::SetUp(const std::string& LL, double dValue)
{
    ToValues();
    values_.SetUp(LL, dValue);
    FromValues();
}

void TGeographicSearch::ToValues()
{
    for (int r = 0; r < 4; ++r) {
        GeoSearchRow& row = values_.Rows[r];
        row.Deg = Deg[r]->value();
        row.Min = Min[r]->value();
        row.Sec = Sec[r]->value();
        row.Text = Edit[r]->text().toStdString();
        row.Hemi = Hemi[r]->text().toStdString();
    }
}

void TGeographicSearch::FromValues()
{
    for (int r = 0; r < 4; ++r) {
        const GeoSearchRow& row = values_.Rows[r];
        Deg[r]->setValue(row.Deg);
        Min[r]->setValue(row.Min);
        Sec[r]->setValue(row.Sec);
        Edit[r]->setText(QString::fromStdString(row.Text));
        Hemi[r]->setText(QString::fromStdString(row.Hemi));
    }
    ApplyMode();
}

// The decimal text takes the place of the columns it stands for, and the headers widen over
// them: all three in decimal degrees, minutes and seconds in decimal minutes, seconds alone in
// decimal seconds.
void TGeographicSearch::ApplyMode()
{
    const GeoSearchValues& v = values_;
    DPanel1->setText(QString::fromStdString(v.DegCaption()));
    MPanel1->setText(QString::fromStdString(v.MinCaption()));
    SPanel1->setText(QString::fromStdString(v.SecCaption()));
    const int textColumn = v.DecDeg ? ColDeg : v.DecMin ? ColMin : v.DecSec ? ColSec : -1;
    for (QWidget* w : {static_cast<QWidget*>(DPanel1), static_cast<QWidget*>(MPanel1), static_cast<QWidget*>(SPanel1)})
        grid_->removeWidget(w);
    grid_->addWidget(DPanel1, 0, ColDeg, 1, v.DecDeg ? 3 : 1);
    MPanel1->setVisible(v.MinColumnShown());
    SPanel1->setVisible(v.SecColumnShown());
    if (v.MinColumnShown()) grid_->addWidget(MPanel1, 0, ColMin, 1, v.DecMin ? 2 : 1);
    if (v.SecColumnShown()) grid_->addWidget(SPanel1, 0, ColSec);
    for (int r = 0; r < 4; ++r) {
        for (QWidget* w : {static_cast<QWidget*>(Deg[r]), static_cast<QWidget*>(Min[r]), static_cast<QWidget*>(Sec[r]),
                           static_cast<QWidget*>(Edit[r])})
            grid_->removeWidget(w);
        QSpinBox* const spins[3] = {Deg[r], Min[r], Sec[r]};
        for (int c = ColDeg; c <= ColSec; ++c) {
            QSpinBox* s = spins[c - ColDeg];
            const bool shown = textColumn < 0 || c < textColumn;
            s->setVisible(shown);
            if (shown) grid_->addWidget(s, r + 1, c);
        }
        Edit[r]->setVisible(textColumn >= 0);
        if (textColumn >= 0) grid_->addWidget(Edit[r], r + 1, textColumn, 1, ColSec - textColumn + 1);
    }
}

bool TGeographicSearch::HeaderClick(bool (GeoSearchValues::*click)(std::string&))
{
    ToValues();
    std::string error;
    if (!(values_.*click)(error)) {
        messages_.Error(error);
        return false;
    }
    FromValues();
    return true;
}

void TGeographicSearch::DPanel1Click() { HeaderClick(&GeoSearchValues::ClickDegHeader); }
void TGeographicSearch::MPanel1Click() { HeaderClick(&GeoSearchValues::ClickMinHeader); }
void TGeographicSearch::SPanel1Click() { HeaderClick(&GeoSearchValues::ClickSecHeader); }

void TGeographicSearch::HemiSpinClick(int tag)
{
    if (tag < 1 || tag > 4) return;
    const std::string now = Hemi[tag - 1]->text().toStdString();
    Hemi[tag - 1]->setText(QString::fromStdString(GeoSearchValues::ToggleHemi(now, tag <= 2)));
}

bool TGeographicSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const int tag = watched->property("tag").toInt();
    if (tag < 1 || tag > 4) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right: HemiSpinClick(tag); return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete: return true;
    default: break;
    }
    const QString text = key->text();
    if (text.isEmpty() || !text[0].isPrint()) return QDialog::eventFilter(watched, event);   // Tab, Enter, Esc
    QLineEdit* edit = Hemi[tag - 1];
    const char typed = text[0].toLatin1();
    edit->setText(QString::fromStdString(GeoSearchValues::TypedHemi(edit->text().toStdString(), typed, tag <= 2)));
    return true;   // nothing else is typed into a letter
}

void TGeographicSearch::OKBtnClick()
{
    ToValues();
    const GeoSearchResult r = values_.Read();
    if (!r.ok) {
        if (r.conversionError)
            messages_.Error(r.message);
        else
            messages_.Warn(r.message);
        return;
    }
    N = r.N;
    S = r.S;
    W = r.W;
    E = r.E;
    accept();
}

void TGeographicSearch::ClearBtnClick()
{
    ToValues();
    values_.Clear();
    FromValues();
}

} // namespace corvane
