#include "platform/qt/web_search_window.h"

#include "platform/shell.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace gim {

namespace {

QPushButton* MakeButton(const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(caption);
    return button;
}

} // namespace

WebSearchWindow::WebSearchWindow(Shell& shell, QWidget* parent) : QWidget(parent, Qt::Window), m_shell(shell)
{
    setObjectName(QStringLiteral("TWebusca"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Navegador Internet"));

    m_address = new QComboBox(this);
    m_address->setObjectName(QStringLiteral("DirecURL"));
    m_address->setEditable(true);
    m_address->setInsertPolicy(QComboBox::NoInsert);
    m_address->setMinimumContentsLength(40);
    m_back = MakeButton(QStringLiteral("Anterior"), this);
    m_forward = MakeButton(QStringLiteral("Posterior"), this);
    m_reload = MakeButton(QStringLiteral("Actualiza"), this);
    auto* go = MakeButton(QStringLiteral("Ir"), this);
    auto* quit = MakeButton(QStringLiteral("Salir"), this);

    auto* row = new QHBoxLayout;
    row->addWidget(m_back);
    row->addWidget(m_forward);
    row->addWidget(m_reload);
    row->addWidget(m_address, 1);
    row->addWidget(go);
    row->addWidget(quit);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Estado"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_status);

    connect(go, &QPushButton::clicked, this, [this] { Navigate(m_address->currentText()); });
    connect(m_address->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { Navigate(m_address->currentText()); });
    connect(m_back, &QPushButton::clicked, this, &WebSearchWindow::Back);
    connect(m_forward, &QPushButton::clicked, this, &WebSearchWindow::Forward);
    connect(m_reload, &QPushButton::clicked, this, &WebSearchWindow::Reload);
    connect(quit, &QPushButton::clicked, this, &QWidget::close);
    UpdateButtons();
}

QString WebSearchWindow::NormalizedAddress(const QString& address)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    const QString text = address.trimmed();
    if (text.isEmpty() || scheme.match(text).hasMatch())
        return text;
    return QStringLiteral("http://") + text;
}

void WebSearchWindow::Navigate(const QString& address)
{
    const QString url = NormalizedAddress(address);
    if (url.isEmpty())
        return;
    // A new address drops the pages ahead of the current one, as a browser does.
    while (m_history.size() > m_index + 1)
        m_history.removeLast();
    m_history << url;
    m_index = int(m_history.size()) - 1;
    if (m_address->findText(url) < 0)
        m_address->addItem(url);
    Open(url);
}

QString WebSearchWindow::StatusText() const
{
    return m_status->text();
}

void WebSearchWindow::Back()
{
    if (m_index > 0) {
        --m_index;
        Open(m_history.at(m_index));
    }
}

void WebSearchWindow::Forward()
{
    if (m_index + 1 < m_history.size()) {
        ++m_index;
        Open(m_history.at(m_index));
    }
}

void WebSearchWindow::Reload()
{
    if (m_index >= 0)
        Open(m_history.at(m_index));
}

void WebSearchWindow::Open(const QString& url)
{
    m_address->setCurrentText(url);
    // Pages open in the desktop's browser: without one the window says so instead of doing nothing.
    m_status->setText(m_shell.OpenUrl(url)
                          ? QString()
                          : QStringLiteral("No hay un navegador de Internet en este ordenador para abrir ") +
                                url);
    UpdateButtons();
}

void WebSearchWindow::UpdateButtons()
{
    m_back->setEnabled(m_index > 0);
    m_forward->setEnabled(m_index + 1 < m_history.size());
    m_reload->setEnabled(m_index >= 0);
}

} // namespace gim
