#include "store/stock_breaks.h"

#include "core/context.h"
#include "core/texts.h"
#include "platform/report.h"
#include "platform/ui.h"
#include "store/spare_parts.h"
#include "store/suppliers.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace gim {

namespace {

constexpr const char* kBreakageTitle = "REPUESTOS TÉCNICOS";
constexpr const char* kOrderCaption = "PEDIDO REPUESTOS TECNICOS ";
const QString kSevenTabs = QStringLiteral("\t\t\t\t\t\t\t");

// The supplier file's records by code, in file order (the offer request writes to the last, the orders to
// each); nullopt when there is no supplier file to read.
using SupplierIndex = std::unordered_map<std::string, std::vector<TSupplierRecord>>;
std::optional<SupplierIndex> ReadSupplierIndex(Context& ctx)
{
    if (ctx.st.SupplierFileName.isEmpty())
        return std::nullopt;
    const std::optional<std::vector<TSupplierRecord>> records =
        KeyedFile<SupplierFile>(ctx).Read(Report::Silent);
    if (!records)
        return std::nullopt;
    SupplierIndex index;
    for (const TSupplierRecord& r : *records)
        index[std::string(r.Codigo.bytes())].push_back(r);
    return index;
}

std::shared_ptr<ReportDocument> NewLetter(const QString& caption)
{
    auto letter = std::make_shared<ReportDocument>(caption);
    letter->SetTabStops({8, 95, 180, 225, 260, 320, 370, 420});
    return letter;
}

void BodyFont(ReportDocument& letter)
{
    letter.SetFontSize(8);
    letter.SetStyle(FontStyle::Normal);
}

void EmptyLines(ReportDocument& report, int count)
{
    for (int i = 0; i < count; ++i)
        report.AddLine(QStringLiteral("\r"));
}

void LetterLine(ReportDocument& letter, const TSparePartRecord& part, std::int64_t quantity)
{
    letter.AddLine(QLatin1Char('\t') + PartKeyText(part) + QLatin1Char('\t') + part.Marca.str() +
                   QLatin1Char('\t') + LetterUnitValue(part.Valor.get()) + QLatin1Char('\t') +
                   QString::number(quantity) + QStringLiteral("\t\t") + part.Nombre.str());
}

void LetterFooter(ReportDocument& letter)
{
    EmptyLines(letter, 2);
    letter.AddLine(QLatin1Char('\t') + QString(113, QLatin1Char('_')));
    EmptyLines(letter, 2);
    letter.AddLine(QStringLiteral("\tFECHA DE ENTREGA DE LOS MATERIALES Y REPUESTOS : "));
    EmptyLines(letter, 3);
    letter.AddLine(QStringLiteral("\t\tCONFORME MTO.\t\t\t\tCONFORME GERENCIA"));
}

// What the order asks of a part: its order quantity, raised to what the stock lacks when that quantity
// would not reach the minimum. The part itself keeps its order quantity.
std::int64_t OrderQuantity(const TSparePartRecord& part)
{
    const std::int64_t exist = part.Exist.get();
    const std::int64_t stock = part.Stock.get();
    const std::int64_t ordered = part.PPedido.get();
    return ordered + exist < stock ? stock - exist : ordered;
}

} // namespace

StockBreaksState& StockBreaks(Context& ctx)
{
    return ctx.Module<StockBreaksState>();
}

QString LetterUnitValue(std::int64_t cents)
{
    const std::int64_t magnitude = cents < 0 ? -cents : cents;
    return (cents < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 100) +
           QLatin1Char('.') + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

void StockBreakageReport(Context& ctx)
{
    State& st = ctx.st;
    std::vector<TSparePartRecord>& breakage = StockBreaks(ctx).BreakageList;
    auto report = std::make_shared<ReportDocument>(QStringLiteral("REPUESTOS TECNICOS"));
    report->SetTabStops({8, 100, 135, 170, 205, 250, 290, 360, 440});
    report->SetFontSize(10);
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QLatin1Char('\t') + st.FirmName + QLatin1Char('\t') + QString::fromUtf8(kBreakageTitle) +
                    QLatin1Char('\t') + st.CurrentEnvironment + QLatin1Char('\t') + st.TodayText);
    EmptyLines(*report, 1);
    report->AddLine(QStringLiteral("\tCodigo\tSTK\tCTDAD\tPMIN\tLOCAL\tVAL/UND\tSUMINIST\t DENOMINACION "));
    EmptyLines(*report, 1);
    BodyFont(*report);

    breakage.clear();
    std::int64_t total = 0;
    for (const SparePartEntry& e : SpareParts(ctx).SparePartList) {
        const TSparePartRecord& p = e.rec;
        if (p.Exist.get() >= p.Stock.get())
            continue;
        breakage.push_back(p);
        report->AddLine(QLatin1Char('\t') + PartKeyText(p) + QLatin1Char('\t') +
                        QString::number(p.Stock.get()) + QLatin1Char('\t') + QString::number(p.Exist.get()) +
                        QLatin1Char('\t') + QString::number(p.PPedido.get()) + QLatin1Char('\t') +
                        p.Local.str() + QLatin1Char('\t') + CentsToText(p.Valor.get()) + QLatin1Char('\t') +
                        p.CdPVD.str() + QLatin1Char('\t') + p.Nombre.str());
        // Each product fits in 64 bits (a 33-bit difference times a 32-bit price); their total may not.
        total = AddCents(total, (std::int64_t{p.Stock.get()} - p.Exist.get()) * p.Valor.get());
    }
    // Each part went to the front of the list: the highest key leads.
    std::reverse(breakage.begin(), breakage.end());

    EmptyLines(*report, 2);
    report->AddLine(QStringLiteral("\tVALOR TOTAL DE LA ROTURA DE STOCK : ") + CentsToText(total) +
                    QStringLiteral(" EUROS"));
    st.CurrentSubFolder = QStringLiteral("\\Almacen");
    report->saveSubFolder = st.CurrentSubFolder;
    ctx.ui.ShowReport(report);
}

void OfferRequestLetter(Context& ctx, ReportDocument& letter)
{
    const State& st = ctx.st;
    const TSupplierRecord& s = StockBreaks(ctx).LetterSupplier;
    letter.AddLine(QLatin1Char('\t') + st.FirmName + QStringLiteral("\t\t\t\t\t\t") + s.Empresa.str());
    letter.AddLine(QLatin1Char('\t') + st.CurrentEnvironment);
    letter.AddLine(QLatin1Char('\n') + kSevenTabs + QStringLiteral("C/ ") + s.Calle.str() + QLatin1Char(' ') +
                   s.Numero.str());
    letter.AddLine(kSevenTabs + s.Cpostal.str() + QLatin1Char(' ') + s.Ciudad.str());
    letter.AddLine(kSevenTabs + s.Pais.str());
    EmptyLines(letter, 1);
    letter.AddLine(kSevenTabs + QStringLiteral("A la Atención del:"));
    letter.AddLine(kSevenTabs + QStringLiteral("Sr. ") + s.Contacto.str());
    letter.AddLine(kSevenTabs + s.mail.str());
    letter.AddLine(kSevenTabs + st.TodayText);
    EmptyLines(letter, 3);
    letter.SetFontSize(10);
    letter.SetBold(true);
    letter.AddLine(QStringLiteral("\t\tPETICIÓN DE OFERTA POR LOS SIGUIENTES CONCEPTOS Y CANTIDADES"));
    EmptyLines(letter, 2);
    letter.AddLine(
        QStringLiteral("\tCODIGO/REP\tMARCA\tVal/Ud.\tCant\tOferta/Ud.\t NOMBRE REPUESTO/MATERIAL"));
    letter.AddLine(QLatin1Char('\t') + QString(84, QLatin1Char('_')));
    EmptyLines(letter, 1);
}

void RequestOffersBySupplier(Context& ctx)
{
    State& st = ctx.st;
    st.AnswerCode = QStringLiteral("S");
    ShortString<10> code{};
    code = ctx.ui.InputBox(QStringLiteral("Almacén Técnico"), QStringLiteral("Còdigo Sumnistrador:"),
                           QStringLiteral("#"));
    // Cancel gives the "#" default: nothing was asked for.
    if (code.empty() || code == "#")
        return;
    // A letter is only written to a supplier of the file: without one the head would carry the address of
    // whichever supplier was written to before.
    const std::optional<SupplierIndex> suppliers = ReadSupplierIndex(ctx);
    if (!suppliers || !suppliers->contains(std::string(code.bytes()))) {
        ctx.ui.ShowMessage(QString::fromLatin1(kNotASupplier));
        return;
    }
    StockBreaksState& breaks = StockBreaks(ctx);
    breaks.LetterSupplier = suppliers->at(std::string(code.bytes())).back();

    auto letter = NewLetter(QString::fromLatin1(kOrderCaption) + breaks.LetterSupplier.Empresa.str());
    OfferRequestLetter(ctx, *letter);
    BodyFont(*letter);
    for (const SparePartEntry& e : SpareParts(ctx).SparePartList) {
        if (e.rec.CdPVD == code && e.rec.PPedido.get() >= 1)
            LetterLine(*letter, e.rec, e.rec.PPedido.get());
    }
    LetterFooter(*letter);
    ctx.ui.ShowReport(letter);
}

void OrdersFromStockBreakage(Context& ctx)
{
    State& st = ctx.st;
    StockBreaksState& breaks = StockBreaks(ctx);
    const bool manual =
        ctx.ui.InputBox(QStringLiteral("Realización Pedidos"), QStringLiteral("Manual/Auomático (M/A)"),
                        QStringLiteral("M")) == QStringLiteral("M");
    TSupplierRecord unassigned{};
    unassigned.Empresa = "SIN ADJUDICAR";
    unassigned.Contacto = " ";
    unassigned.Calle = " ";
    unassigned.Codigo = "#";
    breaks.LetterSupplier = unassigned;

    const std::optional<SupplierIndex> suppliers = ReadSupplierIndex(ctx);
    if (!suppliers)
        return;

    // Each pass writes the letter of the first part still waiting, taking every part of that supplier.
    // The parts of one supplier are gathered beforehand so that the passes together visit each part once.
    // Unattended, the letters come up together, the last in front; by hand each is shown as it is done.
    std::optional<ReportBatch> batch;
    if (!manual)
        batch.emplace(ctx.ui);
    std::vector<TSparePartRecord>& list = breaks.BreakageList;
    std::unordered_map<std::string, std::vector<std::size_t>> bySupplier;
    for (std::size_t i = 0; i < list.size(); ++i)
        bySupplier[std::string(list[i].CdPVD.bytes())].push_back(i);
    std::vector<bool> taken(list.size(), false);
    std::size_t waiting = list.size();

    for (std::size_t first = 0; first < list.size(); ++first) {
        if (taken[first])
            continue;
        const std::string code(list[first].CdPVD.bytes());
        const auto supplier = suppliers->find(code);
        if (supplier == suppliers->end()) {
            // No supplier to write to: the part is set aside and the next pass goes on with the others.
            taken[first] = true;
            --waiting;
            continue;
        }
        // A window for each record of the code; the parts go into the last one opened.
        std::shared_ptr<ReportDocument> letter;
        for (const TSupplierRecord& record : supplier->second) {
            if (letter)
                ctx.ui.ShowReport(letter);
            breaks.LetterSupplier = record;
            letter = NewLetter(QLatin1Char(' ') + QString::fromLatin1(kOrderCaption) + record.Empresa.str());
            letter->SetFontSize(10);
            letter->SetBold(true);
            OfferRequestLetter(ctx, *letter);
            BodyFont(*letter);
        }
        for (const std::size_t i : bySupplier[code]) {
            if (taken[i])
                continue;
            taken[i] = true;
            --waiting;
            const TSparePartRecord& part = list[i];
            if (part.PPedido.get() <= 0)
                continue;
            st.AnswerCode = manual ? ctx.ui.InputBox(QStringLiteral("Petición Repuestos"),
                                                     part.Nombre.str() + QStringLiteral("\n Incluir ?"),
                                                     QStringLiteral("N"))
                                   : QStringLiteral("S");
            if (st.AnswerCode != QStringLiteral("S"))
                continue;
            LetterLine(*letter, part, OrderQuantity(part));
            EmptyLines(*letter, 1);
        }
        LetterFooter(*letter);
        ctx.ui.ShowReport(letter);
        breaks.LetterSupplier.Codigo = "#";
        if (manual && waiting > 0 &&
            !ctx.ui.AskOkCancel(QStringLiteral("?ESTA PREPARADO PARA LA IMPRESION DE UN NUEVO PEDIDO  ?")))
            break;
    }

    // What no letter took stays in the list, in its order.
    std::vector<TSparePartRecord> left;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!taken[i])
            left.push_back(list[i]);
    }
    list = std::move(left);
}

} // namespace gim
