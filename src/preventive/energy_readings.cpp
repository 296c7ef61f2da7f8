#include "preventive/energy_readings.h"

#include "core/context.h"
#include "core/io_errors.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "platform/card.h"
#include "platform/date_text.h"
#include "platform/handover.h"
#include "platform/report.h"
#include "preventive/energy_reading_card.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <numeric>
#include <string_view>

namespace gim {

namespace {

const QString kEditCaption = QStringLiteral("EDICIÓN LECTURAS");

// Date, machine code and meter joined as the list compares them.
struct ReadingKey
{
    char bytes[7 + 8 + 8];
    std::size_t size = 0;

    explicit ReadingKey(const TEnergyReadingRecord& r)
    {
        for (const std::string_view part : {r.Date.bytes(), r.MachineCode.bytes(), r.MeterCode.bytes()}) {
            std::copy(part.begin(), part.end(), bytes + size);
            size += part.size();
        }
    }
    std::string_view view() const { return std::string_view(bytes, size); }
};

std::strong_ordering CompareMeters(const TEnergyReadingRecord& a, const TEnergyReadingRecord& b)
{
    if (const auto byMachine = a.MachineCode <=> b.MachineCode; byMachine != 0)
        return byMachine;
    return a.MeterCode <=> b.MeterCode;
}

// A field of the edit's choice: "*" takes any.
template <std::size_t N> bool Chosen(const ShortString<N>& choice, const ShortString<N>& field)
{
    return choice == "*" || choice == field;
}

// The three choices of the edit: from the handed-over row, else asked. False when the edit is cancelled.
bool ChooseReadings(Context& ctx, TEnergyReadingRecord& chosen)
{
    const TEnergyReadingRecord& handed = Energy(ctx).HandedOverReading;
    if (!handed.MachineCode.empty()) {
        chosen.MachineCode.assign(handed.MachineCode);
        chosen.MeterCode.assign(handed.MeterCode);
        chosen.Date.assign(handed.Date);
        return true;
    }
    chosen.MachineCode =
        ctx.ui.InputBox(kEditCaption, QStringLiteral("CODIGO MAQUINA  (XX-XXX)"), QStringLiteral("0"));
    chosen.MeterCode =
        ctx.ui.InputBox(kEditCaption, QStringLiteral("CODIGO DEL CONTADOR"), QStringLiteral("#"));
    const QString date = ctx.ui.InputBox(QStringLiteral("EDICIÓN LECTURAS Contador"),
                                         QStringLiteral("FECHA LECTURA  (dd/mm/aa)"), QStringLiteral("#"));
    // The prompt's default, what a cancelled prompt gives, chooses nothing.
    if (date == QLatin1String("#"))
        return false;
    if (date == QLatin1String("*")) {
        chosen.Date = "*";
        return true;
    }
    const QDate day = ParseTypedDate(date);
    if (!day.isValid()) {
        ctx.st.LastIOResult = IoCode::InvalidFunction;
        ShowIOError(ctx, IoCode::InvalidFunction);
        return false;
    }
    chosen.Date = WeekCodeOf(day);
    return true;
}

void BrowseReadings(Context& ctx)
{
    State& st = ctx.st;
    EnergyState& e = Energy(ctx);
    TEnergyReadingRecord chosen{};
    if (!ChooseReadings(ctx, chosen))
        return;
    if (!(chosen.MachineCode == "*") &&
        LookUpMachine(ctx, chosen.MachineCode.str()).Denominacion == kMachineNotFound) {
        st.LastIOResult = IoCode::InvalidFunction;
        ShowIOError(ctx, IoCode::InvalidFunction);
        return;
    }
    KeyedFile<EnergyReadingFile> file(ctx);
    if (!file.Exists()) {
        st.LastIOResult = IoCode::FileNotFound;
        ShowIOError(ctx, IoCode::FileNotFound);
        return;
    }
    for (EnergyReadingEntry& entry : e.ReadingList) {
        if (e.ReadingSeriesMark == 'N')
            break;
        st.AnswerCode = QStringLiteral(" ");
        e.CurrentEnergyReading = entry.rec;
        if (!Chosen(chosen.MachineCode, entry.rec.MachineCode) ||
            !Chosen(chosen.MeterCode, entry.rec.MeterCode) || !Chosen(chosen.Date, entry.rec.Date))
            continue;
        OpenReadingWindow(ctx, e.CurrentEnergyReading);
        if (st.AnswerCode != QLatin1String("M") && st.AnswerCode != QLatin1String("B"))
            continue;
        // Each reading goes back where it was read: list and file orders differ for readings of one key.
        if (file.WriteAt(entry, e.CurrentEnergyReading) != WriteResult::Written)
            return;
    }
}

void ListReadings(Context& ctx, const std::vector<TEnergyReadingRecord>& readings)
{
    auto report = std::make_shared<ReportDocument>(QStringLiteral("LECTURAS DE CONTADORES"));
    report->SetTabStops({5, 70, 135, 195, 240, 290});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\tCodigo\tConta\tFecha\tOrden\tLectura"));
    report->SetStyle(FontStyle::Normal);
    for (const TEnergyReadingRecord& r : readings)
        report->AddLine(QLatin1Char('\t') + r.MachineCode.str() + QLatin1Char('\t') + r.MeterCode.str() +
                        QLatin1Char('\t') + r.Date.str() + QLatin1Char('\t') + QString::number(r.Units) +
                        QLatin1Char('\t') + QString::number(r.Reading.get()));
    ctx.st.CurrentSubFolder = QStringLiteral("\\Energias");
    report->saveSubFolder = ctx.st.CurrentSubFolder;
    ctx.ui.ShowReport(report);
}

} // namespace

EnergyState& Energy(Context& ctx)
{
    return ctx.Module<EnergyState>();
}

bool EnergyReadingBefore(const TEnergyReadingRecord& a, const TEnergyReadingRecord& b)
{
    // Where the parts before the first difference have the same lengths, that difference decides the
    // joined texts too: sorting a large file compares mostly such pairs, without joining them.
    if (a.Date.size() == b.Date.size() && !(a.Date == b.Date))
        return CompareCp1252(a.Date.bytes(), b.Date.bytes()) < 0;
    if (a.Date == b.Date) {
        if (a.MachineCode.size() == b.MachineCode.size() && !(a.MachineCode == b.MachineCode))
            return CompareCp1252(a.MachineCode.bytes(), b.MachineCode.bytes()) < 0;
        if (a.MachineCode == b.MachineCode)
            return CompareCp1252(a.MeterCode.bytes(), b.MeterCode.bytes()) < 0;
    }
    return CompareCp1252(ReadingKey(a).view(), ReadingKey(b).view()) < 0;
}

bool SameMeter(const TEnergyReadingRecord& a, const TEnergyReadingRecord& b)
{
    return a.MachineCode == b.MachineCode && a.MeterCode == b.MeterCode;
}

int ReadingUnits(const TEnergyReadingRecord& r)
{
    return r.Units == 0 ? 1 : r.Units;
}

void ClearEnergyReading(Context& ctx)
{
    TEnergyReadingRecord& r = Energy(ctx).CurrentEnergyReading;
    r = TEnergyReadingRecord{};
    r.MachineCode = "";
    r.MeterCode = " ";
    r.Date = WeekCodeOf(ctx.clock.Now().date());
    r.Units = 1;
    r.Reading = 0;
}

void InsertEnergyReadingSorted(Context& ctx, EnergyReadingEntry entry)
{
    InsertOrderedHeadFirst(Energy(ctx).ReadingList, std::move(entry),
                           [](const EnergyReadingEntry& a, const EnergyReadingEntry& b) {
                               return EnergyReadingBefore(a.rec, b.rec);
                           });
}

void FreeEnergyReadingList(Context& ctx)
{
    FreeNodeList(Energy(ctx).ReadingList);
}

void LoadEnergyReadings(Context& ctx)
{
    FreeEnergyReadingList(ctx);
    Energy(ctx).ReadingList = KeyedFile<EnergyReadingFile>(ctx).LoadList(
        Report::Show, QStringLiteral("AVANCE CARGA DE DATOS LECTURA DE CONTADORES"));
}

std::optional<std::uint32_t> AppendEnergyReading(Context& ctx, const TEnergyReadingRecord& reading)
{
    EnergyState& e = Energy(ctx);
    KeyedFile<EnergyReadingFile> file(ctx);
    WriteLock lock(ctx);
    // A reading that creates its file leaves nothing to put in order.
    const bool existed = file.Exists();
    const std::optional<std::uint32_t> position = file.Append(FreshRecord(reading));
    if (position && existed) {
        ctx.st.ContinueFlag = 1;
        e.EnergyReadingStored = 1;
    }
    return position;
}

void AddEnergyReading(Context& ctx)
{
    State& st = ctx.st;
    EnergyState& e = Energy(ctx);
    TEnergyReadingRecord& r = e.CurrentEnergyReading;
    const bool importing = st.ActionCode == QLatin1String("i");
    st.RecordAddedFlag = 0;
    // An import brings its record in the buffer, one a call, and keeps its flag over all of them.
    if (!importing) {
        e.EnergyReadingStored = 0;
        ClearEnergyReading(ctx);
        r.MachineCode = "#";
    }
    e.ReadingSeriesMark = 'S';
    while (e.ReadingSeriesMark != 'N') {
        st.RecordAddedFlag = 0;
        OpenReadingWindow(ctx, r);
        if (r.MachineCode == "#" || r.MachineCode == "Z" || r.MeterCode == "#")
            continue;
        const TMachineRecord machine = LookUpMachine(ctx, r.MachineCode.str());
        if (machine.Denominacion == kMachineNotFound) {
            st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
            // An import without cards says why in its echo, with nobody to answer a message.
            if (!importing || st.InteractiveFlag)
                ctx.ui.ShowMessage(machine.Denominacion.str() + QStringLiteral("\r ANULADA ALTA"));
            continue;
        }
        st.RecordAddedFlag = 1;
        if (const std::optional<std::uint32_t> position = AppendEnergyReading(ctx, r))
            InsertEnergyReadingSorted(ctx, {FreshRecord(r), *position});
    }
}

bool AddImportedEnergyReading(Context& ctx, const TEnergyReadingRecord& rec)
{
    // The reading card works on the module's own buffer: the reading handed in becomes it.
    Energy(ctx).CurrentEnergyReading = rec;
    AddEnergyReading(ctx);
    return ctx.st.RecordAddedFlag != 0;
}

void EditEnergyReadings(Context& ctx)
{
    EnergyState& e = Energy(ctx);
    e.ReadingSeriesMark = ' ';
    BrowseReadings(ctx);
    // A handed-over row serves one edit.
    e.HandedOverReading.MachineCode = "";
}

void SortEnergyReadings(Context& ctx)
{
    EnergyState& e = Energy(ctx);
    e.EnergyReadingStored = 0;
    // The rewrite takes the readings from the file itself. A list that a load or an edit left is no part
    // of it (built on top of one, every reading would be written twice) and is let go.
    FreeEnergyReadingList(ctx);
    KeyedFile<EnergyReadingFile> file(ctx);
    // Nothing to sort before the first reading is stored.
    if (!file.Exists() || !file.Sort())
        return;
    if (ctx.st.ExportFlag)
        ListReadings(ctx, file.Read().value_or(std::vector<TEnergyReadingRecord>{}));
}

void RegisterEnergyHandover(Context& ctx, HandoverRegistry& handover)
{
    // The columns of the export listing above: 1 machine code, 2 meter, 3 date, 4 units, 5 reading. The
    // units are not taken; a date longer than a week code is a day, turned into its week code.
    handover.Map(EditItem::Energias).fields = {
        {1, "MachineCode", 8}, {2, "MeterCode", 8}, {3, "Date", 10}, {5, "Reading", kNumberText}};
    handover.SetDeliver(EditItem::Energias, [&ctx](const HandoverFields& fields) {
        TEnergyReadingRecord& input = Energy(ctx).HandedOverReading;
        for (const auto& [name, value] : fields) {
            if (name == QLatin1String("MachineCode"))
                input.MachineCode = value;
            else if (name == QLatin1String("MeterCode"))
                input.MeterCode = value;
            else if (name == QLatin1String("Date"))
                input.Date = value.size() > 7 ? WeekCodeOf(ParseTypedDate(value)) : value;
            else if (name == QLatin1String("Reading"))
                input.Reading = static_cast<std::int32_t>(std::clamp<std::int64_t>(
                    ParseInt64(value).value, std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max()));
        }
    });
}

MeterReadings::MeterReadings(const std::vector<EnergyReadingEntry>& list)
    : m_list(list), m_byMeter(list.size())
{
    std::iota(m_byMeter.begin(), m_byMeter.end(), 0u);
    // Stable: each meter's readings keep the list's order, which is their date order.
    std::stable_sort(m_byMeter.begin(), m_byMeter.end(), [&](std::uint32_t a, std::uint32_t b) {
        return CompareMeters(m_list[a].rec, m_list[b].rec) < 0;
    });
    // From the last place back: each reading's later readings of its meter, and where the meter ends.
    const std::size_t n = m_byMeter.size();
    m_place.resize(n);
    m_later.resize(n);
    m_meterEnd.resize(n);
    for (std::size_t k = n; k-- > 0;) {
        const TEnergyReadingRecord& r = m_list[m_byMeter[k]].rec;
        m_place[m_byMeter[k]] = static_cast<std::uint32_t>(k);
        const TEnergyReadingRecord* next = k + 1 < n ? &m_list[m_byMeter[k + 1]].rec : nullptr;
        if (!next || CompareMeters(*next, r) != 0) {
            m_meterEnd[k] = m_later[k] = static_cast<std::uint32_t>(k + 1);
        } else if (next->Date > r.Date || next->Date == r.Date) {
            m_meterEnd[k] = m_meterEnd[k + 1];
            m_later[k] = next->Date == r.Date ? m_later[k + 1] : static_cast<std::uint32_t>(k + 1);
        } else {
            // Out of date order: the searches by halves decide as they always did.
            m_place.clear();
            m_later.clear();
            m_meterEnd.clear();
            break;
        }
    }
}

MeterReadings::Neighbours MeterReadings::AroundEntry(std::size_t listPosition, const QString& bound) const
{
    if (m_place.empty())
        return Around(m_list[listPosition].rec, bound);
    // The reading itself is dated on its date: the previous reading is the last of its day.
    const std::uint32_t place = m_place[listPosition];
    const std::uint32_t later = m_later[place];
    Neighbours found;
    found.previous = m_list[m_byMeter[later - 1]].rec;
    if (later != m_meterEnd[place])
        found.next = m_list[m_byMeter[later]].rec;
    return found;
}

MeterReadings::Neighbours MeterReadings::Around(const TEnergyReadingRecord& reading,
                                                const QString& bound) const
{
    const auto meterBefore = [&](std::uint32_t i) { return CompareMeters(m_list[i].rec, reading) < 0; };
    const auto first = std::partition_point(m_byMeter.begin(), m_byMeter.end(), meterBefore);
    const auto last = std::partition_point(
        first, m_byMeter.end(), [&](std::uint32_t i) { return CompareMeters(m_list[i].rec, reading) == 0; });
    const auto after = std::partition_point(
        first, last, [&](std::uint32_t i) { return !(m_list[i].rec.Date > reading.Date); });
    Neighbours found;
    if (after != first) {
        found.previous = m_list[*(after - 1)].rec;
    } else {
        found.previous.MachineCode.assign(reading.MachineCode);
        found.previous.MeterCode.assign(reading.MeterCode);
        found.previous.Date = bound;
        found.previous.Units = 1;
    }
    if (after != last)
        found.next = m_list[*after].rec;
    return found;
}

MeterReadings::Neighbours FindPreviousReading(Context& ctx, const MeterReadings& meters,
                                              const TEnergyReadingRecord& reading, const QString& bound)
{
    MeterReadings::Neighbours found = meters.Around(reading, bound);
    if (found.next)
        Energy(ctx).CurrentEnergyReading = *found.next;
    return found;
}

MeterReadings::Neighbours FindPreviousReading(Context& ctx, const MeterReadings& meters,
                                              std::size_t listPosition, const QString& bound)
{
    MeterReadings::Neighbours found = meters.AroundEntry(listPosition, bound);
    if (found.next)
        Energy(ctx).CurrentEnergyReading = *found.next;
    return found;
}

} // namespace gim
