#pragma once

#include "core/context.h"
#include "platform/clock.h"
#include "platform/picture_codec.h"
#include "platform/script/scripted_ui.h"
#include "platform/shell.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <string>

namespace gim::test {

// A shell that only records what it was asked to open.
class RecordingShell final : public Shell
{
public:
    bool OpenPath(const QString& p) override
    {
        calls << QStringLiteral("path:") + p;
        return result;
    }
    bool OpenUrl(const QString& u) override
    {
        calls << QStringLiteral("url:") + u;
        return result;
    }
    bool StartProgram(const QString& program, const QStringList& args) override
    {
        calls << QStringLiteral("run:") + program + QLatin1Char(' ') + args.join(QLatin1Char(' '));
        return result;
    }
    QStringList calls;
    bool result = true;
};

// Copies the picture as it is: enough to see which file went where.
class CopyingCodec final : public PictureCodec
{
public:
    tl::expected<void, QString> Convert(const QString& source, const QString& target,
                                        const QString&) const override
    {
        QFile::remove(target);
        if (!QFile::copy(source, target))
            return tl::unexpected(QStringLiteral("no se puede copiar ") + source);
        return {};
    }
};

// A fresh program context in a temporary data folder, with a fixed clock (Monday 7 December 2026,
// 10:05), a scripted user and the copying codec.
class TestContext
{
public:
    explicit TestContext(QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(10, 5, 0)));

    ScriptedUi ui;
    FixedClock clock;
    RecordingShell shell;
    CopyingCodec codec;
    QTemporaryDir dir;
    Context ctx;

    QString Path(const QString& name) const { return ctx.Path(name); }
    // Whole file contents ("" when the file is missing).
    std::string ReadFile(const QString& name) const;
    void WriteFile(const QString& name, const std::string& bytes) const;
    bool Exists(const QString& name) const;
};

} // namespace gim::test
