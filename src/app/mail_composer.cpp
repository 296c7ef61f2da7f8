#include "app/mail_composer.h"

#include "core/context.h"
#include "core/environment.h"
#include "core/mailto.h"

#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace gim {

MailComposer::MailComposer(Context& ctx, QWidget* parent) : QWidget(parent, Qt::Window), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TForm2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Emisor de Mail "));

    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("EditAddress"));
    m_subject = new QLineEdit(QStringLiteral("Asunto"), this);
    m_subject->setObjectName(QStringLiteral("EditSubject"));
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_send = new QPushButton(QStringLiteral("&Conectar"), this);
    m_send->setObjectName(QStringLiteral("BtnSend"));
    m_send->setEnabled(false);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Destino:"), m_address);
    fields->addRow(QStringLiteral("Tema:"), m_subject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_memo);
    layout->addWidget(m_send, 0, Qt::AlignRight);

    connect(m_address, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_send->setEnabled(!text.isEmpty()); });
    connect(m_send, &QPushButton::clicked, this, &MailComposer::Send);
    resize(560, 420);
}

QString MailComposer::Link() const
{
    return MailtoLink(m_address->text(), m_subject->text(), m_memo->toPlainText());
}

void MailComposer::Send()
{
    if (m_address->text().isEmpty())
        return;
    m_ctx.shell.OpenUrl(Link());
}

bool MailComposer::event(QEvent* event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate)
        Activated();
    return QWidget::event(event);
}

void MailComposer::Activated()
{
    InitCurrentDate(m_ctx);
    // Pasting on every activation would repeat the text each time the user came back to the window.
    if (m_pasted)
        return;
    m_pasted = true;
    const QString text = m_ctx.ui.ClipboardText();
    if (!text.isEmpty())
        m_memo->insertPlainText(text);
}

} // namespace gim
