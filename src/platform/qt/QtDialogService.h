#pragma once
// The standard dialogs of the toolkit: QFileDialog, QColorDialog, QFontDialog, QPrintDialog
// (print and printer set-up) and QPageSetupDialog, all on the current printer.
#include "platform/DialogService.h"

class QWidget;

namespace corvane {

class QtDialogService : public DialogService {
public:
    DialogOutcome OpenFile(const FileDialogRequest& request, std::string& chosen) override;
    DialogOutcome SaveFile(const FileDialogRequest& request, std::string& chosen) override;
    DialogOutcome SaveFileFiltered(const FileDialogRequest& request, std::string& chosen, int& filterIndex) override;
    DialogOutcome ChooseColour(Colour initial, Colour& chosen) override;
    DialogOutcome ChooseFont(FontChoice& font) override;
    DialogOutcome Print(PrintChoice& choice) override;
    DialogOutcome PrinterSetup() override;
    DialogOutcome PageSetup(PageSetupDialogValues& values) override;

private:
    DialogOutcome FileDialog(const FileDialogRequest& request, bool save, std::string& chosen,
                             int* filterIndex = nullptr);
};

} // namespace corvane
