#include "support/web_peer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QThread>

namespace gim::test {

namespace {
QString ReadText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
} // namespace

WebPeer::WebPeer()
{
    for (const char* folder : {"archivos", "MQN", "PRS", "TIPO", "FOTOS", "../CopiaSeg"})
        QDir().mkpath(Site(QStringLiteral("opciones/") + QLatin1String(folder)));
    m_ftpPort =
        Start(m_ftp, QStringLiteral("pyftpdlib -D -w -i 127.0.0.1 -p 0 -u gim -P 27-04-1998 -d").split(' '),
              QStringLiteral("ftp.log"), QStringLiteral("FTP server on 127\\.0\\.0\\.1:(\\d+)"));
    if (m_error.isEmpty())
        m_httpPort = Start(m_http, QStringLiteral("http.server 0 --bind 127.0.0.1 --directory").split(' '),
                           QStringLiteral("http.log"), QStringLiteral("port (\\d+)"));
    else
        m_error =
            QStringLiteral("the web tests need python3-pyftpdlib (apt-get install python3-pyftpdlib): ") +
            m_error;
}

WebPeer::~WebPeer()
{
    for (QProcess* p : {&m_ftp, &m_http})
        p->kill(), p->waitForFinished(3000);
}

int WebPeer::Start(QProcess& process, const QStringList& args, const QString& log, const QString& portPattern)
{
    // Debian's python3 packages live with /usr/bin/python3; each server announces its port in its log.
    const QString python = QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(m_dir.filePath(log));
    process.start(python,
                  QStringList{QStringLiteral("-u"), QStringLiteral("-m")} + args + QStringList{Site({})});
    const QRegularExpression port(portPattern);
    process.waitForStarted(3000);
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired(); QThread::msleep(20)) {
        if (const auto m = port.match(ReadText(m_dir.filePath(log))); m.hasMatch())
            return m.captured(1).toInt();
        if (process.state() == QProcess::NotRunning)
            break;
    }
    m_error = python + QLatin1Char(' ') + args.first() + QStringLiteral(" did not start: ") +
              ReadText(m_dir.filePath(log));
    return 0;
}

QStringList WebPeer::Log(const QString& log, const QString& pattern) const
{
    QStringList out;
    auto it = QRegularExpression(pattern + QLatin1Char('$'), QRegularExpression::MultilineOption)
                  .globalMatch(ReadText(m_dir.filePath(log)));
    while (it.hasNext())
        out << it.next().captured(1).trimmed();
    return out;
}

void WebPeer::WriteSettings(const QString& dataDir, bool passive) const
{
    QSettings s(dataDir + QStringLiteral("/gimweb.ini"), QSettings::IniFormat);
    s.setValue(QStringLiteral("ftp/Host"), QStringLiteral("127.0.0.1"));
    s.setValue(QStringLiteral("ftp/Port"), m_ftpPort);
    s.setValue(QStringLiteral("ftp/User"), QStringLiteral("gim"));
    s.setValue(QStringLiteral("ftp/Passive"), passive);
    s.setValue(QStringLiteral("ftp/TimeoutSeconds"), 3);
    s.setValue(QStringLiteral("web/Address"), QStringLiteral("http://127.0.0.1:%1").arg(m_httpPort));
}

} // namespace gim::test
