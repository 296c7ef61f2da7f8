#include "platform/line_printer.h"

namespace gim {

bool LinePrinter::Begin()
{
    if (m_open)
        End();
    m_open = Open();
    m_pageStarted = false;
    m_breakPending = false;
    return m_open;
}

void LinePrinter::Line(const QString& text)
{
    if (!m_open)
        return;
    qsizetype from = 0;
    for (qsizetype feed = text.indexOf(QLatin1Char('\f')); feed >= 0;
         feed = text.indexOf(QLatin1Char('\f'), from)) {
        // Text before the form feed still goes on the page it ends.
        if (feed > from)
            Put(text.mid(from, feed - from));
        NewPage();
        from = feed + 1;
    }
    // A line that ended in a form feed has nothing left for the next page.
    if (from > 0 && from == text.size())
        return;
    Put(text.mid(from));
}

void LinePrinter::NewPage()
{
    if (m_open && m_pageStarted)
        m_breakPending = true;
}

void LinePrinter::End()
{
    if (!m_open)
        return;
    m_open = false;
    Close();
}

void LinePrinter::Put(const QString& text)
{
    if (m_breakPending) {
        PutPageBreak();
        m_breakPending = false;
    }
    PutLine(text);
    m_pageStarted = true;
}

} // namespace gim
