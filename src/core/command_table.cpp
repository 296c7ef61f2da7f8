#include "core/command_table.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace gim {
namespace {

// The main menu's layout in menu order, one entry per menu and the pop-up commands last: each caption
// without its "&", followed by the captions of its submenu in brackets, "|" between captions.
const char* const kMenuLayout[] = {
    "Máquinas [Alta | Listado [Máquinas | Cuentas] | Edición | Etiquetas | Informes]",
    "Procedimientos [Alta | Listado [Procedimientos | Instrucciones] | Edición]",
    "Gamas [Alta | Baja | Listado | Edición OPR | Copia Gamas [Selectiva | Total] | "
    "Presupuesto [Actualizar | Listar]]",
    "Pláning [Lanzar [Ruta Mto. | Plan Semanal | Control Horario] | Crear | Recursos [Listar | Aumentar] | "
    "Altas [Cargar [Manual | Automática [Aleatoria | Sincrona | Continua Plan]] | Descargar [Manual | "
    "Automática] | Agenda] | Plan Anual]",
    "Historial MP [Altas [Planing | Selectiv] | Edicion | Consulta | Control [Planing | Máquina | Semana | "
    "Rutas] | Ratios [Planing | Semana | Rutas]]",
    "Averías [Altas | Edición | Consulta | Informe [Tipo | Semana | Intervención]]",
    "Reparaciones [Altas [Pendiente | Avisos Reparacion] | Edición [Pendientes MO | Selectiva | "
    "Avisos Rep] | Consulta [Selectiva | Avisos Pend] | Ratios]",
    "OT/Prspuestos [Altas [OrdenT | Presupuesto] | Edición [OrdenTrab. | Cierre OT | Presupuesto [Horas | "
    "Mat/Rep]] | Consulta [Ordenes Trb [Listados OT | Pendientes [Mano Obra | Trámite | Materiales] | "
    "Detalles OT] | Presupuestos [Selectiva | Listar]] | Ratios OT]",
    "Predictivo [Alta [Medida | Alarma] | Edición [Medidas | Alarmas] | Listados | Máquinas [Alerta | "
    "Control]]",
    "Energías [Alta Lectura | Edición | Informes [Por Lecturas | Por Periodo | Por Contador]]",
    "Repuestos [Alta | Entradas/Salidas | Consultas [Código | Proveedor] | Edición In/Out [Correcciones | "
    "Movimientos | Etiquetas] | Roturas Stock | Peticiones OFERTAS [Suministrador | Rotura Stock] | "
    "Informes Movim. [Semanal | Repuesto | Nº Peticiones] | Inventario [General | Estadístico | "
    "Evolución] | Ratios]",
    "Compras [Altas [Nuevo Pedido | Añadir Item] | Edición | Recepción Pedidos [Pendientes] | "
    "Listado [Fechas Pedido [Solicitud | Entrada | Cierre] | Suministrador | Referencia | Albarán | "
    "Repuesto | Cerrados] | Informes [Semanal | Pendientes | Fuera Plazo] | Ratios]",
    "Costes [Análisis [Partes [Anual | Periodo | Cuentas] | Histórico [Anual | Periodo | Cuentas]] | "
    "Presupuesto [Definición | Listado] | Edicion Presup.]",
    "Personal [Alta [Matrícula | Expediente | Precio/Hora] | Listados [Matriculas | Expediente | "
    "Precio/Hora] | Edición [Matrícula | Expediente | Precio/Hora] | Informe Horas | Ratios]",
    "Partes [Alta | Listados [Partes | Ordenes | Cuenta Coste] | Edición | Informes [Diario | Periodo] | "
    "Fichero [Añadir Partes | Fraccionar fichero de Partes. | Descripción Partes] | Ratios]",
    "Proveedores [Alta | Listado | Edición]",
    "Utiles [Fuentes | Impresoras | Imagenes | Entorno  [Acceso | Reinicia Año] | "
    "Copia Seg. [Hacer [C:\\CopiaSeg | Examinar] | Restaurar [C:/CopiaSeg | Examinar | VeltWeb]] | "
    "Ficheros | Ayuda | Mensajes | Informes | Exportar [Gamas | Energias] | Importar | Códigos Rsv. | "
    "Cerca de | Veltrano Web [Acceso VW | Ver Ficheros [Partes | Ordenes T | Personal | Máquinas | "
    "Tipos Mto] | CrearFicheros [Maquinas | Personal | Tipos Mto | Ordenes T. | Partes D] | "
    "Subir Ficheros | Sincronización [Ordenes T. | Partes D]] | Actualizaciones]",
    "Ordenar",
};

QStringList MenuLayout()
{
    QStringList paths;
    for (const char* entry : kMenuLayout) {
        const QString text = QString::fromUtf8(entry);
        QStringList menus;
        QString caption;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            const QChar c = i < text.size() ? text[i] : QChar(u'|');
            if (c != u'[' && c != u'|' && c != u']') {
                caption += c;
                continue;
            }
            if (c != u']' && i < text.size())
                caption.chop(1); // the space before "[" or "|"; "Entorno " keeps its own
            if (c == u'[')
                menus << caption;
            else if (!caption.isEmpty())
                paths << (menus + QStringList{caption}).join(QStringLiteral(" > "));
            if (c == u']')
                menus.removeLast();
            if (c == u'|')
                ++i; // the space after "|"
            caption.clear();
        }
    }
    return paths;
}

[[noreturn]] void Fail(const char* what, const QString& path)
{
    throw std::logic_error(what + path.toStdString());
}

} // namespace

CommandItem& CommandRegistry::Add(const char* path, const char* key, const char* hint, ModeCodes codes,
                                  std::vector<CommandStep> steps)
{
    CommandItem& item = m_items.emplace_back();
    item.path = QString::fromUtf8(path).split(QStringLiteral(" > "));
    item.shortcut = QString::fromUtf8(key);
    item.hint = QString::fromUtf8(hint);
    item.codes = std::move(codes);
    item.steps = std::move(steps);
    return item;
}

CommandTable CommandRegistry::Compose() const
{
    std::map<QString, const CommandItem*> declared;
    for (const CommandItem& item : m_items) {
        if (!declared.emplace(item.PlainPath(), &item).second)
            Fail("menu item declared twice: ", item.PlainPath());
    }
    CommandTable table;
    for (const QString& path : MenuLayout()) {
        const auto it = declared.find(path);
        if (it == declared.end())
            Fail("no menu item declared for ", path);
        table.push_back(*it->second);
        declared.erase(it);
    }
    if (!declared.empty())
        Fail("menu item without a place in the menu: ", declared.begin()->first);
    return table;
}

const std::array<const char*, 2> kReportPaneKeysOnMenu{"Ctrl+Alt+P", "Ctrl+Alt+R"};

QString StripAccelerator(const QString& caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

QString CommandItem::PlainPath() const
{
    QStringList plain;
    for (const QString& caption : path)
        plain << StripAccelerator(caption);
    return plain.join(QStringLiteral(" > "));
}

std::vector<Requirement> CommandItem::Requirements() const
{
    std::vector<Requirement> names;
    const auto add = [&names](Requirement name) {
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    };
    for (const CommandStep& step : steps) {
        add(step.operation);
        if (step.when)
            add(step.when->cond);
    }
    for (const Requirement& name : needs)
        add(name);
    return names;
}

} // namespace gim
