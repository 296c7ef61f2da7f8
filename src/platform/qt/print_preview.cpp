#include "platform/qt/print_preview.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace gim {

PreviewPlacement PlacePreview(QSize page, QSize picture, int scale)
{
    PreviewPlacement p;
    const int right = picture.width() * scale / 5 + 10;
    const int bottom = picture.height() * scale / 5 + 10;
    p.target = QRect(QPoint(10, 10), QPoint(right - 1, bottom - 1));
    p.fits = page.width() > right && page.height() > bottom;
    return p;
}

PrintPreview::PrintPreview(QImage picture, QWidget* parent)
    : QWidget(parent, Qt::Window), m_picture(std::move(picture)),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("TPreviewForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vista Previa Impresión"));

    const auto button = [this](const QString& name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setToolTip(caption);
        return b;
    };
    auto* plus = button(QStringLiteral("ScalePlusButton"), QStringLiteral("Aumentar"));
    auto* minus = button(QStringLiteral("ScaleMinusButton"), QStringLiteral("Reducir"));
    auto* print = button(QStringLiteral("PrintButton"), QStringLiteral("Imprimir"));
    auto* cancel = button(QStringLiteral("CancelButton"), QStringLiteral("Eliminar"));
    m_scaleLabel = new QLabel(this);
    m_scaleLabel->setObjectName(QStringLiteral("Label1"));

    m_pageView = new QLabel;
    m_pageView->setObjectName(QStringLiteral("VistaPre"));
    m_pageView->setMouseTracking(true);
    m_pageView->setFocusPolicy(Qt::ClickFocus);
    m_pageView->installEventFilter(this);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_pageView);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto* tools = new QHBoxLayout;
    tools->addWidget(plus);
    tools->addWidget(minus);
    tools->addWidget(m_scaleLabel);
    tools->addStretch();
    tools->addWidget(print);
    tools->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_scroll, 1);

    connect(plus, &QPushButton::clicked, this, &PrintPreview::Enlarge);
    connect(minus, &QPushButton::clicked, this, &PrintPreview::Reduce);
    connect(print, &QPushButton::clicked, this, &PrintPreview::Print);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    SetUpPage();
    resize(760, 900);
}

void PrintPreview::Open()
{
    Draw();
    show();
}

PrintPreview::~PrintPreview() = default;

QString PrintPreview::ScaleText() const
{
    return QString::number(m_scale) + QStringLiteral(" Aumentos");
}

void PrintPreview::SetUpPage()
{
    m_printer->setResolution(kPrinterDpi);
    m_printer->setPageOrientation(m_picture.width() >= m_picture.height() ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait);
    const QRect printable = m_printer->pageLayout().paintRectPixels(m_printer->resolution());
    m_page = QImage(printable.width() / 5, printable.height() / 5, QImage::Format_RGB32);
    m_scaleLabel->setText(ScaleText());
}

void PrintPreview::Draw()
{
    m_page.fill(Qt::white);
    const PreviewPlacement place = PlacePreview(m_page.size(), m_picture.size(), m_scale);
    if (place.fits) {
        QPainter painter(&m_page);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(place.target, m_picture);
    } else {
        Message(QStringLiteral("Escala demasiado grande para el papel"));
    }
    ShowPage();
}

void PrintPreview::ShowPage()
{
    m_pageView->setPixmap(QPixmap::fromImage(m_page));
    m_pageView->resize(m_page.size());
}

void PrintPreview::Enlarge()
{
    ++m_scale;
    m_scaleLabel->setText(ScaleText());
    Draw();
}

void PrintPreview::Reduce()
{
    if (m_scale <= 1)
        return;
    --m_scale;
    m_scaleLabel->setText(ScaleText());
    Draw();
}

void PrintPreview::Print()
{
    QPrintDialog dialog(m_printer.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintTo(*m_printer);
}

void PrintPreview::PrintTo(QPrinter& printer) const
{
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    // Printer pixels: the page image is one fifth of the page, drawn from (10, 10) and cut by the page's
    // edge where that offset pushes it over.
    const double toDevice = double(printer.resolution()) / kPrinterDpi;
    painter.scale(toDevice, toDevice);
    painter.drawImage(QRect(10, 10, m_page.width() * 5, m_page.height() * 5), m_page);
    painter.end();
}

void PrintPreview::Press(QPoint at)
{
    m_first = at;
    m_second = at;
}

void PrintPreview::Release(QPoint at)
{
    m_second = at;
    QPainter painter(&m_page);
    painter.setPen(Qt::red);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(Selection().adjusted(0, 0, -1, -1));
    painter.end();
    ShowPage();
}

void PrintPreview::BlankSelection()
{
    const QRect area = Selection();
    if (area.isEmpty())
        return;
    QPainter painter(&m_page);
    painter.fillRect(area, Qt::white);
    painter.setPen(Qt::red);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.end();
    ShowPage();
}

void PrintPreview::CopySelection() const
{
    const QRect area = Selection();
    if (!area.isEmpty())
        QApplication::clipboard()->setImage(m_page.copy(area));
}

bool PrintPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_pageView)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        Press(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    case QEvent::MouseButtonRelease:
        Release(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    case QEvent::MouseMove:
        m_last = static_cast<QMouseEvent*>(event)->position().toPoint();
        return true;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (mods.testFlag(Qt::ControlModifier) && mods.testFlag(Qt::AltModifier)) {
            BlankSelection();
            return true;
        }
        if (mods.testFlag(Qt::ControlModifier) && key->key() == Qt::Key_C) {
            CopySelection();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void PrintPreview::closeEvent(QCloseEvent* event)
{
    m_printer->setPageOrientation(QPageLayout::Portrait);
    QWidget::closeEvent(event);
}

void PrintPreview::Message(const QString& text)
{
    if (m_sink)
        m_sink(text);
    else
        QMessageBox::information(this, windowTitle(), text);
}

} // namespace gim
