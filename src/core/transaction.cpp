#include "core/transaction.h"

#include "core/context.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace gim {

namespace {

// How deeply the transactions of one context nest.
struct TransactionDepth
{
    int depth = 0;
};

} // namespace

Transaction::Transaction(Context& ctx) : m_ctx(ctx), m_lock(ctx)
{
    m_outermost = ctx.Module<TransactionDepth>().depth++ == 0;
    if (m_outermost)
        RecoverJournal(ctx);
}

Transaction::~Transaction()
{
    --m_ctx.Module<TransactionDepth>().depth;
}

bool Transaction::Prepare(const QStringList& fileNames, Report report)
{
    for (const QString& name : fileNames) {
        const QString path = m_ctx.Path(name);
        int err = m_ctx.faults ? m_ctx.faults->Check(FileOp::Open, path) : 0;
        if (err == 0) {
            if (QFileInfo::exists(path)) {
                const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
                if (fd < 0)
                    err = errno;
                else
                    ::close(fd);
                if (err == 0 && QFileInfo(path).isDir())
                    err = EISDIR;
            } else if (::access(QFile::encodeName(m_ctx.st.WorkDir).constData(), W_OK) != 0) {
                err = errno;
            }
        }
        if (err != 0) {
            const std::uint8_t code = IoCodeFromErrno(err);
            m_ctx.st.LastIOResult = code;
            if (report == Report::Show)
                m_ctx.ui.ShowMessage(IoErrorText(code) + QLatin1Char(' ') + QFileInfo(path).fileName());
            return false;
        }
    }
    return true;
}

void Transaction::Commit()
{
    m_committed = true;
}

void RecoverJournal(Context&) {}

void CheckpointJournal(Context&) {}

} // namespace gim
