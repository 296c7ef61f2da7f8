#include "platform/qt/report_text.h"

#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace gim {
namespace {

// A report goes into a bare text document and back with no window: the stops, the styles and the text
// stay, and a running number wider than its column moves the stops, not the columns.
TEST(ReportText, ConvertsWithoutAWindow)
{
    ReportDocument doc(QStringLiteral("MAQUINAS DE PORTAL"));
    doc.SetTabStops({20, 80});
    doc.SetBold(true);
    doc.AddLine(QStringLiteral("\tFIRMA\tPORTAL"));
    doc.SetBold(false);
    doc.AddLine(QStringLiteral("1\tM1\tPrensa"));
    QTextDocument text;
    RenderReportText(doc, text);
    EXPECT_EQ(text.toPlainText(), QStringLiteral("\tFIRMA\tPORTAL\n1\tM1\tPrensa"));
    ReportDocument back(doc.caption);
    ReadReportText(text, back);
    EXPECT_TRUE(back.SameText(doc)) << back.Transcript().toStdString();

    doc.AddLine(QStringLiteral("100000\tM2\tTorno"));
    RenderReportText(doc, text);
    EXPECT_GT(text.lastBlock().blockFormat().tabPositions().at(0).position, 20 * 96.0 / 72);
}

} // namespace
} // namespace gim
