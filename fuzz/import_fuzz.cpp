// Text pasted into the import gateway. The input is one or more pieces separated by a zero byte; each
// piece's first byte chooses one of the fifteen tables and the mode: below 128 automatic, from 128 on
// manual with every card cancelled, from 192 on manual with every card saved as the import filled it (its
// fields checked as the user's). The rest is the pasted text, so that one input can import machines and
// then the daily reports that name them.
#include "fuzz_program.h"

#include "core/command.h"
#include "exchange/import_gateway.h"
#include "exchange/import_tables.h"

#include <array>
#include <optional>

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
        // A card or two per line at most; a card shown again and again ends up cancelled.
        program.ui.acceptOthers =
            choice >= 192 ? std::optional<int>(gim::CardResult::Save) : std::optional<int>();
        program.ui.pressesLeft = 2 * static_cast<int>(piece.count('\n')) + 2;
        gim::RunCommand(program.ctx, {}, [&] { gim::RunGatewayImport(program.ctx, *job, text); });
    }
    return 0;
}
