#include "core/record_file.h"

#include "core/context.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gim {

QString DataPath(const Context& ctx, const QString& fileName)
{
    return ctx.Path(fileName);
}

bool DataFileExists(const Context& ctx, const QString& fileName)
{
    return QFileInfo(ctx.Path(fileName)).isFile();
}

RawRecordFile::RawRecordFile(Context& ctx, std::size_t recordSize) : m_ctx(ctx), m_recordSize(recordSize)
{
}

RawRecordFile::~RawRecordFile()
{
    Close();
}

bool RawRecordFile::Open(const QString& fileName, Mode mode, bool report)
{
    return OpenPath(m_ctx.Path(fileName), mode, report);
}

bool RawRecordFile::OpenPath(const QString& path, Mode mode, bool report)
{
    Close();
    m_path = path;
    int err = 0;
    if (m_ctx.faults)
        err = m_ctx.faults->Check(mode == Mode::Reset ? FileOp::Open : FileOp::Create, path);
    if (err == 0) {
        const QByteArray native = QFile::encodeName(path);
        const int flags = mode == Mode::Reset ? O_RDWR : (O_RDWR | O_CREAT | O_TRUNC);
        m_fd = ::open(native.constData(), flags | O_CLOEXEC, 0644);
        if (m_fd < 0)
            err = errno;
        else {
            struct stat st
            {
            };
            if (::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
                ::close(m_fd);
                m_fd = -1;
                err = EISDIR;
            }
        }
    }
    m_ctx.st.LastIOResult = IoCodeFromErrno(err);
    if (err != 0 && report)
        ShowIOError(m_ctx, m_ctx.st.LastIOResult);
    return err == 0;
}

void RawRecordFile::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void RawRecordFile::Fail(std::uint8_t code) const
{
    m_ctx.st.LastIOResult = code;
    throw IoAbort(code, m_path);
}

std::size_t RawRecordFile::Count() const
{
    if (m_fd < 0)
        Fail(IoCode::FileNotOpen);
    struct stat st
    {
    };
    if (::fstat(m_fd, &st) != 0)
        Fail(IoCode::DiskRead);
    return static_cast<std::size_t>(st.st_size) / m_recordSize;
}

void RawRecordFile::Read(std::size_t index, void* record) const
{
    if (m_fd < 0)
        Fail(IoCode::FileNotOpen);
    if (m_ctx.faults && m_ctx.faults->Check(FileOp::Read, m_path) != 0)
        Fail(IoCode::DiskRead);
    const auto offset = static_cast<off_t>(index * m_recordSize);
    std::size_t done = 0;
    auto* out = static_cast<char*>(record);
    while (done < m_recordSize) {
        const ssize_t n = ::pread(m_fd, out + done, m_recordSize - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail(IoCode::DiskRead); // a read past the end, as the old run time reported it
        done += static_cast<std::size_t>(n);
    }
}

void RawRecordFile::Write(std::size_t index, const void* record)
{
    if (m_fd < 0)
        Fail(IoCode::FileNotOpen);
    if (m_ctx.faults && m_ctx.faults->Check(FileOp::Write, m_path) != 0)
        Fail(IoCode::DiskWrite);
    const auto offset = static_cast<off_t>(index * m_recordSize);
    std::size_t done = 0;
    const auto* in = static_cast<const char*>(record);
    while (done < m_recordSize) {
        const ssize_t n = ::pwrite(m_fd, in + done, m_recordSize - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail(IoCode::DiskWrite);
        done += static_cast<std::size_t>(n);
    }
}

std::string RawRecordFile::ReadAllBytes() const
{
    const std::size_t count = Count();
    std::string bytes(count * m_recordSize, '\0');
    if (m_ctx.faults && m_ctx.faults->Check(FileOp::Read, m_path) != 0)
        Fail(IoCode::DiskRead);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail(IoCode::DiskRead);
        done += static_cast<std::size_t>(n);
    }
    return bytes;
}

void WriteFileAtomically(Context& ctx, const QString& path, const std::string& bytes)
{
    const QString tmp = path + QStringLiteral(".tmp~");
    const QByteArray nativeTmp = QFile::encodeName(tmp);
    auto fail = [&](std::uint8_t code, int fd) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(nativeTmp.constData());
        ctx.st.LastIOResult = code;
        throw IoAbort(code, path);
    };
    if (ctx.faults && ctx.faults->Check(FileOp::Create, path) != 0)
        fail(IoCode::AccessDenied, -1);
    const int fd = ::open(nativeTmp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(IoCodeFromErrno(errno), -1);
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (ctx.faults && ctx.faults->Check(FileOp::Write, path) != 0)
            fail(IoCode::DiskWrite, fd);
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(IoCode::DiskWrite, fd);
        done += static_cast<std::size_t>(n);
    }
    if ((ctx.faults && ctx.faults->Check(FileOp::Sync, path) != 0) || ::fsync(fd) != 0)
        fail(IoCode::DiskWrite, fd);
    ::close(fd);
    if ((ctx.faults && ctx.faults->Check(FileOp::Rename, path) != 0) ||
        ::rename(nativeTmp.constData(), QFile::encodeName(path).constData()) != 0)
        fail(IoCode::CannotRename, -1);
}

} // namespace gim
