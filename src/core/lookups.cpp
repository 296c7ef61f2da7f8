#include "core/lookups.h"

#include "core/context.h"
#include "core/hour_types.h"
#include "core/record_file.h"

#include <QFile>

namespace gim {
namespace {

// Bisection over records sorted by key, read one at a time by `read`: record 0 is compared on its own,
// then records 1..size-1 by halves. Returns whether the record was found and copied into `rec`.
template <typename T, typename Key, typename Read>
bool FindByHalves(std::size_t size, Read read, T& rec, Key T::*key)
{
    if (size == 0)
        return false;
    const auto& first = read(0);
    if (first.*key == rec.*key) {
        rec = first;
        return true;
    }
    std::size_t low = 1;
    std::size_t high = size - 1;
    while (low <= high) {
        const std::size_t middle = low + (high - low) / 2;
        const auto& probe = read(middle);
        const auto order = probe.*key <=> rec.*key;
        if (order == 0) {
            rec = probe;
            return true;
        }
        if (order < 0)
            low = middle + 1;
        else if (middle == 0)
            break;
        else
            high = middle - 1;
    }
    return false;
}

// The same over a file, reading only the records the search visits.
template <typename T, typename Key>
bool FindInFileByHalves(Context& ctx, const QString& fileName, T& rec, Key T::*key)
{
    RecordFile<T> file(ctx);
    if (!NoteIoResult(ctx, file.Open(fileName, RawRecordFile::Mode::Read), Report::Show))
        return false;
    return FindByHalves(
        file.Count(), [&](std::size_t i) { return file.Read(i); }, rec, key);
}

} // namespace

void FindMachine(Context& ctx, const QString& fileName, TMachineRecord& rec)
{
    rec.Denominacion = "NO EXISTE LA MAQUINA";
    FindInFileByHalves(ctx, fileName, rec, &TMachineRecord::Codigo);
}

void FindPerson(Context& ctx, const QString& fileName, TPersonnelRecord& rec)
{
    rec.Apellidos = "NO EXISTE LA PERSONA";
    rec.Nombre = "";
    FindInFileByHalves(ctx, fileName, rec, &TPersonnelRecord::Matricula);
}

const std::vector<TMachineRecord>& MachineIndex::All() const
{
    if (!m_machines) {
        const QString& name = m_ctx.st.FileName(DataFile::Machine);
        if (m_whenMissing == Report::Silent && m_report == Report::Show && !DataFileExists(m_ctx, name))
            m_machines.emplace();
        else
            m_machines =
                ReadRecords<TMachineRecord>(m_ctx, name, m_report).value_or(std::vector<TMachineRecord>{});
        m_codes.reserve(m_machines->size());
        for (std::size_t i = 0; i < m_machines->size(); ++i)
            m_codes.push_back({(*m_machines)[i].Codigo, static_cast<std::uint32_t>(i)});
    }
    return *m_machines;
}

TMachineRecord MachineIndex::Find(const ShortString<8>& code) const
{
    const std::vector<TMachineRecord>& machines = All();
    CodeAt wanted{code, 0};
    if (FindByHalves(
            m_codes.size(), [&](std::size_t i) -> const CodeAt& { return m_codes[i]; }, wanted,
            &CodeAt::Codigo))
        return machines[wanted.position];
    TMachineRecord machine{};
    machine.Codigo.assign(code);
    machine.Denominacion = "NO EXISTE LA MAQUINA";
    return machine;
}

bool MachineCodesValid(const TMachineRecord& m)
{
    auto printable = [](std::string_view text) {
        for (char c : text) {
            const auto b = static_cast<unsigned char>(c);
            if (b < '!' || b > '}')
                return false;
        }
        return true;
    };
    // A length byte past the field's capacity (a damaged file) is bad coding as well.
    const bool fits = m.Codigo.len <= m.Codigo.Capacity && m.Cuenta.len <= m.Cuenta.Capacity;
    return fits && !m.Codigo.empty() && !m.Cuenta.empty() && printable(m.Codigo.bytes()) &&
           printable(m.Cuenta.bytes());
}

void CheckMachineCodes(Context& ctx, const TMachineRecord& m)
{
    State& st = ctx.st;
    st.MachineCodesOk = MachineCodesValid(m) ? 1 : 0;
    if (m.Codigo.empty())
        ctx.ui.ShowMessage(QStringLiteral("FALTA CÓDIGO DE MÁQUINA"));
    if (m.Cuenta.empty())
        ctx.ui.ShowMessage(QStringLiteral("FALTA CÓDIGO DE CUENTA"));
    if (st.MachineCodesOk == 0 && !(m.Codigo == "#"))
        ctx.ui.ShowMessage(
            QStringLiteral("SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\r") +
            m.Codigo.str() + QLatin1Char(' ') + m.Denominacion.str());
}

void CheckMachineFileCodes(Context& ctx, const std::vector<TMachineRecord>& records, const QString& fileName)
{
    // A few badly coded machines are shown one by one, as the user can put each right; a damaged file
    // holds hundreds of them, and one message says how many instead of a box for each.
    constexpr std::size_t kShownOneByOne = 3;
    State& st = ctx.st;
    std::vector<const TMachineRecord*> bad;
    for (const TMachineRecord& rec : records)
        if (!MachineCodesValid(rec))
            bad.push_back(&rec);
    if (bad.size() > kShownOneByOne) {
        ctx.ui.ShowMessage(QStringLiteral("SOSPECHA DE MALA CODIFICACION EN ") + QString::number(bad.size()) +
                           QStringLiteral(" MÁQUINAS DE ") + fileName +
                           QStringLiteral(".COMPRUEBE SITUACION POR DÍGITOS INADECUADOS"));
    } else {
        for (const TMachineRecord* rec : bad)
            CheckMachineCodes(ctx, *rec);
    }
    st.MachineCodesOk = bad.empty() ? 1 : 0;
}

std::uint16_t LookupHourPrice(const Context& ctx, const QString& matricula, const QString& kind)
{
    const std::optional<HourKind> hourKind = HourKindOf(kind);
    std::uint16_t result = 0;
    for (const THourPriceRecord& row : ctx.st.HourPriceTable) {
        if (!(row.Matricula == matricula))
            continue;
        if (hourKind)
            result = HourPriceOf(row, *hourKind);
        else if (kind == QLatin1String("2"))
            result = row.Price2;
        else if (kind == QLatin1String("3"))
            result = row.Price3;
        else
            result = 0;
    }
    return result;
}

long long AvailableMemoryBytes()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : meminfo.readAll().split('\n')) {
        if (!line.startsWith("MemAvailable:"))
            continue;
        bool ok = false;
        const long long kb = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
        return ok ? kb * 1024 : -1;
    }
    return -1;
}

void CheckHeapMemory(Context& ctx)
{
    const long long available = AvailableMemoryBytes();
    if (available >= 0 && available < 50000)
        ctx.ui.ShowMessage(QStringLiteral("Error por FALTA de Memoria Cierre LOS PROGRAMAS QUE TENGA EN "
                                          "EJECUCIÓN EN SEGUNDO PLANO."));
}

} // namespace gim
