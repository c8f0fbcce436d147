#pragma once
// Save and Save As of a document kept in one file (a map definition, a text page): which name
// is written, when the save dialog is asked instead, and what the user is told. The document
// itself is written by the caller's writer, which keeps the previous file as ".BAK".
#include <functional>
#include <string>

namespace corvane {

class DialogService;
class MessageSink;

struct SaveDialogSpec {
    std::string title;       // "Save File As"
    std::string filter;      // classic filter, "MDF Files (*.mdf)|*.mdf|All Files (*.*)|*.*"
    // Added to a name whose file name part has no '.': by Save As when the first filter is
    // chosen, and by Save when it writes (".MDF"; empty: names are written as they stand).
    std::string extension;
};

enum class SaveResult { Saved, Cancelled, Failed };

// The file name part of a name on this system: what follows the last '/' (a ':' or a
// backslash is part of a file name here).
std::string FileNamePart(const std::string& nativePath);

// True when the file cannot be saved over: it exists and has no write permission bits at all
// (the file's read-only attribute), or this user may not write it or its folder; or the name
// leads through a file (a page inside a disc image).
bool IsReadOnly(const std::string& nativePath);
// "%s is read only." with the file name part of the path.
std::string ReadOnlyMessage(const std::string& nativePath);
// The name a save writes: the name itself when its file name part holds a '.', else the name
// with extension added (nothing added when extension is empty).
std::string SaveTarget(const std::string& Filename, const std::string& extension);
// The message for a file that could not be written, with the system's reason.
std::string SaveFailedMessage(const std::string& nativePath, const std::string& reason);

class DocumentSaver {
public:
    // write saves the document under a native path; false with the system's reason.
    using Writer = std::function<bool(const std::string& nativePath, std::string* error)>;

    // dialogs: null when no dialog can be shown (Save As then reports the dialog's failure).
    DocumentSaver(DialogService* dialogs, MessageSink& messages, SaveDialogSpec spec, Writer write);

    // Called whenever the document takes a new name (the window's caption follows it).
    std::function<void(const std::string& Filename)> onNamed;

    // Save: a document without a name, or whose file is read-only ("%s is read only."), goes
    // to Save As. Otherwise the file is written (SaveTarget); a name that gained an extension
    // becomes the document's name, so that the caption, the backup and the next save all mean
    // the same file. A failed write is reported with its reason, and the document keeps its
    // name.
    SaveResult Save(std::string& Filename);
    // Save As: the save dialog, preset with the name, in the document's folder (a new document:
    // the default folder), so that accepting the proposal saves the document where it is. On
    // OK the chosen name is saved as Save does, and becomes the document's name (with the
    // extension when the first filter was chosen and it has none) once the save succeeded. A
    // dialog that cannot be shown: "Unable to load Save dialog".
    SaveResult SaveAs(std::string& Filename);

private:
    void Rename(std::string& Filename, const std::string& name);
    // Writes target; once written, the document is called name.
    SaveResult SaveUnder(const std::string& target, const std::string& name, std::string& Filename);

    DialogService* dialogs_;
    MessageSink& messages_;
    SaveDialogSpec spec_;
    Writer write_;
};

} // namespace corvane
