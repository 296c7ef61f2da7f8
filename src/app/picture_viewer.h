#pragma once

#include "platform/qt/print_preview.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <map>

class QAction;
class QMenu;
class QScrollArea;

namespace gim {

struct Context;
class PictureCanvas;

// The picture viewer "IMAGENES Y ESQUEMAS": shows one JPEG or BMP picture and lets the user mark areas,
// draw lines (Ctrl held while marking), write text, paste and overlay pictures, zoom into an area and
// back, and save or print the result. Everything is on the right-button menu. File dialogs and prompts go
// through the context's Ui; the viewer reads CurrentSubFolder, PhotoFileName, PhotoAssignFlag and
// OutputCode, and clears PhotoAssignFlag when it closes. Deletes itself when closed.
//
// The picture is kept as the working picture; its label (the first 8 characters of its file name) is
// shown at (2, 2) over it. A JPEG is saved from what the viewer shows, label included; a BMP from the
// working picture alone.
class PictureViewer final : public QWidget
{
    Q_OBJECT

public:
    enum class PasteMode { Positive, Negative, Mix };

    explicit PictureViewer(Context& ctx, QWidget* parent = nullptr);
    ~PictureViewer() override;

    // Shows the viewer and runs "&Recuperar Imagen", as opening it from a menu does.
    void Start();
    // Shows the viewer on one picture file.
    void StartWith(const QString& path);

    // "&Recuperar Imagen": the open dialog in the data folder's CurrentSubFolder, PhotoFileName proposed.
    void Load();
    // What the load does with the chosen file: ".jpg" through libjpeg, ".bmp" as BMP, other names leave
    // the viewer empty. False when the file could not be read (the reason is shown).
    bool LoadFile(const QString& path);
    // "Sal&var Imagen".
    void Save();
    // The spare-part card's picture name, proposed by the save while OutputCode is "W".
    void SetSparePartPictureName(const QString& name) { m_sparePartPictureName = name; }

    const QImage& Picture() const { return m_working; }
    // The picture as shown: the working picture with its label.
    QImage Displayed() const;
    QString PictureFileName() const { return m_pictureFileName; }
    QString Label() const { return m_label; }

    // Mouse on the picture, in its pixels. A release with Ctrl draws a line from the press point.
    void Press(QPoint at);
    void Release(QPoint at, bool control);
    void MoveTo(QPoint at);
    QRect Selection() const { return QRect(m_first, m_second).normalized(); }

    // The menu's actions.
    void WriteText();
    void EraseSelection();
    void Undo();
    void CopySelection() const;
    void TakeClipboardPicture();
    void PasteClipboardAtMouse();
    void Acquire();
    void ImportPaste(PasteMode mode);
    void ZoomEdit();
    void ZoomFix();
    void SetFitToPicture(bool on);
    bool FitToPicture() const { return m_fit; }
    void OpenPrintPreview();
    void SetPenColor(const QColor& color) { m_penColor = color; }
    void SetBrushColor(const QColor& color) { m_brushColor = color; }
    void SetCanvasFont(const QFont& font) { m_font = font; }

    QMenu* Menu() const { return m_menu; }
    // A menu item by its text ("Sal&var Imagen").
    QAction* Action(const QString& text) const;
    PrintPreview* Preview() const { return m_preview; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class PictureCanvas;

    void BuildMenu();
    QAction* AddAction(QMenu* menu, const QString& text, void (PictureViewer::*slot)());
    void TakeUndo() { m_undo = m_working; }
    void Commit();
    void DrawPaste(PasteMode mode, QPoint at);
    void ApplyFit();
    QString FolderOfSubFolder() const;

    Context& m_ctx;
    PictureCanvas* m_canvas = nullptr;
    QScrollArea* m_scroll = nullptr;
    QMenu* m_menu = nullptr;
    std::map<QString, QAction*> m_actions;

    QImage m_working;
    QImage m_undo;
    QImage m_paste;
    QRect m_pasteRect;
    QImage m_zoomBase; // the picture an "&Editar" zoom came from
    QRect m_zoomRect;  // and the area it enlarged
    QString m_label;
    QString m_pictureFileName;
    QString m_sparePartPictureName;
    QPoint m_first, m_second, m_last;
    bool m_marked = false;
    QColor m_penColor = Qt::black;
    QColor m_brushColor = Qt::white;
    QFont m_font;
    bool m_fit = false;
    bool m_fitting = false;
    QPointer<PrintPreview> m_preview;
};

} // namespace gim
