#include "platform/code_table.h"

namespace gim {

std::optional<QString> CodeTable::Label(const QString& code) const
{
    for (const CodeLabel& entry : m_entries)
        if (code == QLatin1String(entry.code))
            return QString::fromUtf8(entry.label);
    return std::nullopt;
}

QString CodeTable::LabelOr(const QString& code, const QString& missing) const
{
    return Label(code).value_or(missing);
}

QStringList CodeTable::Codes() const
{
    QStringList codes;
    codes.reserve(static_cast<qsizetype>(m_entries.size()));
    for (const CodeLabel& entry : m_entries)
        codes << QString::fromLatin1(entry.code);
    return codes;
}

} // namespace gim
