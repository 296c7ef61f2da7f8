#include "core/environment_admin.h"

#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "core/startup.h"
#include "platform/card_controller.h"

#include <QDir>

namespace gim {
namespace {

constexpr int kEnvironmentCodeWidth = 8; // what the selector holds
constexpr int kAccessCodeWidth = 16;

// A name taken as it stands in a file-dialog pattern: a blank would split the pattern in two, a bracket
// would open a set.
QString LiteralPattern(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char(' '))
            out += QLatin1Char('?');
        else if (c == QLatin1Char('[') || c == QLatin1Char(']'))
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

} // namespace

void ChangeAccessCode(Context& ctx)
{
    const QString caption = QStringLiteral("NUEVO CODIGO DE ACCESO");
    // The code is kept as a card keeps a line: a control character pasted in is a blank, in both answers.
    const QString code = PrintableLine(
        ctx.ui.InputBox(caption, QStringLiteral("Entrar Código"), ctx.st.AccessCode).left(kAccessCodeWidth));
    const QString confirmed =
        PrintableLine(ctx.ui.InputBox(caption, QStringLiteral("Confirme Código"), QStringLiteral("#")));
    // The environment prompts may still refuse ("#", a code that cannot name files, a selector that cannot
    // be written): then the access code is not changed either, and the user is told so.
    // A code of blanks opens nothing: it is refused as a mistyped confirmation is.
    if (!code.trimmed().isEmpty() && confirmed == code && ChangeEnvironment(ctx, code)) {
        ctx.ui.ShowMessage(QStringLiteral("RECUERDE EL NUEVO ACCESO ES :") + code);
        // What the environment's files bring (its firm, and the personnel and supplier files named after
        // it; its people; this week's repairs) is loaded as at start-up, so that nothing is read from or
        // written to the files of a firm name left empty by the change.
        LoadEnvironmentData(ctx);
        return;
    }
    ctx.ui.ShowMessage(QStringLiteral("NO SE HA MODIFICADO EL ACCESO"));
}

QStringList DataFileBrowserFilters(const State& st)
{
    const QString env = LiteralPattern(st.CurrentEnvironment);
    QStringList filters;
    filters << QStringLiteral("Ficheros de Datos Máquinas de ") + st.CurrentEnvironment +
                   QStringLiteral(" (") + env + QStringLiteral(".*)");
    // A firm whose name cannot prefix file names has no personnel files to look for.
    if (FirmNameFitsFileNames(st.FirmName)) {
        const QString firm = st.FirmName.left(5) + QLatin1Char('_') + st.CurrentEnvironment.left(2);
        filters << QStringLiteral("Ficheros de Datos Personal de ") + firm + QStringLiteral(" (") +
                       LiteralPattern(firm) + QStringLiteral(".*)");
    }
    filters << QStringLiteral("Entornos de Fábricas .mqn (*.mq*)")
            << QStringLiteral("Ficheros de Personal .rch (*.rch)")
            << QStringLiteral("Ficheros de Imágenes Comprimidas .JPG (*.jpg)")
            << QStringLiteral("Ficheros de Imágenes Editables .BMP (*.bmp)")
            << QStringLiteral("Ficheros de Texto .RTF (*.rtf)");
    return filters;
}

void BrowseDataFiles(Context& ctx)
{
    FileDialogRequest request;
    request.folder = ctx.st.BaseDir;
    request.filters = DataFileBrowserFilters(ctx.st);
    // Old folders come from Windows: "FOTO.JPG" is as much a picture as "foto.jpg".
    request.anyLetterCase = true;
    ctx.ui.ChooseFile(request);
}

QString NextYearEnvironmentCode(const State& st)
{
    return st.CurrentEnvironment.left(6) + st.YearText.right(2);
}

std::optional<QString> AskNewEnvironment(Context& ctx)
{
    State& st = ctx.st;
    const QString caption = QStringLiteral("CREACIÓN DE ENTORNOS");
    const QString question = QStringLiteral("¿Desea crear el entorno ");
    st.NewEnvironment =
        ctx.ui.InputBox(caption, question, NextYearEnvironmentCode(st)).left(kEnvironmentCodeWidth);
    const QString code = st.NewEnvironment;
    // "#" is the way out; a code that cannot name files, or one that marks a deleted record, is refused.
    if (code == QLatin1String("#"))
        return std::nullopt;
    if (!IsSafeEnvironmentCode(code) || code == QLatin1String("Z")) {
        ctx.ui.ShowMessage(QStringLiteral("CODIGO DE ENTORNO NO VALIDO"));
        return std::nullopt;
    }
    // The current environment would be carried onto itself, losing its closed orders.
    if (DataFileExists(ctx, code + QStringLiteral(".MQW")) ||
        code.compare(st.CurrentEnvironment, Qt::CaseInsensitive) == 0) {
        ctx.ui.ShowMessage(QStringLiteral("Imposible Crear Entorno ") + code);
        return std::nullopt;
    }
    st.AnswerCode =
        ctx.ui.InputBox(caption, question + code + QStringLiteral(" ? (S/N)"), QStringLiteral("N"));
    if (st.AnswerCode != QLatin1String("S"))
        return std::nullopt;
    return code;
}

} // namespace gim
