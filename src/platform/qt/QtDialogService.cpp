#include "platform/qt/QtDialogService.h"

#include "help/HelpPages.h"
#include "platform/DataPath.h"
#include "platform/Rounding.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPrinter.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace corvane {

namespace {

QWidget* DialogParent() { return QApplication::activeWindow(); }

QString InitialFolder(const std::string& dir)
{
    if (!dir.empty()) {
        QString native = QString::fromStdString(NativePath(dir));
        if (QFileInfo(native).isDir()) return native;
    }
    return QDir::currentPath();
}

} // namespace

DialogOutcome QtDialogService::FileDialog(const FileDialogRequest& request, bool save, std::string& chosen,
                                          int* filterIndex)
{
    if (!qApp) return DialogOutcome::Failed;
    QFileDialog dlg(DialogParent(), BytesToQString(request.title), InitialFolder(request.initialDir));
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setProperty("helpContext", save ? 1005 : 1002);   // File, Save As / File, Open
    if (save)
        dlg.setFileMode(QFileDialog::AnyFile);
    else
        dlg.setFileMode(request.fileMustExist || request.pathMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters;
    for (const std::string& f : FileDialogFilters(request.filter)) filters << BytesToQString(f);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        int index = request.filterIndex - 1;
        if (index >= 0 && index < filters.size()) dlg.selectNameFilter(filters[index]);
    }
    if (!request.defaultExt.empty()) dlg.setDefaultSuffix(QString::fromStdString(request.defaultExt));
    // The proposed name without its folder (the dialog is in its folder already): only '/'
    // separates folders on this system.
    if (!request.fileName.empty()) dlg.selectFile(QFileInfo(QString::fromStdString(request.fileName)).fileName());
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return DialogOutcome::Cancel;
    chosen = dlg.selectedFiles().first().toStdString();
    if (filterIndex) {
        const int selected = filters.indexOf(dlg.selectedNameFilter());
        *filterIndex = selected >= 0 ? selected + 1 : request.filterIndex;
    }
    return DialogOutcome::Ok;
}

DialogOutcome QtDialogService::OpenFile(const FileDialogRequest& request, std::string& chosen)
{
    return FileDialog(request, false, chosen);
}

DialogOutcome QtDialogService::SaveFile(const FileDialogRequest& request, std::string& chosen)
{
    return FileDialog(request, true, chosen);
}

DialogOutcome QtDialogService::SaveFileFiltered(const FileDialogRequest& request, std::string& chosen, int& filterIndex)
{
    return FileDialog(request, true, chosen, &filterIndex);
}

DialogOutcome QtDialogService::ChooseColour(Colour initial, Colour& chosen)
{
    if (!qApp) return DialogOutcome::Failed;
    QColorDialog dlg(ToQColor(initial & 0xFFFFFF), DialogParent());
    dlg.setProperty("helpContext", kHelpColourDialog);
    if (dlg.exec() != QDialog::Accepted) return DialogOutcome::Cancel;
    chosen = FromQColor(dlg.selectedColor());
    return DialogOutcome::Ok;
}

DialogOutcome QtDialogService::ChooseFont(FontChoice& font)
{
    if (!qApp) return DialogOutcome::Failed;
    QFont initial(FontFamilyFor(font.name), font.size);
    initial.setBold(font.bold);
    initial.setItalic(font.italic);
    initial.setUnderline(font.underline);
    initial.setStrikeOut(font.strikeOut);
    QFontDialog dlg(initial, DialogParent());
    dlg.setProperty("helpContext", kHelpFontDialog);
    if (dlg.exec() != QDialog::Accepted) return DialogOutcome::Cancel;
    QFont f = dlg.selectedFont();
    font.name = f.family().toStdString();
    font.size = f.pointSize() > 0 ? f.pointSize() : font.size;
    font.bold = f.bold();
    font.italic = f.italic();
    font.underline = f.underline();
    font.strikeOut = f.strikeOut();
    return DialogOutcome::Ok;
}

DialogOutcome QtDialogService::Print(PrintChoice& choice)
{
    if (!qApp) return DialogOutcome::Failed;
    QPrinter& printer = CurrentPrinter();
    printer.setCopyCount(std::max(1, choice.copies));
    printer.setCollateCopies(choice.collate);
    printer.setPrintRange(QPrinter::AllPages);
    QPrintDialog dlg(&printer, DialogParent());
    dlg.setProperty("helpContext", 1007);   // File, Print...
    if (choice.maxPage > 0) {
        dlg.setMinMax(choice.minPage, choice.maxPage);
        dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    }
    if (dlg.exec() != QDialog::Accepted) return DialogOutcome::Cancel;
    KeepMinimumMargins(printer);
    choice.copies = printer.copyCount();
    choice.collate = printer.collateCopies();
    choice.allPages = printer.printRange() != QPrinter::PageRange;
    choice.fromPage = printer.fromPage();
    choice.toPage = printer.toPage();
    return DialogOutcome::Ok;
}

DialogOutcome QtDialogService::PrinterSetup()
{
    if (!qApp) return DialogOutcome::Failed;
    QPrintDialog dlg(&CurrentPrinter(), DialogParent());
    dlg.setWindowTitle(QObject::tr("Printer Setup"));
    dlg.setProperty("helpContext", 1008);   // File, Print Setup
    dlg.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dlg.exec() != QDialog::Accepted) return DialogOutcome::Cancel;
    KeepMinimumMargins(CurrentPrinter());
    return DialogOutcome::Ok;
}

DialogOutcome QtDialogService::PageSetup(PageSetupDialogValues& values)
{
    if (!qApp) return DialogOutcome::Failed;
    QPrinter& printer = CurrentPrinter();
    // Hundredths of a millimetre or thousandths of an inch, shown in millimetres or inches.
    const QPageLayout::Unit unit = values.millimetres ? QPageLayout::Millimeter : QPageLayout::Inch;
    const double perUnit = values.millimetres ? 100.0 : 1000.0;
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(unit);
    layout.setMode(QPageLayout::FullPageMode);   // any margin may be typed
    layout.setMargins(QMarginsF(values.left / perUnit, values.top / perUnit, values.right / perUnit,
                                values.bottom / perUnit));
    printer.setPageLayout(layout);
    QPageSetupDialog dlg(&printer, DialogParent());
    dlg.setProperty("helpContext", 1006);   // File, Page Setup
    int result = dlg.exec();
    QMarginsF m = printer.pageLayout().margins(unit);
    KeepMinimumMargins(printer);
    if (result != QDialog::Accepted) return DialogOutcome::Cancel;
    values.left = RoundI(m.left() * perUnit);
    values.top = RoundI(m.top() * perUnit);
    values.right = RoundI(m.right() * perUnit);
    values.bottom = RoundI(m.bottom() * perUnit);
    return DialogOutcome::Ok;
}

} // namespace corvane
