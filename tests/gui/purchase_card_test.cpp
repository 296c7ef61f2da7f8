#include "platform/qt/card_dialog.h"
#include "records/purchase_order_record.h"
#include "started_program.h"

#include <QPushButton>

namespace gim::test {

class PurchaseProgram : public StartedProgram
{
protected:
    PurchaseProgram()
        : StartedProgram(
              {.firm = QStringLiteral("FABRICA"), .firstYear = 24, .lastYear = 27, .planWeeks = 156})
    {
    }
};

// Compras > Altas > Nuevo Pedido in the running program: the first order of a folder is number 1, open until
// the plan's last year, and its delivery note is hidden.
TEST_F(PurchaseProgram, TheFirstOrderIsNumberOneAndOpen)
{
    QTimer::singleShot(0, [] {
        auto* card = qobject_cast<CardDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(card, nullptr);
        EXPECT_FALSE(card->FieldWidget(QStringLiteral("Albaran"))->isVisible());
        card->Button(QStringLiteral("Salvar"))->click();
    });
    window->Action(QStringLiteral("Compras > Altas > Nuevo Pedido"))->trigger();
    const QByteArray bytes = ReadFile(QStringLiteral("PORTAL.COM"));
    ASSERT_EQ(bytes.size(), 284);
    TPurchaseOrderRecord line{};
    std::memcpy(&line, bytes.constData(), sizeof line);
    EXPECT_EQ(line.Nped.get(), 1);
    EXPECT_EQ(line.Fechcierr.str(), QStringLiteral("27/00/1"));
    EXPECT_EQ(line.LUGAR.str(), QStringLiteral("FABRICA"));
}

} // namespace gim::test
