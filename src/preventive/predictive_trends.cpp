#include "preventive/predictive_trends.h"

#include "core/context.h"
#include "core/io_errors.h"
#include "core/lookups.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "core/week_codes.h"
#include "masterdata/routines.h"
#include "platform/report.h"
#include "preventive/plan_launch.h"
#include "preventive/plan_time.h"
#include "preventive/predictive.h"
#include "preventive/predictive_card.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <tuple>

namespace gim {

namespace {

// The chart's scale: the plot height is 300 parts, the 100 % line at 200 of them (120 for a low alarm)
// and a tick every 40.
constexpr double kScaleParts = 300.0;
constexpr double kHighLevelParts = 200.0;
constexpr double kLowLevelParts = 120.0;
constexpr double kStepParts = 40.0;
constexpr double kLevelMargin = 0.01;
constexpr int kTickLength = 10;
constexpr int kScaleTicks = 7;
constexpr int kTextFontSize = 8;

const QString kAlertsNone = QStringLiteral("TODOS LOS CONTOLES ESTAN POR DEBAJO DE LOS NIVELES DE ALERTA");

bool Kind(const TPredictiveRecord& level, const char* kind)
{
    return level.FREC == kind;
}

QString Num(std::int64_t n)
{
    return QString::number(n);
}

// Collects the chart's steps. Like the old canvas, it keeps its points in 16 bits; pixels off the picture
// are dropped.
class ChartWriter
{
public:
    ChartWriter(int width, int height) : m_width(width), m_height(height) {}

    void Rect(int x1, int y1, int x2, int y2)
    {
        m_ops.push_back(GraphOp::Shape(GraphOp::Kind::Rect, x1, y1, x2, y2));
    }
    void Line(int x1, int y1, int x2, int y2)
    {
        m_ops.push_back(GraphOp::Shape(GraphOp::Kind::Line, x1, y1, x2, y2));
    }
    void Text(int x, int y, const QString& text)
    {
        m_ops.push_back(GraphOp::Label(x, y, text, kTextFontSize));
    }
    void Pixel(std::int64_t x, std::int64_t y, std::uint32_t color)
    {
        const int px = static_cast<std::int16_t>(static_cast<std::uint16_t>(x & 0xFFFF));
        const int py = static_cast<std::int16_t>(static_cast<std::uint16_t>(y & 0xFFFF));
        if (px < 0 || py < 0 || px >= m_width || py >= m_height)
            return;
        m_ops.push_back(GraphOp::Dot(px, py, color));
    }
    // A plus sign with arms of two pixels; measure 1's also fills the four diagonal neighbours.
    void Mark(std::int64_t x, std::int64_t y, std::uint32_t color, bool diagonals)
    {
        Pixel(x, y, color);
        for (int d : {1, 2}) {
            Pixel(x - d, y, color);
            Pixel(x + d, y, color);
            Pixel(x, y - d, color);
            Pixel(x, y + d, color);
        }
        if (diagonals)
            for (int dx : {-1, 1})
                for (int dy : {-1, 1})
                    Pixel(x + dx, y + dy, color);
    }
    std::vector<GraphOp> Take() { return std::move(m_ops); }

private:
    int m_width;
    int m_height;
    std::vector<GraphOp> m_ops;
};

// The height of a measure above the time axis, truncated; a scale that is no number draws nothing.
std::optional<std::int64_t> MeasureHeight(std::int32_t measure, double scale)
{
    const double height = std::trunc(measure * scale);
    if (!std::isfinite(height))
        return std::nullopt;
    constexpr double kLimit = 1e15;
    return static_cast<std::int64_t>(std::clamp(height, -kLimit, kLimit));
}

// The picture saved as the plan window saves its own: JPEG or BMP by the name's extension, ".jpg" when it
// has none, starting in the report sub-folder.
void SaveChartPicture(Context& ctx, const PictureWindow& window)
{
    const std::optional<QString> path = ChooseChartPictureTarget(ctx);
    if (!path)
        return;
    if (const auto saved = ctx.ui.SavePicture(window, *path); !saved)
        ctx.ui.ShowMessage(saved.error());
}

// A number asked for, held where the week arithmetic cannot overflow.
std::int64_t AskNumber(Context& ctx, const QString& caption, const QString& prompt, const QString& value)
{
    constexpr std::int64_t kLimit = 1 << 30;
    const std::int64_t typed = ReadTypedNumber(ctx.st, ctx.ui.InputBox(caption, prompt, value),
                                               ctx.st.FileName(DataFile::Predictive));
    return std::clamp(typed, -kLimit, kLimit);
}

using ControlKey = std::tuple<const ShortString<8>&, const ShortString<2>&, const ShortString<2>&>;

ControlKey KeyOf(const TPredictiveRecord& r)
{
    return {r.Codigo, r.Espec, r.Pos};
}

} // namespace

void TrendHistory::Push(std::int32_t value)
{
    if (m_slots[4] != 0)
        return;
    std::copy_backward(m_slots.begin(), m_slots.end() - 1, m_slots.end());
    m_slots[0] = value;
}

std::int64_t TrendHistory::Trend(const QString& kind) const
{
    // The four differences of neighbouring slots summed, in 64 bits: two 32-bit measures can lie further
    // apart than 32 bits hold.
    const std::int64_t rise = std::int64_t{m_slots[4]} - m_slots[0];
    return (kind == QLatin1String("AL") ? rise : -rise) * 10 / 4;
}

std::pair<std::int64_t, std::int64_t> PredictiveTrend(PredictiveTrends& trends, const QString& kind,
                                                      std::int32_t measure1, std::int32_t measure2)
{
    trends.measure1.Push(measure1);
    trends.measure2.Push(measure2);
    return {trends.measure1.Trend(kind), trends.measure2.Trend(kind)};
}

QString ForecastText(std::int64_t distance, std::int64_t trend)
{
    if (trend == 0)
        return QStringLiteral("--");
    return Num(distance * 10 / trend);
}

bool PredictiveAlert(const TPredictiveRecord& level, const TPredictiveRecord& measurement)
{
    const std::int32_t l1 = level.Medida1.get();
    const std::int32_t l2 = level.Medida2.get();
    const std::int32_t m1 = measurement.Medida1.get();
    const std::int32_t m2 = measurement.Medida2.get();
    if (Kind(level, "AL") || Kind(level, "CH"))
        return m1 > l1 || m2 > l2;
    if (Kind(level, "BJ"))
        return m1 < l1 || m2 < l2;
    if (Kind(level, "PB"))
        return m1 > l1 || m2 > l1 || m1 < l2 || m2 < l2;
    return false;
}

PredictiveChartGeometry ComputePredictiveChartGeometry(const TPredictiveRecord& level, int width, int height)
{
    PredictiveChartGeometry g;
    const bool low = Kind(level, "BJ");
    g.top = height / 10;
    g.base = height - g.top;
    g.left = width / 14;
    g.right = width - g.left;
    g.plotHeight = g.base - g.top;
    const double part = g.plotHeight / kScaleParts;
    g.step = static_cast<int>(part * kStepParts);
    g.full = part * (low ? kLowLevelParts : kHighLevelParts);
    g.y100 = g.base - static_cast<int>(g.full);
    g.warningY = low ? g.y100 - g.step : g.y100 + g.step;
    g.slotWidth = height / 45 < 8 ? height / 32 : height / 45;
    const double level2 = Kind(level, "PB") ? level.Medida1.get() : level.Medida2.get();
    g.scale1 = g.full / (level.Medida1.get() + kLevelMargin);
    g.scale2 = g.full / (level2 + kLevelMargin);
    return g;
}

std::vector<GraphOp> PredictiveChartOps(const TPredictiveRecord& level, const QString& machineName,
                                        const std::vector<TPredictiveRecord>& measurements, int width,
                                        int height)
{
    const PredictiveChartGeometry g = ComputePredictiveChartGeometry(level, width, height);
    ChartWriter out(width, height);
    out.Rect(0, 0, width, height);
    out.Rect(3, 3, width - 3, height - 3);
    out.Text(width / 8, g.top,
             QStringLiteral("MTO. PREDICTIVO MAQUINA: ") + level.Codigo.str() + QStringLiteral(" / ") +
                 machineName + QStringLiteral("  Espec:") + level.Espec.str() + QStringLiteral("  Pos:") +
                 level.Pos.str());
    out.Text(g.left - 35, g.y100, QStringLiteral("100%"));
    out.Line(g.left, g.base, g.right, g.base);
    out.Line(g.left, g.base, g.left, g.top);
    for (int k = 0; k < kScaleTicks; ++k)
        out.Line(g.left - kTickLength, g.base - k * g.step, g.left, g.base - k * g.step);
    out.Text(g.left - 35, g.base - 4 * g.step, QStringLiteral("80%"));
    out.Text(g.left - 20, g.base - 7 * g.step, QStringLiteral("%"));
    for (int i = 0; i < kPredictiveChartSlots; ++i) {
        const int x = g.left + i * g.slotWidth;
        out.Line(x, g.base, x, g.base + kTickLength);
        out.Pixel(x, g.y100, kReportRed);
        out.Pixel(x, g.warningY, kReportBlue);
        if (static_cast<std::size_t>(i) >= measurements.size())
            continue;
        const TPredictiveRecord& m = measurements[static_cast<std::size_t>(i)];
        if (const auto y = MeasureHeight(m.Medida1.get(), g.scale1))
            out.Mark(x, g.base - *y, kReportRed, true);
        if (const auto y = MeasureHeight(m.Medida2.get(), g.scale2))
            out.Mark(x, g.base - *y, kReportBlue, false);
    }
    return out.Take();
}

void DrawPredictiveChart(Context& ctx, const std::vector<TPredictiveRecord>& measurements)
{
    State& st = ctx.st;
    const TPredictiveRecord level = Predictive(ctx).CurrentAlarmLevel;
    FindIntoFoundMachine(ctx, level.Codigo);
    PictureWindow window;
    window.caption = QStringLiteral("             MANTENIMIENTO PREDICTIVO AÑO  ") +
                     Num(st.WorkYear + kYearOffset) + QString(18, QLatin1Char(' ')) + st.TodayText;
    window.width = kPredictiveChartWidth;
    window.height = kPredictiveChartHeight;
    window.picture = PredictiveChartOps(level, st.FoundMachine.Denominacion.str(), measurements, window.width,
                                        window.height);
    if (ctx.ui.ShowPictureWindow(window) == PictureWindowResult::Save)
        SaveChartPicture(ctx, window);
}

void PredictiveRegisterReport(Context& ctx)
{
    State& st = ctx.st;
    PredictiveState& p = Predictive(ctx);
    PredictiveTrends trends;
    const std::int64_t week = AskNumber(ctx, QStringLiteral("SEMANA DE INICIO "),
                                        QStringLiteral("SEMANA (1-52) "), QStringLiteral("1"));
    const std::int64_t year = AskNumber(ctx, QStringLiteral("MEDIDAS MTO PREDICTIVO"),
                                        QStringLiteral("AÑO DEL EJERCICIO"), st.YearText) -
                              kYearOffset;
    st.WorkWeek = static_cast<std::uint16_t>(week);
    st.WorkYear = static_cast<std::uint16_t>(year);
    const std::int64_t start = (year - st.FirstYear) * kWeeksPerYear + week;

    TPredictiveRecord selection{};
    selection.FREC = "*";
    selection.Espec = "*";
    selection.Pos = "*";
    selection.Descrip = " ";
    ShowPredictiveForm(ctx, selection, true);
    // &Salir chooses no control.
    if (selection.Codigo == "#")
        return;
    FindAlarmLevel(ctx, selection);
    // The machine is checked before the window opens, so that a wrong code leaves no empty window behind.
    if (!FindIntoFoundMachine(ctx, selection.Codigo)) {
        ctx.ui.ShowMessage(QStringLiteral("NO EXISTE LA MÁQUINA"));
        return;
    }
    const TPredictiveRecord level = p.CurrentAlarmLevel;
    const QString kind = level.FREC.str();

    auto report = std::make_shared<ReportDocument>(QStringLiteral("MEDIDAS DE MANTENIMIENTO PREDICTIVO ") +
                                                   st.CurrentEnvironment);
    report->SetTabStops({15, 70, 160, 200, 240, 280});
    report->SetFontSize(12);
    report->SetBold(true);
    report->AddLine(QLatin1Char('\t') + st.FirmName + QLatin1Char('\t') +
                    QStringLiteral("   MANTENIMIENTO PREDICTIVO ") + st.CurrentEnvironment +
                    QLatin1Char('\t') + st.TodayText);
    report->AddLine(QStringLiteral("\r"));
    report->SetStyle(FontStyle::Normal);
    report->SetFontSize(9);
    report->AddLine(QLatin1Char('\t') + selection.Codigo.str() + QLatin1Char('\t') +
                    st.FoundMachine.Denominacion.str() + QLatin1Char('\t') + selection.Espec.str() +
                    QLatin1Char('\t') + selection.Pos.str() + QLatin1Char('\t') + kind);
    report->AddLine(QStringLiteral("\r"));
    report->SetUnderline(true);
    report->AddLine(QStringLiteral("\tSem/Año\tEJECUTOR\tMED-1\tMED-2\tOBSERVACIONES"));
    report->SetUnderline(false);
    report->AddLine(QStringLiteral("\r"));

    std::vector<TPredictiveRecord> chartList;
    std::pair<std::int64_t, std::int64_t> trend{0, 0};
    QString frequency;
    for (const PredictiveEntry& entry : p.MeasurementList) {
        const TPredictiveRecord& m = entry.rec;
        if (m.Semana.get() < start || !SameControl(m, selection))
            continue;
        trend = PredictiveTrend(trends, kind, m.Medida1.get(), m.Medida2.get());
        if (chartList.empty())
            frequency = m.FREC.str();
        const WeekParts filed = SplitAbsoluteWeek(st, m.Semana.get());
        const std::int64_t weekOfYear = filed.week;
        const std::int64_t yearOf = filed.year;
        st.WorkWeek = static_cast<std::uint16_t>(weekOfYear);
        st.WorkYear = static_cast<std::uint16_t>(yearOf);
        chartList.push_back(m);
        report->AddLine(QLatin1Char('\t') + Num(weekOfYear) + QLatin1Char('/') + Num(yearOf) +
                        QLatin1Char('\t') + m.Ejecu.str() + QLatin1Char('\t') + Num(m.Medida1.get()) +
                        QLatin1Char('\t') + Num(m.Medida2.get()));
    }
    // Listed newest first, charted oldest first.
    std::reverse(chartList.begin(), chartList.end());

    const bool chart = st.OutputCode == QLatin1String("P");
    if (chart) {
        const std::int64_t level1 = level.Medida1.get();
        const std::int64_t level2 = level.Medida2.get();
        const std::int64_t newest1 = trends.measure1.Slot(5);
        const std::int64_t newest2 = trends.measure2.Slot(5);
        const QString measurements = QStringLiteral(" Mediciones de Frecuencia ") + frequency;
        report->AddLine(QStringLiteral("\r"));
        if (kind != QLatin1String("PB"))
            report->AddLine(QStringLiteral("\tVALORES DE TENDENCIAS: \t") + Num(trend.first) +
                            QLatin1Char('\t') + Num(trend.second) + QLatin1Char('\t') +
                            QStringLiteral("Incremento en décimas por Medición"));
        if (kind == QLatin1String("AL"))
            report->AddLine(QStringLiteral("\tPREVISIÓN ALCANCE ALARMA ALTA: \t") +
                            ForecastText(level1 - newest1, trend.first) + QLatin1Char('\t') +
                            ForecastText(level2 - newest2, trend.second) + QLatin1Char('\t') + measurements);
        else if (kind == QLatin1String("BJ"))
            report->AddLine(QStringLiteral("\tALCANCE ALARMA BAJA: \t") +
                            ForecastText(newest1 - level1, trend.first) + QLatin1Char('\t') +
                            ForecastText(newest2 - level2, trend.second) + QLatin1Char('\t') + measurements);
        report->AddLine(QStringLiteral("\r"));
        report->AddLine(QStringLiteral("\tNIVELES DE ALARMA ") + kind + QStringLiteral(" :") +
                        QLatin1Char('\t') + Num(level1) + QLatin1Char('\t') + Num(level2) +
                        QLatin1Char('\t') + level.Descrip.str());
        DrawPredictiveChart(ctx, chartList);
    }
    st.CurrentSubFolder = QStringLiteral("\\Controles");
    report->saveSubFolder = st.CurrentSubFolder;
    ctx.ui.ShowReport(report);
}

void PredictiveAlertReport(Context& ctx)
{
    State& st = ctx.st;
    PredictiveState& p = Predictive(ctx);
    const bool alerts = st.ActionCode == QLatin1String("6");
    const bool printing = st.OutputCode == QLatin1String("I") && ctx.ui.TextPrinter().Begin();

    auto report = std::make_shared<ReportDocument>(QStringLiteral("PREDICTIVO DE ") + st.CurrentEnvironment);
    report->SetTabStops({8, 60, 260, 285, 310, 335, 390, 430, 470});
    report->SetFontSize(12);
    report->SetBold(true);
    report->AddLine(QLatin1Char('\t') + st.FirmName +
                    QStringLiteral("        LISTADO DE MAQUINAS CONTROLADAS") + QLatin1Char('\t') +
                    st.CurrentEnvironment + QLatin1Char('\t') + st.TodayText);
    report->AddLine(QStringLiteral("\r"));
    report->SetStyle(FontStyle::Underline);
    report->AddLine(QStringLiteral("\tCodigo\tNombre Máquina\tEsp\tPos\tTp\tN/MD1\tN/MD2"));
    report->SetStyle(FontStyle::Normal);
    report->AddLine(QStringLiteral("\r"));
    report->SetFontSize(8);

    // The measurements of each control together, newest first within it, so that every alarm level finds
    // its own by halves.
    std::vector<const TPredictiveRecord*> byControl;
    if (alerts) {
        byControl.reserve(p.MeasurementList.size());
        for (const PredictiveEntry& entry : p.MeasurementList)
            byControl.push_back(&entry.rec);
        std::stable_sort(
            byControl.begin(), byControl.end(),
            [](const TPredictiveRecord* a, const TPredictiveRecord* b) { return KeyOf(*a) < KeyOf(*b); });
    }
    std::optional<RangeSheetPrinter> sheets;
    if (printing)
        sheets.emplace(ctx);

    int count = 0;
    const auto levels = KeyedFile<AlarmLevelFile>(ctx).Read();
    for (const TPredictiveRecord& level : levels.value_or(std::vector<TPredictiveRecord>{})) {
        p.CurrentAlarmLevel = level;
        const QString head = QLatin1Char('\t') + level.Codigo.str() + QLatin1Char('\t');
        const QString control = QLatin1Char('\t') + level.Espec.str() + QLatin1Char('\t') + level.Pos.str() +
                                QLatin1Char('\t') + level.FREC.str() + QLatin1Char('\t');
        if (!alerts) {
            FindIntoFoundMachine(ctx, level.Codigo);
            report->AddLine(head + st.FoundMachine.Denominacion.str() + control + Num(level.Medida1.get()) +
                            QLatin1Char('\t') + Num(level.Medida2.get()));
            continue;
        }
        const auto [first, last] = std::equal_range(
            byControl.begin(), byControl.end(), &level,
            [](const TPredictiveRecord* a, const TPredictiveRecord* b) { return KeyOf(*a) < KeyOf(*b); });
        for (auto it = first; it != last; ++it) {
            const TPredictiveRecord& m = **it;
            if (!PredictiveAlert(level, m))
                continue;
            ++count;
            TMachineRecord machine{};
            machine.Codigo.assign(level.Codigo);
            FindMachine(ctx, st.FileName(DataFile::Machine), machine);
            report->AddLine(head + machine.Denominacion.str() + control + Num(level.Medida1.get()) +
                            QLatin1Char('/') + Num(m.Medida1.get()) + QLatin1Char('\t') +
                            Num(level.Medida2.get()) + QLatin1Char('/') + Num(m.Medida2.get()) +
                            QLatin1Char('\t') + level.Descrip.str());
            if (sheets && Kind(level, "CH"))
                sheets->Print(machine, QStringLiteral("TF"));
        }
    }
    if (printing)
        ctx.ui.TextPrinter().End();
    if (alerts && count > 0)
        report->AddLine(Num(count) +
                        QStringLiteral(" CONTROLES HAN SUPERADO LOS VALORES DE ALERTA ASIGNADOS"));
    ctx.ui.ShowReport(report);
    if (alerts && count == 0)
        ctx.ui.ShowMessage(kAlertsNone);
}

void AskHourControlOutput(Context& ctx)
{
    ctx.st.OutputCode = ctx.ui
                            .InputBox(QStringLiteral("Impresión Gamas CH"),
                                      QStringLiteral("Pantalla/Impresión"), QStringLiteral("P"))
                            .left(2);
}

} // namespace gim
