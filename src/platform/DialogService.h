#pragma once
// The standard dialogs (open, save, colour, font, print, printer set-up, page set-up) behind
// one small interface: the viewer shows the toolkit's dialogs, tests answer from a script.
// A dialog that cannot be shown answers Failed; the caller then reports
// "Unable to load " + the dialog's name + " dialog".
#include "platform/Colour.h"
#include "platform/PageSetup.h"

#include <deque>
#include <string>
#include <vector>

namespace corvane {

class MessageSink;

enum class DialogOutcome { Ok, Cancel, Failed };

struct FileDialogRequest {
    std::string title;
    // Filter in the classic form "Description|pattern|Description|pattern" (patterns may be
    // separated by ';').
    std::string filter;
    int filterIndex = 1;          // 1-based
    std::string initialDir;
    std::string fileName;         // preset file name
    std::string defaultExt;       // without the dot
    bool hideReadOnly = false;
    bool pathMustExist = false;
    bool fileMustExist = false;
    bool noReadOnlyReturn = false;
    bool overwritePrompt = false;
};

struct FontChoice {
    std::string name = "Arial";
    int size = 8;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    Colour colour = clBlack;
};

struct PrintChoice {
    int copies = 1;
    bool collate = false;
    bool allPages = true;
    int fromPage = 0, toPage = 0, minPage = 0, maxPage = 0;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // chosen receives the path the user picked (native, or as the test gives it).
    virtual DialogOutcome OpenFile(const FileDialogRequest& request, std::string& chosen) = 0;
    virtual DialogOutcome SaveFile(const FileDialogRequest& request, std::string& chosen) = 0;
    // The save dialog that also tells which entry of the filter (1-based) was chosen last;
    // by default the one the request preselects.
    virtual DialogOutcome SaveFileFiltered(const FileDialogRequest& request, std::string& chosen, int& filterIndex)
    {
        filterIndex = request.filterIndex;
        return SaveFile(request, chosen);
    }
    virtual DialogOutcome ChooseColour(Colour initial, Colour& chosen) = 0;
    virtual DialogOutcome ChooseFont(FontChoice& font) = 0;
    virtual DialogOutcome Print(PrintChoice& choice) = 0;
    virtual DialogOutcome PrinterSetup() = 0;
    virtual DialogOutcome PageSetup(PageSetupDialogValues& values) = 0;
};

// "Unable to load " + name + " dialog" as a plain message box.
std::string DialogFailureText(const std::string& name);
void ReportDialogFailure(MessageSink& sink, const std::string& name);

// The filter in the classic form as a list of "Description (patterns)" entries for a file
// dialog; a "*.*" pattern means every file. The description keeps its own text; patterns are
// added in parentheses unless the description already ends with them.
std::vector<std::string> FileDialogFilters(const std::string& classicFilter);
// The patterns of each entry of a classic filter (for matching a chosen name).
std::vector<std::vector<std::string>> FileDialogPatterns(const std::string& classicFilter);

// Answers dialogs from queues, recording every request; with an empty queue a dialog is
// cancelled. Failed answers simulate a dialog that cannot be shown.
class ScriptedDialogService : public DialogService {
public:
    std::deque<std::pair<DialogOutcome, std::string>> openAnswers, saveAnswers;   // outcome, path
    std::deque<int> saveFilterAnswers;   // filter chosen in the save dialog (else the preselected)
    std::deque<std::pair<DialogOutcome, Colour>> colourAnswers;
    std::deque<std::pair<DialogOutcome, FontChoice>> fontAnswers;
    std::deque<std::pair<DialogOutcome, PrintChoice>> printAnswers;
    std::deque<DialogOutcome> printerSetupAnswers;
    std::deque<std::pair<DialogOutcome, PageSetupDialogValues>> pageSetupAnswers;

    std::vector<FileDialogRequest> openRequests, saveRequests;
    std::vector<Colour> colourRequests;
    std::vector<PageSetupDialogValues> pageSetupRequests;
    int fontRequests = 0, printRequests = 0, printerSetupRequests = 0;

    DialogOutcome OpenFile(const FileDialogRequest& request, std::string& chosen) override;
    DialogOutcome SaveFile(const FileDialogRequest& request, std::string& chosen) override;
    DialogOutcome SaveFileFiltered(const FileDialogRequest& request, std::string& chosen, int& filterIndex) override;
    DialogOutcome ChooseColour(Colour initial, Colour& chosen) override;
    DialogOutcome ChooseFont(FontChoice& font) override;
    DialogOutcome Print(PrintChoice& choice) override;
    DialogOutcome PrinterSetup() override;
    DialogOutcome PageSetup(PageSetupDialogValues& values) override;
};

} // namespace corvane
