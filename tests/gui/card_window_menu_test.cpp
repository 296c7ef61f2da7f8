#include "app/features.h"
#include "app/main_window.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "platform/qt/card_dialog.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/qt_ui.h"
#include "records/machine_record.h"
#include "records/spare_part_record.h"
#include "shortcut_keys.h"
#include "started_program.h"
#include "support/test_context.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace gim {
namespace {

std::string Text(const QString& s)
{
    return s.toStdString();
}

// Hands each modal window that opens, in turn, to the next of `steps`; a window nobody expected (a
// message, a card too many) is a failure and is closed so that the test does not hang.
class ModalScript : public QObject
{
public:
    explicit ModalScript(std::deque<std::function<void(CardDialog*)>> steps) : m_steps(std::move(steps))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
        m_timer.start();
    }
    bool Done() const { return m_steps.empty(); }
    QStringList unexpected;
    // Answers a window that is not a card (a prompt); true when it did.
    std::function<bool(QWidget*)> other;

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last)
            return;
        m_last = modal;
        auto* card = qobject_cast<CardDialog*>(modal);
        if (!card && other && other(modal))
            return;
        if (!card || m_steps.empty()) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            unexpected << (box ? box->text() : modal->windowTitle());
            modal->close();
            return;
        }
        const auto step = std::move(m_steps.front());
        m_steps.pop_front();
        step(card);
    }

    std::deque<std::function<void(CardDialog*)>> m_steps;
    QPointer<QWidget> m_last;
    QTimer m_timer;
};

class CardWindowsFromTheMenu : public test::StartedProgram
{
protected:
    CardWindowsFromTheMenu() : StartedProgram({.drive = QStringLiteral("C:")}) {}
};

TEST_F(CardWindowsFromTheMenu, ReservedCodesWindowFitsTheScreenWithBothSheetsAndItsButtons)
{
    QAction* item = window->Action(QStringLiteral("Utiles > Códigos Rsv."));
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());

    // The first use only creates the file, with no window.
    {
        ModalScript script({});
        item->trigger();
        EXPECT_EQ(script.unexpected, QStringList());
    }
    ASSERT_TRUE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.CDG"))));
    const QByteArray created = ReadFile(QStringLiteral("PORTAL.CDG"));
    ASSERT_FALSE(created.isEmpty());

    bool seen = false;
    ModalScript script({[&seen](CardDialog* dialog) {
        seen = true;
        EXPECT_LE(dialog->frameGeometry().width(), 1280);
        EXPECT_LE(dialog->frameGeometry().height(), 800);
        ASSERT_NE(dialog->Sheets(), nullptr);
        EXPECT_EQ(dialog->Sheets()->count(), 2);
        EXPECT_EQ(Text(dialog->Sheets()->tabText(0)), "Acciones Partes Diarios");
        EXPECT_EQ(Text(dialog->Sheets()->tabText(1)), "Gamas MTP");
        const QRect inside = dialog->rect();
        const std::pair<const char*, const char*> buttons[] = {
            {"Salvaracc", "SAL&VAR"}, {"Imprimir", "&LISTAR"}, {"salir", "&Salir"}};
        for (const auto& [name, caption] : buttons) {
            SCOPED_TRACE(name);
            QPushButton* button = dialog->Button(QString::fromLatin1(name));
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(Text(button->text()), caption);
            EXPECT_TRUE(button->isVisible());
            EXPECT_TRUE(inside.contains(QRect(button->mapTo(dialog, QPoint(0, 0)), button->size())));
        }
        dialog->Button(QStringLiteral("salir"))->click();
    }});
    item->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(script.unexpected, QStringList());
    // Leaving with Salir keeps the file as it was.
    EXPECT_EQ(ReadFile(QStringLiteral("PORTAL.CDG")), created);
}

TEST_F(CardWindowsFromTheMenu, CtrlF2AddsTheMachineOfTheCardAndTheNextCardEndsTheSeries)
{
    QStringList captions;
    ModalScript script({[&captions](CardDialog* dialog) {
                            captions << dialog->windowTitle();
                            auto* code = dialog->findChild<QLineEdit*>(QStringLiteral("CODIGO"));
                            auto* account = dialog->findChild<QLineEdit*>(QStringLiteral("CUENTA"));
                            ASSERT_TRUE(code && account);
                            code->setText(QStringLiteral("M1"));
                            account->setText(QStringLiteral("CTA"));
                            QPushButton* save = dialog->Button(QStringLiteral("Button1"));
                            ASSERT_NE(save, nullptr);
                            EXPECT_EQ(Text(save->text()), "SAL&VAR");
                            save->click();
                        },
                        [&captions](CardDialog* dialog) {
                            captions << dialog->windowTitle();
                            dialog->close();
                        }});
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Ctrl+F2")));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(script.unexpected, QStringList());
    EXPECT_EQ(captions,
              (QStringList{"FICHA DE CODIFICACION DE MAQUINAS", "FICHA DE CODIFICACION DE MAQUINAS"}));

    const QByteArray machines = ReadFile(QStringLiteral("PORTAL.MQW"));
    ASSERT_GT(machines.size(), 136);
    EXPECT_EQ(machines.at(0), 2);
    EXPECT_EQ(machines.mid(1, 2), QByteArray("M1"));
    EXPECT_EQ(machines.at(133), 3);
    EXPECT_EQ(machines.mid(134, 3), QByteArray("CTA"));
}

TEST_F(CardWindowsFromTheMenu, CtrlF12OpensTheSupplierCardAndStoresTheSupplier)
{
    ctx.st.FirmName = QStringLiteral("FABRICA");
    BuildFirmFileNames(ctx);
    ModalScript script({[](CardDialog* dialog) {
        EXPECT_EQ(Text(dialog->windowTitle()), "FABRICA /PROVEEDORES DE MANTENIMIENTO");
        QPushButton* erase = dialog->Button(QStringLiteral("Borrar"));
        QPushButton* save = dialog->Button(QStringLiteral("Salvar"));
        ASSERT_TRUE(erase && save);
        EXPECT_FALSE(erase->isEnabled()); // nothing to delete on a new card
        EXPECT_EQ(Text(save->text()), "Sal&var");
        auto* code = dialog->findChild<QLineEdit*>(QStringLiteral("Codigo"));
        auto* firm = dialog->findChild<QLineEdit*>(QStringLiteral("Empresa"));
        ASSERT_TRUE(code && firm);
        EXPECT_EQ(Text(code->text()), "#");
        code->setText(QStringLiteral("P1"));
        firm->setText(QStringLiteral("Uno"));
        save->click();
    }});
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Ctrl+F12")));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(script.unexpected, QStringList());

    const QByteArray suppliers = ReadFile(QStringLiteral("FABRI_PO.PVW"));
    ASSERT_EQ(suppliers.size(), 274);
    EXPECT_EQ(suppliers.mid(0, 4), QByteArray("\x03Uno"));
    EXPECT_EQ(suppliers.mid(201, 3), QByteArray("\x02P1"));
}

TEST_F(CardWindowsFromTheMenu, CtrlF9OpensTheSparePartCardAndItsCloseBoxStoresNothing)
{
    QStringList captions;
    ModalScript script({[&captions](CardDialog* dialog) {
        captions << dialog->windowTitle();
        QPushButton* save = dialog->Button(QStringLiteral("Salvar"));
        ASSERT_NE(save, nullptr);
        EXPECT_EQ(Text(save->text()), "&Pieza?");
        EXPECT_FALSE(save->isEnabled());
        dialog->close();
    }});
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Ctrl+F9")));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(script.unexpected, QStringList());
    EXPECT_EQ(captions, QStringList{"REPUESTOS DE MÁQUINAS"});
    EXPECT_FALSE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.RPW"))));
}

TEST_F(CardWindowsFromTheMenu, CtrlF7AsksTheYearAndOpensTheMeasurementCardOfThatYear)
{
    ctx.st.FirstYear = 25;
    ctx.st.LastYear = 27;
    ctx.st.PlanWeeks = 104;
    QStringList prompts;
    QStringList captions;
    ModalScript script({[&captions](CardDialog* dialog) {
        captions << dialog->windowTitle();
        auto* year = dialog->findChild<QLabel*>(QStringLiteral("Label10"));
        ASSERT_NE(year, nullptr);
        EXPECT_EQ(Text(year->text()), "2026");
        dialog->close();
    }});
    script.other = [&prompts](QWidget* modal) {
        auto* input = qobject_cast<QInputDialog*>(modal);
        if (!input)
            return false;
        prompts << input->windowTitle() + QLatin1Char('|') + input->labelText();
        input->setTextValue(QStringLiteral("2026"));
        input->accept();
        return true;
    };
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Ctrl+F7")));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(script.unexpected, QStringList());
    EXPECT_EQ(prompts, QStringList{"RUTAS DE PREDICTIVO|INTRODUZCA AÑO DE ANALISIS (2025 a 2027):  "});
    EXPECT_EQ(captions, QStringList{"REGISTRO DE MEDICIONES DE MANTENIMIENTO PREDICTIVO  2026"});
    // The card left with its close box stores nothing.
    EXPECT_FALSE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.PRD"))));
}

} // namespace
TEST_F(CardWindowsFromTheMenu, CtrlF5OpensTheBreakdownCardOnTodayStampsTimesAndSalirStoresNothing)
{
    QStringList captions;
    ModalScript script({[&captions](CardDialog* dialog) {
        captions << dialog->windowTitle();
        auto* calendar = qobject_cast<QLineEdit*>(dialog->FieldWidget(QStringLiteral("Calendario")));
        auto* week = qobject_cast<QLineEdit*>(dialog->FieldWidget(QStringLiteral("Semana")));
        auto* year = qobject_cast<QLineEdit*>(dialog->FieldWidget(QStringLiteral("ano")));
        ASSERT_TRUE(calendar && week && year);
        EXPECT_EQ(Text(calendar->text()), "07/12/2026");
        EXPECT_EQ(Text(week->text()), "50");
        EXPECT_EQ(Text(year->text()), "2026");
        QPushButton* save = dialog->Button(QStringLiteral("Button1"));
        ASSERT_NE(save, nullptr);
        EXPECT_EQ(Text(save->text()), "SAL&VAR");
        // A click stamps the notice time; a key with Shift held stamps the repair start, untyped.
        auto* notice = qobject_cast<QLineEdit*>(dialog->FieldWidget(QStringLiteral("MDMTO")));
        auto* start = qobject_cast<QLineEdit*>(dialog->FieldWidget(QStringLiteral("MDPRD")));
        ASSERT_TRUE(notice && start);
        QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), notice->mapToGlobal(QPointF(5, 5)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(notice, &click);
        EXPECT_EQ(Text(notice->text()), "07/12/26-10:05");
        QKeyEvent shifted(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"));
        QApplication::sendEvent(start, &shifted);
        EXPECT_EQ(Text(start->text()), "07/12/26-10:05");
        dialog->Button(QStringLiteral("BitBtn1"))->click();
    }});
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Ctrl+F5")));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(script.unexpected, QStringList());
    EXPECT_EQ(captions, QStringList{"FICHA DE AVERIAS E INTERVENCIONES ACCIDENTALES  07/12/2026"});
    EXPECT_FALSE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.AVR"))));
}

TEST_F(CardWindowsFromTheMenu, CtrlF11OpensTheDailyReportCardAndSalirEndsTheSeriesStoringNothing)
{
    QStringList captions;
    ModalScript script({[&captions](CardDialog* dialog) {
        captions << dialog->windowTitle();
        auto* tipo = qobject_cast<QComboBox*>(dialog->FieldWidget(QStringLiteral("Tipo")));
        auto* tipoh = qobject_cast<QComboBox*>(dialog->FieldWidget(QStringLiteral("TIPOH")));
        ASSERT_TRUE(tipo && tipoh);
        // The activity codes come from the reserved-code file the card creates; hour types are sorted.
        QStringList codes;
        for (int i = 0; i < tipo->count(); ++i)
            codes << tipo->itemText(i);
        EXPECT_EQ(codes.size(), 99);
        EXPECT_EQ(Text(codes.mid(0, 4).join(QLatin1Char(' '))), "P1D P1S P2S PM");
        EXPECT_EQ(Text(codes.mid(95).join(QLatin1Char(' '))), "OP TA TM TL");
        QStringList hourTypes;
        for (int i = 0; i < tipoh->count(); ++i)
            hourTypes << tipoh->itemText(i);
        EXPECT_EQ(hourTypes.join(QLatin1Char(' ')), QStringLiteral("B C E EC EF EN F N P V"));
        EXPECT_FALSE(dialog->Button(QStringLiteral("BorraPartes"))->isVisible());
        dialog->Button(QStringLiteral("BitBtn1"))->click();
    }});
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Ctrl+F11")));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(script.unexpected, QStringList());
    EXPECT_EQ(captions, QStringList{"ALTA PARTES DE TRABAJO"});
    EXPECT_FALSE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.PDA"))));
    EXPECT_TRUE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.CDG"))));
}

TEST_F(CardWindowsFromTheMenu, ShiftF9BooksAStoreEntryIntoThePartAndTheJournal)
{
    ctx.st.FirstYear = 22;
    ctx.st.LastYear = 27;
    TMachineRecord machine{};
    machine.Codigo = "M1";
    machine.Denominacion = "Prensa";
    StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), std::vector{machine});
    TSparePartRecord part{};
    part.Codigo = "M1";
    part.Equipo = "ME";
    part.Util = "ROD";
    part.Pieza = "000";
    part.Nombre = "Rodamiento";
    part.Exist = 2;
    part.Valor = 100;
    StoreRecords(ctx, QStringLiteral("PORTAL.RPW"), std::vector{part});

    QStringList captions;
    QStringList prompts;
    ModalScript script(
        {[&captions](CardDialog* dialog) {
             captions << dialog->windowTitle();
             for (const auto& [name, code] :
                  {std::pair{"Codigo", "M1"}, std::pair{"Equipo", "ME"}, std::pair{"Util", "ROD"}}) {
                 auto* combo = dialog->findChild<QComboBox*>(QString::fromLatin1(name));
                 ASSERT_NE(combo, nullptr) << name;
                 combo->setEditText(QString::fromLatin1(code));
             }
             auto* piece = dialog->findChild<QLineEdit*>(QStringLiteral("Pieza"));
             ASSERT_NE(piece, nullptr);
             piece->setText(QStringLiteral("000"));
             QPushButton* search = dialog->Button(QStringLiteral("Buscar"));
             ASSERT_NE(search, nullptr);
             EXPECT_EQ(Text(search->text()), "&Buscar");
             search->click();
         },
         [&captions](CardDialog* dialog) {
             // A whole key goes straight to the movement card.
             captions << dialog->windowTitle();
             auto* quantity = dialog->findChild<QLineEdit*>(QStringLiteral("CdtMov"));
             auto* price = dialog->findChild<QLineEdit*>(QStringLiteral("CostUnit"));
             ASSERT_TRUE(quantity && price);
             quantity->setText(QStringLiteral("3"));
             price->setText(QStringLiteral("1,60"));
             QPushButton* entry = dialog->Button(QStringLiteral("Entrada"));
             ASSERT_NE(entry, nullptr);
             EXPECT_EQ(Text(entry->text()), "&Entrada Alm");
             entry->click();
         }});
    script.other = [&prompts](QWidget* modal) {
        auto* input = qobject_cast<QInputDialog*>(modal);
        if (!input)
            return false;
        prompts << input->windowTitle() + QLatin1Char('|') + input->labelText() + QLatin1Char('|') +
                       input->textValue();
        input->accept();
        return true;
    };
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Shift+F9")));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(script.unexpected, QStringList());
    EXPECT_EQ(captions,
              (QStringList{"CONSULTA SELECTIVA DE REPUESTOS DE MAQUINAS", "MOVIMIENTOS DE ALMACÉN"}));
    EXPECT_EQ(prompts, QStringList{"CALCULO PRECIO MEDIO|VALOR UNITARIO REPUESTO(centimos_Euros)|160"});

    // 2 at 1,00 and 3 at 1,60: 5 at (200 + 480) div 5 = 136.
    const QByteArray parts = ReadFile(QStringLiteral("PORTAL.RPW"));
    ASSERT_EQ(parts.size(), 200);
    EXPECT_EQ(parts.mid(168, 8), QByteArray("\x05\x00\x00\x00\x88\x00\x00\x00", 8));
    EXPECT_EQ(parts.left(168), QByteArray(reinterpret_cast<const char*>(&part), 168));
    // Week 50 of 2026 in a horizon from 2022: 258, kept as 2.
    const QByteArray journal = ReadFile(QStringLiteral("PORTAL.MOV"));
    ASSERT_EQ(journal.size(), 52);
    EXPECT_EQ(journal.left(30), QByteArray("\x02"
                                           "M1\0\0\0\0\0\0"
                                           "\x02"
                                           "ME"
                                           "\x03"
                                           "ROD"
                                           "\x03"
                                           "000"
                                           "\x08"
                                           "ALMACEN_"
                                           "\x02",
                                           30));
    EXPECT_EQ(journal.mid(44, 8), QByteArray("\x03\x00\x00\x00\xA0\x00\x00\x00", 8));
}

} // namespace gim
