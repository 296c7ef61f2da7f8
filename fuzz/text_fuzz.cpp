// A plain-text file loaded into the report window: UTF-8 when it decodes as such, Windows-1252 otherwise;
// then saved as RTF and as the spreadsheet export.
#include "fuzz_program.h"

#include "platform/report.h"
#include "platform/report_files.h"
#include "platform/rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    gim::ReportDocument doc;
    gim::SetPlainText(doc, gim::DecodePlainText(gim::fuzz::Bytes(data, size)));
    gim::ReportDocument again;
    if (!gim::ReadRtf(gim::WriteRtf(doc), again))
        __builtin_trap();
    (void)gim::CsvBytes(doc);
    return 0;
}
