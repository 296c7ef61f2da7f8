#include "support/test_context.h"

#include <QFile>
#include <QFileInfo>

namespace gim::test {

TestContext::TestContext(QDateTime now) : clock(std::move(now)), ctx(ui, clock, shell)
{
    ctx.st.BaseDir = dir.path();
    ctx.st.WorkDir = dir.path();
    ctx.codec = &codec;
    // GIM_KEEP_TEST_FOLDERS keeps the files each test wrote (the fuzzers' seeds are taken from them).
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("GIM_KEEP_TEST_FOLDERS"));
}

std::string TestContext::ReadFile(const QString& name) const
{
    QFile f(Path(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}

void TestContext::WriteFile(const QString& name, const std::string& bytes) const
{
    QFile f(Path(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

bool TestContext::Exists(const QString& name) const
{
    return QFileInfo::exists(Path(name));
}

} // namespace gim::test
