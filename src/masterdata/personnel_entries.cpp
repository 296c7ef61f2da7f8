#include "masterdata/personnel_entries.h"

#include "core/context.h"
#include "core/date_range.h"
#include "core/hour_types.h"
#include "masterdata/personnel.h"
#include "masterdata/personnel_entry_card.h"
#include "platform/report.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace gim {

namespace {

// Whether `stored` is the entry `key` names: its number, date and minutes, and a text that the key's text
// begins with (the key may carry a longer description than the entry kept).
bool NamesEntry(const TPersonnelEntryRecord& stored, const TPersonnelEntryRecord& key)
{
    const std::string_view text = stored.Text.bytes();
    return stored.Matricula == key.Matricula && stored.Date == key.Date &&
           stored.Minutes.get() == key.Minutes.get() && key.Text.bytes().substr(0, text.size()) == text;
}

// A listing filter: "*" or the exact value.
template <std::size_t N> bool Matches(const ShortString<N>& value, const QString& filter)
{
    return filter == QLatin1String("*") || value == filter;
}

QString HoursSlashMinutes(std::uint32_t minutes)
{
    return QString::number(minutes / 60) + QLatin1Char('/') + QString::number(minutes % 60);
}

} // namespace

PersonnelEntryState& PersonnelEntries(Context& ctx)
{
    return ctx.Module<PersonnelEntryState>();
}

bool EntryNewerThan(const TPersonnelEntryRecord& a, const TPersonnelEntryRecord& b)
{
    return b.Date < a.Date;
}

bool IsOvertimeEntry(const TPersonnelEntryRecord& entry)
{
    const std::optional<HourKind> kind = HourKindOf(entry.Type.bytes());
    return kind && IsOvertime(*kind);
}

void ClearPersonnelEntry(TPersonnelEntryRecord& entry)
{
    entry.Matricula = "#";
    entry.Type = "#";
    entry.Date = "";
    entry.Text = "..";
    entry.Minutes = 0;
}

void NewPersonnelEntry(Context& ctx)
{
    State& st = ctx.st;
    TPersonnelEntryRecord& entry = Personnel(ctx).CurrentPersonnelEntry;
    entry = TPersonnelEntryRecord{};
    ClearPersonnelEntry(entry);
    ClearPersonnelCard(st.FoundPerson);
    PersonnelEntries(ctx).EntryAddedFlag = 0;
    ShowPersonnelEntryCard(ctx, entry);
    if (entry.Matricula == "#" || entry.Matricula == "Z")
        return;
    if (!LookupPersonInList(ctx, entry.Matricula)) {
        ctx.ui.ShowMessage(QString::fromUtf8(kUnknownExpedient));
        return;
    }
    AppendPersonnelEntry(ctx, entry);
}

bool AppendPersonnelEntry(Context& ctx, const TPersonnelEntryRecord& entry)
{
    // An entry of no type is a blank left by a card: it must not reach the file, new or not.
    if (entry.Type == "#") {
        ctx.ui.ShowMessage(QString::fromUtf8(kBlankEntryType));
        return false;
    }
    KeyedFile<PersonnelEntryFile> file(ctx);
    const bool existed = file.Exists();
    if (!file.Append(FreshRecord(entry)))
        return false;
    if (existed)
        PersonnelEntries(ctx).EntryAddedFlag = 1;
    return true;
}

bool UpdatePersonnelEntry(Context& ctx, TPersonnelEntryRecord& key)
{
    key.Type = "";
    std::vector<PersonnelEntryNode>& list = PersonnelEntries(ctx).PersonnelEntryList;
    const auto node = std::find_if(list.begin(), list.end(),
                                   [&](const PersonnelEntryNode& n) { return NamesEntry(n.rec, key); });
    if (node != list.end()) {
        key.Type.assign(node->rec.Type);
        node->rec.Matricula = "Z";
    }

    KeyedFile<PersonnelEntryFile> file(ctx);
    WriteLock lock(ctx);
    const std::optional<std::vector<TPersonnelEntryRecord>> records = file.Read();
    if (!records)
        return false;
    const auto found = std::find_if(records->begin(), records->end(),
                                    [&](const TPersonnelEntryRecord& r) { return NamesEntry(r, key); });
    if (found == records->end())
        return false;
    // The record keeps what it held; only its number marks it erased.
    PersonnelEntryNode stored{*found, static_cast<std::uint32_t>(found - records->begin())};
    TPersonnelEntryRecord erased = stored.rec;
    erased.Matricula = "Z";
    return file.WriteAt(stored, erased) == WriteResult::Written;
}

void LoadPersonnelEntries(Context& ctx)
{
    std::vector<PersonnelEntryNode>& list = PersonnelEntries(ctx).PersonnelEntryList;
    FreeNodeList(list);
    KeyedFile<PersonnelEntryFile> file(ctx);
    if (file.Exists())
        list = file.LoadList();
}

void FreePersonnelEntryList(Context& ctx)
{
    FreeNodeList(PersonnelEntries(ctx).PersonnelEntryList);
}

void InsertPersonnelEntryByDate(Context& ctx, PersonnelEntryNode node)
{
    InsertOrdered(PersonnelEntries(ctx).PersonnelEntryList, std::move(node),
                  [](const PersonnelEntryNode& a, const PersonnelEntryNode& b) {
                      return EntryNewerThan(a.rec, b.rec);
                  });
}

void PurgePersonnelEntries(Context& ctx)
{
    FreePersonnelEntryList(ctx);
    KeyedFile<PersonnelEntryFile> file(ctx);
    if (file.Exists())
        file.Sort();
}

void EditPersonnelExpedient(Context& ctx)
{
    const QString& action = ctx.st.ActionCode;
    if (!KeyedFile<PersonnelEntryFile>(ctx).Exists()) {
        NewPersonnelEntry(ctx);
        return;
    }
    if (action == QLatin1String("4"))
        NewPersonnelEntry(ctx);
    else if (action == QLatin1String("5") || action == QLatin1String("L"))
        ReportPersonnelExpedient(ctx);
}

void ReportPersonnelExpedient(Context& ctx)
{
    State& st = ctx.st;
    PersonnelState& people = Personnel(ctx);
    ClearPersonnelEntry(people.CurrentPersonnelEntry);
    ClearPersonnelCard(st.FoundPerson);
    if (!PickWeekRange(ctx))
        return;
    const QString employee =
        ctx.ui
            .InputBox(QStringLiteral("EXPEDIENTES PERSONALES"),
                      QString::fromUtf8("INTRODUCIR NÚMERO DE MATRÍCULA"), QStringLiteral("*"))
            .left(6);
    const QString type = ctx.ui
                             .InputBox(QStringLiteral("TIPO DE APUNTE (M,A,F,V,E,P,*)"),
                                       QStringLiteral("INTRODUCIR TIPO "), QStringLiteral("*"))
                             .left(2);
    const bool edit = st.ActionCode == QLatin1String("5");

    auto report = std::make_shared<ReportDocument>(QStringLiteral("EXPEDIENTES PERSONALES"));
    report->saveSubFolder = QStringLiteral("\\Personal");
    report->SetTabStops({10, 60, 100, 140, 180, 360});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QString::fromUtf8("\tMATICULA\tFECHA\tTIPO\tH/mn\tANOTACIÓN"));
    if (employee != QLatin1String("*")) {
        people.CurrentPersonnelEntry.Matricula = employee;
        LookupPersonInList(ctx, people.CurrentPersonnelEntry.Matricula);
        report->AddLine(QLatin1Char('\t') + employee + QLatin1Char('\t') + st.FoundPerson.Nombre.str() +
                        QLatin1Char(' ') + st.FoundPerson.Apellidos.str());
    }
    report->SetStyle(FontStyle::Normal);

    KeyedFile<PersonnelEntryFile> file(ctx);
    const std::vector<TPersonnelEntryRecord> records =
        file.Read().value_or(std::vector<TPersonnelEntryRecord>{});
    std::int64_t total = 0;
    std::int64_t overtime = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        // Erased entries wait for the purge; they are no longer part of anyone's expedient.
        if (PersonnelEntryFile::Deleted(records[i]))
            continue;
        const QString date = records[i].Date.str();
        if (date < st.RangeStartWeek || date > st.RangeEndWeek || !Matches(records[i].Matricula, employee) ||
            !Matches(records[i].Type, type))
            continue;
        TPersonnelEntryRecord entry = records[i];
        if (edit) {
            PersonnelEntryNode stored{records[i], static_cast<std::uint32_t>(i)};
            const int result = ShowPersonnelEntryCard(ctx, entry);
            // &Salir leaves this entry and the rest as they are.
            if (result == CardResult::Exit)
                break;
            if (result == CardResult::Save || result == CardResult::Delete) {
                if (file.WriteAt(stored, entry) != WriteResult::Written)
                    entry = records[i];
            }
            if (PersonnelEntryFile::Deleted(entry))
                continue;
        }
        report->AddLine(QLatin1Char('\t') + entry.Matricula.str() + QLatin1Char('\t') + entry.Date.str() +
                        QLatin1Char('\t') + entry.Type.str() + QLatin1Char('\t') +
                        HoursSlashMinutes(entry.Minutes) + QLatin1Char('\t') + entry.Text.str());
        total += entry.Minutes.get();
        if (IsOvertimeEntry(entry))
            overtime += entry.Minutes.get();
    }

    report->AddLine(QStringLiteral("\r"));
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\tFECHA INICIO ") + st.RangeStartWeek +
                    QStringLiteral("    FECHA FINAL ") + st.RangeEndWeek);
    report->AddLine(QStringLiteral("\tTIEMPO TOTAL ACUMULADO DE INTERVENCION \t") +
                    QString::number(total / 60) + QStringLiteral(" HORAS ") + QString::number(total % 60) +
                    QStringLiteral(" Mn"));
    report->AddLine(QStringLiteral("\tTOTAL DE HORAS EXTRAS : ") + QString::number(overtime / 60) +
                    QStringLiteral(" h") + QString::number(overtime % 60) + QStringLiteral(" m"));
    ctx.ui.ShowReport(report);
}

} // namespace gim
