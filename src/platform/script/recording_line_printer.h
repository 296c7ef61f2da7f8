#pragma once

#include "platform/line_printer.h"

#include <QStringList>
#include <functional>
#include <vector>

namespace gim {

// The test backend of the line printer: keeps what would have reached paper, page by page.
class RecordingLinePrinter final : public LinePrinter
{
public:
    // `ask` stands for the print dialog (true = print); without one every run prints.
    explicit RecordingLinePrinter(std::function<bool()> ask = {}) : m_ask(std::move(ask)) {}

    // Every page printed so far, each with its lines in order; a document starts on a page of its own.
    const std::vector<QStringList>& Pages() const { return m_pages; }
    // Every line of every page, a form feed ("\f") standing between two pages.
    QStringList Lines() const;
    // Documents finished with End.
    int Documents() const { return m_documents; }

protected:
    bool Open() override;
    void PutLine(const QString& text) override;
    void PutPageBreak() override;
    void Close() override;

private:
    std::function<bool()> m_ask;
    std::vector<QStringList> m_pages;
    bool m_newDocument = false;
    int m_documents = 0;
};

} // namespace gim
