#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <csignal>

namespace gim::test {

// The web service on 127.0.0.1, on free ports: python3-pyftpdlib (account "gim", password "27-04-1998")
// and python3's http.server over one folder with opciones/{archivos,MQN,PRS,TIPO,FOTOS} and CopiaSeg/.
// Error() says why when a server did not start; WriteSettings points a data folder at the peer.
class WebPeer
{
public:
    WebPeer();
    const QString& Error() const { return m_error; }
    QString Site(const QString& path) const { return m_dir.filePath(QStringLiteral("site/") + path); }
    void Put(const QString& path, const QByteArray& bytes) const;
    QByteArray Bytes(const QString& path) const; // a path in the site, or an absolute one
    // The transfer commands the FTP server received: "TYPE I | RETR PLANTA_R12.JPG | ...".
    QString Commands() const { return Log("ftp.log", "\\] <- ((?:TYPE|RETR|STOR|DELE) .*)"); }
    void WriteSettings(const QString& dataDir, bool passive = false) const;
    void StopFtp() { m_ftp.kill(), m_ftp.waitForFinished(3000); }
    // The FTP server stops answering or goes on.
    void FreezeFtp(bool frozen) const
    {
        if (m_ftp.processId() > 0)
            ::kill(pid_t(m_ftp.processId()), frozen ? SIGSTOP : SIGCONT);
    }

private:
    int Start(QProcess& process, const QStringList& program, const QString& args, const char* log,
              const char* portPattern);
    QString Log(const char* log, const char* pattern) const;

    QTemporaryDir m_dir;
    QProcess m_ftp, m_http; // killed with the peer
    int m_ftpPort = 0, m_httpPort = 0;
    QString m_error;
};

} // namespace gim::test
