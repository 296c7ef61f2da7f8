#include "app/features.h"
#include "core/command_table.h"
#include "core/dispatch.h"
#include "core/operations.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>

namespace gim {
namespace {

struct MenuRow
{
    const char* path; // captions with their "&"
    const char* key;  // the key the menu lists for the item
};

// The main menu in menu order, as the main-window tables list it, with the accelerators that the
// feature tables give ("Plánin&g", "Repuest&os", "A&ñadir Partes", ...) and ours where none is given.
const MenuRow kMenu[] = {
    {"&Máquinas > &Alta", "Ctrl+F2"},
    {"&Máquinas > &Listado > &Máquinas", "F2"},
    {"&Máquinas > &Listado > &Cuentas", ""},
    {"&Máquinas > &Edición", "Shift+F2"},
    {"&Máquinas > E&tiquetas", ""},
    {"&Máquinas > &Informes", ""},
    {"Proced&imientos > &Alta", ""},
    {"Proced&imientos > &Listado > &Procedimientos", ""},
    {"Proced&imientos > &Listado > &Instrucciones", ""},
    {"Proced&imientos > &Edición", ""},
    {"&Gamas > &Alta", "Ctrl+F3"},
    {"&Gamas > &Baja", ""},
    {"&Gamas > &Listado", "F3"},
    {"&Gamas > &Edición OPR", "Shift+F3"},
    {"&Gamas > &Copia Gamas > &Selectiva", ""},
    {"&Gamas > &Copia Gamas > &Total", ""},
    {"&Gamas > &Presupuesto > &Actualizar", ""},
    {"&Gamas > &Presupuesto > &Listar", ""},
    {"Plánin&g > &Lanzar > &Ruta Mto.", "Ctrl+Alt+R"},
    {"Plánin&g > &Lanzar > Plan &Semanal", "Ctrl+Alt+P"},
    {"Plánin&g > &Lanzar > &Control Horario", "Ctrl+Alt+H"},
    {"Plánin&g > &Crear", ""},
    {"Plánin&g > &Recursos > &Listar", ""},
    {"Plánin&g > &Recursos > &Aumentar", ""},
    {"Plánin&g > &Altas > &Cargar > &Manual", ""},
    {"Plánin&g > &Altas > &Cargar > &Automática > &Aleatoria", ""},
    {"Plánin&g > &Altas > &Cargar > &Automática > &Sincrona", ""},
    {"Plánin&g > &Altas > &Cargar > &Automática > &Continua Plan", ""},
    {"Plánin&g > &Altas > &Descargar > &Manual", ""},
    {"Plánin&g > &Altas > &Descargar > &Automática", ""},
    {"Plánin&g > &Altas > A&genda", ""},
    {"Plánin&g > &Plan Anual", ""},
    {"&Historial MP > &Altas > &Planing", "Ctrl+F4"},
    {"&Historial MP > &Altas > &Selectiv", ""},
    {"&Historial MP > &Edicion", "Shift+F4"},
    {"&Historial MP > &Consulta", ""},
    {"&Historial MP > Co&ntrol > &Planing", "F4"},
    {"&Historial MP > Co&ntrol > &Máquina", ""},
    {"&Historial MP > Co&ntrol > &Semana", ""},
    {"&Historial MP > Co&ntrol > &Rutas", ""},
    {"&Historial MP > &Ratios > &Planing", ""},
    {"&Historial MP > &Ratios > &Semana", ""},
    {"&Historial MP > &Ratios > &Rutas", ""},
    {"&Averías > &Altas", "Ctrl+F5"},
    {"&Averías > &Edición", "Shift+F5"},
    {"&Averías > &Consulta", "F5"},
    {"&Averías > &Informe > &Tipo", ""},
    {"&Averías > &Informe > &Semana", ""},
    {"&Averías > &Informe > &Intervención", ""},
    {"&Reparaciones > &Altas > &Pendiente", ""},
    {"&Reparaciones > &Altas > &Avisos Reparacion", "Ctrl+F6"},
    {"&Reparaciones > &Edición > &Pendientes MO", ""},
    {"&Reparaciones > &Edición > &Selectiva", ""},
    {"&Reparaciones > &Edición > &Avisos Rep", ""},
    {"&Reparaciones > &Consulta > &Selectiva", ""},
    {"&Reparaciones > &Consulta > &Avisos Pend", "F6"},
    {"&Reparaciones > &Ratios", ""},
    {"OT/Prspues&tos > &Altas > &OrdenT", ""},
    {"OT/Prspues&tos > &Altas > &Presupuesto", ""},
    {"OT/Prspues&tos > &Edición > &OrdenTrab.", ""},
    {"OT/Prspues&tos > &Edición > &Cierre OT", ""},
    {"OT/Prspues&tos > &Edición > &Presupuesto > &Horas", ""},
    {"OT/Prspues&tos > &Edición > &Presupuesto > &Mat/Rep", ""},
    {"OT/Prspues&tos > &Consulta > &Ordenes Trb > &Listados OT", ""},
    {"OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > Mano &Obra", "Ctrl+Shift+F6"},
    {"OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > &Trámite", ""},
    {"OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > &Materiales", ""},
    {"OT/Prspues&tos > &Consulta > &Ordenes Trb > &Detalles OT", ""},
    {"OT/Prspues&tos > &Consulta > &Presupuestos > &Selectiva", ""},
    {"OT/Prspues&tos > &Consulta > &Presupuestos > &Listar", ""},
    {"OT/Prspues&tos > &Ratios OT", ""},
    {"Pre&dictivo > &Alta > &Medida", "Ctrl+F7"},
    {"Pre&dictivo > &Alta > &Alarma", ""},
    {"Pre&dictivo > &Edición > &Medidas", "Shift+F7"},
    {"Pre&dictivo > &Edición > &Alarmas", ""},
    {"Pre&dictivo > &Listados", "F7"},
    {"Pre&dictivo > &Máquinas > &Alerta", ""},
    {"Pre&dictivo > &Máquinas > &Control", ""},
    {"&Energías > &Alta Lectura", "Ctrl+F8"},
    {"&Energías > &Edición", "Shift+F8"},
    {"&Energías > &Informes > Por &Lecturas", "F8"},
    {"&Energías > &Informes > Por &Periodo", ""},
    {"&Energías > &Informes > Por &Contador", ""},
    {"Repuest&os > &Alta", "Ctrl+F9"},
    {"Repuest&os > En&tradas/Salidas", "Shift+F9"},
    {"Repuest&os > &Consultas > &Código", "F9"},
    {"Repuest&os > &Consultas > &Proveedor", ""},
    {"Repuest&os > &Edición In/Out > &Correcciones", "Ctrl+Shift+F9"},
    {"Repuest&os > &Edición In/Out > &Movimientos", ""},
    {"Repuest&os > &Edición In/Out > E&tiquetas", ""},
    {"Repuest&os > &Roturas Stock", ""},
    {"Repuest&os > &Peticiones OFERTAS > &Suministrador", ""},
    {"Repuest&os > &Peticiones OFERTAS > &Rotura Stock", ""},
    {"Repuest&os > &Informes Movim. > &Semanal", ""},
    {"Repuest&os > &Informes Movim. > &Repuesto", ""},
    {"Repuest&os > &Informes Movim. > &Nº Peticiones", ""},
    {"Repuest&os > In&ventario > &General", ""},
    {"Repuest&os > In&ventario > &Estadístico", ""},
    {"Repuest&os > In&ventario > E&volución", ""},
    {"Repuest&os > Ra&tios", ""},
    {"Compra&s > &Altas > &Nuevo Pedido", ""},
    {"Compra&s > &Altas > &Añadir Item", ""},
    {"Compra&s > &Edición", ""},
    {"Compra&s > &Recepción Pedidos > &Pendientes", ""},
    {"Compra&s > &Listado > Fechas &Pedido > &Solicitud", ""},
    {"Compra&s > &Listado > Fechas &Pedido > &Entrada", ""},
    {"Compra&s > &Listado > Fechas &Pedido > &Cierre", ""},
    {"Compra&s > &Listado > &Suministrador", ""},
    {"Compra&s > &Listado > &Referencia", ""},
    {"Compra&s > &Listado > &Albarán", ""},
    {"Compra&s > &Listado > R&epuesto", ""},
    {"Compra&s > &Listado > &Cerrados", ""},
    {"Compra&s > &Informes > &Semanal", ""},
    {"Compra&s > &Informes > &Pendientes", ""},
    {"Compra&s > &Informes > &Fuera Plazo", ""},
    {"Compra&s > Ra&tios", ""},
    {"&Costes > &Análisis > Pa&rtes > &Anual", ""},
    {"&Costes > &Análisis > Pa&rtes > &Periodo", ""},
    {"&Costes > &Análisis > Pa&rtes > &Cuentas", ""},
    {"&Costes > &Análisis > &Histórico > &Anual", ""},
    {"&Costes > &Análisis > &Histórico > &Periodo", ""},
    {"&Costes > &Análisis > &Histórico > &Cuentas", ""},
    {"&Costes > &Presupuesto > &Definición", ""},
    {"&Costes > &Presupuesto > &Listado", ""},
    {"&Costes > &Edicion Presup.", ""},
    {"Persona&l > &Alta > &Matrícula", "Ctrl+F10"},
    {"Persona&l > &Alta > &Expediente", "Shift+F10"},
    {"Persona&l > &Alta > &Precio/Hora", ""},
    {"Persona&l > &Listados > &Matriculas", "F10"},
    {"Persona&l > &Listados > &Expediente", ""},
    {"Persona&l > &Listados > &Precio/Hora", ""},
    {"Persona&l > &Edición > &Matrícula", "Shift+F10"},
    {"Persona&l > &Edición > &Expediente", ""},
    {"Persona&l > &Edición > &Precio/Hora", ""},
    {"Persona&l > &Informe Horas", ""},
    {"Persona&l > &Ratios", ""},
    {"&Partes > &Alta", "Ctrl+F11"},
    {"&Partes > &Listados > &Partes", "F11"},
    {"&Partes > &Listados > &Ordenes", ""},
    {"&Partes > &Listados > &Cuenta Coste", ""},
    {"&Partes > &Edición", "Shift+F11"},
    {"&Partes > &Informes > &Diario", ""},
    {"&Partes > &Informes > &Periodo", ""},
    {"&Partes > &Fichero > A&ñadir Partes", ""},
    {"&Partes > &Fichero > &Fraccionar fichero de Partes.", ""},
    {"&Partes > &Fichero > &Descripción Partes", ""},
    {"&Partes > &Ratios", ""},
    {"Pro&veedores > &Alta", "Ctrl+F12"},
    {"Pro&veedores > &Listado", "F12"},
    {"Pro&veedores > &Edición", "Shift+F12"},
    {"&Utiles > &Fuentes", ""},
    {"&Utiles > Im&presoras", ""},
    {"&Utiles > &Imagenes", ""},
    {"&Utiles > &Entorno  > &Acceso", ""},
    {"&Utiles > &Entorno  > &Reinicia Año", ""},
    {"&Utiles > &Copia Seg. > &Hacer > &C:\\CopiaSeg", ""},
    {"&Utiles > &Copia Seg. > &Hacer > &Examinar", ""},
    {"&Utiles > &Copia Seg. > &Restaurar > &C:/CopiaSeg", ""},
    {"&Utiles > &Copia Seg. > &Restaurar > &Examinar", ""},
    {"&Utiles > &Copia Seg. > &Restaurar > &VeltWeb", ""},
    {"&Utiles > Fic&heros", ""},
    {"&Utiles > &Ayuda", ""},
    {"&Utiles > &Mensajes", ""},
    {"&Utiles > I&nformes", ""},
    {"&Utiles > E&xportar > &Gamas", ""},
    {"&Utiles > E&xportar > &Energias", ""},
    {"&Utiles > Impor&tar", ""},
    {"&Utiles > Có&digos Rsv.", ""},
    {"&Utiles > Ce&rca de", ""},
    {"&Utiles > Veltrano &Web > &Acceso VW", ""},
    {"&Utiles > Veltrano &Web > &Ver Ficheros > &Partes", ""},
    {"&Utiles > Veltrano &Web > &Ver Ficheros > &Ordenes T", ""},
    {"&Utiles > Veltrano &Web > &Ver Ficheros > Pe&rsonal", ""},
    {"&Utiles > Veltrano &Web > &Ver Ficheros > &Máquinas", ""},
    {"&Utiles > Veltrano &Web > &Ver Ficheros > &Tipos Mto", ""},
    {"&Utiles > Veltrano &Web > &CrearFicheros > &Maquinas", ""},
    {"&Utiles > Veltrano &Web > &CrearFicheros > &Personal", ""},
    {"&Utiles > Veltrano &Web > &CrearFicheros > &Tipos Mto", ""},
    {"&Utiles > Veltrano &Web > &CrearFicheros > &Ordenes T.", ""},
    {"&Utiles > Veltrano &Web > &CrearFicheros > Partes &D", ""},
    {"&Utiles > Veltrano &Web > &Subir Ficheros", ""},
    {"&Utiles > Veltrano &Web > &Sincronización > &Ordenes T.", ""},
    {"&Utiles > Veltrano &Web > &Sincronización > &Partes D", ""},
    {"&Utiles > Actuali&zaciones", ""},
};

TEST(CommandTable, TheMenuHoldsEveryItemInOrderWithItsCaptionsAndKeys)
{
    std::vector<const CommandItem*> menu;
    for (const CommandItem& item : MainCommandTable()) {
        if (!item.popup)
            menu.push_back(&item);
    }
    ASSERT_EQ(menu.size(), std::size(kMenu));
    for (std::size_t i = 0; i < menu.size(); ++i) {
        SCOPED_TRACE(kMenu[i].path);
        EXPECT_EQ(menu[i]->path.join(QStringLiteral(" > ")), QString::fromUtf8(kMenu[i].path));
        EXPECT_EQ(menu[i]->shortcut, QString::fromUtf8(kMenu[i].key));
    }
}

struct CodesRow
{
    const char* path; // plain path
    const char* action;
    const char* output;
    const char* sub;
    const char* answer;
};

// Every item that sets mode codes, with the codes it sets; nullptr: the item leaves that code alone.
const CodesRow kCodes[] = {
    {"Máquinas > Listado > Máquinas", "M", nullptr, nullptr, nullptr},
    {"Máquinas > Listado > Cuentas", "C", nullptr, nullptr, nullptr},
    {"Máquinas > Edición", "3", nullptr, nullptr, nullptr},
    {"Procedimientos > Alta", "A", nullptr, nullptr, nullptr},
    {"Procedimientos > Listado > Procedimientos", "L", nullptr, nullptr, nullptr},
    {"Procedimientos > Listado > Instrucciones", "I", nullptr, nullptr, nullptr},
    {"Procedimientos > Edición", "E", nullptr, nullptr, nullptr},
    {"Gamas > Baja", "B", nullptr, nullptr, nullptr},
    {"Gamas > Listado", nullptr, "P", nullptr, nullptr},
    {"Gamas > Copia Gamas > Selectiva", "S", nullptr, nullptr, nullptr},
    {"Gamas > Copia Gamas > Total", "T", nullptr, nullptr, nullptr},
    {"Gamas > Presupuesto > Actualizar", "P", nullptr, nullptr, nullptr},
    {"Pláning > Lanzar > Control Horario", "6", "P", nullptr, nullptr},
    {"Pláning > Altas > Cargar > Manual", "M", nullptr, nullptr, "C"},
    {"Pláning > Altas > Cargar > Automática > Aleatoria", "T", nullptr, nullptr, "C"},
    {"Pláning > Altas > Cargar > Automática > Sincrona", "S", nullptr, nullptr, "C"},
    {"Pláning > Altas > Cargar > Automática > Continua Plan", "C", nullptr, nullptr, "C"},
    {"Pláning > Altas > Descargar > Manual", "M", nullptr, nullptr, "D"},
    {"Pláning > Altas > Descargar > Automática", "T", nullptr, nullptr, "D"},
    {"Pláning > Altas > Agenda", "G", nullptr, nullptr, nullptr},
    {"Pláning > Plan Anual", "5", nullptr, nullptr, nullptr},
    {"Historial MP > Altas > Planing", nullptr, "P", nullptr, nullptr},
    {"Historial MP > Consulta", nullptr, "P", nullptr, nullptr},
    {"Historial MP > Control > Planing", "0", "C", nullptr, nullptr},
    {"Historial MP > Control > Máquina", "M", "C", nullptr, nullptr},
    {"Historial MP > Control > Semana", "2", nullptr, nullptr, nullptr},
    {"Historial MP > Control > Rutas", "3", "P", nullptr, nullptr},
    {"Historial MP > Ratios > Planing", "1", nullptr, "R", nullptr},
    {"Historial MP > Ratios > Semana", "2", nullptr, "R", nullptr},
    {"Historial MP > Ratios > Rutas", "3", nullptr, "R", nullptr},
    {"Averías > Altas", "A", nullptr, nullptr, nullptr},
    {"Averías > Edición", "2", nullptr, nullptr, nullptr},
    {"Averías > Consulta", nullptr, "P", nullptr, nullptr},
    {"Averías > Informe > Tipo", "4", "P", nullptr, nullptr},
    {"Averías > Informe > Semana", nullptr, "P", nullptr, nullptr},
    {"Reparaciones > Altas > Pendiente", "1", nullptr, nullptr, nullptr},
    {"Reparaciones > Altas > Avisos Reparacion", "2", nullptr, nullptr, nullptr},
    {"Reparaciones > Edición > Pendientes MO", "3", nullptr, nullptr, nullptr},
    {"Reparaciones > Edición > Selectiva", "4", nullptr, nullptr, nullptr},
    {"Reparaciones > Edición > Avisos Rep", "B", nullptr, nullptr, nullptr},
    {"Reparaciones > Consulta > Selectiva", "L", "P", nullptr, nullptr},
    {"Reparaciones > Consulta > Avisos Pend", "A", "P", "M", nullptr},
    {"Reparaciones > Ratios", "5", nullptr, "P", nullptr},
    {"OT/Prspuestos > Altas > OrdenT", "A", nullptr, nullptr, nullptr},
    {"OT/Prspuestos > Altas > Presupuesto", "R", nullptr, nullptr, nullptr},
    {"OT/Prspuestos > Edición > OrdenTrab.", "E", nullptr, nullptr, nullptr},
    {"OT/Prspuestos > Edición > Presupuesto > Horas", "R", nullptr, nullptr, nullptr},
    {"OT/Prspuestos > Edición > Presupuesto > Mat/Rep", "S", nullptr, nullptr, nullptr},
    {"OT/Prspuestos > Consulta > Ordenes Trb > Listados OT", "L", nullptr, nullptr, nullptr},
    {"OT/Prspuestos > Consulta > Ordenes Trb > Pendientes > Mano Obra", "P", nullptr, nullptr, nullptr},
    {"OT/Prspuestos > Consulta > Ordenes Trb > Pendientes > Trámite", "T", nullptr, nullptr, nullptr},
    {"OT/Prspuestos > Consulta > Ordenes Trb > Pendientes > Materiales", "M", nullptr, nullptr, nullptr},
    {"OT/Prspuestos > Consulta > Ordenes Trb > Detalles OT", "O", "P", nullptr, nullptr},
    {"OT/Prspuestos > Consulta > Presupuestos > Selectiva", "S", "P", nullptr, nullptr},
    {"OT/Prspuestos > Consulta > Presupuestos > Listar", "S", nullptr, nullptr, nullptr},
    {"Predictivo > Alta > Medida", "1", nullptr, nullptr, nullptr},
    {"Predictivo > Alta > Alarma", "5", nullptr, nullptr, nullptr},
    {"Predictivo > Edición > Medidas", "4", nullptr, nullptr, nullptr},
    {"Predictivo > Edición > Alarmas", "3", nullptr, nullptr, nullptr},
    {"Predictivo > Listados", "2", "P", nullptr, nullptr},
    {"Predictivo > Máquinas > Alerta", "6", "P", nullptr, nullptr},
    {"Predictivo > Máquinas > Control", "7", "P", nullptr, nullptr},
    {"Energías > Alta Lectura", "1", nullptr, nullptr, nullptr},
    {"Energías > Edición", "4", nullptr, nullptr, nullptr},
    {"Energías > Informes > Por Lecturas", "3", nullptr, nullptr, nullptr},
    {"Energías > Informes > Por Contador", "2", nullptr, nullptr, nullptr},
    {"Repuestos > Alta", "W", nullptr, nullptr, nullptr},
    {"Repuestos > Entradas/Salidas", "M", nullptr, nullptr, nullptr},
    {"Repuestos > Consultas > Código", "C", nullptr, nullptr, nullptr},
    {"Repuestos > Consultas > Proveedor", "P", nullptr, nullptr, nullptr},
    {"Repuestos > Edición In/Out > Correcciones", "A", nullptr, nullptr, nullptr},
    {"Repuestos > Edición In/Out > Movimientos", "E", nullptr, nullptr, nullptr},
    {"Repuestos > Edición In/Out > Etiquetas", "E", nullptr, nullptr, nullptr},
    {"Repuestos > Informes Movim. > Semanal", "M", "P", nullptr, nullptr},
    {"Repuestos > Informes Movim. > Repuesto", "W", "P", nullptr, nullptr},
    {"Repuestos > Informes Movim. > Nº Peticiones", "V", "P", nullptr, nullptr},
    {"Repuestos > Inventario > General", nullptr, "I", nullptr, nullptr},
    {"Repuestos > Inventario > Estadístico", nullptr, "I3", nullptr, nullptr},
    {"Compras > Altas > Nuevo Pedido", "N", nullptr, nullptr, nullptr},
    {"Compras > Altas > Añadir Item", "A", nullptr, nullptr, nullptr},
    {"Compras > Edición", "E", nullptr, nullptr, nullptr},
    {"Compras > Recepción Pedidos > Pendientes", "P", nullptr, nullptr, nullptr},
    {"Compras > Listado > Fechas Pedido > Solicitud", "D", nullptr, nullptr, nullptr},
    {"Compras > Listado > Fechas Pedido > Entrada", "H", nullptr, nullptr, nullptr},
    {"Compras > Listado > Fechas Pedido > Cierre", "J", nullptr, nullptr, nullptr},
    {"Compras > Listado > Suministrador", "I", nullptr, nullptr, nullptr},
    {"Compras > Listado > Referencia", "G", nullptr, nullptr, nullptr},
    {"Compras > Listado > Albarán", "A", nullptr, nullptr, nullptr},
    {"Compras > Listado > Repuesto", "C", nullptr, nullptr, nullptr},
    {"Compras > Informes > Semanal", "F", nullptr, nullptr, nullptr},
    {"Compras > Informes > Pendientes", "P", nullptr, nullptr, nullptr},
    {"Compras > Informes > Fuera Plazo", "R", nullptr, nullptr, nullptr},
    {"Costes > Análisis > Partes > Anual", "3", nullptr, nullptr, nullptr},
    {"Costes > Análisis > Partes > Periodo", "4", nullptr, nullptr, nullptr},
    {"Costes > Análisis > Partes > Cuentas", "3", "P", nullptr, nullptr},
    {"Costes > Análisis > Histórico > Anual", "1", nullptr, nullptr, nullptr},
    {"Costes > Análisis > Histórico > Periodo", "2", nullptr, nullptr, nullptr},
    {"Costes > Análisis > Histórico > Cuentas", "1", "P", nullptr, nullptr},
    {"Costes > Presupuesto > Definición", "P", nullptr, nullptr, nullptr},
    {"Personal > Alta > Matrícula", "1", nullptr, nullptr, nullptr},
    {"Personal > Alta > Expediente", "5", nullptr, nullptr, nullptr},
    {"Personal > Listados > Matriculas", "2", nullptr, nullptr, nullptr},
    {"Personal > Listados > Expediente", "L", "P", nullptr, nullptr},
    {"Personal > Edición > Matrícula", "3", nullptr, nullptr, nullptr},
    {"Personal > Edición > Expediente", "5", "P", nullptr, nullptr},
    {"Personal > Edición > Precio/Hora", "5", nullptr, nullptr, nullptr},
    {"Partes > Alta", "1", nullptr, nullptr, nullptr},
    {"Partes > Listados > Partes", "2", nullptr, nullptr, nullptr},
    {"Partes > Listados > Ordenes", "O", "P", nullptr, nullptr},
    {"Partes > Edición", "4", nullptr, nullptr, nullptr},
    {"Partes > Fichero > Añadir Partes", "i", nullptr, nullptr, nullptr},
    {"Partes > Fichero > Fraccionar fichero de Partes.", "F", nullptr, nullptr, nullptr},
    {"Proveedores > Alta", "1", nullptr, nullptr, nullptr},
    {"Utiles > Importar", "i", "", nullptr, nullptr},
    {"Utiles > Códigos Rsv.", "C", nullptr, nullptr, nullptr},
    {"Utiles > Veltrano Web > CrearFicheros > Maquinas", "W", nullptr, nullptr, nullptr},
    {"Utiles > Veltrano Web > CrearFicheros > Personal", "W", nullptr, nullptr, nullptr},
};

std::optional<QString> Code(const char* value)
{
    return value ? std::optional<QString>(QString::fromUtf8(value)) : std::nullopt;
}

TEST(CommandTable, EachItemSetsExactlyItsModeCodes)
{
    std::map<QString, const CodesRow*> expected;
    for (const CodesRow& row : kCodes)
        expected[QString::fromUtf8(row.path)] = &row;
    std::size_t matched = 0;
    for (const CommandItem& item : MainCommandTable()) {
        const QString path = item.PlainPath();
        SCOPED_TRACE(path.toStdString());
        const auto it = expected.find(path);
        if (it == expected.end()) {
            EXPECT_FALSE(item.codes.action || item.codes.output || item.codes.sub || item.codes.answer);
            continue;
        }
        ++matched;
        EXPECT_EQ(item.codes.action, Code(it->second->action));
        EXPECT_EQ(item.codes.output, Code(it->second->output));
        EXPECT_EQ(item.codes.sub, Code(it->second->sub));
        EXPECT_EQ(item.codes.answer, Code(it->second->answer));
    }
    EXPECT_EQ(matched, std::size(kCodes));
}

TEST(CommandTable, TheStatusBarHintsOfTheFeatureTables)
{
    const std::pair<const char*, const char*> hints[] = {
        {"Pláning > Lanzar > Ruta Mto.", "Plan Semanal de Rutas de Mto."},
        {"Pláning > Crear", "Inica el plan Trianual."},
        {"Pláning > Altas > Descargar > Manual", "de una máquina"},
        {"Pláning > Altas > Cargar > Automática > Continua Plan", "enlaza planes de Mto Preventivo"},
        {"Predictivo > Edición > Alarmas", "Edición de nivel de Alarmas:"},
        {"Energías > Informes > Por Periodo", "LLecturas en un intérvalo de tiempo"},
        {"Energías > Informes > Por Contador", "Consumos por Nº de contador"},
        {"Máquinas > Alta", ""},
    };
    test::TestContext t;
    OperationRegistry registry;
    Dispatcher dispatcher(t.ctx, registry, MainCommandTable());
    for (const auto& [path, hint] : hints) {
        const auto index = dispatcher.Find(QString::fromUtf8(path));
        ASSERT_TRUE(index) << path;
        EXPECT_EQ(MainCommandTable()[*index].hint, QString::fromUtf8(hint)) << path;
    }
}

TEST(CommandTable, EveryKeyHasOneOwnerTheFirstItemInMenuOrder)
{
    test::TestContext t;
    OperationRegistry registry;
    Dispatcher dispatcher(t.ctx, registry, MainCommandTable());
    const auto owned = [&](const char* path) {
        return dispatcher.OwnedShortcut(*dispatcher.Find(QString::fromUtf8(path)));
    };
    EXPECT_EQ(owned("Personal > Alta > Expediente"), "Shift+F10");
    EXPECT_EQ(owned("Personal > Edición > Matrícula"), "");
    EXPECT_EQ(owned("Pláning > Lanzar > Plan Semanal"), "Ctrl+Alt+P");
    EXPECT_EQ(owned("Pláning > Lanzar > Ruta Mto."), "Ctrl+Alt+R");

    std::set<QString> keys;
    int withKey = 0;
    for (std::size_t i = 0; i < dispatcher.Table().size(); ++i) {
        const QString& key = dispatcher.OwnedShortcut(i);
        if (key.isEmpty())
            continue;
        ++withKey;
        EXPECT_TRUE(keys.insert(key).second) << key.toStdString();
    }
    // F2 to F12 with Ctrl and Shift (no Shift+F6), two Ctrl+Shift keys and three Ctrl+Alt keys.
    EXPECT_EQ(withKey, 11 + 11 + 10 + 2 + 3);
    // The report pane's Editar keys that collide with the menu are menu keys indeed.
    for (const char* key : kReportPaneKeysOnMenu)
        EXPECT_TRUE(keys.contains(QString::fromLatin1(key))) << key;
}

TEST(CommandTable, TheDeferredEditsLeadToTheEditItemsInFlagOrder)
{
    const char* expected[] = {
        "Partes > Edición",
        "Gamas > Edición OPR",
        "Reparaciones > Edición > Selectiva",
        "Averías > Edición",
        "OT/Prspuestos > Edición > OrdenTrab.",
        "Compras > Edición",
        "Repuestos > Edición In/Out > Correcciones",
        "Procedimientos > Edición",
        "Energías > Edición",
    };
    test::TestContext t;
    OperationRegistry registry;
    Dispatcher dispatcher(t.ctx, registry, MainCommandTable());
    for (std::size_t flag = 0; flag < std::size(expected); ++flag) {
        const auto index = dispatcher.Find(QString::fromUtf8(expected[flag]));
        ASSERT_TRUE(index) << expected[flag];
        EXPECT_EQ(MainCommandTable()[*index].pendingEdit, static_cast<int>(flag)) << expected[flag];
    }
}

TEST(CommandTable, OnlyTheMainWindowsOwnItemsAreOfferedBeforeTheFeaturesRegister)
{
    test::TestContext t;
    OperationRegistry registry;
    RegisterMainWindowOperations(registry);
    Dispatcher dispatcher(t.ctx, registry, MainCommandTable());
    QStringList offered;
    for (std::size_t i = 0; i < dispatcher.Table().size(); ++i) {
        if (dispatcher.IsEnabled(i))
            offered << dispatcher.Table()[i].PlainPath();
    }
    EXPECT_EQ(offered,
              (QStringList{QStringLiteral("Partes > Fichero > Descripción Partes"),
                           QStringLiteral("Utiles > Entorno  > Acceso"),
                           QStringLiteral("Utiles > Copia Seg. > Hacer > Examinar"),
                           QStringLiteral("Utiles > Ficheros"), QStringLiteral("Utiles > Ayuda"),
                           QStringLiteral("Utiles > Informes"), QStringLiteral("Utiles > Cerca de")}));

    // Registering an item's names is all it takes to offer it.
    EXPECT_FALSE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Máquinas > Alta"))));
    registry.Register(Op::AddMachines, [](Context&) {});
    EXPECT_FALSE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Máquinas > Alta"))));
    registry.Register(Op::SortMachineFile, [](Context&) {});
    EXPECT_TRUE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Máquinas > Alta"))));
    // The machine book needs the machines' data sheet.
    EXPECT_FALSE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Máquinas > Informes"))));
    registry.Register(Op::ShowMachineSheet, [](Context&) {});
    EXPECT_TRUE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Máquinas > Informes"))));
}

TEST(CommandTable, TheBackupItemsShowTheDriveOfTheDataFolder)
{
    test::TestContext t;
    OperationRegistry registry;
    Dispatcher dispatcher(t.ctx, registry, MainCommandTable());
    const auto make = *dispatcher.Find(QStringLiteral("Utiles > Copia Seg. > Hacer > C:\\CopiaSeg"));
    const auto restore = *dispatcher.Find(QStringLiteral("Utiles > Copia Seg. > Restaurar > C:/CopiaSeg"));
    t.ctx.st.DriveText = QStringLiteral("D:");
    EXPECT_EQ(dispatcher.Caption(make), "&D:/CopiaSeg");
    EXPECT_EQ(dispatcher.Caption(restore), "&D:/CopiaSeg");
    EXPECT_EQ(dispatcher.Caption(*dispatcher.Find(QStringLiteral("Utiles > Copia Seg. > Hacer > Examinar"))),
              "&Examinar");
}

// The composition refuses a place without an item, an item declared twice and a submenu captioned two ways
// or split.
TEST(CommandTable, TheMenuComposesOnlyWhenEveryPlaceHasOneItem)
{
    const auto failure = [](bool everything, const std::function<void(CommandRegistry&)>& change) {
        CommandRegistry menu;
        if (everything)
            DeclareMenuItems(menu);
        else
            DeclareToolCommands(menu);
        change(menu);
        try {
            menu.Compose();
        } catch (const std::logic_error& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    const auto add = [](MenuItem id, const char* path) {
        return [id, path](CommandRegistry& m) { m.Add(id, path, "", "", {}, {Op::ShowHelp}); };
    };
    const struct
    {
        bool everything;
        std::function<void(CommandRegistry&)> change;
        const char* error;
    } cases[] = {
        {true, [](CommandRegistry&) {}, ""},
        {false, [](CommandRegistry&) {}, "no menu item declared for MachinesAdd"},
        {true, add(MenuItem::ToolsHelp, "&Utiles > A&yuda"), "menu item declared twice: Utiles > Ayuda"},
        {false, add(MenuItem::ToolsHelp, "&Utiles > &Fuentes"), "menu item declared twice: Utiles > Fuentes"},
        {false, add(MenuItem::ToolsExportRoutines, "Utiles > E&xportar > &Gamas"),
         "submenu captioned two ways: &Utiles / Utiles"},
        {false, add(MenuItem::ToolsExportRoutines, "&Partes > &Exportar"), "submenu split: Utiles"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(failure(c.everything, c.change), c.error);
    }
}

TEST(CommandTable, StripAcceleratorKeepsADoubledAmpersand)
{
    EXPECT_EQ(StripAccelerator(QStringLiteral("Plánin&g")), "Pláning");
    EXPECT_EQ(StripAccelerator(QStringLiteral("A&&B")), "A&B");
    EXPECT_EQ(StripAccelerator(QStringLiteral("&Entorno ")), "Entorno ");
}

} // namespace
} // namespace gim
