#include "platform/handover.h"

namespace gim {

namespace {

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

bool HandoverRegistry::ExchangePending(const EditFlags& flags) const
{
    for (std::size_t i = 0; i < kEditItemCount; ++i)
        if (flags[i] == 1 && !m_entries[i].map.exchangeFile.isEmpty())
            return true;
    return false;
}

} // namespace gim
