#pragma once

#include "platform/handover.h"

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <string>

namespace gim::test {

// A listing row: its columns joined by TABs, the running number first.
inline QString Row(std::initializer_list<const char*> columns)
{
    QStringList parts;
    for (const char* c : columns)
        parts << QString::fromUtf8(c);
    return parts.join(QLatin1Char('\t'));
}

// The fields as "name=value;" in name order, readable in failure messages.
inline std::string Describe(const HandoverFields& fields)
{
    QString out;
    for (const auto& [name, value] : fields)
        out += name + QLatin1Char('=') + value + QLatin1Char(';');
    return out.toStdString();
}

} // namespace gim::test
