#include "platform/SaveCommand.h"

#include "platform/CvVars.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

std::string FileNamePart(const std::string& nativePath)
{
    const size_t k = nativePath.rfind('/');
    return k == std::string::npos ? nativePath : nativePath.substr(k + 1);
}

bool IsReadOnly(const std::string& nativePath)
{
    struct stat st {};
    // A name that leads through a file (a page inside a disc image) can never be written.
    if (::stat(nativePath.c_str(), &st) != 0) return errno == ENOTDIR;
    if (!S_ISREG(st.st_mode)) return false;
    if ((st.st_mode & 0222) == 0 || ::access(nativePath.c_str(), W_OK) != 0) return true;
    // The new version is written beside the file and renamed over it: the folder must take it.
    const std::string folder = nativePath.substr(0, nativePath.size() - FileNamePart(nativePath).size());
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0;
}

std::string ReadOnlyMessage(const std::string& nativePath) { return FileNamePart(nativePath) + " is read only."; }

std::string SaveTarget(const std::string& Filename, const std::string& extension)
{
    // Only the file name counts: a dot in a folder name ("/home/ann/.maps/North") is no
    // extension.
    if (extension.empty() || FileNamePart(Filename).find('.') != std::string::npos) return Filename;
    return Filename + extension;
}

std::string SaveFailedMessage(const std::string& nativePath, const std::string& reason)
{
    return "Unable to save " + nativePath + " : " + (reason.empty() ? std::string("unknown error") : reason);
}

DocumentSaver::DocumentSaver(DialogService* dialogs, MessageSink& messages, SaveDialogSpec spec, Writer write)
    : dialogs_(dialogs), messages_(messages), spec_(std::move(spec)), write_(std::move(write))
{
}

void DocumentSaver::Rename(std::string& Filename, const std::string& name)
{
    Filename = name;
    if (onNamed) onNamed(Filename);
}

SaveResult DocumentSaver::Save(std::string& Filename)
{
    if (Filename.empty()) return SaveAs(Filename);
    const std::string target = SaveTarget(Filename, spec_.extension);
    return SaveUnder(target, target, Filename);
}

SaveResult DocumentSaver::SaveUnder(const std::string& target, const std::string& name, std::string& Filename)
{
    if (IsReadOnly(target)) {
        messages_.Warn(ReadOnlyMessage(target));
        return SaveAs(Filename);
    }
    std::string error;
    if (!write_(target, &error)) {
        messages_.Error(SaveFailedMessage(target, error));
        return SaveResult::Failed;   // the document keeps the name it had
    }
    if (name != Filename) Rename(Filename, name);
    return SaveResult::Saved;
}

SaveResult DocumentSaver::SaveAs(std::string& Filename)
{
    FileDialogRequest r;
    r.title = spec_.title;
    r.filter = spec_.filter;
    r.filterIndex = 1;
    // Where the document is; a new one, or one whose folder has gone, in the default folder.
    const std::string folder = Filename.substr(0, Filename.size() - FileNamePart(Filename).size());
    struct stat st {};
    r.initialDir = !folder.empty() && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? folder : CvVars::DefaultDir;
    r.fileName = Filename;
    r.hideReadOnly = true;
    r.noReadOnlyReturn = true;
    std::string chosen;
    int filter = 1;
    const DialogOutcome outcome = dialogs_ ? dialogs_->SaveFileFiltered(r, chosen, filter) : DialogOutcome::Failed;
    if (outcome == DialogOutcome::Failed) {
        ReportDialogFailure(messages_, "Save");
        return SaveResult::Failed;
    }
    if (outcome != DialogOutcome::Ok || chosen.empty()) return SaveResult::Cancelled;
    // With the document's own filter the name gains its extension; with "All Files" the
    // document keeps the name as typed (the file written still gains it, as Save writes it).
    const std::string target = SaveTarget(chosen, spec_.extension);
    return SaveUnder(target, filter == 1 ? target : chosen, Filename);
}

} // namespace corvane
