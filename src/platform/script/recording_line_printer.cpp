#include "platform/script/recording_line_printer.h"

namespace gim {

QStringList RecordingLinePrinter::Lines() const
{
    QStringList out;
    for (const QStringList& page : m_pages) {
        if (!out.isEmpty())
            out << QStringLiteral("\f");
        out << page;
    }
    return out;
}

bool RecordingLinePrinter::Open()
{
    if (m_ask && !m_ask())
        return false;
    // The first line opens the document's first page: a document with no line prints no sheet.
    m_newDocument = true;
    return true;
}

void RecordingLinePrinter::PutLine(const QString& text)
{
    if (m_newDocument) {
        m_pages.emplace_back();
        m_newDocument = false;
    }
    m_pages.back() << text;
}

void RecordingLinePrinter::PutPageBreak()
{
    m_pages.emplace_back();
}

void RecordingLinePrinter::Close()
{
    m_newDocument = false;
    ++m_documents;
}

} // namespace gim
