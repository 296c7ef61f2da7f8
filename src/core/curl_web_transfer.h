#pragma once

#include "core/web_transfer.h"

namespace gim {

// The web service's client on libcurl. Transfers run synchronously on the calling thread; the progress
// callback is called from inside them.
class CurlWebTransfer final : public WebTransfer
{
public:
    CurlWebTransfer();
    ~CurlWebTransfer() override;
    CurlWebTransfer(const CurlWebTransfer&) = delete;
    CurlWebTransfer& operator=(const CurlWebTransfer&) = delete;

    tl::expected<void, QString> Connect(const WebAccount& account) override;
    bool Connected() const override { return m_connected; }
    void Disconnect() override;
    void SetMode(TransferMode mode) override { m_mode = mode; }
    tl::expected<void, QString> Download(const QString& remote, const QString& localPath,
                                         const TransferProgress& progress) override;
    tl::expected<void, QString> Upload(const QString& localPath, const QString& remote,
                                       const TransferProgress& progress) override;
    tl::expected<void, QString> Delete(const QString& remote) override;
    tl::expected<QByteArray, QString> Get(const QString& url, int timeoutSeconds) override;

    // One perform's callbacks and error text.
    struct Request;

private:
    void Prepare(const QString& remote);
    void QuoteType(Request& request);
    tl::expected<void, QString> Perform(Request& request);

    void* m_curl = nullptr; // CURL*, kept so that the login is reused by the transfers that follow
    WebAccount m_account;
    QString m_entryPath; // the folder the login started in, ending in "/"; empty when the server did not say
    TransferMode m_mode = TransferMode::Ascii;
    bool m_connected = false;
    bool m_typeSent = false; // the session is in a type libcurl does not know of
};

} // namespace gim
