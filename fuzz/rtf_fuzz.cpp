// A file loaded into the report window ("&Cargar"): RTF when it says so, plain text otherwise. What is read
// is written back as RTF and read again, as a listing saved and loaded once more would be.
#include "fuzz_program.h"

#include "platform/report.h"
#include "platform/report_files.h"
#include "platform/rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = gim::fuzz::Bytes(data, size);
    gim::ReportDocument doc;
    if (!gim::ReadRtf(bytes, doc))
        return 0;
    gim::ReportDocument again;
    if (!gim::ReadRtf(gim::WriteRtf(doc), again))
        __builtin_trap(); // what the writer writes, the reader takes
    (void)gim::CsvBytes(again);
    return 0;
}
