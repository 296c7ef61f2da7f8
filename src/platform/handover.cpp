#include "platform/handover.h"

namespace gim {

namespace {

constexpr int kNumberCapacity = 11; // numbers travel as text; the owner converts them

const std::vector<std::pair<QString, int>>& PartKeyParts()
{
    static const std::vector<std::pair<QString, int>> parts{{QStringLiteral("Codigo"), 8},
                                                            {QStringLiteral("Equipo"), 2},
                                                            {QStringLiteral("Util"), 3},
                                                            {QStringLiteral("Pieza"), 3}};
    return parts;
}

bool IsLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(QChar::ParagraphSeparator) ||
           c == QChar(QChar::LineSeparator);
}

QString WithoutTrailingBreaks(const QString& text)
{
    qsizetype n = text.size();
    while (n > 0 && IsLineBreak(text[n - 1]))
        --n;
    return text.left(n);
}

} // namespace

const std::array<EditItemInfo, kEditItemCount>& EditMenuItems()
{
    static const std::array<EditItemInfo, kEditItemCount> items{{
        {EditItem::Partes, "&Partes", 'P'},
        {EditItem::Gamas, "&Gamas", 'G'},
        {EditItem::Repara, "&Repara", 'R'},
        {EditItem::Averias, "A&verías", 'V'},
        {EditItem::OrdenesT, "&OrdenesT", 'O'},
        {EditItem::RAlmacen, "R.&Almacén", 'A'},
        {EditItem::Compras, "&Compras", 'C'},
        {EditItem::Procedimientos, "Proc&edimientos", 'E'},
        {EditItem::Energias, "E&nergías", 'N'},
    }};
    return items;
}

const EditItemInfo& EditItemInfoOf(EditItem item)
{
    for (const EditItemInfo& info : EditMenuItems())
        if (info.item == item)
            return info;
    return EditMenuItems().front();
}

QStringList SplitJoinedKey(const HandoverKey& key, const QString& joined)
{
    QStringList parts;
    if (key.parts.empty())
        return parts;
    for (std::size_t i = 0; i < key.parts.size(); ++i)
        parts << QString();
    // The fixed-width tail is taken from the right; the first part keeps the rest.
    QString rest = joined;
    for (std::size_t i = key.parts.size(); i-- > 1;) {
        const qsizetype width = std::min<qsizetype>(key.parts[i].second, rest.size());
        parts[static_cast<qsizetype>(i)] = rest.right(width);
        rest.chop(width);
    }
    parts[0] = rest.left(key.parts[0].second);
    return parts;
}

QStringList SplitRow(const QString& row)
{
    return WithoutTrailingBreaks(row).split(QLatin1Char('\t'));
}

HandoverFields ReadRow(const HandoverMap& map, const QString& row)
{
    const QStringList columns = SplitRow(row);
    HandoverFields fields;
    for (const QString& name : map.alsoCleared)
        fields[name] = QString();
    for (const HandoverField& f : map.fields)
        fields[f.name] = f.column > 0 ? columns.value(f.column).left(f.capacity) : QString();
    for (const HandoverKey& key : map.keys) {
        QString joined = key.column > 0 ? columns.value(key.column) : QString();
        if (key.dropBlanks)
            joined.remove(QLatin1Char(' '));
        std::optional<QStringList> parts;
        if (map.lookupKey && !joined.isEmpty())
            parts = map.lookupKey(key, joined);
        if (!parts || parts->size() != static_cast<qsizetype>(key.parts.size()))
            parts = SplitJoinedKey(key, joined);
        for (std::size_t i = 0; i < key.parts.size(); ++i)
            fields[key.parts[i].first] = parts->at(static_cast<qsizetype>(i)).left(key.parts[i].second);
    }
    return fields;
}

HandoverMap StandardHandoverMap(EditItem item)
{
    HandoverMap m;
    auto field = [&m](int column, const char* name, int capacity) {
        m.fields.push_back(HandoverField{column, QString::fromLatin1(name), capacity});
    };
    switch (item) {
    case EditItem::Partes: // TWorkReportRecord; the owner turns the date "dd/mm/yyyy" into dia's week code
        field(1, "Matricula", 6);
        field(2, "Codigo", 8);
        field(3, "dia", 10);
        field(4, "TIPOH", 3);
        field(5, "Tipo", 3);
        field(6, "Tinter", kNumberCapacity);
        field(7, "Tparo", kNumberCapacity);
        field(8, "Orden", 8);
        field(9, "SparePart", 16);
        field(10, "Descripcion", 48);
        m.clearedOnOpen = QStringList{QStringLiteral("Matricula"), QStringLiteral("Codigo")};
        break;
    case EditItem::Gamas: // TOperationRecord; the machine code stays as it was
        field(1, "Frequency", 2);
        field(2, "State", 2);
        field(3, "Minutes", kNumberCapacity);
        field(4, "Speciality", 2);
        field(5, "Description", 130);
        m.clearedOnOpen = QStringList{QStringLiteral("Description")};
        break;
    case EditItem::Repara: // TPlannedRepairRecord; the owner makes Week absolute from Week and Year
        field(1, "Code", 8);
        field(3, "Minutes", kNumberCapacity);
        field(4, "State", 2);
        field(5, "Specialty", 2);
        field(6, "Order", 8);
        field(7, "Week", kNumberCapacity);
        field(8, "Year", 4);
        field(9, "Executor", 24);
        field(10, "Description", 130);
        m.clearedOnOpen = QStringList{QStringLiteral("Description")};
        break;
    case EditItem::Averias: // TBreakdownRecord; the operators are not taken from the row
        field(1, "Code", 8);
        field(4, "Shift", 2);
        field(5, "Type", 2);
        field(6, "Stop", kNumberCapacity);
        field(7, "Intervention", kNumberCapacity);
        field(8, "Delay", kNumberCapacity);
        field(9, "Officer", 14);
        field(10, "NoticeTime", 14);
        field(12, "Description", 130);
        m.alsoCleared = QStringList{QStringLiteral("Day"), QStringLiteral("Week")};
        m.clearedOnOpen = QStringList{QStringLiteral("Code"), QStringLiteral("Description")};
        break;
    case EditItem::OrdenesT: // TWorkOrderRecord
        field(1, "Number", kNumberCapacity);
        field(2, "State", 2);
        field(3, "NoticeDate", 8);
        field(4, "StartDate", 8);
        field(5, "CloseDate", 8);
        field(6, "Requester", 24);
        field(7, "Machine", 8);
        field(8, "Description", 130);
        m.clearedOnOpen = QStringList{QStringLiteral("Description")};
        break;
    case EditItem::RAlmacen: // TSparePartRecord
        m.keys.push_back(HandoverKey{1, PartKeyParts(), false});
        field(2, "Nombre", 130);
        field(3, "Stock", kNumberCapacity);
        field(4, "Exist", kNumberCapacity);
        field(6, "Local", 4);
        break;
    case EditItem::Compras: // TPurchaseOrderRecord; the three dates are week codes
        field(1, "Nped", kNumberCapacity);
        m.keys.push_back(HandoverKey{2, PartKeyParts(), false});
        field(3, "Sumtro", 10);
        field(4, "fechALTA", 8);
        field(5, "fechaENT", 8);
        field(6, "Fechcierr", 8);
        break;
    case EditItem::Procedimientos: // TProcedureRecord
        m.keys.push_back(HandoverKey{1,
                                     {{QStringLiteral("MachineCode"), 8},
                                      {QStringLiteral("Espec"), 2},
                                      {QStringLiteral("Proced"), 2},
                                      {QStringLiteral("Inst"), 2}},
                                     true});
        break;
    case EditItem::Energias: // TEnergyReadingRecord, from the reading export listing (Codigo, Conta,
                             // Fecha, Orden, Lectura); the owner converts a date longer than 7 characters
        field(1, "MachineCode", 8);
        field(2, "MeterCode", 8);
        field(3, "Date", 10);
        field(5, "Reading", kNumberCapacity);
        break;
    }
    return m;
}

HandoverRegistry::HandoverRegistry()
{
    for (const EditItemInfo& info : EditMenuItems())
        m_entries[PendingEditIndex(info.item)].map = StandardHandoverMap(info.item);
}

void HandoverRegistry::HandOver(EditFlags& flags, EditItem item, const QString& selection)
{
    Entry& e = m_entries[PendingEditIndex(item)];
    const QString row = WithoutTrailingBreaks(selection);
    if (row.size() > 7) {
        const HandoverFields fields = ReadRow(e.map, row);
        for (const auto& [name, value] : fields)
            e.buffer[name] = value;
        if (e.deliver)
            e.deliver(fields);
    }
    flags[PendingEditIndex(item)] = 1;
}

void HandoverRegistry::ClearForNewWindow()
{
    for (Entry& e : m_entries) {
        if (e.map.clearedOnOpen.isEmpty())
            continue;
        for (const QString& name : e.map.clearedOnOpen)
            if (e.buffer.count(name))
                e.buffer[name] = QString();
        if (e.clear)
            e.clear(e.map.clearedOnOpen);
    }
}

} // namespace gim
