#include "support/web_peer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

namespace gim::test {

WebPeer::WebPeer()
{
    for (const char* folder : {"archivos", "MQN", "PRS", "TIPO", "FOTOS", "../CopiaSeg"})
        QDir().mkpath(Site(QStringLiteral("opciones/") + QLatin1String(folder)));
    // Names travel in Windows-1252; a file is sent at 256 KB a second; "x.nodele" keeps x from DELE.
    const QString ftp = QStringLiteral(
        "import os; from pyftpdlib import handlers as h; from pyftpdlib.__main__ import main\n"
        "H = h.FTPHandler; H.decode = lambda s, b: b.decode('cp1252', 'replace'); H.auth_failed_timeout = 0\n"
        "h.ThrottledDTPHandler.write_limit = 262144; H.dtp_handler = h.ThrottledDTPHandler; d = H.ftp_DELE\n"
        "H.ftp_DELE = lambda s, p: s.respond('550 No.') if os.path.exists(p + '.nodele') else d(s, p)\n"
        "main()");
    m_ftpPort = Start(m_ftp, {"-c", ftp}, QStringLiteral("-D -w -i 127.0.0.1 -p 0 -u gim -P 27-04-1998 -d"),
                      "ftp.log", "FTP server on 127\\.0\\.0\\.1:(\\d+).*");
    if (!m_error.isEmpty())
        m_error =
            QStringLiteral("the web tests need python3-pyftpdlib (apt-get install python3-pyftpdlib): ") +
            m_error;
    else
        m_httpPort = Start(m_http, {"-m", "http.server"}, QStringLiteral("0 --bind 127.0.0.1 --directory"),
                           "http.log", "port (\\d+).*");
}

int WebPeer::Start(QProcess& process, const QStringList& program, const QString& args, const char* log,
                   const char* portPattern)
{
    // Debian's python3 packages live with /usr/bin/python3; each server announces its port in its log.
    const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(m_dir.filePath(QLatin1String(log)));
    process.start(python,
                  QStringList{QStringLiteral("-u")} + program + args.split(' ') + QStringList{Site({})});
    process.waitForStarted(3000);
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired() && process.state() == QProcess::Running;
         QThread::msleep(20)) {
        if (const QString port = Log(log, portPattern); !port.isEmpty())
            return port.toInt();
    }
    m_error = python + QLatin1Char(' ') + program.join(QLatin1Char(' ')) + QLatin1Char(' ') + args +
              QStringLiteral(" did not start: ") + Bytes(QStringLiteral("../") + log);
    return 0;
}

QString WebPeer::Log(const char* log, const char* pattern) const
{
    QStringList out;
    auto it =
        QRegularExpression(QLatin1String(pattern) + QLatin1Char('$'), QRegularExpression::MultilineOption)
            .globalMatch(QString::fromUtf8(Bytes(QStringLiteral("../") + QLatin1String(log))));
    while (it.hasNext())
        out << it.next().captured(1).trimmed();
    return out.join(QStringLiteral(" | "));
}

void WebPeer::Put(const QString& path, const QByteArray& bytes) const
{
    QFile f(Site(path));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray WebPeer::Bytes(const QString& path) const
{
    QFile f(QDir::isAbsolutePath(path) ? path : Site(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
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
