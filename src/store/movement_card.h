#pragma once

#include <QString>

namespace gim {

struct Context;

// What the movement card shows and what it gives back, as texts.
struct MovementForm
{
    QString CdtMov = QStringLiteral("0");
    QString MqDestin = QStringLiteral("ALMACEN_");
    QString Usuario;
    QString Semana;
    QString Ano;
    QString CostUnit;
    QString Repuesto; // the part key
    QString Nombre;   // the part's name
};

enum class MovementCardUse {
    Booking,    // "&Entrada Alm" and "Sa&lida Alm" book; the date picker fills week and year
    Correction, // "Si&guiente" keeps the card's values, "&Borrar" cancels the movement; no date picker
};

// The movement card TFmov ("MOVIMIENTOS DE ALMACÉN") on `form`. The booking buttons keep the card open
// while a quantity, week, year or price on it is no number. Returns the card's result: Save for the entry
// (or "Si&guiente"), Delete for the exit (or "&Borrar"), Exit; the form is read back on Save and Delete.
int ShowMovementCard(Context& ctx, MovementForm& form, MovementCardUse use);

} // namespace gim
