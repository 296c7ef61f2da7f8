#include "workreports/work_report_entry.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/lookups.h"
#include "core/picture_import.h"
#include "corrective/planned_repairs.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "masterdata/procedures.h"
#include "masterdata/routines.h"
#include "platform/card.h"
#include "workreports/work_report_card.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_posting.h"

#include <utility>

namespace gim {

namespace {

bool PersonKnown(Context& ctx, const ShortString<6>& matricula)
{
    State& st = ctx.st;
    st.FoundPerson = TPersonnelRecord{};
    st.FoundPerson.Matricula.assign(matricula);
    // Without a personnel file nobody is known; the refusal says so.
    if (!DataFileExists(ctx, st.PersonnelFileName)) {
        st.FoundPerson.Apellidos = "NO EXISTE LA PERSONA";
        return false;
    }
    FindPerson(ctx, st.PersonnelFileName, st.FoundPerson);
    return !(st.FoundPerson.Apellidos == "NO EXISTE LA PERSONA");
}

// The next card starts blank, or, after Ctrl+Space on save, repeats the line for another operator.
void PrepareNextLine(WorkReportsState& w)
{
    TWorkReportRecord& r = w.CurrentWorkReport;
    w.LongDescription.clear();
    if (w.KeepEntryMark != 0) {
        r.Matricula = "#";
        w.KeepEntryMark = 0;
        return;
    }
    r.Codigo = "#";
    r.Tipo = "";
    r.TIPOH = "C";
    r.Tinter = 0;
    r.Tparo = 0;
    r.Orden = "";
    r.SparePart = "";
    r.Descripcion = "";
}

// An imported or merged line shows no card: the expedient entry comes from the line itself.
void TakeInputLine(Context& ctx, const TWorkReportRecord& line, const QString& dateText)
{
    WorkReportsState& w = WorkReports(ctx);
    TWorkReportRecord& r = w.CurrentWorkReport;
    r = line;
    w.LongDescription = r.Descripcion.str();
    if (dateText.size() > 7)
        ctx.st.DateText = dateText;
    w.AddLoopAnswer = QStringLiteral("N");
    w.TypeValidFlag = 1;
    TPersonnelEntryRecord& entry = w.LineEntry;
    entry.Matricula.assign(r.Matricula);
    entry.Type = r.TIPOH.str().toUpper();
    entry.Date.assign(r.dia);
    entry.Text = w.LongDescription;
    entry.Minutes = static_cast<std::uint32_t>(r.Tinter.get());
}

// Stores the line and posts it as one step; the photo follows once it is stored. Returns whether it was
// stored.
bool StoreAndPost(Context& ctx)
{
    if (StoreAndPostWorkReport(ctx, true, [&ctx] { StoreWorkReportPhoto(ctx); }))
        return true;
    ctx.st.PhotoAssignFlag = 0;
    return false;
}

} // namespace

void StoreWorkReportPhoto(Context& ctx)
{
    State& st = ctx.st;
    const WorkReportsState& w = WorkReports(ctx);
    if (st.PhotoAssignFlag == 0 || !ctx.codec) {
        st.PhotoAssignFlag = 0;
        return;
    }
    // The card names the photo in the part field: the machine code, then "#", a number and ".jpg".
    const std::string_view part = w.CurrentWorkReport.SparePart.bytes();
    const QString name = PhotoSafeName(FromCp1252(part.substr(0, 8)).trimmed() +
                                       FromCp1252(part.substr(std::min<std::size_t>(8, part.size()))));
    ImportPictureFile(ctx, *ctx.codec, PhotoSubFolder(PhotoOwner::WorkReport, st.CurrentEnvironment), name);
}

LineRefusal RefuseLine(Context& ctx, const ShortString<6>& matricula, const ShortString<8>& codigo,
                       bool typeValid)
{
    if (matricula == "#" || codigo == "#")
        return {QStringLiteral("OPERARIO NO DADO DE ALTA O NO EXISTE LA MÁQUINA"),
                matricula == "#" ? QStringLiteral("Matricula") : QStringLiteral("Codigo")};
    const bool machineKnown = FindIntoFoundMachine(ctx, codigo);
    if (!machineKnown)
        ctx.st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
    const bool personKnown = PersonKnown(ctx, matricula);
    if (!machineKnown || !typeValid)
        return {QStringLiteral("NO EXISTE LA MÁQUINA O TIPO Mto./Hora\r") + QString(14, QLatin1Char(' ')) +
                    QStringLiteral("ANULADA ALTA"),
                machineKnown ? QStringLiteral("Tipo") : QStringLiteral("Codigo")};
    if (!personKnown) {
        ctx.st.RefusalReason = QStringLiteral("OPERARIO NO DADO DE ALTA");
        return {QStringLiteral("OPERARIO NO DADO DE ALTA"), QStringLiteral("Matricula")};
    }
    return {};
}

void ClearPostedFlags(Context& ctx)
{
    WorkReportsState& w = WorkReports(ctx);
    w.BreakdownPostedFlag = 0;
    w.PlannedRepairPostedFlag = 0;
    w.RevisionPostedFlag = 0;
    w.PersonnelEntryPostedFlag = 0;
    w.WorkReportWritten = 0;
}

namespace {

// The add loop over cards, or over the one line handed in (`handed`, with its full date text).
void RunAddLoop(Context& ctx, const TWorkReportRecord* handed, const QString& handedDate)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    const bool importing = handed != nullptr;
    w.TypeValidFlag = 0;
    w.KeepEntryMark = 0;
    // An import or a merge runs this once per line and clears the flags once, at its own start.
    if (!importing)
        ClearPostedFlags(ctx);
    w.AddLoopAnswer = QStringLiteral("S");
    if (!importing) {
        LoadWorkReports(ctx);
        LoadProcedureList(ctx);
    }
    SetWorkReportDefaults(ctx);
    w.OrderAssignedFlag = 0;
    w.BudgetAssignedFlag = 0;
    // Only the lines a merge hands in: a mode left from an earlier merge never silences the cards.
    const bool automaticMerge = importing && w.MergeMode == QLatin1String("A");

    while (w.AddLoopAnswer != QLatin1String("N")) {
        TWorkReportRecord& r = w.CurrentWorkReport;
        PrepareNextLine(w);
        st.RecordAddedFlag = 0;
        if (importing)
            TakeInputLine(ctx, *handed, handedDate);
        else
            st.InteractiveFlag = 1;
        if (st.InteractiveFlag != 0 && OpenWorkReportWindow(ctx, r) == CardResult::Exit)
            w.AddLoopAnswer = QStringLiteral("N");

        // The card refuses these itself and stays open; a line handed in is refused here.
        const LineRefusal refusal = RefuseLine(ctx, r.Matricula, r.Codigo, w.TypeValidFlag != 0);
        const bool given = !(r.Matricula == "#") && !(r.Codigo == "#");
        if (refusal.message.isEmpty()) {
            // A photo ends the series: the next card would start from the photographed line.
            if (st.PhotoAssignFlag != 0)
                w.AddLoopAnswer = QStringLiteral("N");
            st.RecordAddedFlag = StoreAndPost(ctx) ? 1 : 0;
        } else if (given ? !automaticMerge && (!importing || st.InteractiveFlag != 0)
                         : w.AddLoopAnswer != QLatin1String("N")) {
            // Lines taken without cards are refused in the echo, with nobody there to answer a message.
            ctx.ui.ShowMessage(refusal.message);
        }
        // What was asked on one card (a repair chosen, a revision to plan) does not carry over to the next
        // card, nor to the lines of an import that show none.
        ReopenChosenRepairs(ctx);
        w.PlanRevisionFlag = 0;
        st.PhotoAssignFlag = 0;
    }

    // Only what the loop loaded itself: a merge walks its own list of lines.
    if (!importing) {
        FreeProcedureList(ctx);
        FreeWorkReportList(ctx);
    }
}

} // namespace

void AddWorkReportLine(Context& ctx)
{
    WorkReportsState& w = WorkReports(ctx);
    if (ctx.st.ActionCode != QLatin1String("i")) {
        RunAddLoop(ctx, nullptr, QString());
        return;
    }
    // Taken once: a line left behind would be taken by the next edit for a listing's hand-over.
    const TWorkReportRecord line = std::exchange(w.WorkReportInput, TWorkReportRecord{});
    RunAddLoop(ctx, &line, w.WorkReportInputDateText);
}

bool AddImportedWorkReportLine(Context& ctx, const TWorkReportRecord& line, const QString& dateText)
{
    RunAddLoop(ctx, &line, dateText);
    return ctx.st.RecordAddedFlag != 0;
}

} // namespace gim
