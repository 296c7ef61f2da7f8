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
    PredictiveChartMenu() : StartedProgram({.firstYear = 25, .lastYear = 27, .planWeeks = 104}) {}
};

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
    StoreRecords(ctx, QStringLiteral("PORTAL.ALR"), std::vector{level});
    level.Semana = 3;
    StoreRecords(ctx, QStringLiteral("PORTAL.PRD"), std::vector{level});

    QStringList answers{QStringLiteral("1"), QStringLiteral("2025")};
    QStringList seen;
    QImage picture;
    QPointer<QWidget> lastCard;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* input = qobject_cast<QInputDialog*>(modal); input && !answers.isEmpty()) {
            input->setTextValue(answers.takeFirst());
            input->accept();
        } else if (auto* card = qobject_cast<CardDialog*>(modal); card && card != lastCard) {
            lastCard = card;
            for (const auto& [field, value] :
                 {std::pair{"Codigo", "01-001"}, {"Espec", "V"}, {"Pos", "V1"}}) {
                auto* combo = qobject_cast<QComboBox*>(card->FieldWidget(QString::fromLatin1(field)));
                combo->setFocus();
                combo->setEditText(QString::fromLatin1(value));
                QApplication::processEvents();
            }
            QTimer::singleShot(0, card->Button(QStringLiteral("Salvar")), &QPushButton::click);
        } else if (auto* chart = qobject_cast<PictureWindowDialog*>(modal)) {
            seen << chart->windowTitle();
            picture = chart->findChild<QLabel*>(QStringLiteral("panel"))->pixmap().toImage();
            chart->findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
        }
    });
    poll.start(10);
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("F7")));
    poll.stop();

    EXPECT_EQ(seen, QStringList{QStringLiteral(
                        "             MANTENIMIENTO PREDICTIVO AÑO  2025                  07/12/2026")});
    ASSERT_EQ(picture.size(), QSize(761, 409));
    // The alarm line with measure 1 on it (and its mark's arm and diagonal), the warning line, measure 2 at
    // 0.
    EXPECT_EQ((std::vector{picture.pixel(54, 150), picture.pixel(63, 150), picture.pixel(56, 150),
                           picture.pixel(55, 149), picture.pixel(63, 193), picture.pixel(54, 367)}),
              (std::vector{qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(255, 0, 0),
                           qRgb(0, 0, 255), qRgb(0, 0, 255)}));
    TEditorRTF* listing = ReportWindows::Of(window->MdiArea(), ctx, handover).Newest();
    ASSERT_NE(listing, nullptr);
    EXPECT_TRUE(listing->Document().Text().contains(QStringLiteral("\t3/25\t\t38\t0")));
}

} // namespace
} // namespace gim
