// What comes from the web service: the first byte chooses the settings file "gimweb.ini" (read, then the
// web pages and the connection it names) or a file fetched by the daily-report or work-order
// synchronisation, which the user then loads into the environment automatically.
#include "fuzz_program.h"

#include "core/web_service.h"

#include <QFile>

namespace {

// A server that hands out the fuzzer's bytes as every file it is asked for.
class FileServer final : public gim::WebTransfer
{
public:
    explicit FileServer(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    void SetWait(gim::TransferWait) override {}
    tl::expected<void, gim::WebFailure> Connect(const gim::WebAccount&) override
    {
        m_connected = true;
        return {};
    }
    bool Connected() const override { return m_connected; }
    void Disconnect() override { m_connected = false; }
    void SetMode(gim::TransferMode) override {}
    tl::expected<void, gim::WebFailure> Download(const QString&, const QString& localPath,
                                                 const gim::TransferProgress& progress) override
    {
        QFile f(localPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(m_bytes) != m_bytes.size())
            return tl::unexpected(gim::WebFailure::LocalFile);
        if (progress)
            progress(m_bytes.size(), m_bytes.size());
        return {};
    }
    tl::expected<void, gim::WebFailure> Upload(const QString&, const QString&,
                                               const gim::TransferProgress&) override
    {
        return {};
    }
    tl::expected<void, gim::WebFailure> Delete(const QString&) override { return {}; }
    tl::expected<QByteArray, gim::WebFailure> Get(const QString&, int) override { return m_bytes; }

private:
    QByteArray m_bytes;
    bool m_connected = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes = gim::fuzz::Bytes(data + 1, size - 1);
    gim::fuzz::FuzzProgram program;
    program.ui.yes = true;
    switch (data[0] % 3) {
    case 0:
        program.Write(QString::fromLatin1(gim::kWebSettingsFile), bytes);
        program.Start();
        gim::WebServiceOf(program.ctx).transfer = std::make_shared<FileServer>(QByteArray());
        program.Run(QStringLiteral("Utiles > Veltrano Web > Acceso VW"));
        program.Run(QStringLiteral("Utiles > Veltrano Web > Ver Ficheros > Partes"));
        break;
    case 1:
        program.Start();
        gim::WebServiceOf(program.ctx).transfer = std::make_shared<FileServer>(bytes);
        program.Run(QStringLiteral("Utiles > Veltrano Web > Sincronización > Partes D"));
        break;
    default:
        program.Start();
        gim::WebServiceOf(program.ctx).transfer = std::make_shared<FileServer>(bytes);
        program.Run(QStringLiteral("Utiles > Veltrano Web > Sincronización > Ordenes T."));
        break;
    }
    return 0;
}
