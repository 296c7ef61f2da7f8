// The selector file as found at start-up: the program starts on it and changes environment once.
#include "fuzz_program.h"

#include "core/environment.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    gim::fuzz::FuzzProgram program;
    program.Write(QString::fromLatin1(gim::kSelectorFileName), gim::fuzz::Bytes(data, size));
    program.Start();
    program.Run(QStringLiteral("Utiles > Entorno  > Acceso"));
    return 0;
}
