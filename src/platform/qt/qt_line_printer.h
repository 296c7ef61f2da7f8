#pragma once

#include "platform/line_printer.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <functional>
#include <memory>

class QWidget;

namespace gim {

// The line printer on a real printer: the print dialog chooses it, then every line is drawn in a
// monospace font at the next line of the page, as a text printer would put it. The font is sized so
// that a page takes kLinesPerPage lines of kColumns characters: the callers count their lines against
// that page. A line past the bottom runs over onto a new page, and one wider than the paper is cut at
// its edge. Tabs stand every eight columns (PaperText).
class QtLinePrinter final : public LinePrinter
{
public:
    static constexpr int kLinesPerPage = 66;
    static constexpr int kColumns = 132;
    static constexpr int kTabWidth = 8;

    // Chooses the printer before a document; false = cancelled.
    using Setup = std::function<bool(QPrinter&)>;
    // Without a setup the print dialog asks, over `parent`.
    explicit QtLinePrinter(Setup setup = {});
    ~QtLinePrinter() override;

    void SetDialogParent(QWidget* parent) { m_parent = parent; }
    QPrinter& Printer() { return *m_printer; }

protected:
    bool Open() override;
    void PutLine(const QString& text) override;
    void PutPageBreak() override;
    void Close() override;

private:
    // Starts painting on the first line, so that a document without lines prints no sheet.
    bool StartPainting();

    Setup m_setup;
    QWidget* m_parent = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    bool m_failed = false;
    qreal m_lineHeight = 0;
    qreal m_ascent = 0;
    qreal m_pageHeight = 0;
    int m_line = 0; // line of the page the next line goes to
};

// What a text printer puts on paper for a line: a tab runs to the next tab column, a carriage return
// (the blank line of the listings) prints nothing.
QString PaperText(const QString& text, int tabWidth);

} // namespace gim
