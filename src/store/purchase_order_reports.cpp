#include "store/purchase_order_reports.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/date_range.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "platform/date_text.h"
#include "platform/report.h"
#include "records/week_graph_record.h"
#include "store/purchase_orders.h"
#include "store/spare_parts.h"
#include "store/suppliers.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <limits>
#include <memory>

namespace gim {

namespace {

const QString kAny = QStringLiteral("*");

QString Money(std::int64_t cents)
{
    return CentsToText(cents);
}

QString KeyText(const TPurchaseOrderRecord& r)
{
    return r.Codigo.str() + r.Equipo.str() + r.Util.str() + r.Pieza.str();
}

bool Matches(const QString& field, const QString& filter)
{
    return filter == kAny || field == filter;
}

std::uint32_t Clip32(std::int64_t n)
{
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(n, 0, std::numeric_limits<std::uint32_t>::max()));
}

// What the listing asks before the range: one filter, by ActionCode.
struct ListingFilter
{
    std::int32_t number = 0; // 0 = any order
    QString state = kAny, supplier = kAny, reference = kAny, deliveryNote = kAny, part = kAny;
};

ListingFilter AskListingFilter(Context& ctx)
{
    const QString& mode = ctx.st.ActionCode;
    const QString title = QStringLiteral("INFORME DE PEDIDOS");
    ListingFilter f;
    auto ask = [&](const char* prompt, const char* fallback) {
        return ctx.ui.InputBox(title, QString::fromUtf8(prompt), QString::fromUtf8(fallback));
    };
    if (mode == QLatin1String("P"))
        f.state = ask("Entrar ESTADO  E/I/P", "P");
    else if (mode == QLatin1String("D") || mode == QLatin1String("H") || mode == QLatin1String("J"))
        f.number = AskedOrderNumberOf(ctx, ask("Entrar Nº Pedido", "0")).value_or(0);
    else if (mode == QLatin1String("I"))
        f.supplier = ask("Entrar Proveedor", "*");
    else if (mode == QLatin1String("G"))
        f.reference = ask("Entrar Referencia", "*");
    else if (mode == QLatin1String("A"))
        f.deliveryNote = ask("Entrar Albarán", "*");
    else if (mode == QLatin1String("C"))
        f.part = ask("Entrar Código Repuesto", "*");
    return f;
}

} // namespace

void PurchaseOrderReport(Context& ctx)
{
    State& st = ctx.st;
    const QString mode = st.ActionCode;
    const ListingFilter filter = AskListingFilter(ctx);
    if (!PickWeekRange(ctx) || st.RangeEndWeek == QLatin1String("#"))
        return;
    const QString today = WeekCodeOf(ctx.clock.Now().date());
    const QString from = st.RangeStartWeek;
    const QString to = st.RangeEndWeek;

    auto report = std::make_shared<ReportDocument>(QStringLiteral("\"COMPRAS MATERIALES Y REPUESTOS DE ") +
                                                   st.CurrentEnvironment);
    report->SetTabStops({10, 50, 150, 210, 260, 305, 335, 360, 390, 430, 460, 530, 585});
    report->SetFontSize(13);
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QLatin1Char('\t') + st.FirmName + QStringLiteral("  ") + st.CurrentEnvironment);
    report->AddLine(QLatin1Char('\t') + st.TodayText);
    report->SetFontSize(10);
    report->AddLine(
        QStringLiteral("\tPed/Rf\tCdg.Alm/Descrip\tSuministro\tFech Ped\tFech Ent\tFech Cier\tEst\t"
                       "Cant.\tEntr.\tCost/Und\tTotal €\tAlbarán"));
    report->SetFontSize(8);
    report->SetStyle(FontStyle::Normal);

    std::int64_t ordered = 0;
    std::int64_t received = 0;
    std::array<std::uint32_t, 6> counts{};
    // A listing of the whole file takes seconds: the progress window stays until its window is shown.
    const std::vector<PurchaseOrderEntry>& list = PurchaseOrders(ctx).PurchaseOrderList;
    const ProgressScope progress(ctx, QStringLiteral("AVANCE LISTADO DE COMPRAS"),
                                 static_cast<int>(list.size()));
    int walked = 0;
    for (const PurchaseOrderEntry& e : list) {
        ctx.ui.SetProgress(++walked);
        const TPurchaseOrderRecord& r = e.rec;
        const QString date = (mode == QLatin1String("H")   ? r.fechaENT
                              : mode == QLatin1String("J") ? r.Fechcierr
                                                           : r.fechALTA)
                                 .str();
        const QString estado = r.Estado.str();
        if ((filter.number != 0 && r.Nped.get() != filter.number) || date < from || date > to ||
            !Matches(r.Refer.str(), filter.reference) || !Matches(r.Sumtro.str(), filter.supplier) ||
            !Matches(r.Albaran.str(), filter.deliveryNote) || !Matches(KeyText(r), filter.part) ||
            !Matches(estado, filter.state))
            continue;
        // Overdue: still pending past its delivery date.
        if (mode == QLatin1String("R") && !(estado == QLatin1String("P") && r.fechaENT.str() < today))
            continue;
        if (estado == QLatin1String("P"))
            ++counts[0];
        else if (estado == QLatin1String("E"))
            ++counts[1];
        else if (estado == QLatin1String("I"))
            ++counts[2];
        const std::int64_t entered = std::int64_t{r.Entradas.get()} * r.Valor.get();
        ordered += std::int64_t{r.Cantidad.get()} * r.Valor.get();
        received += entered;
        report->SetColour(r.Entradas.get() < 0           ? kReportRed
                          : estado == QLatin1String("I") ? kReportBlue
                                                         : kReportBlack);
        report->AddLine(QLatin1Char('\t') + QString::number(r.Nped.get()) + QLatin1Char('\t') + KeyText(r) +
                        QLatin1Char('\t') + r.Sumtro.str() + QLatin1Char('\t') +
                        WeekCodeToDateText(r.fechALTA.str()) + QLatin1Char('\t') +
                        WeekCodeToDateText(r.fechaENT.str()) + QLatin1Char('\t') +
                        WeekCodeToDateText(r.Fechcierr.str()) + QLatin1Char('\t') + estado +
                        QLatin1Char('\t') + QString::number(r.Cantidad.get()) + QLatin1Char('\t') +
                        QString::number(r.Entradas.get()) + QLatin1Char('\t') + Money(r.Valor.get()) +
                        QLatin1Char('\t') + Money(entered) + QLatin1Char('\t') + r.Albaran.str());
        report->AddLine(QLatin1Char('\t') + r.Refer.str() + QLatin1Char('\t') + r.Marca.str() +
                        QLatin1Char('\t') + r.Descrip.str());
        report->AddLine(QStringLiteral("\r"));
    }
    report->SetColour(kReportBlack);
    report->AddLine(QStringLiteral("\r"));
    report->AddLine(QStringLiteral("\tVALOR TOTAL DEL PEDIDO :\t") + Money(ordered) + QStringLiteral(" €"));
    report->AddLine(QStringLiteral("\tVALOR TOTAL DE ENTRADA :\t") + Money(received) + QStringLiteral(" €"));
    ShowPieChart(*report, st, QStringLiteral("PEDIDOS DE ALMACEN MANTENIMIENTO "),
                 {QStringLiteral("PENDIENTES"), QStringLiteral("RECIBIDOS"), QStringLiteral("INCOMPLETOS"),
                  QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" ")},
                 counts);
    ctx.ui.ShowReport(report);
}

void OrderSituationReport(Context& ctx)
{
    State& st = ctx.st;
    if (!PickWeekRange(ctx) || st.RangeEndWeek == QLatin1String("#"))
        return;
    const QString from = st.RangeStartWeek;
    const QString to = st.RangeEndWeek;
    // The firm of each supplier code, read once: the first supplier of the file with it.
    QHash<QString, QString> firms;
    if (!st.SupplierFileName.isEmpty())
        for (const TSupplierRecord& s :
             KeyedFile<SupplierFile>(ctx).Read(Report::Silent).value_or(std::vector<TSupplierRecord>{}))
            if (!firms.contains(s.Codigo.str()))
                firms.insert(s.Codigo.str(), s.Empresa.str());

    auto report =
        std::make_shared<ReportDocument>(QStringLiteral("SITUACIÓN DE PEDIDOS ") + st.CurrentEnvironment);
    report->SetTabStops({10, 90, 250, 330, 400, 470});
    report->SetFontSize(13);
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("             SITUACIÓN DE PEDIDOS "));
    report->SetFontSize(10);
    report->AddLine(QStringLiteral("\tNº/Ref.\tSUMINISTRADOR\tVALOR €\tFecha Pedido\tFecha Cierre\tEstado"));
    report->AddLine(QString(100, QLatin1Char('_')));
    report->SetStyle(FontStyle::Normal);

    const std::vector<PurchaseOrderEntry>& list = PurchaseOrders(ctx).PurchaseOrderList;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < list.size();) {
        const TPurchaseOrderRecord& first = list[i].rec;
        std::int64_t value = 0;
        QString closing;
        bool pending = false;
        std::size_t j = i;
        for (; j < list.size() && list[j].rec.Nped.get() == first.Nped.get(); ++j) {
            const TPurchaseOrderRecord& r = list[j].rec;
            value += std::int64_t{r.Cantidad.get()} * r.Valor.get();
            closing = std::max(closing, r.Fechcierr.str());
            pending = pending || r.Estado == "P";
        }
        i = j;
        if (closing < from || closing > to)
            continue;
        total += value;
        report->SetColour(pending ? kReportBlue : kReportBlack);
        const QString supplier = first.Sumtro.str();
        report->AddLine(QLatin1Char('\t') + QString::number(first.Nped.get()) + QStringLiteral(" / ") +
                        first.Refer.str() + QLatin1Char('\t') + supplier + QStringLiteral(" / ") +
                        firms.value(supplier, QString::fromLatin1(kNotASupplier)) + QLatin1Char('\t') +
                        Money(value) + QLatin1Char('\t') + WeekCodeToDateText(first.fechALTA.str()) +
                        QLatin1Char('\t') + WeekCodeToDateText(closing) + QLatin1Char('\t') +
                        (pending ? QStringLiteral("P") : QStringLiteral("E")));
    }
    report->SetColour(kReportBlack);
    report->AddLine(QStringLiteral("\tVALOR TOTAL DE LOS PEDIDOS CERRADOS DE ") +
                    FormatDate(st.RangeStartDate.date()) + QStringLiteral(" HASTA ") +
                    FormatDate(st.RangeEndDate.date()) + QLatin1Char('\t') + Money(total) +
                    QStringLiteral(" €"));
    ctx.ui.ShowReport(report);
}

void WeeklyPurchasesReport(Context& ctx)
{
    State& st = ctx.st;
    const std::optional<std::int32_t> asked =
        AskedOrderNumberOf(ctx, ctx.ui.InputBox(QStringLiteral("COMPRAS DE MTO"),
                                                QStringLiteral("INTRODUZCA AÑO DE ANALISIS "), st.YearText));
    if (!asked)
        return;
    const int year = *asked;
    LoadPurchaseOrders(ctx);
    std::array<TWeekGraphRecord, 53> weeks{};
    for (const PurchaseOrderEntry& e : PurchaseOrders(ctx).PurchaseOrderList) {
        // Week 0 of a year and week 52 of the year before share an absolute week; the code's own year
        // decides which of the two years the line belongs to, so it is counted once.
        const std::optional<WeekParts> ordered = ParseWeekCode(e.rec.fechALTA.bytes());
        if (!ordered || ordered->year != year - kYearOffset)
            continue;
        const int w = ordered->week;
        if (w < 0 || w > 52)
            continue;
        weeks[static_cast<std::size_t>(w)].Value1 = weeks[static_cast<std::size_t>(w)].Value1.get() +
                                                    std::int64_t{e.rec.Cantidad.get()} * e.rec.Valor.get();
        weeks[static_cast<std::size_t>(w)].Value2 = weeks[static_cast<std::size_t>(w)].Value2.get() + 1;
    }
    FreePurchaseOrderList(ctx);

    auto report = std::make_shared<ReportDocument>(QStringLiteral("COMPRAS DE MTO ") + st.CurrentEnvironment);
    report->SetTabStops({10, 90, 170});
    report->SetFontSize(10);
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\tSem/Año\tNº Ped\tVALOR €"));
    report->SetStyle(FontStyle::Normal);
    std::int64_t value = 0;
    std::int64_t lines = 0;
    std::int64_t active = 0;
    for (int w = 0; w <= 52; ++w) {
        const TWeekGraphRecord& g = weeks[static_cast<std::size_t>(w)];
        // Week 0 holds the days before the year's first week; it is listed only when it has lines.
        if (w == 0 && g.Value2.get() == 0)
            continue;
        value += g.Value1.get();
        lines += g.Value2.get();
        if (g.Value1.get() > 0)
            ++active;
        report->AddLine(QLatin1Char('\t') + QString::number(w) + QLatin1Char('/') + QString::number(year) +
                        QLatin1Char('\t') + QString::number(g.Value2.get()) + QLatin1Char('\t') +
                        Money(g.Value1.get()));
    }
    report->AddLine(QStringLiteral("\tTotales:\t") + QString::number(lines) + QLatin1Char('\t') +
                    Money(value));
    if (active != 0) {
        const std::int64_t perWeek = value / (active * 100);
        DrawWeeklyGraph(*report, st,
                        QStringLiteral("COMPRAS REPUESTOS DE ALMACEN DEL AÑO ") + QString::number(year),
                        WeekGraphStyle::SparePartPurchases,
                        {QString::number(perWeek) + QStringLiteral(" € Sem"),
                         QString::number(lines / active) + QStringLiteral(" Comp Sem"), QStringLiteral(" "),
                         QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" ")},
                        Clip32(perWeek), weeks);
    }
    ctx.ui.ShowReport(report);
}

} // namespace gim
