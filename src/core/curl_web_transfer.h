#pragma once

#include "core/web_transfer.h"

namespace gim {

// The web service's client on libcurl. Transfers run on the calling thread in short steps: between them
// the wait handler lets the windows repaint and the user cancel.
class CurlWebTransfer final : public WebTransfer
{
public:
    CurlWebTransfer();
    ~CurlWebTransfer() override;
    CurlWebTransfer(const CurlWebTransfer&) = delete;
    CurlWebTransfer& operator=(const CurlWebTransfer&) = delete;

    void SetWait(TransferWait wait) override { m_wait = std::move(wait); }
    tl::expected<void, WebFailure> Connect(const WebAccount& account) override;
    bool Connected() const override { return m_connected; }
    void Disconnect() override;
    void SetMode(TransferMode mode) override { m_mode = mode; }
    tl::expected<void, WebFailure> Download(const QString& remote, const QString& localPath,
                                            const TransferProgress& progress) override;
    tl::expected<void, WebFailure> Upload(const QString& localPath, const QString& remote,
                                          const TransferProgress& progress) override;
    tl::expected<void, WebFailure> Delete(const QString& remote) override;
    tl::expected<QByteArray, WebFailure> Get(const QString& url, int timeoutSeconds) override;

    // One perform's callbacks and byte counts.
    struct Request;

private:
    void Prepare(const QString& remote);
    void QuoteType(Request& request);
    tl::expected<qint64, WebFailure> RemoteSize(const QString& remote);
    tl::expected<void, WebFailure> Perform(void* easy, Request& request);

    void* m_curl = nullptr;  // CURL*, kept so that the login is reused by the transfers that follow
    void* m_multi = nullptr; // CURLM*, which holds that connection between the transfers
    TransferWait m_wait;
    WebAccount m_account;
    QString m_entryPath; // the folder the login started in, ending in "/"; empty when the server did not say
    TransferMode m_mode = TransferMode::Ascii;
    bool m_connected = false;
    bool m_typeSent = false; // the session is in a type libcurl does not know of
};

} // namespace gim
