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
#include <map>

namespace {

constexpr std::array<const char*, 15> kTables = {"Maquinas",  "Gamas",         "Provee",      "Repuestos",
                                                 "Planing",   "procedimiento", "PrecioHora",  "Partes",
                                                 "Ordenes",   "Reparaciones",  "Movimientos", "Averias",
                                                 "Controles", "Energias",      "COMPRAS"};

// The button that stores each card the manual import shows.
const std::map<QString, QString>& SaveButtons()
{
    static const std::map<QString, QString> buttons = {
        {QStringLiteral("TFormMQ"), QStringLiteral("Button1")},
        {QStringLiteral("TFormGM"), QStringLiteral("Button1")},
        {QStringLiteral("TFProve"), QStringLiteral("Salvar")},
        {QStringLiteral("TFREPUESTO"), QStringLiteral("Salvar")},
        {QStringLiteral("TInstru"), QStringLiteral("Salvar")},
        {QStringLiteral("TfichPreHora"), QStringLiteral("salvar")},
        {QStringLiteral("TFORMPDT"), QStringLiteral("SalvaPartes")},
        {QStringLiteral("TORDENES"), QStringLiteral("Salvar")},
        {QStringLiteral("TRepsem"), QStringLiteral("Salvar")},
        {QStringLiteral("TFmov"), QStringLiteral("Entrada")},
        {QStringLiteral("TAverias"), QStringLiteral("Button1")},
        {QStringLiteral("TValorMD"), QStringLiteral("Salvar")},
        {QStringLiteral("TCompras"), QStringLiteral("Salvar")},
    };
    return buttons;
}

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
        program.ui.presses = choice >= 192 ? SaveButtons() : std::map<QString, QString>{};
        program.ui.pressesLeft = 2 * static_cast<int>(piece.count('\n')) + 2;
        gim::RunCommand(program.ctx, {}, [&] { gim::RunGatewayImport(program.ctx, *job, text); });
    }
    return 0;
}
