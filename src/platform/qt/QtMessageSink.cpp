#include "platform/qt/QtMessageSink.h"

#include "platform/CodePage.h"

#include <QApplication>
#include <QMessageBox>

namespace corvane {

MsgResult QtMessageSink::Show(MsgKind kind, const std::string& text, MsgButtons buttons)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (kind) {
    case MsgKind::Information: icon = QMessageBox::Information; break;
    case MsgKind::Warning: icon = QMessageBox::Warning; break;
    case MsgKind::Error: icon = QMessageBox::Critical; break;
    case MsgKind::Confirmation: icon = QMessageBox::Question; break;
    case MsgKind::Plain: break;
    }
    QMessageBox::StandardButtons std = QMessageBox::Ok;
    switch (buttons) {
    case MsgButtons::Ok: std = QMessageBox::Ok; break;
    case MsgButtons::OkCancel: std = QMessageBox::Ok | QMessageBox::Cancel; break;
    case MsgButtons::YesNo: std = QMessageBox::Yes | QMessageBox::No; break;
    case MsgButtons::YesNoCancel: std = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    QString caption = title_.isEmpty() ? QApplication::applicationName() : title_;
    // Messages name files by their native (UTF-8) paths beside text of the data files.
    QMessageBox box(icon, caption, QString::fromStdString(MixedTextToUtf8(text)), std, QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Ok: return MsgResult::Ok;
    default:   // closed with the window's close button or Escape
        return buttons == MsgButtons::Ok ? MsgResult::Ok : buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel;
    }
}

void QtMessageSink::Beep() { QApplication::beep(); }

} // namespace corvane
