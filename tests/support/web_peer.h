#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace gim::test {

// The web service on 127.0.0.1, on free ports: python3-pyftpdlib (account "gim", password "27-04-1998")
// and python3's http.server over one folder with opciones/{archivos,MQN,PRS,TIPO,FOTOS} and CopiaSeg/.
// Error() says why when a server did not start.
class WebPeer
{
public:
    WebPeer();
    ~WebPeer();
    const QString& Error() const { return m_error; }
    QString Site(const QString& path) const { return m_dir.filePath(QStringLiteral("site/") + path); }
    // The transfer commands the FTP server received: "TYPE I", "RETR PLANTA_R12.JPG", ...
    QStringList Commands() const
    {
        return Log(QStringLiteral("ftp.log"), QStringLiteral("\\] <- ((?:TYPE|RETR|STOR|DELE) .*)"));
    }
    // The pages asked for: "GET /opciones/VTfichOT.php HTTP/1.1\" 200".
    QStringList Requests() const { return Log(QStringLiteral("http.log"), QStringLiteral("\"(GET .*)")); }
    // Points the program in `dataDir` at this peer.
    void WriteSettings(const QString& dataDir, bool passive = false) const;
    void StopFtp() { m_ftp.kill(), m_ftp.waitForFinished(3000); }

private:
    int Start(QProcess& process, const QStringList& args, const QString& log, const QString& portPattern);
    QStringList Log(const QString& log, const QString& pattern) const;

    QTemporaryDir m_dir;
    QProcess m_ftp, m_http;
    int m_ftpPort = 0, m_httpPort = 0;
    QString m_error;
};

} // namespace gim::test
