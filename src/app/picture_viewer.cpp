#include "app/picture_viewer.h"

#include "core/context.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/print_preview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

namespace gim {

namespace {

const QString kCaption = QStringLiteral("IMAGENES Y ESQUEMAS");

QString ShownCaption(const QString& file)
{
    return QStringLiteral("Visualizar Imagen - (") + file + QLatin1Char(')');
}

} // namespace

// The picture at its own size, the label over it and the marked area's focus frame.
class PictureCanvas final : public QWidget
{
public:
    explicit PictureCanvas(PictureViewer& viewer) : m_viewer(viewer)
    {
        setObjectName(QStringLiteral("Image1"));
        setMouseTracking(true);
    }

    void Refresh()
    {
        resize(m_viewer.m_working.isNull() ? QSize(1, 1) : m_viewer.m_working.size());
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        if (m_viewer.m_working.isNull())
            return;
        painter.drawImage(0, 0, m_viewer.m_working);
        PaintLabel(painter, m_viewer.m_label);
        if (m_viewer.m_marked) {
            QPen pen(Qt::black, 1, Qt::DotLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            // The frame lies two pixels outside the marked area on every side.
            const QRect area = m_viewer.Selection().adjusted(-2, -2, 2, 2);
            painter.drawRect(area.adjusted(0, 0, -1, -1));
        }
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_viewer.Press(event->position().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_viewer.Release(event->position().toPoint(), event->modifiers().testFlag(Qt::ControlModifier));
    }
    void mouseMoveEvent(QMouseEvent* event) override { m_viewer.MoveTo(event->position().toPoint()); }

private:
    PictureViewer& m_viewer;
};

PictureViewer::PictureViewer(Context& ctx, QWidget* parent) : QWidget(parent, Qt::Window), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TForm1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setToolTip(QStringLiteral("Boton derecho ratón accede al Menú de Opciones"));
    setFocusPolicy(Qt::StrongFocus);

    m_canvas = new PictureCanvas(*this);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_canvas);
    m_scroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    BuildMenu();
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_menu->popup(mapToGlobal(at)); });
    m_canvas->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_canvas, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_menu->popup(m_canvas->mapToGlobal(at)); });
    resize(640, 480);
}

PictureViewer::~PictureViewer() = default;

QAction* PictureViewer::AddAction(QMenu* menu, const QString& text, void (PictureViewer::*slot)())
{
    QAction* action = menu->addAction(text);
    connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
    m_actions[text] = action;
    return action;
}

void PictureViewer::BuildMenu()
{
    m_menu = new QMenu(this);
    QAction* fit = m_menu->addAction(QStringLiteral("Ajuste a la &Imagen"));
    fit->setCheckable(true);
    connect(fit, &QAction::toggled, this, &PictureViewer::SetFitToPicture);
    m_actions[fit->text()] = fit;

    QMenu* color = m_menu->addMenu(QStringLiteral("&Color"));
    connect(color->addAction(QStringLiteral("&Lápiz")), &QAction::triggered, this, [this] {
        const QColor c = QColorDialog::getColor(m_penColor, this);
        if (c.isValid())
            m_penColor = c;
    });
    connect(color->addAction(QStringLiteral("&Fondo")), &QAction::triggered, this, [this] {
        const QColor c = QColorDialog::getColor(m_brushColor, this);
        if (c.isValid())
            m_brushColor = c;
    });
    connect(m_menu->addAction(QStringLiteral("&Tipo Letra")), &QAction::triggered, this, [this] {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, m_font, this);
        if (ok)
            m_font = f;
    });

    QMenu* zoom = m_menu->addMenu(QStringLiteral("&Zoom"));
    AddAction(zoom, QStringLiteral("&Editar"), &PictureViewer::ZoomEdit);
    AddAction(zoom, QStringLiteral("&Fijar"), &PictureViewer::ZoomFix);
    AddAction(m_menu, QStringLiteral("&Edición"), &PictureViewer::WriteText);

    QMenu* act = m_menu->addMenu(QStringLiteral("&Acción"));
    AddAction(act, QStringLiteral("A&dquirir (*.jpg;*.bmp)"), &PictureViewer::Acquire);
    QMenu* import = act->addMenu(QStringLiteral("&Importar"));
    connect(import->addAction(QStringLiteral("&Positivo")), &QAction::triggered, this,
            [this] { ImportPaste(PasteMode::Positive); });
    connect(import->addAction(QStringLiteral("&Negativo")), &QAction::triggered, this,
            [this] { ImportPaste(PasteMode::Negative); });
    connect(import->addAction(QStringLiteral("&Mezclar")), &QAction::triggered, this,
            [this] { ImportPaste(PasteMode::Mix); });
    // The keys themselves are handled by keyPressEvent; the menu only shows them.
    QAction* copy = act->addAction(QStringLiteral("&Copiar"));
    connect(copy, &QAction::triggered, this, [this] { CopySelection(); });
    copy->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    m_actions[copy->text()] = copy;
    AddAction(act, QStringLiteral("&Pegar"), &PictureViewer::TakeClipboardPicture)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    for (QAction* a : act->actions())
        a->setShortcutContext(Qt::WidgetShortcut);
    AddAction(act, QStringLiteral("&Borrar"), &PictureViewer::EraseSelection);
    AddAction(act, QStringLiteral("&Deshacer"), &PictureViewer::Undo);

    AddAction(m_menu, QStringLiteral("I&mprimir Imagen"), &PictureViewer::OpenPrintPreview);
    AddAction(m_menu, QStringLiteral("&Recuperar Imagen"), &PictureViewer::Load);
    AddAction(m_menu, QStringLiteral("Sal&var Imagen"), &PictureViewer::Save);
    connect(m_menu->addAction(QStringLiteral("&Salir")), &QAction::triggered, this, &QWidget::close);
}

QAction* PictureViewer::Action(const QString& text) const
{
    const auto it = m_actions.find(text);
    return it == m_actions.end() ? nullptr : it->second;
}

void PictureViewer::Start()
{
    show();
    Load();
}

void PictureViewer::StartWith(const QString& path)
{
    show();
    LoadFile(path);
}

QString PictureViewer::FolderOfSubFolder() const
{
    return ResolveSubFolder(m_ctx.st.BaseDir, m_ctx.st.CurrentSubFolder);
}

QImage PictureViewer::Displayed() const
{
    QImage shown = m_working;
    StampLabel(shown, m_label);
    return shown;
}

void PictureViewer::Load()
{
    const auto chosen = m_ctx.ui.ChooseFile(PictureOpenRequest(FolderOfSubFolder(), m_ctx.st.PhotoFileName));
    if (chosen)
        LoadFile(*chosen);
}

bool PictureViewer::LoadFile(const QString& path)
{
    m_working = QImage();
    m_paste = QImage();
    m_zoomBase = QImage();
    m_zoomRect = QRect();
    m_marked = false;
    m_pictureFileName = path;
    bool ok = true;
    if (PictureFormatOf(path) != PictureFormat::None) {
        auto image = ReadPicture(path);
        if (image)
            m_working = image->convertToFormat(QImage::Format_RGB32);
        else {
            m_ctx.ui.ShowMessage(image.error());
            ok = false;
        }
    }
    m_undo = m_working;
    m_label = m_working.isNull() ? QString() : PictureLabel(path);
    setWindowTitle(ShownCaption(m_pictureFileName));
    m_canvas->Refresh();
    ApplyFit();
    return ok;
}

void PictureViewer::Save()
{
    QString folder = FolderOfSubFolder();
    QString proposed;
    if (m_ctx.st.PhotoAssignFlag == 1)
        m_pictureFileName = folder + QLatin1Char('/') + m_ctx.st.PhotoFileName;
    // The spare-part card's name goes before any other, the photo's included.
    if (m_ctx.st.OutputCode == QLatin1String("W")) {
        proposed = m_sparePartPictureName;
    } else if (m_ctx.st.PhotoAssignFlag == 1) {
        proposed = m_ctx.st.PhotoFileName;
    } else if (!m_pictureFileName.isEmpty()) {
        const QFileInfo info(m_pictureFileName);
        folder = info.absolutePath();
        proposed = info.fileName();
    }

    const auto chosen = m_ctx.ui.ChooseFile(PictureSaveRequest(folder, proposed));
    if (chosen) {
        m_pictureFileName = *chosen;
        const QString target = QFileInfo(*chosen).absoluteFilePath();
        if (QFileInfo(target).absolutePath() == FolderOfSubFolder())
            MakeSubFolder(m_ctx.st.BaseDir, m_ctx.st.CurrentSubFolder);
        tl::expected<void, QString> saved;
        switch (PictureFormatOf(target)) {
        case PictureFormat::Jpeg:
            saved = WriteJpeg(Displayed(), target);
            break;
        case PictureFormat::Bmp:
            saved = WritePicture(m_working, target);
            break;
        case PictureFormat::None:
            break;
        }
        if (!saved)
            m_ctx.ui.ShowMessage(saved.error());
        setWindowTitle(ShownCaption(*chosen));
    }
    m_ctx.st.OutputCode.clear();
}

void PictureViewer::Press(QPoint at)
{
    m_first = at;
    m_second = at;
}

void PictureViewer::Release(QPoint at, bool control)
{
    m_second = at;
    if (control && !m_working.isNull()) {
        TakeUndo();
        QPainter painter(&m_working);
        painter.setPen(QPen(m_penColor, 1));
        painter.drawLine(m_first, m_second);
        painter.end();
        m_marked = false;
    } else {
        m_marked = true;
    }
    Commit();
}

void PictureViewer::MoveTo(QPoint at)
{
    m_last = at;
    setWindowTitle(m_pictureFileName +
                   QStringLiteral("          Posición en x=%1,y=%2").arg(at.x()).arg(at.y()));
}

void PictureViewer::WriteText()
{
    const QString text = m_ctx.ui.InputBox(kCaption, QStringLiteral("INTRODUZCA TEXTO"), QStringLiteral(" "));
    if (m_working.isNull())
        return;
    TakeUndo();
    QPainter painter(&m_working);
    painter.setFont(m_font);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(m_brushColor);
    const QRect box = painter.fontMetrics().boundingRect(text);
    painter.drawText(QRect(m_last, box.size() + QSize(2, 0)), Qt::AlignLeft | Qt::AlignTop, text);
    painter.end();
    Commit();
}

void PictureViewer::EraseSelection()
{
    const QRect area = Selection();
    if (m_working.isNull() || area.isEmpty())
        return;
    // Taking the undo copy here lets "&Deshacer" bring an erased area back.
    TakeUndo();
    QPainter painter(&m_working);
    painter.fillRect(area, Qt::white);
    painter.setPen(m_penColor);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.end();
    Commit();
}

void PictureViewer::Undo()
{
    m_working = m_undo;
    Commit();
}

void PictureViewer::CopySelection() const
{
    const QRect area = Selection().intersected(m_working.rect());
    if (!area.isEmpty())
        QApplication::clipboard()->setImage(m_working.copy(area));
}

void PictureViewer::TakeClipboardPicture()
{
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull())
        return;
    m_paste = image.convertToFormat(QImage::Format_RGB32);
    m_pasteRect = QRect(m_last, m_paste.size());
}

void PictureViewer::PasteClipboardAtMouse()
{
    TakeClipboardPicture();
    if (m_paste.isNull() || m_working.isNull())
        return;
    TakeUndo();
    DrawPaste(PasteMode::Positive, m_pasteRect.topLeft());
    Commit();
}

void PictureViewer::Acquire()
{
    const auto chosen = m_ctx.ui.ChooseFile(PictureOpenRequest(FolderOfSubFolder(), QString()));
    if (!chosen)
        return;
    auto image = ReadPicture(*chosen);
    if (!image) {
        m_ctx.ui.ShowMessage(image.error());
        return;
    }
    m_paste = image->convertToFormat(QImage::Format_RGB32);
    m_pasteRect = QRect(m_last, m_paste.size());
}

void PictureViewer::ImportPaste(PasteMode mode)
{
    if (m_paste.isNull() || m_working.isNull())
        return;
    TakeUndo();
    DrawPaste(mode, m_pasteRect.topLeft());
    Commit();
}

void PictureViewer::DrawPaste(PasteMode mode, QPoint at)
{
    QImage source = m_paste;
    QPainter painter(&m_working);
    switch (mode) {
    case PasteMode::Positive:
        break;
    case PasteMode::Negative:
        source.invertPixels();
        break;
    case PasteMode::Mix:
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    }
    painter.drawImage(at, source);
}

void PictureViewer::ZoomEdit()
{
    const QRect area = Selection().intersected(m_working.rect());
    if (m_working.isNull() || area.width() < 2 || area.height() < 2)
        return;
    TakeUndo();
    m_zoomBase = m_working;
    m_zoomRect = area;
    m_working =
        m_zoomBase.copy(area).scaled(m_zoomBase.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_marked = false;
    Commit();
}

void PictureViewer::ZoomFix()
{
    if (m_zoomBase.isNull() || m_zoomRect.isEmpty())
        return;
    QImage back = m_zoomBase;
    QPainter painter(&back);
    painter.drawImage(m_zoomRect.topLeft(),
                      m_working.scaled(m_zoomRect.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    painter.end();
    m_working = back;
    m_zoomBase = QImage();
    m_zoomRect = QRect();
    Commit();
}

void PictureViewer::SetFitToPicture(bool on)
{
    m_fit = on;
    if (QAction* fit = Action(QStringLiteral("Ajuste a la &Imagen")); fit && fit->isChecked() != on)
        fit->setChecked(on);
    ApplyFit();
}

void PictureViewer::ApplyFit()
{
    if (!m_fit || m_fitting || m_working.isNull())
        return;
    m_fitting = true;
    const QSize frame = size() - m_scroll->viewport()->size();
    resize(m_working.size() + frame);
    m_fitting = false;
}

void PictureViewer::OpenPrintPreview()
{
    if (m_working.isNull())
        return;
    m_preview = new PrintPreview(Displayed());
    m_preview->Open();
}

void PictureViewer::Commit()
{
    m_canvas->Refresh();
}

void PictureViewer::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods.testFlag(Qt::ControlModifier) && mods.testFlag(Qt::AltModifier)) {
        EraseSelection();
        return;
    }
    if (mods.testFlag(Qt::ControlModifier) && event->key() == Qt::Key_C) {
        CopySelection();
        return;
    }
    if (mods.testFlag(Qt::ControlModifier) && event->key() == Qt::Key_V) {
        PasteClipboardAtMouse();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PictureViewer::closeEvent(QCloseEvent* event)
{
    m_ctx.st.PhotoAssignFlag = 0;
    QWidget::closeEvent(event);
}

void PictureViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ApplyFit();
}

bool PictureViewer::event(QEvent* event)
{
    if (event->type() == QEvent::Leave)
        setWindowTitle(QStringLiteral("IMAGENES"));
    return QWidget::event(event);
}

} // namespace gim
