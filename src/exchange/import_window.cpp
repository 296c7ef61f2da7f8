#include "exchange/import_window.h"
#include "exchange/web_sync.h"

#include "core/command_table.h"
#include "core/context.h"
#include "core/operations.h"
#include "exchange/import_gateway.h"
#include "exchange/import_tables.h"

#include <array>

namespace gim {

namespace {

struct RadioButton
{
    const char* name;
    const char* caption;
    const char* hint;
    bool manualEnabled; // whether the Manual box may be unticked for this table
};

// clang-format off
constexpr std::array<RadioButton, 15> kRadioButtons{{
    {"Maquinas", "&Máquinas", "Importar Máquinas", true},
    {"Gamas", "&Gamas", "Importar Operaciones de Revisión.", true},
    {"Partes", "&Partes", "Importar Datos de Partes diarios.", true},
    {"Provee", "Pro&veedores", "Importar Datos de Suministrador de Proveedores.", false},
    {"Ordenes", "&Orden Trabajo", "Importar Datos de Ordenes de Trabajo.", true},
    {"Averias", "&Averías", "Importar Datos de Averías", true},
    {"Repuestos", "&Repuestos", "Importar Datos de Repuestos de Almacén.", true},
    {"Reparaciones", "&R&eparaciones", "Importar Datos de Reparaciones Programadas.", false},
    {"Movimientos", "Movimien&tos", "Importar datos de Movimientos de Almacén.", true},
    {"Controles", "&Controles", "Importar Datos de Suministradores de Medidas Predictivo.", false},
    {"Energias", "Ener&gías", "Importar datos de Lecturas Contadores.", true},
    {"COMPRAS", "Compra&s", "Importar datos de Lecturas Contadores.", true},
    {"Planing", "P&laning", "Importar Máquinas", true},
    {"PrecioHora", "Prec&io Hora", "Importar Máquinas", false},
    {"procedimiento", "Procedimiento", "Importar Máquinas", false},
}};
// clang-format on

const RadioButton* RadioNamed(const QString& name)
{
    for (const RadioButton& radio : kRadioButtons)
        if (name == QLatin1String(radio.name))
            return &radio;
    return nullptr;
}

const QString kManual = QStringLiteral("Manual");

// A radio button newly selected: Manual is ticked and may be unticked only for the tables whose add routine
// can store without its card.
void Select(CardState& state, const RadioButton& selected)
{
    state.setChecked(kManual, true);
    state.enable(kManual, selected.manualEnabled);
}

} // namespace

CardSpec ImportWindowSpec()
{
    CardSpec spec;
    spec.name = QStringLiteral("TImport");
    spec.caption = QStringLiteral("Importador de Datos");
    for (const RadioButton& radio : kRadioButtons) {
        FieldSpec field = MakeField(QLatin1String(radio.name), radio.caption, FieldKind::Radio);
        field.hint = QString::fromUtf8(radio.hint);
        spec.fields.push_back(field);
    }
    FieldSpec manual = MakeField(kManual, "Manual", FieldKind::Check);
    manual.hint = QStringLiteral("Comando de Importar en Manual/Automático.");
    spec.fields.push_back(manual);
    spec.buttons = {{QStringLiteral("Salir"), QStringLiteral("&Cancelar"), CardResult::Exit,
                     QStringLiteral("Anular la Importación de Datos.")}};
    spec.onShow = [](CardState& state) {
        for (const RadioButton& radio : kRadioButtons)
            state.setChecked(QLatin1String(radio.name), false);
        state.setChecked(kManual, true);
        state.enable(kManual, false);
    };
    spec.onChange = [](CardState& state, const QString& field) {
        if (const RadioButton* radio = RadioNamed(field); radio && state.checked(field))
            Select(state, *radio);
    };
    // The double-click's first click selected the table (a selected one stays as it was, and so does
    // Manual); Enter on the selected table does the same.
    spec.onDoubleClick = [](CardState& state, const QString& field) {
        if (RadioNamed(field) && state.checked(field))
            state.closeWith = CardResult::Save;
    };
    return spec;
}

void ShowImportWindow(Context& ctx)
{
    State& st = ctx.st;
    CardState state;
    const int result = ctx.ui.RunCard(ImportWindowSpec(), state);
    QString chosen;
    for (const RadioButton& radio : kRadioButtons)
        if (state.checked(QLatin1String(radio.name)))
            chosen = QLatin1String(radio.name);
    const std::optional<ImportJob> job =
        result == CardResult::Save ? ImportJobFor(chosen) : std::optional<ImportJob>();
    if (job) {
        ImportGateway(ctx).Manual = state.checked(kManual);
        if (chosen == QLatin1String("Partes"))
            st.SubCode.clear();
        RunGatewayImport(ctx, *job);
    }
    st.ActionCode.clear();
    st.OutputCode.clear();
    st.InteractiveFlag = 1;
}

void RegisterExchange(OperationRegistry& registry, Context&)
{
    registry.Register(Op::ShowImportWindow, ShowImportWindow);
    RegisterWebSync(registry);
}

void DeclareExchangeCommands(CommandRegistry& menu)
{
    using enum Op;
    menu.Add(MenuItem::ToolsImport, "&Utiles > Impor&tar", "", "", Codes().A("i").O(""), {ShowImportWindow});
    DeclareWebSyncCommands(menu);
}

} // namespace gim
