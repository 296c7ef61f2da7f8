#include "masterdata/personnel.h"

#include "core/context.h"
#include "core/picture_import.h"
#include "core/record_file.h"
#include "core/sorted_rewrite.h"
#include "core/sub_folders.h"
#include "masterdata/personnel_card.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

namespace gim {

namespace {

const QString& PersonnelFile(const Context& ctx)
{
    return ctx.st.PersonnelFileName;
}

const QString& HourPriceFile(const Context& ctx)
{
    return ctx.st.FileName(DataFile::HourPrice);
}

auto EntryBefore()
{
    return [](const PersonListEntry& a, const PersonListEntry& b) { return PersonBefore(a.rec, b.rec); };
}

// A new record carries only its texts: the bytes past each length are zero, as in every new record.
TPersonnelRecord FreshCopy(const TPersonnelRecord& rec)
{
    TPersonnelRecord out{};
    out.Matricula.assign(rec.Matricula);
    out.Apellidos.assign(rec.Apellidos);
    out.Nombre.assign(rec.Nombre);
    out.Calle.assign(rec.Calle);
    out.Ciudad.assign(rec.Ciudad);
    out.tlf.assign(rec.tlf);
    out.Ingreso.assign(rec.Ingreso);
    out.Baja.assign(rec.Baja);
    return out;
}

// The row of an employee who has no prices yet: 1,00 euro for every hour, dated today.
THourPriceRecord DefaultPriceRow(const State& st, const TPersonnelRecord& person)
{
    THourPriceRecord row{};
    row.Matricula.assign(person.Matricula);
    row.HCONTRATO = 100;
    row.HN = 100;
    row.HEX = 100;
    row.HEN = 100;
    row.HEF = 100;
    row.HEC = 100;
    row.Fecha = st.TodayText;
    return row;
}

// Stores the photo the card asked for, now that its card is stored; named after the stored number.
void ImportPersonPhoto(Context& ctx)
{
    State& st = ctx.st;
    const PictureCodec* codec = Personnel(ctx).photoCodec;
    if (st.PhotoAssignFlag == 0 || !codec) {
        st.PhotoAssignFlag = 0;
        return;
    }
    st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::Person, st.CurrentEnvironment);
    st.PhotoFileName = PhotoFileNameFor(st.FoundPerson.Matricula.str());
    ImportPictureFile(ctx, *codec, st.CurrentSubFolder, st.PhotoFileName);
}

// Writes a card back to the file position its list entry came from, after checking that the card there
// still carries the entry's number; anything else means the file changed under the list, and the command
// is abandoned rather than overwrite another employee.
void WriteAtEntry(Context& ctx, RecordFile<TPersonnelRecord>& file, const PersonListEntry& entry,
                  const TPersonnelRecord& rec)
{
    if (entry.pos >= file.Count() || !(file.Read(entry.pos).Matricula == entry.rec.Matricula)) {
        ctx.st.LastIOResult = IoCode::SeekError;
        throw IoAbort(IoCode::SeekError, file.path());
    }
    file.Write(entry.pos, rec);
}

// The list as a load of these records from the last to the first builds it.
void BuildList(Context& ctx, const std::vector<TPersonnelRecord>& records)
{
    std::vector<PersonListEntry>& list = Personnel(ctx).PersonnelList;
    FreeNodeList(list);
    list.reserve(records.size());
    for (std::size_t i = records.size(); i-- > 0;)
        if (!(records[i].Matricula == "Z"))
            list.push_back({records[i], static_cast<std::uint32_t>(i)});
    OrderAsInserted(list, EntryBefore());
}

} // namespace

PersonnelState& Personnel(Context& ctx)
{
    return ctx.Module<PersonnelState>();
}

bool PersonBefore(const TPersonnelRecord& a, const TPersonnelRecord& b)
{
    return a.Matricula < b.Matricula;
}

bool PersonIsActive(const TPersonnelRecord& rec)
{
    const std::string_view baja = rec.Baja.bytes();
    if (!baja.empty() && baja.front() == '.')
        return true;
    return std::none_of(baja.begin(), baja.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void ClearPersonnelCard(TPersonnelRecord& rec)
{
    rec.Matricula = "#";
    rec.Apellidos = "..";
    rec.Nombre = "..";
    rec.Calle = "..";
    rec.Ciudad = "..";
    rec.tlf = "..";
    rec.Ingreso = "..";
    rec.Baja = "..";
}

void LoadPersonnel(Context& ctx)
{
    State& st = ctx.st;
    PersonnelState& p = Personnel(ctx);
    FreeNodeList(p.PersonnelList);
    std::vector<THourPriceRecord> prices;
    if (DataFileExists(ctx, HourPriceFile(ctx)))
        prices = LoadRecords<THourPriceRecord>(ctx, HourPriceFile(ctx));

    RecordFile<TPersonnelRecord> file(ctx);
    if (!file.Open(PersonnelFile(ctx), RawRecordFile::Mode::Reset, false)) {
        ctx.ui.ShowMessage(QString::fromUtf8(kPersonnelMissing) + PersonnelFile(ctx));
        // No cards, no rows: the old table belonged to cards that are not there.
        st.HourPriceTable.clear();
    } else {
        const std::vector<TPersonnelRecord> people = file.ReadAll();
        file.Close();
        // Each card takes the first price record of its number, as a search from the start finds it.
        std::unordered_map<std::string, const THourPriceRecord*> firstPrice;
        for (const THourPriceRecord& r : prices)
            firstPrice.emplace(std::string(r.Matricula.bytes()), &r);
        st.HourPriceTable.assign(people.size(), THourPriceRecord{});
        for (std::size_t i = 0; i < people.size(); ++i) {
            const TPersonnelRecord& person = people[i];
            const auto found = firstPrice.find(std::string(person.Matricula.bytes()));
            THourPriceRecord row = found != firstPrice.end() ? *found->second : DefaultPriceRow(st, person);
            row.Activo = PersonIsActive(person) ? 1 : 0;
            st.HourPriceTable[i] = row;
        }
        BuildList(ctx, people);
    }

    p.CurrentHourPrice.Matricula = "";
    st.AverageHourPrice = 100;
    if (!prices.empty()) {
        std::int64_t sum = 0;
        for (const THourPriceRecord& r : prices)
            sum += r.HCONTRATO;
        st.AverageHourPrice = sum / static_cast<std::int64_t>(prices.size());
    }
}

void InsertPersonByCode(Context& ctx, PersonListEntry entry)
{
    InsertOrdered(Personnel(ctx).PersonnelList, std::move(entry), EntryBefore());
}

bool LookupPersonInList(Context& ctx)
{
    State& st = ctx.st;
    PersonnelState& p = Personnel(ctx);
    const auto& wanted = p.CurrentPersonnelEntry.Matricula;
    const auto it = std::lower_bound(
        p.PersonnelList.begin(), p.PersonnelList.end(), wanted,
        [](const PersonListEntry& e, const ShortString<6>& key) { return e.rec.Matricula < key; });
    if (it != p.PersonnelList.end() && it->rec.Matricula == wanted) {
        st.FoundPerson = it->rec;
        return true;
    }
    ClearPersonnelCard(st.FoundPerson);
    return false;
}

void NewPersonnelCard(Context& ctx)
{
    State& st = ctx.st;
    st.FoundPerson = TPersonnelRecord{};
    ClearPersonnelCard(st.FoundPerson);
    st.ContinueFlag = 0;
    ShowPersonnelCard(ctx, st.FoundPerson);
    const auto& code = st.FoundPerson.Matricula;
    if (st.ContinueFlag == 1 && !(code == "#") && !(code == "Z")) {
        // The photo follows only a stored card: a refused number must not replace the photo of the
        // employee who has it.
        if (AppendPersonnelCard(ctx))
            ImportPersonPhoto(ctx);
        SortPersonnelFile(ctx);
    }
    st.PhotoAssignFlag = 0;
    LoadPersonnel(ctx);
}

std::optional<std::uint32_t> AppendPersonnelCard(Context& ctx)
{
    State& st = ctx.st;
    st.FoundPerson = FreshCopy(st.FoundPerson);
    RecordFile<TPersonnelRecord> file(ctx);
    if (!DataFileExists(ctx, PersonnelFile(ctx))) {
        if (!file.Open(PersonnelFile(ctx), RawRecordFile::Mode::Rewrite))
            return std::nullopt;
        file.Write(0, st.FoundPerson);
        return 0u;
    }
    if (!file.Open(PersonnelFile(ctx), RawRecordFile::Mode::Reset))
        return std::nullopt;
    const std::vector<TPersonnelRecord> cards = file.ReadAll();
    const bool repeated = std::any_of(cards.begin(), cards.end(), [&](const TPersonnelRecord& r) {
        return r.Matricula == st.FoundPerson.Matricula;
    });
    if (repeated) {
        ctx.ui.ShowMessage(QString::fromUtf8(kRepeatedNumber));
        return std::nullopt;
    }
    const auto position = static_cast<std::uint32_t>(cards.size());
    file.Write(position, st.FoundPerson);
    return position;
}

void EditPersonnelCard(Context& ctx)
{
    State& st = ctx.st;
    PersonnelState& p = Personnel(ctx);
    st.ContinueFlag = 0;
    ClearPersonnelCard(st.FoundPerson);
    const QString typed = ctx.ui
                              .InputBox(QStringLiteral("FICHA PERSONAL"), QStringLiteral("ENTRAR MATRÍCULA"),
                                        QStringLiteral("#"))
                              .left(6);
    RecordFile<TPersonnelRecord> file(ctx);
    if (!file.Open(PersonnelFile(ctx), RawRecordFile::Mode::Reset))
        return;
    const auto found = std::find_if(p.PersonnelList.begin(), p.PersonnelList.end(),
                                    [&](const PersonListEntry& e) { return e.rec.Matricula == typed; });
    st.AnswerCode = QStringLiteral(" ");
    if (found == p.PersonnelList.end()) {
        ctx.ui.ShowMessage(QString::fromUtf8(kUnknownNumber));
        return;
    }
    st.FoundPerson = found->rec;
    ShowPersonnelCard(ctx, st.FoundPerson);
    const bool save = st.AnswerCode == QLatin1String("M");
    const bool erase = st.AnswerCode == QLatin1String("B");
    if (erase)
        st.FoundPerson.Matricula = "Z";
    if ((save || erase) && !(st.FoundPerson.Matricula == "#")) {
        WriteAtEntry(ctx, file, *found, st.FoundPerson);
        found->rec = st.FoundPerson;
        st.ContinueFlag = 1;
        file.Close();
        if (save)
            ImportPersonPhoto(ctx);
        SortPersonnelFile(ctx);
        // The price table follows the cards: a leaving date or an erased card changes its rows.
        LoadPersonnel(ctx);
    }
    st.PhotoAssignFlag = 0;
}

bool SortPersonnelFile(Context& ctx)
{
    State& st = ctx.st;
    // Nothing to sort before the first card is stored.
    if (!DataFileExists(ctx, PersonnelFile(ctx)))
        return false;
    // The old sort reads the cards from the last to the first: its twin holds them so, and equal numbers
    // meet in that order.
    if (!SortedRewrite<TPersonnelRecord>(ctx, PersonnelFile(ctx), st.PersonnelTempFileName, PersonBefore,
                                         KeyIsDeleted(&TPersonnelRecord::Matricula), TwinVariant::Copy, true,
                                         LoadOrder::LastToFirst))
        return false;
    BuildList(ctx, LoadRecords<TPersonnelRecord>(ctx, PersonnelFile(ctx)));
    return true;
}

void CheckPersonPhoto(Context& ctx, const QString& codeText)
{
    State& st = ctx.st;
    st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::Person, st.CurrentEnvironment);
    st.PhotoFileName = PhotoFileNameFor(codeText);
    const QString path =
        ResolveSubFolder(st.BaseDir, st.CurrentSubFolder) + QLatin1Char('/') + st.PhotoFileName;
    if (QFileInfo::exists(path))
        ctx.ui.ShowMessage(QStringLiteral("Existe una foto asignada a esta Persona:") + st.CurrentSubFolder +
                           st.PhotoFileName);
}

} // namespace gim
