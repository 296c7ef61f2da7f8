// Text pasted into the import gateway. The input is one or more pieces separated by a zero byte; each
// piece's first byte chooses one of the fifteen tables (and, from 128 on, the manual mode, whose cards
// the user cancels) and the rest is the pasted text, so that one input can import machines and then the
// daily reports that name them.
#include "fuzz_program.h"

#include "core/command.h"
#include "exchange/import_gateway.h"
#include "exchange/import_tables.h"

#include <array>

namespace {

constexpr std::array<const char*, 15> kTables = {"Maquinas",  "Gamas",         "Provee",      "Repuestos",
                                                 "Planing",   "procedimiento", "PrecioHora",  "Partes",
                                                 "Ordenes",   "Reparaciones",  "Movimientos", "Averias",
                                                 "Controles", "Energias",      "COMPRAS"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    gim::fuzz::FuzzProgram program;
    program.Start();
    const QByteArray input = gim::fuzz::Bytes(data, size);
    for (const QByteArray& piece : input.split('\0')) {
        if (piece.isEmpty())
            continue;
        const auto choice = static_cast<unsigned char>(piece[0]);
        const std::optional<gim::ImportJob> job =
            gim::ImportJobFor(QLatin1String(kTables[choice % kTables.size()]));
        if (!job)
            __builtin_trap(); // every table has its import
        gim::ImportGateway(program.ctx).Manual = choice >= 128;
        const QString text = QString::fromUtf8(piece.mid(1));
        gim::RunCommand(program.ctx, {}, [&] { gim::RunGatewayImport(program.ctx, *job, text); });
    }
    return 0;
}
