#pragma once

#include "masterdata/masterdata_fixture.h"
#include "records/record_bytes.h"
#include "store/spare_part_operations.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"

namespace gim::test {

// Environment PORTAL with a horizon from 2022: today, week 50 of 2026, is absolute week 258, stored as 2.
class StoreTest : public MasterdataTest
{
protected:
    StoreTest()
    {
        RegisterMainWindowOperations(registry);
        RegisterSpareParts(registry, t.ctx);
        t.ctx.st.FirstYear = 22;
        t.ctx.st.LastYear = 27;
    }

    static TSparePartRecord Part(const char* code, const char* family, const char* use, const char* piece,
                                 const char* name = "Pieza", std::int32_t exist = 0, std::int32_t valor = 0)
    {
        TSparePartRecord r{};
        r.Codigo = code;
        r.Equipo = family;
        r.Util = use;
        r.Pieza = piece;
        r.Nombre = name;
        r.Exist = exist;
        r.Valor = valor;
        return r;
    }
    static TStoreMovementRecord Movement(const char* code, const char* family, const char* use,
                                         const char* piece, const char* destination, std::uint8_t week,
                                         const char* user, std::int32_t quantity, std::int32_t value)
    {
        TStoreMovementRecord m{};
        m.Codigo = code;
        m.Equipo = family;
        m.Util = use;
        m.Pieza = piece;
        m.Destination = destination;
        m.AbsoluteWeek = week;
        m.User = user;
        m.Quantity = quantity;
        m.UnitValue = value;
        return m;
    }

    void StoreParts(const std::vector<TSparePartRecord>& parts) { StoreRecords(t.ctx, kParts, parts); }
    void StoreMovementFile(const std::vector<TStoreMovementRecord>& m) { StoreRecords(t.ctx, kMovements, m); }
    std::vector<TSparePartRecord> PartFile() { return LoadRecords<TSparePartRecord>(t.ctx, kParts); }
    std::vector<TStoreMovementRecord> MovementFileRecords(const QString& name = QStringLiteral("PORTAL.MOV"))
    {
        return LoadRecords<TStoreMovementRecord>(t.ctx, name);
    }

    const QString kParts = QStringLiteral("PORTAL.RPW");
    const QString kMovements = QStringLiteral("PORTAL.MOV");
    const QString kBudgetMovements = QStringLiteral("PORTAL.MOP");
    const QString kMovementCard = QStringLiteral("MOVIMIENTOS DE ALMACÉN");
    const QString kAverage = QStringLiteral("CALCULO PRECIO MEDIO");
    const QString kAveragePrompt = QStringLiteral("VALOR UNITARIO REPUESTO(centimos_Euros)");
};

} // namespace gim::test
