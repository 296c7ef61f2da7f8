#include "preventive/plan_launch.h"

#include "core/context.h"

namespace gim {

namespace {

// The route's title stands at column 28, the rule under it as long as its text.
constexpr const char* kRouteTitle = "----------                  RUTA DE MANTENIMIENTO";
constexpr int kRouteTitleColumn = 28;
constexpr int kRouteTitleLength = 21;

} // namespace

WeekWindow AnalysisWeekWindow(int analysisWeek, int margin, int planWeeks)
{
    WeekWindow window;
    window.first = analysisWeek - margin >= 1 ? analysisWeek - margin : 0;
    window.last = analysisWeek + margin <= planWeeks ? analysisWeek + margin : planWeeks;
    // Nothing of the window left inside the horizon, or a negative margin: no week at all.
    if (window.first > window.last)
        window = WeekWindow{};
    return window;
}

void SetAnalysisYear(Context& ctx, int typedYear)
{
    State& st = ctx.st;
    if (typedYear >= st.LastYear) {
        st.WorkYear = st.LastYear;
        ctx.ui.ShowMessage(QStringLiteral("PLANING FINALIZADO. CREAR NUEVO ENTORNO"));
    } else if (typedYear < st.FirstYear) {
        st.WorkYear = st.FirstYear;
    } else {
        st.WorkYear = static_cast<std::uint16_t>(typedYear);
    }
}

int PrintRouteHeader(Context& ctx, const QString& week, const QString& year, const QString& speciality)
{
    LinePrinter& printer = ctx.ui.TextPrinter();
    const QStringList lines{
        QString::fromLatin1(kRouteTitle),
        QString(kRouteTitleColumn, QLatin1Char(' ')) + QString(kRouteTitleLength, QLatin1Char('*')) +
            QStringLiteral("          FECHA : ") + ctx.st.TodayText,
        QString(),
        QStringLiteral("SEMANA: ") + week + QStringLiteral(" / ") + year +
            QStringLiteral("         ESPECIALIDAD: ") + speciality,
        QString(),
        QStringLiteral("CODIGO        DENOMINACION                *  FRC - ESTADO /  DESCRIPCION"),
        QString(80, QLatin1Char('-')),
    };
    for (const QString& line : lines)
        printer.Line(line);
    return static_cast<int>(lines.size());
}

bool StartRoutePrinting(Context& ctx, const QString& week, const QString& year, const QString& speciality)
{
    if (!ctx.ui.TextPrinter().Begin())
        return false;
    PrintRouteHeader(ctx, week, year, speciality);
    ctx.st.Plan1SFlag = 1;
    return true;
}

} // namespace gim
