#include "core/environment.h"

#include "core/context.h"
#include "core/record_file.h"
#include "core/week_codes.h"
#include "records/cp1252.h"
#include "records/plan_records.h"
#include "records/selector_record.h"

#include <algorithm>
#include <cstring>

namespace gim {
namespace {

// The characters of the firm name that become part of file names.
constexpr int kFirmPrefixWidth = 5;

QString TwoDigits(int n)
{
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

void SetPlanFlags(State& st, std::uint8_t minFreq)
{
    st.Plan1SFlag = 0;
    st.Plan2SFlag = 0;
    if (minFreq == 1) {
        st.Plan1SFlag = 1;
        st.Plan2SFlag = 1;
    } else if (minFreq == 2) {
        st.Plan2SFlag = 1;
    }
}

// The selector is replaced whole, crash-safely, like every data file: an interruption leaves the old
// selector or the new one. The result also stands in LastIOResult.
IoResult WriteSelector(Context& ctx, const TSelectorRecord& rec)
{
    const QString name = QLatin1String(kSelectorFileName);
    IoResult result{IoCode::Ok, ctx.Path(name)};
    try {
        StoreRecords(ctx, name, std::vector<TSelectorRecord>{rec});
    } catch (const IoAbort& e) {
        result.code = e.code();
    }
    ctx.st.LastIOResult = result.code;
    return result;
}

} // namespace

void BuildDataFileNames(Context& ctx)
{
    State& st = ctx.st;
    for (const DataFileSpec& spec : kDataFiles) {
        const auto i = static_cast<std::size_t>(spec.file);
        st.DataFileNames[i] = BuildDataFileName(st.CurrentEnvironment, spec.extension);
        st.BackupFileNames[i] =
            spec.twinExtension ? BuildDataFileName(st.CurrentEnvironment, spec.twinExtension) : QString();
    }
    st.PlanYearsFileName = BuildDataFileName(st.CurrentEnvironment, ".LON");
}

bool FirmNameFitsFileNames(const QString& firmName)
{
    for (const QChar c : firmName.left(kFirmPrefixWidth)) {
        if (c.unicode() < u' ' || QStringLiteral("/\\:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

void BuildFirmFileNames(Context& ctx)
{
    State& st = ctx.st;
    if (!FirmNameFitsFileNames(st.FirmName)) {
        st.PersonnelFileName.clear();
        st.PersonnelTempFileName.clear();
        st.SupplierFileName.clear();
        st.SupplierTempFileName.clear();
        return;
    }
    const QString f5 = st.FirmName.left(kFirmPrefixWidth);
    const QString e2 = st.CurrentEnvironment.left(2);
    const QString e3 = st.CurrentEnvironment.left(3);
    st.PersonnelFileName = f5 + QLatin1Char('_') + e2 + QLatin1String(".RCH");
    st.PersonnelTempFileName = f5 + e3 + QLatin1String(".RCH");
    st.SupplierFileName = f5 + QLatin1Char('_') + e2 + QLatin1String(".PVW");
    st.SupplierTempFileName = f5 + e3 + QLatin1String(".PVW");
}

namespace {

// What a selector file holds, also when it is shorter than one record: a text whose length byte runs
// past the end of the file keeps the characters present.
TSelectorRecord SelectorHeld(const std::string& bytes)
{
    TSelectorRecord rec{};
    const std::size_t n = std::min(bytes.size(), sizeof rec);
    std::memcpy(&rec, bytes.data(), n);
    const auto present = [n](std::size_t first) { return n > first ? n - first : 0; };
    rec.Code.len = static_cast<std::uint8_t>(std::min<std::size_t>(rec.Code.size(), present(1)));
    rec.AccessCode.len = static_cast<std::uint8_t>(std::min<std::size_t>(rec.AccessCode.size(), present(12)));
    return rec;
}

} // namespace

void LoadEnvironment(Context& ctx)
{
    State& st = ctx.st;
    st.Plan2SFlag = 0;
    st.Plan1SFlag = 0;
    TSelectorRecord rec{};
    RecordFile<TSelectorRecord> file(ctx);
    if (!file.Open(QLatin1String(kSelectorFileName), RawRecordFile::Mode::Read)) {
        st.CurrentEnvironment = QLatin1String(kDefaultEnvironment);
        rec.Code = st.CurrentEnvironment;
        rec.AccessCode = kDefaultEnvironment;
        ctx.ui.ShowMessage(QStringLiteral("CODIGO DE ACCESO : ") + QLatin1String(kDefaultEnvironment));
        WriteSelector(ctx, rec); // a failure stays in LastIOResult
    } else {
        // An existing selector is never written over here, even a torn one: it names the user's data.
        const QString path = file.path();
        file.Close();
        rec = SelectorHeld(ReadWholeFile(ctx, path));
        st.CurrentEnvironment = rec.Code.str();
        SetPlanFlags(st, rec.MinFreq);
        // The code becomes the prefix of every data-file name: one that could name a file elsewhere
        // ("../x") is refused and this session works on the default environment, writing nothing.
        if (!IsSafeEnvironmentCode(st.CurrentEnvironment)) {
            ctx.ui.ShowMessage(QStringLiteral("CODIGO DE ENTORNO NO VALIDO"));
            st.CurrentEnvironment = QLatin1String(kDefaultEnvironment);
        }
    }
    st.AccessCode = rec.AccessCode.str();
    BuildDataFileNames(ctx);
    BuildFirmFileNames(ctx);
}

bool IsSafeEnvironmentCode(const QString& code)
{
    if (code.isEmpty() || code == QLatin1String("#"))
        return false;
    bool onlyDots = true;
    for (QChar c : code) {
        const char16_t u = c.unicode();
        // Letters of Windows-1252 ("ESPAÑA", "ÁREA") name files as well as ASCII ones do.
        const bool cp1252Letter = u >= 0x80 && c.isLetter() && ToCp1252Char(c) != '?';
        if ((u < '!' || u > '}') && !cp1252Letter)
            return false;
        if (QStringLiteral("/\\:*?\"<>|").contains(c))
            return false;
        if (c != QLatin1Char('.'))
            onlyDots = false;
    }
    return !onlyDots;
}

bool ChangeEnvironment(Context& ctx, const std::optional<QString>& newAccessCode)
{
    State& st = ctx.st;
    TSelectorRecord rec{};
    // Without a readable selector the record is rebuilt from the session, so that the environment's
    // access code is not lost when the file is written anew.
    rec.AccessCode = st.AccessCode;
    QString freqText = QStringLiteral("M");
    {
        RecordFile<TSelectorRecord> file(ctx);
        if (file.Open(QLatin1String(kSelectorFileName), RawRecordFile::Mode::Read) && file.Count() > 0) {
            rec = file.Read(0);
            st.AccessCode = rec.AccessCode.str();
            if (rec.MinFreq == 1)
                freqText = QStringLiteral("1S");
            else if (rec.MinFreq == 2)
                freqText = QStringLiteral("2S");
        }
    }
    // Laid over what was just read, so the selector's own code cannot replace it.
    if (newAccessCode)
        rec.AccessCode = *newAccessCode;
    const QString typed = ctx.ui
                              .InputBox(QStringLiteral("CAMBIO DE ENTORNO"), QStringLiteral("Entrar Codigo"),
                                        st.CurrentEnvironment)
                              .left(10);
    const QString freq =
        ctx.ui.InputBox(QStringLiteral("GAMA MINIMA FRECUENCIA"), QStringLiteral("Entrar Codigo"), freqText)
            .left(2);
    // "#" keeps the current environment; so does a code that cannot be a file name, since the data
    // files of the environment would be named after it.
    const QString stored = typed.left(8);
    if (!IsSafeEnvironmentCode(stored)) {
        if (stored != QLatin1String("#"))
            ctx.ui.ShowMessage(QStringLiteral("CODIGO DE ENTORNO NO VALIDO"));
        return false;
    }
    rec.Code = stored;
    if (freq == QLatin1String("1S"))
        rec.MinFreq = 1;
    else if (freq == QLatin1String("2S"))
        rec.MinFreq = 2;
    else
        rec.MinFreq = 3;
    // A selector that cannot be written (write-protected, a full disk) keeps the environment it names:
    // the user is told why the change is not saved.
    if (const IoResult written = WriteSelector(ctx, rec); !written) {
        ShowIOError(ctx, written.code);
        return false;
    }
    // Nothing of the previous environment may stay behind: its firm comes from the new agenda.
    st.FirmName.clear();
    // The environment is reloaded from what the selector now holds (eight characters), so that this
    // session and the next start name the same data files.
    LoadEnvironment(ctx);
    InitPlanningYears(ctx);
    return true;
}

void SetDayOfWeekString(Context& ctx)
{
    ctx.st.WeekdayText = QString::number(ctx.st.CurrentDateTime.date().dayOfWeek());
}

void InitCurrentDate(Context& ctx)
{
    State& st = ctx.st;
    st.LastIOResult = 0;
    st.CurrentDateTime = ctx.clock.Now();
    const QDate d = st.CurrentDateTime.date();
    const QTime t = st.CurrentDateTime.time();
    st.CurrentYear = d.year();
    st.CurrentMonth = d.month();
    st.CurrentDay = d.day();
    st.DayText = TwoDigits(d.day());
    st.MonthText = TwoDigits(d.month());
    st.YearText = QString::number(d.year());
    st.TodayText = st.DayText + QLatin1Char('/') + st.MonthText + QLatin1Char('/') + st.YearText;
    st.DateText = st.TodayText;
    st.CurrentHour = t.hour();
    st.CurrentMinute = t.minute();
    st.CurrentSecond = t.second();
    st.CurrentMSec = t.msec();
    st.TimeText = QString::number(t.hour()) + QLatin1Char(':') + QString::number(t.minute());
    st.WeekText = TwoDigits(WeekOfYear(st, st.TodayText));
    SetDayOfWeekString(ctx);
}

void InitPlanningYears(Context& ctx)
{
    State& st = ctx.st;
    InitCurrentDate(ctx);
    st.TimeText = QString::number(st.CurrentHour) + QLatin1Char(':') + TwoDigits(st.CurrentMinute);
    RecordFile<TPlanYearsRecord> file(ctx);
    if (file.Open(st.PlanYearsFileName, RawRecordFile::Mode::Read)) {
        file.ReportDamage(0); // its one record is the whole file
        // An empty .LON counts as missing; a read of a missing record would abandon the start-up.
        if (file.Count() > 0) {
            const TPlanYearsRecord rec = file.Read(0);
            st.FirstYear = rec.FirstYear;
            st.LastYear = rec.LastYear;
            st.PlanWeeks = static_cast<std::uint16_t>((st.LastYear - st.FirstYear) * kWeeksPerYear);
            return;
        }
    }
    st.FirstYear = static_cast<std::uint16_t>(st.CurrentYear - 2000);
    st.LastYear = static_cast<std::uint16_t>(st.FirstYear + 1);
}

QString MainCaption(const Context& ctx)
{
    const State& st = ctx.st;
    const QString head =
        (QStringLiteral("GESTION INTEGRAL DE MANTENIMIENTO DE ") + st.CurrentEnvironment).left(73);
    return head + QStringLiteral("                   Semana:") + st.WeekText +
           QStringLiteral("          PLAN: ") + QString::number(st.FirstYear + 2000) + QLatin1Char('/') +
           QString::number(st.LastYear) + QStringLiteral("       ") + st.TodayText +
           QStringLiteral("          ") + st.FirmName;
}

} // namespace gim
