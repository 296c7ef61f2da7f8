#include "core/picture_import.h"

#include "core/context.h"
#include "core/sub_folders.h"
#include "platform/picture_codec.h"

#include <QDir>
#include <QFileInfo>

namespace gim {

namespace {

constexpr int kPhotoFileNameCapacity = 34;

QString KindFolder(PhotoOwner owner)
{
    switch (owner) {
    case PhotoOwner::Machine:
        return QStringLiteral("MAQUINAS");
    case PhotoOwner::Person:
        return QStringLiteral("PERSONAL");
    case PhotoOwner::WorkOrder:
        return QStringLiteral("REPARACIONES");
    case PhotoOwner::Breakdown:
        return QStringLiteral("AVERIAS");
    case PhotoOwner::WorkReport:
        return QStringLiteral("PARTES");
    case PhotoOwner::SparePart:
        return QStringLiteral("REPUESTOS");
    }
    return {};
}

} // namespace

QString PhotoSubFolder(PhotoOwner owner, const QString& environment, const QString& machineCode)
{
    const QString sep = QStringLiteral("\\");
    QString folder = sep + KindFolder(owner) + sep + environment + sep;
    if (owner == PhotoOwner::SparePart)
        folder += machineCode + sep;
    return folder;
}

QString PhotoSafeName(const QString& name)
{
    QString safe = name;
    return safe.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
}

QString PhotoFileNameFor(const QString& keyText)
{
    return PhotoSafeName(QLatin1Char('#') + keyText + QStringLiteral(".jpg")).left(kPhotoFileNameCapacity);
}

QString PictureLabel(const QString& path)
{
    return QFileInfo(path).fileName().left(8);
}

// The upper-case patterns are there because the file dialogs match case-sensitively here, and pictures
// copied from cameras are often named ".JPG".
QStringList PictureOpenFilters()
{
    return {QStringLiteral("Imagenes JPG (*.jpg *.JPG)"), QStringLiteral("Imagenes JPEG (*.jpeg *.JPEG)"),
            QStringLiteral("Imagenes BMP (*.bmp *.BMP)")};
}

QStringList PictureSaveFilters()
{
    return {QStringLiteral("Imagenes JPG (*.jpg *.JPG)"), QStringLiteral("Imagenes BMP (*.bmp *.BMP)")};
}

FileDialogRequest PictureOpenRequest(const QString& folder, const QString& proposedName)
{
    FileDialogRequest request;
    request.save = false;
    request.caption = QStringLiteral("Recuperar Imagen");
    request.folder = folder;
    request.fileName = proposedName;
    request.filters = PictureOpenFilters();
    return request;
}

FileDialogRequest PictureSaveRequest(const QString& folder, const QString& proposedName)
{
    FileDialogRequest request;
    request.save = true;
    request.caption = QStringLiteral("Salvar Imagen");
    request.folder = folder;
    request.fileName = proposedName;
    request.filters = PictureSaveFilters();
    return request;
}

std::optional<QString> ChooseChartPictureTarget(Context& ctx)
{
    const QString folder = ResolveSubFolder(ctx.st.BaseDir, ctx.st.CurrentSubFolder);
    std::optional<QString> chosen =
        ctx.ui.ChooseFile(PictureSaveRequest(folder, QStringLiteral("Grafico.jpg")));
    if (chosen && QFileInfo(*chosen).suffix().isEmpty())
        *chosen += QStringLiteral(".jpg");
    return chosen;
}

std::optional<QString> ChoosePhotoSource(Context& ctx, const QString& subFolder, const QString& fileName)
{
    return ctx.ui.ChooseFile(PictureOpenRequest(ResolveSubFolder(ctx.st.BaseDir, subFolder), fileName));
}

std::optional<QString> ImportPictureFile(Context& ctx, const PictureCodec& codec, const QString& subFolder,
                                         const QString& fileName, const QString& source)
{
    // Whatever happens, the photo button's request has been dealt with.
    struct ClearFlag
    {
        Context& ctx;
        ~ClearFlag() { ctx.st.PhotoAssignFlag = 0; }
    } clearFlag{ctx};

    QString picture = source;
    if (picture.isEmpty()) {
        const auto chosen = ChoosePhotoSource(ctx, subFolder, fileName);
        if (!chosen)
            return std::nullopt;
        picture = *chosen;
    }

    const QString folder = ResolveSubFolder(ctx.st.BaseDir, subFolder);
    const auto target = ctx.ui.ChooseFile(PictureSaveRequest(folder, fileName));
    if (!target || PictureFormatOf(*target) == PictureFormat::None)
        return std::nullopt;

    // The owner's folder may not exist yet; a picture saved elsewhere goes where the user chose.
    const QString targetPath = QFileInfo(*target).absoluteFilePath();
    if (QFileInfo(targetPath).absolutePath() == folder)
        MakeSubFolder(ctx.st.BaseDir, subFolder);

    const auto stored = codec.Convert(picture, targetPath, PictureLabel(picture));
    if (!stored) {
        ctx.ui.ShowMessage(stored.error());
        return std::nullopt;
    }
    return targetPath;
}

} // namespace gim
