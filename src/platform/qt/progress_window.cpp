#include "platform/qt/progress_window.h"

#include <QProgressBar>
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
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    resize(420, 60);
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
