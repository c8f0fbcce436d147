#pragma once
// The about box: the program's identity from its version items, an acknowledgement memo and,
// in its full form, the operating system and the physical memory. The V key on the OK button
// toggles between the short and the full form.
#include <QDialog>

class QFrame;
class QLabel;
class QTextEdit;
class QPushButton;

namespace corvane {

constexpr int kAboutWidth = 358;
constexpr int kAboutHeight = 335;

// The operating system line: kernel name, release and distribution of this machine.
QString GetOSInfo();
// Total physical memory in kilobytes (0 when unknown).
quint64 PhysicalMemoryKB();

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    bool FullForm() const { return full_; }
    void ToggleForm();

    QFrame* Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr, *ProductName = nullptr, *Version = nullptr, *Company = nullptr;
    QLabel *ReleaseYear = nullptr, *Copyright = nullptr, *OS = nullptr, *MemoryLabel = nullptr, *PhysMem = nullptr;
    QTextEdit* Memo1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void InitializeCaptions();
    void ApplyForm();
    bool full_ = false;
};

} // namespace corvane
