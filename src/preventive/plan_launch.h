#pragma once

#include <QString>
#include <memory>

namespace gim {

struct Context;
struct TMachineRecord;

// The weeks of the plan a launch looks at around its analysis week: the margin on either side, held
// inside the horizon 0 .. PlanWeeks. When the analysis week lies so far past the horizon that no week of
// it is left (the last year of a plan), first is past last and the window holds no week.
struct WeekWindow
{
    int first = 0;
    int last = -1;
    bool operator==(const WeekWindow&) const = default;
};

// The window of `margin` weeks either side of absolute week `analysisWeek`. A first week below 1 gives
// week 0, a last week past the horizon gives PlanWeeks.
WeekWindow AnalysisWeekWindow(int analysisWeek, int margin, int planWeeks);

// Sets WorkYear from a year typed for a launch (years since 2000) held inside the horizon: a year at or
// after LastYear lists LastYear and says "PLANING FINALIZADO. CREAR NUEVO ENTORNO"; a year before
// FirstYear (or before 2000) lists FirstYear, where an absolute week before the horizon would otherwise
// wrap round in the 16 bits of the plan's weeks.
void SetAnalysisYear(Context& ctx, int typedYear);

// The first page header of a printed maintenance route: its title, the date and the column line, with the
// week, the year and the speciality it was launched for. Returns the lines it printed, where the route's
// line counter starts.
int PrintRouteHeader(Context& ctx, const QString& week, const QString& year, const QString& speciality);

// Opens the printer for a route the user asked to print and prints its header. A printed route makes
// the weekly routines due from then on (Plan1SFlag := 1), until the environment is loaded again: every
// route launch reloads it. Returns the lines of the header, where the route's line counter starts; 0,
// with nothing printed and the flag as it was, when the print dialog was cancelled.
int StartRoutePrinting(Context& ctx, const QString& week, const QString& year, const QString& speciality);

// The weekly plan: asks the analysis week and year and the output, then lists every machine of the plan
// with the routine due in each week of a window round the analysis week ("--" where the due routine has
// no operations) and the planned minutes of the analysis week, with the week's total.
void LaunchWeeklyPlan(Context& ctx);

// The maintenance route of a week: asks the week, the year, the section ("*" every section, else the first
// characters of the machine codes) and the speciality ("#" every speciality), then lists the machines of
// the plan with a routine due that week and, under each, its operations of that speciality, with the
// route's estimated time; printed too when asked.
void LaunchMaintenanceRoutes(Context& ctx);

// Prints machines' routine sheets on the line printer (between its Begin and End), reading the routines
// and the pending repairs once for all of them.
class RangeSheetPrinter
{
public:
    explicit RangeSheetPrinter(Context& ctx);
    ~RangeSheetPrinter();
    RangeSheetPrinter(const RangeSheetPrinter&) = delete;
    RangeSheetPrinter& operator=(const RangeSheetPrinter&) = delete;
    // The sheet of the routine done at `due`; nothing when no operation of it has minutes.
    void Print(const TMachineRecord& machine, const QString& due);

private:
    struct Sources;
    std::unique_ptr<Sources> m_sources;
};

} // namespace gim
