#pragma once
// The "Geographic Search" dialog: the northern and southern latitudes and the western and
// eastern longitudes of a map area, each as degrees, minutes and seconds, or with one part
// typed as a decimal, and a hemisphere letter. Clicking a column header switches that column
// to decimal entry and back. The values and their rules are GeoSearchValues'; the dialog shows
// them and turns clicks and keys into its calls.
//
// Use: SetUp each of "N", "S", "W", "E", exec(); after QDialog::Accepted read N, S, W, E.
#include "interact/GeoSearchValues.h"

#include <QDialog>

#include <string>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace corvane {

class MessageSink;

class TGeographicSearch : public QDialog {
    Q_OBJECT
public:
    TGeographicSearch(QWidget* parent, MessageSink& messages);
    ~TGeographicSearch() override;

    // Fills a row ("N", "S", "W" or "E") from a value in decimal degrees.
    void SetUp(const std::string& LL, double dValue);

    // The box, decimal degrees, north and east positive; set when the dialog closes with OK.
    double N = 0, S = 0, W = 0, E = 0;

    // The rows, top to bottom N, S, W, E, by the program's component names (NDeg1, NMin1,
    // NSec1, NHemi1, NEdit1, ...).
    QSpinBox* Deg[4] = {};
    QSpinBox* Min[4] = {};
    QSpinBox* Sec[4] = {};
    QLineEdit* Hemi[4] = {};
    QLineEdit* Edit[4] = {};
    QToolButton* HemiUp[4] = {};
    QToolButton* HemiDown[4] = {};
    QPushButton *DPanel1 = nullptr, *MPanel1 = nullptr, *SPanel1 = nullptr;
    QLabel* HPanel1 = nullptr;
    QPushButton *OKBtn = nullptr, *CancelBtn = nullptr, *ClearBtn = nullptr, *HelpBtn = nullptr;

    // The handlers.
    void OKBtnClick();
    void ClearBtnClick();
    void DPanel1Click();
    void MPanel1Click();
    void SPanel1Click();
    void HemiSpinClick(int tag);   // tag 1..4 for N, S, W, E

    const GeoSearchValues& Values() const { return values_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Widgets to values and back; the columns shown and spanned by the entry mode.
    void ToValues();
    void FromValues();
    void ApplyMode();
    bool HeaderClick(bool (GeoSearchValues::*click)(std::string&));

    MessageSink& messages_;
    GeoSearchValues values_;
    QGridLayout* grid_ = nullptr;
};

} // namespace corvane
