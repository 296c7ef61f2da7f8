#include "support/web_peer.h"

#include "records/cp1252.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <memory>

namespace gim::test {

WebPeer::WebPeer()
{
    for (const char* folder : {"archivos", "MQN", "PRS", "TIPO", "FOTOS", "../CopiaSeg"})
        QDir().mkpath(Site(QStringLiteral("opciones/") + QLatin1String(folder)));
    m_ftpPort = Start(m_ftp, QStringLiteral("-D -w -i 127.0.0.1 -p 0 -u gim -P 27-04-1998 -d"), "ftp.log",
                      "FTP server on 127\\.0\\.0\\.1:(\\d+).*");
    if (!m_error.isEmpty())
        m_error =
            QStringLiteral("the web tests need python3-pyftpdlib (apt-get install python3-pyftpdlib): ") +
            m_error;
    else
        m_httpPort = Start(m_http, QStringLiteral("-m http.server 0 --bind 127.0.0.1 --directory"),
                           "http.log", "port (\\d+).*");
}

int WebPeer::Start(QProcess& process, const QString& args, const char* log, const char* portPattern)
{
    // Debian's python3 packages live with /usr/bin/python3; each server announces its port in its log.
    const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    static const QString ftpServer = QStringLiteral(
        "import os, sys\n"
        "from pyftpdlib import handlers\n"
        "from pyftpdlib.__main__ import main\n"
        "sys.stderr.reconfigure(errors='surrogateescape')\n"
        "H = handlers.FTPHandler\n"
        "H.unicode_errors = 'surrogateescape'\n"
        "H.auth_failed_timeout = 0\n"
        "handlers.ThrottledDTPHandler.read_limit = handlers.ThrottledDTPHandler.write_limit = 262144\n"
        "H.dtp_handler = handlers.ThrottledDTPHandler\n"
        "dele = H.ftp_DELE\n"
        "def refuse(self, path):\n"
        "    if os.path.exists(path + '.nodele'): return self.respond('550 Permission denied.')\n"
        "    return dele(self, path)\n"
        "H.ftp_DELE = refuse\n"
        "main()\n");
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(m_dir.filePath(QLatin1String(log)));
    const QStringList program =
        args.startsWith(QLatin1String("-m")) ? QStringList{} : QStringList{QStringLiteral("-c"), ftpServer};
    process.start(python,
                  QStringList{QStringLiteral("-u")} + program + args.split(' ') + QStringList{Site({})});
    process.waitForStarted(3000);
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired() && process.state() == QProcess::Running;
         QThread::msleep(20)) {
        if (const QString port = Log(log, portPattern); !port.isEmpty())
            return port.toInt();
    }
    m_error = python + QLatin1Char(' ') + args + QStringLiteral(" did not start: ") +
              Bytes(QStringLiteral("../") + log);
    return 0;
}

QString WebPeer::Log(const char* log, const char* pattern) const
{
    QStringList out;
    auto it =
        QRegularExpression(QLatin1String(pattern) + QLatin1Char('$'), QRegularExpression::MultilineOption)
            .globalMatch(FromCp1252(Bytes(QStringLiteral("../") + QLatin1String(log)).toStdString()));
    while (it.hasNext())
        out << it.next().captured(1).trimmed();
    return out.join(QStringLiteral(" | "));
}

namespace {

// The site's names are Windows-1252 bytes, which Qt's file names (UTF-8) cannot spell.
std::unique_ptr<std::FILE, int (*)(std::FILE*)> OpenCp1252(const QString& path, const char* mode)
{
    return {std::fopen(ToCp1252(path).c_str(), mode), std::fclose};
}

} // namespace

void WebPeer::Put(const QString& path, const QByteArray& bytes) const
{
    if (auto f = OpenCp1252(Site(path), "wb"))
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), f.get());
}

QByteArray WebPeer::Bytes(const QString& path) const
{
    if (QDir::isAbsolutePath(path)) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    auto f = OpenCp1252(Site(path), "rb");
    QByteArray bytes;
    for (char buffer[4096]; f && !std::feof(f.get());)
        bytes.append(buffer, static_cast<qsizetype>(std::fread(buffer, 1, sizeof buffer, f.get())));
    return f ? bytes : QByteArray("<missing>");
}

void WebPeer::FreezeFtp(bool frozen) const
{
    ::kill(static_cast<pid_t>(m_ftp.processId()), frozen ? SIGSTOP : SIGCONT);
}

void WebPeer::WriteSettings(const QString& dataDir, bool passive) const
{
    QFile f(dataDir + QStringLiteral("/gimweb.ini"));
    if (f.open(QIODevice::WriteOnly))
        f.write(QStringLiteral("[ftp]\nHost=127.0.0.1\nPort=%1\nUser=gim\nPassive=%2\nTimeoutSeconds=3\n"
                               "[web]\nAddress=http://127.0.0.1:%3\n")
                    .arg(m_ftpPort)
                    .arg(passive ? "true" : "false")
                    .arg(m_httpPort)
                    .toUtf8());
}

} // namespace gim::test
