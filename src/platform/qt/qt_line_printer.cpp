#include "platform/qt/qt_line_printer.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPrintDialog>
#include <QWidget>
#include <algorithm>

namespace gim {

QString PaperText(const QString& text, int tabWidth)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\t'))
            out += QString(tabWidth - out.size() % tabWidth, QLatin1Char(' '));
        else if (c != QLatin1Char('\r'))
            out += c;
    }
    return out;
}

QtLinePrinter::QtLinePrinter(Setup setup)
    : m_setup(std::move(setup)), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
}

QtLinePrinter::~QtLinePrinter()
{
    if (m_painter)
        m_painter->end();
}

bool QtLinePrinter::Open()
{
    m_printer->setDocName(QStringLiteral("gim"));
    bool accepted = false;
    if (m_setup) {
        accepted = m_setup(*m_printer);
    } else {
        QPrintDialog dialog(m_printer.get(), m_parent);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    m_failed = false;
    m_line = 0;
    return accepted;
}

bool QtLinePrinter::StartPainting()
{
    if (m_painter || m_failed)
        return !m_failed;
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(m_printer.get())) {
        // A printer that cannot start (no device, an output file that cannot be written) prints nothing
        // of this document.
        m_failed = true;
        return false;
    }
    const QRectF page = painter->viewport();
    m_pageHeight = page.height();
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    // Sized in the printer's own pixels: the height gives the lines of a page, the width the columns.
    m_lineHeight = m_pageHeight / kLinesPerPage;
    font.setPixelSize(std::max(1, static_cast<int>(m_lineHeight * 0.8)));
    QFontMetricsF metrics(font, m_printer.get());
    const qreal columnWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    if (columnWidth * kColumns > page.width())
        font.setPixelSize(
            std::max(1, static_cast<int>(font.pixelSize() * page.width() / (columnWidth * kColumns))));
    painter->setFont(font);
    m_ascent = QFontMetricsF(font, m_printer.get()).ascent();
    m_painter = std::move(painter);
    return true;
}

void QtLinePrinter::PutLine(const QString& text)
{
    if (!StartPainting())
        return;
    if (m_line >= kLinesPerPage)
        PutPageBreak();
    m_painter->drawText(QPointF(0, m_line * m_lineHeight + m_ascent), PaperText(text, kTabWidth));
    ++m_line;
}

void QtLinePrinter::PutPageBreak()
{
    if (!StartPainting())
        return;
    m_printer->newPage();
    m_line = 0;
}

void QtLinePrinter::Close()
{
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
}

} // namespace gim
