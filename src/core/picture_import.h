#pragma once

#include "platform/ui.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace gim {

struct Context;
class PictureCodec;

// Records that carry a photo; each keeps its photos in its own sub-folder of the data folder.
enum class PhotoOwner { Machine, Person, WorkOrder, Breakdown, WorkReport, SparePart };

// The owner's photo sub-folder as the callers spell it: "\MAQUINAS\" + environment + "\" and so on; a
// spare part's photos lie one level deeper, in the folder of its machine code.
QString PhotoSubFolder(PhotoOwner owner, const QString& environment, const QString& machineCode = {});

// A photo's name with its path separators made "_", so that it stays one file in the owner's folder.
QString PhotoSafeName(const QString& name);

// "#" + key + ".jpg" (a safe name), cut to the 34 characters of PhotoFileName.
QString PhotoFileNameFor(const QString& keyText);

// The label a picture carries: the first 8 characters of its file name, without the folder. The daily
// report also keeps it in its order field.
QString PictureLabel(const QString& path);

// The dialogs of the picture viewer and the import: open offers JPG, JPEG and BMP, save JPG and BMP.
QStringList PictureOpenFilters();
QStringList PictureSaveFilters();
FileDialogRequest PictureOpenRequest(const QString& folder, const QString& proposedName);
FileDialogRequest PictureSaveRequest(const QString& folder, const QString& proposedName);
// Where a chart window's picture is saved: "Grafico.jpg" proposed in the current sub-folder; a name
// without extension is a JPEG. Nothing when the dialog is cancelled.
std::optional<QString> ChooseChartPictureTarget(Context& ctx);

// The open dialog of a photo button: starts in the owner's folder with the photo's name proposed.
// Nothing when cancelled.
std::optional<QString> ChoosePhotoSource(Context& ctx, const QString& subFolder, const QString& fileName);

// Stores a photo for a record that its owner has just stored: called after the record's write succeeded,
// never before. `subFolder` and `fileName` are the owner's (PhotoSubFolder, PhotoFileNameFor); `source` is
// the picture chosen on the card, or empty to ask for it now. The save dialog proposes the photo's name in
// the owner's folder (resolved case-insensitively, created when missing); a ".jpg" name is written as JPEG
// carrying the source's label, a ".bmp" name as BMP, any other name stores nothing. Clears PhotoAssignFlag.
// Returns the stored picture's path; nothing when a dialog was cancelled or the picture could not be
// stored (the reason is shown).
std::optional<QString> ImportPictureFile(Context& ctx, const PictureCodec& codec, const QString& subFolder,
                                         const QString& fileName, const QString& source = {});

} // namespace gim
