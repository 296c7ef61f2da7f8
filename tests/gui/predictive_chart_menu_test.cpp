#include "core/record_file.h"
#include "platform/qt/card_dialog.h"
#include "platform/qt/picture_window.h"
#include "records/predictive_record.h"
#include "started_program.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace gim {
namespace {

class PredictiveChartMenu : public test::StartedProgram
{
protected:
    PredictiveChartMenu()
        : StartedProgram(
              {.firm = QStringLiteral("FABRICA"), .firstYear = 25, .lastYear = 27, .planWeeks = 104})
    {
    }
};

void Type(CardDialog* card, const QString& field, const QString& value)
{
    auto* combo = qobject_cast<QComboBox*>(card->FieldWidget(field));
    combo->setFocus();
    combo->setEditText(value);
    QApplication::processEvents();
}

// F7 asks for the start, chooses the control on the card and draws its chart in a window of its own.
TEST_F(PredictiveChartMenu, F7DrawsTheChartWindow)
{
    StorePlannedMachine(60);
    TPredictiveRecord level{};
    level.Codigo = "01-001";
    level.FREC = "AL";
    level.Espec = "V";
    level.Pos = "V1";
    level.Medida1 = 38;
    level.Medida2 = 38;
    StoreRecords(ctx, QStringLiteral("PORTAL.ALR"), std::vector{level});
    TPredictiveRecord measure = level;
    measure.FREC = "M";
    measure.Semana = 3;
    measure.Medida2 = 0;
    StoreRecords(ctx, QStringLiteral("PORTAL.PRD"), std::vector{measure});

    QStringList answers{QStringLiteral("1"), QStringLiteral("2025")};
    QStringList seen;
    QImage picture;
    QPointer<QWidget> last;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last)
            return;
        last = modal;
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            input->setTextValue(answers.isEmpty() ? input->textValue() : answers.takeFirst());
            input->accept();
        } else if (auto* card = qobject_cast<CardDialog*>(modal)) {
            Type(card, QStringLiteral("Codigo"), QStringLiteral("01-001"));
            Type(card, QStringLiteral("Espec"), QStringLiteral("V"));
            Type(card, QStringLiteral("Pos"), QStringLiteral("V1"));
            QTimer::singleShot(0, card->Button(QStringLiteral("Salvar")), &QPushButton::click);
        } else if (auto* chart = qobject_cast<PictureWindowDialog*>(modal)) {
            seen << chart->windowTitle();
            picture = chart->findChild<QLabel*>(QStringLiteral("panel"))->pixmap().toImage();
            chart->findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
        } else {
            seen << modal->windowTitle();
            modal->close();
        }
    });
    poll.start(10);
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("F7")));
    poll.stop();

    EXPECT_EQ(seen, QStringList{QStringLiteral(
                        "             MANTENIMIENTO PREDICTIVO AÑO  2025                  07/12/2026")});
    ASSERT_EQ(picture.size(), QSize(761, 409));
    EXPECT_EQ(picture.pixel(54, 150), qRgb(255, 0, 0)); // alarm line, and the measure at its level
    EXPECT_EQ(picture.pixel(63, 150), qRgb(255, 0, 0)); // alarm line
    EXPECT_EQ(picture.pixel(63, 193), qRgb(0, 0, 255)); // warning line
    EXPECT_EQ(picture.pixel(56, 150), qRgb(255, 0, 0)); // the mark's arm
    TEditorRTF* listing = ReportWindows::Of(window->MdiArea(), ctx, handover).Newest();
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(listing->Document().caption, QStringLiteral("MEDIDAS DE MANTENIMIENTO PREDICTIVO PORTAL"));
    EXPECT_TRUE(listing->Document().Text().contains(QStringLiteral("\t3/25\t\t38\t0")));
}

} // namespace
} // namespace gim
