#include "masterdata/personnel.h"

#include "core/context.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "masterdata/hour_prices.h"
#include "masterdata/personnel_card.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace gim {

namespace {

auto EntryBefore()
{
    return [](const PersonListEntry& a, const PersonListEntry& b) { return PersonBefore(a.rec, b.rec); };
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
    const PictureCodec* codec = ctx.codec;
    if (st.PhotoAssignFlag == 0 || !codec) {
        st.PhotoAssignFlag = 0;
        return;
    }
    st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::Person, st.CurrentEnvironment);
    st.PhotoFileName = PhotoFileNameFor(st.FoundPerson.Matricula.str());
    ImportPictureFile(ctx, *codec, st.CurrentSubFolder, st.PhotoFileName);
}

// Loads the list from the personnel file, erased cards left out. Returns every card in file order;
// nothing when the file cannot be read (LastIOResult says why), which leaves the list empty.
std::optional<std::vector<TPersonnelRecord>> LoadCardList(Context& ctx)
{
    std::vector<PersonListEntry>& list = Personnel(ctx).PersonnelList;
    FreeNodeList(list);
    ++Personnel(ctx).PersonnelListRevision;
    list = KeyedFile<PersonnelFile>(ctx).LoadList(Report::Silent);
    if (ctx.st.LastIOResult != IoCode::Ok)
        return std::nullopt;
    std::vector<TPersonnelRecord> cards(list.size());
    for (const PersonListEntry& e : list)
        cards[e.pos] = e.rec;
    std::erase_if(list, [](const PersonListEntry& e) { return PersonnelFile::Deleted(e.rec); });
    ++Personnel(ctx).PersonnelListRevision;
    return cards;
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

QStringList PersonnelNumbers(const std::vector<PersonListEntry>& list, bool activeOnly)
{
    QStringList numbers;
    for (const PersonListEntry& e : list)
        if (!activeOnly || PersonIsActive(e.rec))
            numbers << e.rec.Matricula.str();
    return numbers;
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
    std::vector<THourPriceRecord> prices;
    if (KeyedFile<HourPriceFile> priceFile(ctx); priceFile.Exists())
        prices = priceFile.Read().value_or(std::vector<THourPriceRecord>{});

    const std::optional<std::vector<TPersonnelRecord>> cards = LoadCardList(ctx);
    if (!cards) {
        ctx.ui.ShowMessage(QString::fromUtf8(kPersonnelMissing) + st.PersonnelFileName);
        // No cards, no rows: the old table belonged to cards that are not there.
        st.HourPriceTable.clear();
    } else {
        const std::vector<TPersonnelRecord>& people = *cards;
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
    ++Personnel(ctx).PersonnelListRevision;
}

namespace {

// The list's card of this number; nothing when it has none.
const TPersonnelRecord* FindInList(Context& ctx, const ShortString<6>& wanted)
{
    const std::vector<PersonListEntry>& list = Personnel(ctx).PersonnelList;
    const auto it = std::lower_bound(
        list.begin(), list.end(), wanted,
        [](const PersonListEntry& e, const ShortString<6>& key) { return e.rec.Matricula < key; });
    return it != list.end() && it->rec.Matricula == wanted ? &it->rec : nullptr;
}

} // namespace

bool LookupPersonInList(Context& ctx, const ShortString<6>& matricula)
{
    State& st = ctx.st;
    if (const TPersonnelRecord* found = FindInList(ctx, matricula)) {
        st.FoundPerson = *found;
        return true;
    }
    ClearPersonnelCard(st.FoundPerson);
    return false;
}

bool PersonOnList(Context& ctx, const QString& number)
{
    ShortString<6> wanted{};
    wanted = number;
    return FindInList(ctx, wanted) != nullptr;
}

namespace {

// The card on `rec`, read back when saved. The answer it gives stays in the mode codes for the rest of the
// command: saved "M" (and ContinueFlag 1), erased "B", left RunFlag 0.
int RunPersonnelCard(Context& ctx, TPersonnelRecord& rec, PersonnelCardUse use)
{
    State& st = ctx.st;
    st.ContinueFlag = 0;
    st.PhotoAssignFlag = 0;
    const int result = PersonnelCardBinding().Run(ctx.ui, PersonnelCardSpec(ctx, use), rec);
    if (result == CardResult::Save) {
        st.ContinueFlag = 1;
        st.AnswerCode = QStringLiteral("M");
    } else if (result == CardResult::Delete) {
        st.AnswerCode = QStringLiteral("B");
    } else if (result == CardResult::Exit) {
        st.RunFlag = 0;
    }
    return result;
}

} // namespace

void NewPersonnelCard(Context& ctx)
{
    State& st = ctx.st;
    st.FoundPerson = TPersonnelRecord{};
    ClearPersonnelCard(st.FoundPerson);
    const int result = RunPersonnelCard(ctx, st.FoundPerson, PersonnelCardUse::New);
    const auto& code = st.FoundPerson.Matricula;
    // The photo follows only a stored card: a refused number must not replace the photo of the employee
    // who has it. A card not stored leaves the file as it was, with nothing to sort.
    if (result == CardResult::Save && !(code == "#") && !(code == "Z")) {
        st.FoundPerson = FreshRecord(st.FoundPerson);
        if (AppendPersonnelCard(ctx, st.FoundPerson)) {
            ImportPersonPhoto(ctx);
            SortPersonnelFile(ctx);
        }
    }
    st.PhotoAssignFlag = 0;
    LoadPersonnel(ctx);
}

std::optional<std::uint32_t> AppendPersonnelCard(Context& ctx, const TPersonnelRecord& person)
{
    std::uint32_t position = 0;
    const AppendResult result = KeyedFile<PersonnelFile>(ctx).AppendUnique(FreshRecord(person), position);
    if (result == AppendResult::Duplicate)
        ctx.ui.ShowMessage(QString::fromUtf8(kRepeatedNumber));
    if (result != AppendResult::Stored)
        return std::nullopt;
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
    KeyedFile<PersonnelFile> file(ctx);
    if (!file.Exists()) {
        NoteIoResult(ctx, {IoCode::FileNotFound, ctx.Path(file.name())}, Report::Show);
        return;
    }
    const auto found = std::find_if(p.PersonnelList.begin(), p.PersonnelList.end(),
                                    [&](const PersonListEntry& e) { return e.rec.Matricula == typed; });
    st.AnswerCode = QStringLiteral(" ");
    if (found == p.PersonnelList.end()) {
        ctx.ui.ShowMessage(QString::fromUtf8(kUnknownNumber));
        return;
    }
    st.FoundPerson = found->rec;
    const int result = RunPersonnelCard(ctx, st.FoundPerson, PersonnelCardUse::Edit);
    const bool save = result == CardResult::Save;
    const bool erase = result == CardResult::Delete;
    if (erase)
        st.FoundPerson.Matricula = "Z";
    if ((save || erase) && !(st.FoundPerson.Matricula == "#")) {
        const WriteResult written = file.WriteAt(*found, st.FoundPerson);
        ++p.PersonnelListRevision;
        if (written == WriteResult::Written) {
            st.ContinueFlag = 1;
            if (save)
                ImportPersonPhoto(ctx);
            SortPersonnelFile(ctx);
        } else {
            // Nothing of the card is stored: no photo and nothing to sort.
            st.ContinueFlag = 0;
        }
        // The price table follows the cards: a leaving date or an erased card changes its rows; a file
        // saved by someone else since the list was read gives a list that follows the file.
        if (written != WriteResult::Failed)
            LoadPersonnel(ctx);
    }
    st.PhotoAssignFlag = 0;
}

bool SortPersonnelFile(Context& ctx)
{
    KeyedFile<PersonnelFile> file(ctx);
    // Nothing to sort before the first card is stored.
    if (!file.Exists())
        return false;
    // The cards are read from the last to the first: the twin holds them so, and equal numbers meet in
    // that order. The list follows the file whatever the sort did: a card stored just before must be
    // found, and a deleted one must leave the list that lookups search by halves.
    bool sorted = false;
    try {
        sorted = file.Sort();
    } catch (const IoAbort&) {
        // The command ends here: the callers' own reload of list and price table does not come.
        LoadPersonnel(ctx);
        throw;
    }
    LoadCardList(ctx);
    return sorted;
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
