#include "core/io_errors.h"

#include "core/context.h"
#include "core/texts.h"

#include <QStringList>
#include <cerrno>

namespace gim {

std::int64_t ReadTypedNumber(State& st, QStringView typed, const QString& fileName, std::int64_t minimum,
                             std::int64_t maximum)
{
    const std::int64_t value = TextToInt64(st, typed);
    if (st.ValErrorPos != 0 || value < minimum || value > maximum) {
        st.LastIOResult = IoCode::InvalidNumber;
        throw IoAbort(IoCode::InvalidNumber, fileName);
    }
    return value;
}

std::uint8_t IoCodeFromErrno(int err)
{
    switch (err) {
    case 0:
        return IoCode::Ok;
    case ENOENT:
        return IoCode::FileNotFound;
    case ENOTDIR:
    case ELOOP:
        return IoCode::PathNotFound;
    case EMFILE:
    case ENFILE:
        return IoCode::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EBUSY:
    case ETXTBSY:
        return IoCode::AccessDenied;
    case ENAMETOOLONG:
    case EINVAL:
        return IoCode::InvalidFileName;
    case ENODEV:
    case ENXIO:
        return IoCode::InvalidDrive;
    case EXDEV:
        return IoCode::CannotRename;
    case EROFS:
        return IoCode::WriteProtected;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return IoCode::DiskWrite;
    case ESPIPE:
        return IoCode::SeekError;
    case EIO:
        return IoCode::HardwareFailure;
    default:
        return IoCode::InvalidFunction;
    }
}

QString IoErrorText(std::uint8_t code)
{
    switch (code) {
    case 1:
        return QStringLiteral("COMANDO/DATO NO VALIDO");
    case 2:
        return QStringLiteral("FICHERO NO ENCONTRADO");
    case 3:
        return QStringLiteral("CAMINO DE BUSQUEDA FALSO");
    case 4:
        return QStringLiteral("FICHEROS ABIERTOS EN EXCESO");
    case 5:
        return QStringLiteral("ACCESO DENEGADO");
    case 6:
        return QStringLiteral("NOMBRE DE FICHERO NO VALIDO");
    case 15:
        return QStringLiteral("DISCO NO VALIDO");
    case 16:
        return QStringLiteral("IMPOSIBILIDAD DE ANULAR EL DIRECTORIO");
    case 17:
        return QStringLiteral("IMPOSIBILIDAD DE RENOMBRAR");
    case 33:
        return QStringLiteral("FICHERO BLOQUEADO POR OTRO PROGRAMA");
    case 100:
        return QStringLiteral("LECTURA DE DISCO");
    case 101:
        return QStringLiteral("ESCRITURA DE DISCO");
    case 102:
        return QStringLiteral("FICHERO SIN ASIGNAR");
    case 103:
        return QStringLiteral("FICHERO NO ABIERTO");
    case 104:
        return QStringLiteral("FICHERO NO ABIERTO PARA ENTRADAS");
    case 105:
        return QStringLiteral("FICHERO NO ABIERTO PARA SALIDAS");
    case 106:
        return QStringLiteral("FORMATO NUMERICO");
    case 150:
        return QStringLiteral("DISCO PROTEGIDO CONTRA ESCRITURA");
    case 151:
        return QStringLiteral("UNIDAD DESCONOCIDA");
    case 152:
        return QStringLiteral("UNIDAD DE DISCO NO PREPARADA");
    case 156:
        return QStringLiteral("BUSQUEDA EN DISCO");
    case 159:
        return QStringLiteral("FALTA DE PAPEL EN IMPRESORA");
    case 160:
        return QStringLiteral("ESCRITURA EN DISPOSITIVO");
    case 161:
        return QStringLiteral("LECTURA DE DISPOSITIVO");
    case 162:
        return QStringLiteral("FALLO DE HARDWARE");
    case 200:
        return QStringLiteral("DIVISION POR CERO");
    default:
        return QStringLiteral("Codigo de Error: ") + QString::number(code);
    }
}

namespace {

// The folders in a file's place whose message the user has seen during this command.
struct FoldersShown
{
    QStringList paths;
};

} // namespace

QString IoErrorTextOf(std::uint8_t code, const QString& path)
{
    return IoErrorText(code) + QLatin1Char(' ') + path.section(QLatin1Char('/'), -1);
}

void ShowIOError(Context& ctx, std::uint8_t code)
{
    // A write refused because the folder could not be locked says why, as the start did.
    const QString& readOnly = ctx.st.ReadOnlyReason;
    ctx.ui.ShowMessage(code == IoCode::WriteProtected && !readOnly.isEmpty() ? readOnly : IoErrorText(code));
}

void RememberFolderShown(Context& ctx, const QString& path)
{
    QStringList& paths = ctx.Module<FoldersShown>().paths;
    if (!paths.contains(path))
        paths << path;
}

bool FolderShown(Context& ctx, const QString& path)
{
    return ctx.Module<FoldersShown>().paths.contains(path);
}

void ForgetFoldersShown(Context& ctx)
{
    ctx.Module<FoldersShown>().paths.clear();
}

IoAbort::IoAbort(std::uint8_t code, const QString& file)
    : std::runtime_error(IoErrorText(code).toStdString() + " (" + file.toStdString() + ")"), m_code(code),
      m_file(file)
{
}

IoAbort::IoAbort(std::uint8_t code, const QString& file, const QString& message) : IoAbort(code, file)
{
    m_message = message;
}

QString IoAbort::Message() const
{
    return m_message.isEmpty() ? IoErrorText(m_code) : m_message;
}

} // namespace gim
