#pragma once

// What the daily-report card's handlers share: the names of its controls, its texts and the session of
// one open card. Only the card's own sources include this.

#include "platform/card.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace gim {

struct Context;
struct TSparePartRecord;

namespace report_card {

inline const QString kMatricula = QStringLiteral("Matricula");
inline const QString kNoMatricula = QStringLiteral("NoMatricula");
inline const QString kCodigo = QStringLiteral("Codigo");
inline const QString kNoMaquina = QStringLiteral("NoMaquina");
inline const QString kNMQ = QStringLiteral("NMQ");
inline const QString kOrden = QStringLiteral("Orden");
inline const QString kDia = QStringLiteral("dia");
inline const QString kCalendario = QStringLiteral("Calendario");
inline const QString kTipo = QStringLiteral("Tipo");
inline const QString kLabel9 = QStringLiteral("Label9");
inline const QString kTIPOH = QStringLiteral("TIPOH");
inline const QString kLabel13 = QStringLiteral("Label13");
inline const QString kDescripcion = QStringLiteral("Descripcion");
inline const QString kRepCode = QStringLiteral("RepCode");
inline const QString kRepPieza = QStringLiteral("RepPieza");
inline const QString kTinter = QStringLiteral("Tinter");
inline const QString kTparo = QStringLiteral("Tparo");
inline const QString kORDENT = QStringLiteral("ORDENT");
inline const QString kPresup = QStringLiteral("Presup");
inline const QString kRepFin = QStringLiteral("RepFin");
inline const QString kPlanRev = QStringLiteral("PlanRev");
inline const QString kFoto = QStringLiteral("Foto");
inline const QString kLabel3 = QStringLiteral("Label3");
inline const QString kLabel6 = QStringLiteral("Label6");
inline const QString kLabel7 = QStringLiteral("Label7");
inline const QString kLabel10 = QStringLiteral("Label10");
inline const QString kLabel11 = QStringLiteral("Label11");
inline const QString kLabel12 = QStringLiteral("Label12");
inline const QString kLabel14 = QStringLiteral("Label14");
inline const QString kSalvaPartes = QStringLiteral("SalvaPartes");
inline const QString kBitBtn1 = QStringLiteral("BitBtn1");
inline const QString kBorraPartes = QStringLiteral("BorraPartes");

inline constexpr const char* kCardCaption = "PARTE DIARIO DE ACTIVIDAD";
inline constexpr const char* kDayTotalGap = "          ";
inline constexpr const char* kDayTotalText = "Tiempo trabajado en el día ";
inline constexpr const char* kAccumulated = "Tiempo Acumulado : ";
inline constexpr const char* kUnknownType = "Tipo Inexistente";
inline constexpr const char* kPersonMissing = "NO EXISTE LA PERSONA";
inline constexpr const char* kStoreCost = "Costes (0,00 €) :";
inline constexpr const char* kNoteCost = "Coste (0,00 €) :";
inline constexpr const char* kStopTime = "T.Paro Mqn:";
inline constexpr const char* kStoreUnits = "Und.Almacén:";
inline constexpr const char* kInterventionTime = "T.Interv. (min):";
inline constexpr const char* kOrderOrPart = "Orden/PartNum";
inline constexpr const char* kServiceHours = "Horas de Servicio :";
inline constexpr const char* kPartCaption = "Repesto:";
inline constexpr const char* kPhotoCaption = "Fichero Foto:";
inline constexpr const char* kRepairFinished = "Reparación Finalizada";
inline constexpr const char* kCloseOrderShort = "CIERRE ORDEN TRAB.";
inline constexpr const char* kCloseOrder = "Cierre Orden Trabajo";
inline constexpr const char* kExternalReference = "REFERENCIA EXTERNA";
inline constexpr const char* kUncodedPart = "REPUESTO NO CODIFICADO EN ";

inline constexpr std::array<const char*, 5> kDescriptionPresets{{
    "Cumplimentar parte diario actividad.",
    "Gama Realizada Completamente sin anomalias.",
    "Realizacción completa de Ruta de Mto.",
    "Realización parcial de la Gama sin anomalias.",
    "Ruta de Mto. realizada parcialmente.",
}};

// What one open card keeps between its handlers.
struct CardSession
{
    Context& ctx;
    QString mode;                 // ActionCode when the card opened
    bool checkLine = false;       // the edit of a stored line: checked as the add loop checks a line
    bool backStep = false;        // Tipo left with Shift+Tab: the focus goes back to the machine
    QString tipoEntered;          // the activity type as Tipo was entered
    QString lastDescription;      // the description as the card closes, whatever closes it
    QStringList fileDescriptions; // the lines of the description file
};

// Whether the card stores what it shows (not a search filter), whether it is a card of the add loop,
// which stores a new line, and whether its Save button refuses what the add loop would refuse (a line
// typed or edited on the card).
bool StoresLine(const CardSession& s);
bool AddsLine(const CardSession& s);
bool ChecksLine(const CardSession& s);
// The amounts hold minutes, units or cents by the activity type: each is checked as what it holds now.
void SetAmountRules(const CardSession& s, CardState& state, const QString& tipo);

// The activity type as typed, upper-cased; whether it is a store line ("AL", "ALB").
QString TipoOf(const CardState& state);
bool IsStoreLine(const CardState& state);
// The description without the executor a chosen open repair shows after a tab.
QString DescriptionText(const QString& shown);
void ShowPartFields(CardState& state, bool on);

// The caption's day total; the names beside the operator, the machine, the activity and the hour type.
void ShowDayTotal(CardSession& s, CardState& state);
void ShowPerson(CardSession& s, CardState& state);
// The numbers of the active operators and the machine codes, in list order, kept from card to card while
// their lists stay as they were; the place (from 1) of a code's first machine in the list, 0 for none.
const QStringList& ActivePersonChoices(Context& ctx);
const QStringList& MachineChoices(Context& ctx);
qsizetype MachinePlace(Context& ctx, const QString& code);
void ShowMachine(CardSession& s, CardState& state);
void ShowTypeName(CardState& state);
void ShowHourType(CardState& state);

// The description list: the remembered descriptions, a new one remembered, or the machine's open repairs.
void OfferDescriptions(CardSession& s, CardState& state);
void RememberDescription(CardSession& s, const CardState& state);
void OfferOpenRepairs(CardSession& s, CardState& state);

// The part of a store line into MovementBuffer, with the part's name and unit cost.
void LookUpStorePart(CardSession& s, CardState& state);
// The pieces ("MEFIL000": family, use, number) the store holds for machine `code`, in the part list's
// order; `each` sees each part listed.
QStringList StorePieces(Context& ctx, const QString& code,
                        const std::function<void(const TSparePartRecord&)>& each = {});

// Work orders and repair budgets: the one typed, the open ones offered, assigning and unassigning.
void ShowOrder(CardSession& s, CardState& state);
void OfferOpenOrders(CardSession& s, CardState& state);
void ClearAssignment(CardSession& s, CardState& state);
void AssignWorkOrder(CardSession& s, CardState& state);
void AssignBudget(CardSession& s, CardState& state);

// Foto ticked or cleared; Tipo left; the Save button (false keeps the card open).
void ProposePhoto(CardSession& s, CardState& state);
// The captions and the fields of the two amounts as the activity type uses them.
void LabelAmounts(CardState& state, const QString& tipo);
void LeaveTipo(CardSession& s, CardState& state);
bool SaveCard(CardSession& s, CardState& state);

} // namespace report_card

} // namespace gim
