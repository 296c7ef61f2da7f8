#pragma once

#include <QString>

namespace gim {

// The printer that plain text goes to one line at a time (the plan launch, the routes and the routine
// sheets print this way, keeping their own line counters). A run of printing is Begin, lines and page
// breaks, End; the backends only say how a line and a page break reach paper.
//
// A form feed in a line ends the page at that point, as it does on a text printer. No blank sheet comes
// out: a page break on a page with nothing on it yet is ignored, and the page a break opens reaches the
// backend only with its first line. Lines and page breaks outside Begin..End go nowhere.
class LinePrinter
{
public:
    virtual ~LinePrinter() = default;

    // Asks for the printer (the print dialog) and starts a document; false when the user cancelled, and
    // nothing is printed then.
    bool Begin();
    void Line(const QString& text);
    void NewPage();
    // Finishes the document and hands it to the printer.
    void End();
    bool IsOpen() const { return m_open; }

protected:
    virtual bool Open() = 0;
    virtual void PutLine(const QString& text) = 0;
    virtual void PutPageBreak() = 0;
    virtual void Close() = 0;

private:
    void Put(const QString& text);

    bool m_open = false;
    bool m_pageStarted = false;
    bool m_breakPending = false;
};

} // namespace gim
