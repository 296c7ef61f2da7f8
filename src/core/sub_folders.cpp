#include "core/sub_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace gim {

namespace {

QString Canonical(const QString& name)
{
    return name.toUpper();
}

// The existing folder of `parent` that `name` stands for; empty when there is none.
QString ExistingName(const QDir& parent, const QString& name)
{
    if (!parent.exists())
        return {};
    QStringList matches;
    const QStringList entries =
        parent.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            matches << entry;
    }
    if (matches.isEmpty())
        return {};
    if (matches.contains(name))
        return name;
    if (matches.contains(Canonical(name)))
        return Canonical(name);
    return matches.first();
}

} // namespace

QStringList SubFolderNames(const QString& subFolder)
{
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    QStringList names;
    for (const QString& part : subFolder.split(separators, Qt::SkipEmptyParts)) {
        if (part != QLatin1String(".") && part != QLatin1String(".."))
            names << part;
    }
    return names;
}

QString ResolveSubFolder(const QString& baseDir, const QString& subFolder)
{
    QString path = QDir::cleanPath(baseDir);
    for (const QString& name : SubFolderNames(subFolder)) {
        const QString existing = ExistingName(QDir(path), name);
        path += QLatin1Char('/') + (existing.isEmpty() ? Canonical(name) : existing);
    }
    return path;
}

std::optional<QString> MakeSubFolder(const QString& baseDir, const QString& subFolder)
{
    const QString path = ResolveSubFolder(baseDir, subFolder);
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir())
        return std::nullopt;
    return path;
}

} // namespace gim
