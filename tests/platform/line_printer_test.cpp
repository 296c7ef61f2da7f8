#include "platform/script/recording_line_printer.h"
#include "platform/script/scripted_ui.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

using Pages = std::vector<QStringList>;

// Form feeds and page breaks become page boundaries; none of them ever brings out a blank sheet.
TEST(LinePrinterTest, FormFeedsAndPageBreaksEndPagesWithoutBlankSheets)
{
    RecordingLinePrinter printer;
    ASSERT_TRUE(printer.Begin());
    printer.NewPage(); // nothing printed yet: no sheet to eject
    printer.Line(QStringLiteral("CABECERA"));
    printer.Line(QString());
    printer.Line(QStringLiteral("FIN HOJA\f"));
    printer.NewPage(); // the form feed ended the page already
    printer.Line(QStringLiteral("\fSEGUNDA"));
    printer.Line(QStringLiteral("A\fB\f\fC"));
    printer.NewPage();
    printer.Line(QStringLiteral("\tULTIMA"));
    printer.Line(QStringLiteral("\f"));
    printer.NewPage();
    printer.End();

    EXPECT_EQ(printer.Pages(),
              (Pages{{"CABECERA", "", "FIN HOJA"}, {"SEGUNDA", "A"}, {"B"}, {"C"}, {"\tULTIMA"}}));
    EXPECT_EQ(printer.Lines(), (QStringList{"CABECERA", "", "FIN HOJA", "\f", "SEGUNDA", "A", "\f", "B", "\f",
                                            "C", "\f", "\tULTIMA"}));
    EXPECT_EQ(printer.Documents(), 1);
}

TEST(LinePrinterTest, EveryDocumentStartsOnItsOwnSheetAndNothingPrintsOutsideOne)
{
    RecordingLinePrinter printer;
    printer.Line(QStringLiteral("ANTES"));
    printer.NewPage();
    printer.End();
    EXPECT_TRUE(printer.Pages().empty());
    EXPECT_EQ(printer.Documents(), 0);

    ASSERT_TRUE(printer.Begin());
    EXPECT_TRUE(printer.IsOpen());
    printer.Line(QStringLiteral("UNO"));
    printer.End();
    EXPECT_FALSE(printer.IsOpen());
    printer.Line(QStringLiteral("DESPUES"));
    // A document without lines prints no sheet.
    ASSERT_TRUE(printer.Begin());
    printer.End();
    ASSERT_TRUE(printer.Begin());
    printer.Line(QStringLiteral("DOS"));
    printer.End();
    EXPECT_EQ(printer.Pages(), (Pages{{"UNO"}, {"DOS"}}));
    EXPECT_EQ(printer.Documents(), 3);
}

TEST(LinePrinterTest, ACancelledPrintDialogPrintsNothing)
{
    int asked = 0;
    RecordingLinePrinter printer([&] { return ++asked > 1; });
    EXPECT_FALSE(printer.Begin());
    printer.Line(QStringLiteral("PERDIDA"));
    printer.End();
    EXPECT_TRUE(printer.Pages().empty());
    EXPECT_EQ(printer.Documents(), 0);
    EXPECT_TRUE(printer.Begin());
    printer.Line(QStringLiteral("IMPRESA"));
    printer.End();
    EXPECT_EQ(printer.Pages(), (Pages{{"IMPRESA"}}));
}

// The scripted user answers the print dialog; an unscripted one is a failure and prints nothing.
TEST(LinePrinterTest, TheScriptedUserAnswersThePrintDialog)
{
    ScriptedUi ui;
    ui.ExpectPrintDialog(false).ExpectPrintDialog();
    EXPECT_FALSE(ui.TextPrinter().Begin());
    ui.TextPrinter().Line(QStringLiteral("NO"));
    ASSERT_TRUE(ui.TextPrinter().Begin());
    ui.TextPrinter().Line(QStringLiteral("SI"));
    ui.TextPrinter().End();
    EXPECT_EQ(ui.Verify(), QString());
    EXPECT_EQ(ui.Transcript(), (QStringList{"PRINTDIALOG = CANCEL", "PRINTDIALOG = PRINT"}));
    EXPECT_EQ(ui.Printed().Pages(), (Pages{{"SI"}}));

    ScriptedUi unscripted;
    EXPECT_FALSE(unscripted.TextPrinter().Begin());
    EXPECT_TRUE(
        unscripted.Verify().startsWith(QStringLiteral("unexpected PRINTDIALOG; the script had ended")));

    ScriptedUi unused;
    unused.ExpectPrintDialog();
    EXPECT_TRUE(unused.Verify().contains(QStringLiteral("left-over expectations:\n  PRINTDIALOG = PRINT")));
}

} // namespace
} // namespace gim
