#include "platform/qt/progress_window.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace gim {

ProgressWindow::ProgressWindow(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("TPbar"));
    setWindowTitle(QStringLiteral("Avance Carga Datos"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setRange(0, kDefaultMaximum);
    m_bar->setValue(0);
    m_bar->setToolTip(QStringLiteral("Indicador de situación del proceso ."));
    m_cancel = new QPushButton(QStringLiteral("&Cancelar"), this);
    m_cancel->setObjectName(QStringLiteral("Cancelar"));
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    resize(420, 60);
}

void ProgressWindow::AllowCancel()
{
    if (!m_cancel->isHidden())
        return;
    // Modality only takes effect when the window is shown again.
    const bool shown = isVisible();
    hide();
    setWindowModality(Qt::ApplicationModal);
    m_cancel->show();
    if (shown)
        show();
}

void ProgressWindow::Finish()
{
    m_finished = true;
    close();
}

void ProgressWindow::closeEvent(QCloseEvent* event)
{
    if (!m_cancel->isHidden() && !m_finished) {
        m_cancelled = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void ProgressWindow::SetMaximum(int maximum)
{
    m_bar->setMaximum(std::max(maximum, 1));
}

void ProgressWindow::SetPosition(int position)
{
    m_bar->setValue(std::clamp(position, 0, m_bar->maximum()));
}

int ProgressWindow::Maximum() const
{
    return m_bar->maximum();
}

int ProgressWindow::Position() const
{
    return m_bar->value();
}

} // namespace gim
