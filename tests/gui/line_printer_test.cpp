#include "platform/qt/qt_line_printer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace gim {
namespace {

// The printer's pages as the PDF writer lays them out: one page object each.
int PdfPages(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    int pages = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next())
        ++pages;
    return pages;
}

class QtLinePrinterTest : public ::testing::Test
{
protected:
    QtLinePrinter PdfPrinter(const QString& name, bool* asked = nullptr)
    {
        const QString path = dir.filePath(name);
        return QtLinePrinter([path, asked](QPrinter& printer) {
            if (asked)
                *asked = true;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return true;
        });
    }
    QByteArray Read(const QString& name) const
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

// Lines, a form feed, a page break and a page that runs over its 66 lines: four sheets.
TEST_F(QtLinePrinterTest, PrintsLinesIntoAPdfWithAPageForEveryBreak)
{
    bool asked = false;
    QtLinePrinter printer = PdfPrinter(QStringLiteral("ruta.pdf"), &asked);
    ASSERT_TRUE(printer.Begin());
    EXPECT_TRUE(asked);
    printer.Line(QStringLiteral("----------                  RUTA DE MANTENIMIENTO"));
    printer.Line(QStringLiteral("\tCODIGO\tDENOMINACION"));
    printer.Line(QStringLiteral("FIN\f"));
    printer.Line(QStringLiteral("SEGUNDA HOJA"));
    printer.NewPage();
    printer.NewPage();
    for (int i = 0; i < 70; ++i)
        printer.Line(QStringLiteral("LINEA %1").arg(i));
    printer.End();

    const QByteArray pdf = Read(QStringLiteral("ruta.pdf"));
    ASSERT_TRUE(pdf.startsWith("%PDF-")) << pdf.left(16).toStdString();
    EXPECT_EQ(PdfPages(pdf), 4);
    EXPECT_TRUE(pdf.contains("/Count 4"));
    // The lines went onto the pages as text: the document carries the font they were drawn in.
    EXPECT_TRUE(pdf.contains("/Font"));
}

TEST_F(QtLinePrinterTest, ACancelledDialogWritesNoFile)
{
    QtLinePrinter printer([](QPrinter&) { return false; });
    EXPECT_FALSE(printer.Begin());
    printer.Line(QStringLiteral("NADA"));
    printer.End();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(PaperTextTest, TabsRunToTheNextEighthColumnAndCarriageReturnsPrintNothing)
{
    EXPECT_EQ(PaperText(QStringLiteral("\tA\tBCDEFGHI\tJ"), 8),
              QStringLiteral("        A       BCDEFGHI        J"));
    EXPECT_EQ(PaperText(QStringLiteral("SIN TABS"), 8), QStringLiteral("SIN TABS"));
    EXPECT_EQ(PaperText(QStringLiteral("\r"), 8), QString());
    EXPECT_EQ(PaperText(QStringLiteral("\r\tX"), 8), QStringLiteral("        X"));
}

} // namespace
} // namespace gim
