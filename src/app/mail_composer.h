#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace gim {

struct Context;

// The mail composer "Emisor de Mail ": address `EditAddress`, subject `EditSubject`, message `Memo1`
// and `BtnSend` ("&Conectar"), which hands the message to the desktop's mail program as a "mailto:" link.
// The message starts with what the clipboard holds when the composer opens (the report window copies its
// text there); later activations do not paste it again. Deletes itself when closed.
class MailComposer final : public QWidget
{
    Q_OBJECT

public:
    explicit MailComposer(Context& ctx, QWidget* parent = nullptr);

    QLineEdit* Address() const { return m_address; }
    QLineEdit* Subject() const { return m_subject; }
    QPlainTextEdit* Message() const { return m_memo; }
    QPushButton* SendButton() const { return m_send; }

    // The link BtnSend opens.
    QString Link() const;
    void Send();

protected:
    bool event(QEvent* event) override;

private:
    void Activated();

    Context& m_ctx;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_subject = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QPushButton* m_send = nullptr;
    bool m_pasted = false;
};

} // namespace gim
