#include "records/spare_part_record.h"
#include "records/supplier_record.h"
#include "started_program.h"

#include <QMdiSubWindow>
#include <set>

namespace gim {
namespace {

class StockLettersMenu : public test::StartedProgram
{
protected:
    StockLettersMenu() : StartedProgram({.firm = QStringLiteral("FABRICA")}) {}
};

// Counts the windows painted.
struct PaintWatch final : QObject
{
    std::set<QObject*> painted;
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted.insert(watched);
        return false;
    }
};

// Repuestos > Peticiones OFERTAS > Rotura Stock opens a letter per supplier and cascades them: every
// letter's window is drawn on screen, not only the last one's.
TEST_F(StockLettersMenu, EveryCascadedLetterIsDrawn)
{
    BuildFirmFileNames(ctx);
    std::vector<TSupplierRecord> suppliers(3);
    std::vector<TSparePartRecord> parts(3);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        suppliers[i].Codigo = QStringLiteral("P%1").arg(i).toLatin1().constData();
        suppliers[i].Empresa = "Suministros";
        parts[i].Codigo = "ALMACEN_";
        parts[i].Equipo = "01";
        parts[i].Util = "001";
        parts[i].Pieza = QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')).toLatin1().constData();
        parts[i].Nombre = "Rodamiento";
        parts[i].Stock = 10;
        parts[i].Exist = 2;
        parts[i].CdPVD = suppliers[i].Codigo;
    }
    StoreRecords(ctx, ctx.st.SupplierFileName, suppliers);
    StoreRecords(ctx, QStringLiteral("PORTAL.RPW"), parts);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [] {
        if (auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            input->setTextValue(QStringLiteral("A"));
            input->accept();
        }
    });
    answering.start(10);
    ASSERT_TRUE(
        dispatcher.Run(*dispatcher.Find(QStringLiteral("Repuestos > Peticiones OFERTAS > Rotura Stock"))));
    answering.stop();

    const QList<QMdiSubWindow*> subs = window->MdiArea()->subWindowList();
    ASSERT_EQ(subs.size(), 4); // the listing and three letters
    PaintWatch watch;
    for (QMdiSubWindow* sub : subs.mid(1))
        sub->installEventFilter(&watch);
    for (int i = 0; i < 50 && watch.painted.size() < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(watch.painted.size(), 3u);
}

} // namespace
} // namespace gim
