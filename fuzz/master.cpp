// Master files: the theme, its data set descriptors, key and query line definitions are read
// from the bytes; what was read is written back by the master file writer, which must read
// back to the same text again.
#include "FuzzTarget.h"
#include "catalogue/MasterFile.h"
#include "catalogue/writers/MasterFileWriter.h"
#include "platform/ByteSource.h"
#include "platform/MessageSink.h"

using namespace corvane;

CORVANE_FUZZ_TARGET(master)
{
    NullMessageSink sink;
    const MemorySource src(std::vector<uint8_t>(data, data + size));
    std::unique_ptr<MASStruct> mas = MASStruct::Create("CDROM:\\Themes\\Fuzz.MAS", src, sink);
    FUZZ_CHECK(mas != nullptr);
    int files = 0;
    for (const DSDStruct* d = mas->NextDSD.get(); d; d = d->NextDSD.get())
        for (const DFNStruct* f = d->NextDFN.get(); f; f = f->NextDFN.get()) files += !f->FileName.empty();
    (void)files;

    const std::string written = WriteMasterFile(*mas);
    RecordingMessageSink again;
    std::unique_ptr<MASStruct> back = MASStruct::Create("CDROM:\\Themes\\Fuzz.MAS", MemorySource(written), again);
    FUZZ_CHECK(back != nullptr);
    FUZZ_CHECK(WriteMasterFile(*back) == written);
}
