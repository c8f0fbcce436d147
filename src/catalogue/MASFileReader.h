#pragma once
// The reading position shared by the section readers of one master file. Each reader starts
// at the line MASfile_Count (the whole lines consumed so far by the readers before it), reads
// its own section, and adds the lines it consumed. Inside a section numbers are read token by
// token, so a line broken in two still reads the same values, but the next section then
// starts where the line count says, not where the token reading ended.
#include "catalogue/TextTokenReader.h"
#include "platform/DataPath.h"

#include <cstddef>
#include <string>

namespace corvane {

class MessageSink;

class MASFileReader {
public:
    // Filename is the data path of the file; messages name it as this machine names it.
    MASFileReader(const std::string& Filename, std::string text, MessageSink& sink)
        : filename_(NativePath(Filename)), sink_(sink), text_(std::move(text), filename_, sink)
    {
    }

    // The file's name for messages (native).
    const std::string& Filename() const { return filename_; }
    MessageSink& Sink() { return sink_; }
    TextTokenReader& Text() { return text_; }

    // Positions the text reader at the start of the section that begins at MASfile_Count.
    void BeginSection() { text_.SeekLine(MASfile_Count); }

    size_t MASfile_Count = 0;

private:
    std::string filename_;
    MessageSink& sink_;
    TextTokenReader text_;
};

} // namespace corvane
