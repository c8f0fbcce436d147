#pragma once
// The place search of the main window: a field in its tool bar (and, while the tool bar is
// hidden, in a small window of its own) in which typing shows the matching names of the atlas
// as they are typed, from the second character on: the name, what it is (the theme, and a
// query record's kind) and where it lies. Choosing one (Enter, or a click) hands the place to
// the main window, which shows it on the map.
//
// The index of names is read on first use, on a thread of its own (gazetteer/NameCache.h); a
// line beside the field tells how far it is, and the search works on what is read so far.
#include "gazetteer/NameCache.h"

#include <QWidget>

#include <memory>
#include <vector>

class QCompleter;
class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTimer;

namespace corvane {

class FindField : public QWidget {
    Q_OBJECT
public:
    explicit FindField(QWidget* parent = nullptr);
    ~FindField() override;

    // The field typed in ("FindEdit") and the line that tells the progress and what was found
    // wrong ("FindStatus").
    QLineEdit* Edit = nullptr;
    QLabel* Status = nullptr;
    // The list of matches shown under the field.
    QCompleter* Matches = nullptr;

    // Reads the index of the present medium, unless it is being read or was read.
    void StartIndex();
    // The places of the list, in its order.
    const std::vector<Place>& Shown() const { return shown_; }
    // How far the index of names is read.
    NameIndexProgress Progress() const;
    // The index is read whole and the list is of it.
    bool ListComplete() const;
    // The most places listed.
    static constexpr size_t kMostShown = 40;

signals:
    void PlaceChosen(const corvane::Place& place);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Typed();
    void Poll();
    void ShowStatus();   // the line beside the field: progress, nothing found, problems
    void ShowMatches();
    void Choose(int row);

    std::shared_ptr<NameIndexJob> job_;
    uint64_t generation_ = 0;
    QStandardItemModel* model_ = nullptr;
    QTimer* poll_ = nullptr;
    std::vector<Place> shown_;
    bool choosing_ = false;   // a place was chosen and is about to be shown
    bool unmatched_ = false;  // nothing is found for the text typed
};

// The index job of the present medium, shared by the fields of the process; started when
// first asked for, and again for another medium. Released by the main window as it goes, so
// that the reading stops (once no field holds it) while the program still stands.
std::shared_ptr<NameIndexJob> PlaceIndexJob();
void ReleasePlaceIndexJob();

} // namespace corvane
