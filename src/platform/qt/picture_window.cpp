#include "platform/qt/picture_window.h"

#include "platform/qt/chart_panel.h"
#include "platform/qt/week_graph_painter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace gim {

namespace {

constexpr int kDotsPerMeter96Dpi = 3780;

} // namespace

QImage RenderPicture(const PictureWindow& window)
{
    QImage image(window.width, window.height, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter96Dpi);
    image.setDotsPerMeterY(kDotsPerMeter96Dpi);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintWeekGraph(painter, window.picture);
    return image;
}

PictureWindowDialog::PictureWindowDialog(const PictureWindow& window, QWidget* parent)
    : QDialog(parent), m_picture(RenderPicture(window))
{
    setObjectName(QStringLiteral("TWplan"));
    setWindowTitle(window.caption);
    auto* panel = new QLabel(this);
    panel->setObjectName(QStringLiteral("panel"));
    panel->setPixmap(QPixmap::fromImage(m_picture));
    panel->setFixedSize(m_picture.size());

    auto* print = new QPushButton(QStringLiteral("&IMPRIMIR"), this);
    print->setObjectName(QStringLiteral("BitBtn1"));
    auto* save = new QPushButton(QStringLiteral("SAL&VAR"), this);
    save->setObjectName(QStringLiteral("BitBtn3"));
    auto* exit = new QPushButton(QStringLiteral("&SALIR"), this);
    exit->setObjectName(QStringLiteral("BitBtn2"));
    connect(print, &QPushButton::clicked, this, [this] {
        Print();
        Close(PictureWindowResult::Print);
    });
    connect(save, &QPushButton::clicked, this, [this] { Close(PictureWindowResult::Save); });
    connect(exit, &QPushButton::clicked, this, [this] { Close(PictureWindowResult::Exit); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {print, save, exit})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
}

void PictureWindowDialog::Close(PictureWindowResult result)
{
    m_result = result;
    accept();
}

void PictureWindowDialog::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        PrintWidget(this, printer);
}

} // namespace gim
