#pragma once
// The print progress window: stays on top while a map is printed and lets the user cancel.
#include <QWidget>

#include <functional>

class QPushButton;

namespace corvane {

constexpr int kPrintSplashWidth = 359;
constexpr int kPrintSplashHeight = 209;

class TPrintSplashForm : public QWidget {
    Q_OBJECT
public:
    // onCancel aborts the print job in progress.
    explicit TPrintSplashForm(std::function<void()> onCancel, QWidget* parent = nullptr);
    ~TPrintSplashForm() override;

    QPushButton* CancelButton = nullptr;

private:
    std::function<void()> onCancel_;
};

// The print progress window while one is shown; cleared when it is destroyed.
extern TPrintSplashForm* PrintSplashForm;

} // namespace corvane
