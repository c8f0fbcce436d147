#include "platform/SaveCommand.h"

#include "platform/CvVars.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"

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
    if (::stat(nativePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return (st.st_mode & 0222) == 0 || ::access(nativePath.c_str(), W_OK) != 0;
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
    if (IsReadOnly(target)) {
        messages_.Warn(ReadOnlyMessage(target));
        return SaveAs(Filename);
    }
    // The name written is the document's name from now on, so that the caption, the backup
    // and the next save all mean the same file.
    if (target != Filename) Rename(Filename, target);
    std::string error;
    if (!write_(target, &error)) {
        messages_.Error(SaveFailedMessage(target, error));
        return SaveResult::Failed;
    }
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
    Rename(Filename, filter == 1 ? SaveTarget(chosen, spec_.extension) : chosen);
    return Save(Filename);
}

} // namespace corvane
