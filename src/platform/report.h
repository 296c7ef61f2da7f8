#pragma once

#include <QString>
#include <QStringList>

namespace gim {

// The listing handed to a report window. Kept minimal here; the report window grows it.
class ReportDocument
{
public:
    QString caption;
    QStringList lines;
};

} // namespace gim
