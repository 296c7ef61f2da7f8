#include "core/context.h"
#include "core/environment.h"
#include "platform/qt/card_dialog.h"
#include "platform/qt/qt_ui.h"
#include "support/test_context.h"
#include "workreports/work_report_card.h"
#include "workreports/work_report_file.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace gim {
namespace {

std::string Text(const QString& s)
{
    return s.toStdString();
}

// The daily-report card as the program shows it: a repair line for editing, the type left with Shift+Tab
// back to the machine, and Ctrl+Space on the save button.
TEST(WorkReportCardWindow, ShowsTheLineStepsBackFromTheTypeAndSavesWithCtrlSpace)
{
    test::TestContext t;
    QtUi ui;
    Context ctx(ui, t.clock, t.shell);
    ctx.st.BaseDir = ctx.st.WorkDir = t.dir.path();
    ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
    BuildDataFileNames(ctx);
    InitCurrentDate(ctx);
    ctx.st.ActionCode = QStringLiteral("4");
    TWorkReportRecord rec{};
    rec.Matricula = "000101";
    rec.Codigo = "M1";
    rec.Tipo = "RM";
    rec.TIPOH = "C";
    rec.dia = "26/50/1";
    rec.Descripcion = "Cambio de correa";
    rec.Tparo = 3;
    rec.Tinter = 45;
    QTimer::singleShot(0, [] {
        auto* card = qobject_cast<CardDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(card, nullptr);
        QApplication::setActiveWindow(card);
        QApplication::processEvents();
        EXPECT_EQ(Text(card->objectName()), "TFORMPDT");
        EXPECT_EQ(Text(card->windowTitle()), "EDICION DE PARTES DE TRABAJO");
        EXPECT_LE(card->frameGeometry().width(), 1280);
        EXPECT_LE(card->frameGeometry().height(), 800);
        auto* tinter = qobject_cast<QLineEdit*>(card->FieldWidget(QStringLiteral("Tinter")));
        ASSERT_NE(tinter, nullptr);
        EXPECT_EQ(Text(tinter->text()), "45");
        auto* tipo = qobject_cast<QComboBox*>(card->FieldWidget(QStringLiteral("Tipo")));
        ASSERT_NE(tipo, nullptr);
        tipo->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(Text(card->FocusedField()), "Tipo");
        // Capitals typed with Shift, as a keyboard sends them, are no back-step: Tab goes on to the time.
        tipo->lineEdit()->selectAll();
        for (const QChar c : QStringLiteral("RM")) {
            QWidget* at = QApplication::focusWidget();
            QKeyEvent shiftDown(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
            QApplication::sendEvent(at, &shiftDown);
            QKeyEvent down(QEvent::KeyPress, c.unicode(), Qt::ShiftModifier, QString(c));
            QApplication::sendEvent(at, &down);
            QKeyEvent up(QEvent::KeyRelease, c.unicode(), Qt::ShiftModifier, QString(c));
            QApplication::sendEvent(at, &up);
            QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
            QApplication::sendEvent(at, &shiftUp);
        }
        EXPECT_EQ(Text(tipo->currentText()), "RM");
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &tab);
        EXPECT_EQ(Text(card->FocusedField()), "Tinter");
        for (const char* next : {"Tparo", "TIPOH", "Descripcion"}) { // Enter reaches the description
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(QApplication::focusWidget(), &enter);
            EXPECT_EQ(Text(card->FocusedField()), next);
        }
        tipo->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(Text(card->FocusedField()), "Tipo");
        QKeyEvent backTab(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &backTab);
        EXPECT_EQ(Text(card->FocusedField()), "Codigo");
        QPushButton* save = card->Button(QStringLiteral("SalvaPartes"));
        ASSERT_NE(save, nullptr);
        EXPECT_EQ(Text(save->text()), "Sal&var/Buscar");
        save->setFocus(Qt::TabFocusReason);
        QKeyEvent ctrlSpace(QEvent::KeyPress, Qt::Key_Space, Qt::ControlModifier, QStringLiteral(" "));
        QApplication::sendEvent(save, &ctrlSpace);
    });
    EXPECT_EQ(OpenWorkReportWindow(ctx, rec), 1);
    EXPECT_EQ(rec.Tinter.get(), 45);
    EXPECT_EQ(rec.Tparo.get(), 3);
    EXPECT_EQ(rec.Tipo.str(), "RM");
    EXPECT_EQ(WorkReports(ctx).KeepEntryMark, 1);
}

} // namespace
} // namespace gim
