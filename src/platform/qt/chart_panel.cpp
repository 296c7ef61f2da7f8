#include "platform/qt/chart_panel.h"

#include "platform/qt/chart_sheets.h"
#include "platform/ui.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace gim {

void PrintWidget(QWidget* widget, QPrinter& printer)
{
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    QSize size = widget->size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(widget->rect());
    widget->render(&painter);
}

ChartPanel::ChartPanel(const ReportDocument& doc, Ui& ui, Links links, QWidget* parent)
    : QWidget(parent), m_ui(ui), m_links(std::move(links))
{
    m_chart1 = new WeekChartView(WeekChartView::Kind::Bars, doc.barChart, this);
    m_chart1->setObjectName(QStringLiteral("Chart1"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_chart1, 1);
    layout->addWidget(BuildControls(doc));
    m_chart2 = new WeekChartView(WeekChartView::Kind::Lines, doc.lineChart, this);
    m_chart2->setObjectName(QStringLiteral("Chart2"));
    m_chart3 = new PieChartView(doc.pie, this);
    m_chart3->setObjectName(QStringLiteral("Chart3"));
    BuildMenu();

    for (QWidget* chart : std::initializer_list<QWidget*>{m_chart1, m_chart2, m_chart3}) {
        chart->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(chart, &QWidget::customContextMenuRequested, this,
                [this, chart](const QPoint& pos) { m_menu->popup(chart->mapToGlobal(pos)); });
    }
    connect(m_chart1, &WeekChartView::SeriesClicked, this, [this](int k, int index) {
        OnSeriesClicked(m_chart1, k, index, QGuiApplication::queryKeyboardModifiers());
    });
    connect(m_chart2, &WeekChartView::SeriesClicked, this, [this](int k, int index) {
        OnSeriesClicked(m_chart2, k, index, QGuiApplication::queryKeyboardModifiers());
    });
}

QWidget* ChartPanel::BuildControls(const ReportDocument& doc)
{
    auto* box = new QWidget(this);
    auto* v = new QVBoxLayout(box);

    m_values = new QCheckBox(QStringLiteral("Valores"), box);
    m_values->setObjectName(QStringLiteral("Valores"));
    m_dim3 = new QCheckBox(QStringLiteral("3D"), box);
    m_dim3->setObjectName(QStringLiteral("dim3"));
    m_dim3->setChecked(true);
    m_points = new QCheckBox(QStringLiteral("Puntos"), box);
    m_points->setObjectName(QStringLiteral("point"));
    v->addWidget(m_values);
    v->addWidget(m_dim3);
    v->addWidget(m_points);
    // The marks follow this box, on the charts of the newest window.
    connect(m_values, &QCheckBox::toggled, this, [this](bool on) {
        Newest()->m_chart1->SetMarksVisible(on);
        Newest()->m_chart2->SetMarksVisible(on);
    });
    connect(m_dim3, &QCheckBox::toggled, this, [this](bool on) {
        m_chart1->Set3D(on);
        m_chart2->Set3D(on);
        m_chart3->Set3D(on);
    });
    connect(m_points, &QCheckBox::toggled, this, [this](bool on) { m_chart2->SetPointMarkers(on); });

    auto button = [&](const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), box);
        b->setObjectName(QLatin1String(name));
        v->addWidget(b);
        return b;
    };
    connect(button("BitBtn3", "Zoom In"), &QPushButton::clicked, this, [this] {
        m_chart1->ZoomPercent(80);
        m_chart2->ZoomPercent(80);
        m_chart3->ZoomPercent(80);
    });
    connect(button("BitBtn2", "ZoomOut"), &QPushButton::clicked, this, [this] {
        m_chart1->ZoomPercent(110);
        m_chart2->ZoomPercent(110);
        m_chart3->ZoomPercent(110);
    });
    connect(button("Button5", "Reset Zoom"), &QPushButton::clicked, this, [this] {
        m_chart1->ResetZoom();
        m_chart2->ResetZoom();
        m_chart3->ResetZoom();
    });

    auto* arrangement = new QGroupBox(box);
    auto* av = new QVBoxLayout(arrangement);
    const std::pair<const char*, BarArrangement> radios[] = {{"Apilado", BarArrangement::Stacked},
                                                             {"Porcentual", BarArrangement::Percent},
                                                             {"Normal", BarArrangement::Normal},
                                                             {"Al Lado", BarArrangement::SideBySide}};
    for (const auto& [text, value] : radios) {
        auto* r = new QRadioButton(QString::fromUtf8(text), arrangement);
        r->setObjectName(QString::fromUtf8(text).remove(QLatin1Char(' ')));
        r->setChecked(value == doc.barChart.arrangement);
        av->addWidget(r);
        const BarArrangement a = value;
        connect(r, &QRadioButton::clicked, this, [this, a] { Newest()->m_chart1->SetArrangement(a); });
    }
    v->addWidget(arrangement);

    const char* const seriesNames[] = {"sr1", "sr2", "SR3", "SR4", "SR5", "SR6"};
    for (int k = 0; k < 6; ++k) {
        auto* c = new QCheckBox(QStringLiteral("SR%1").arg(k + 1), box);
        c->setObjectName(QLatin1String(seriesNames[k]));
        // A series the graph left unnamed (" ") is off, and so is its box, hidden.
        const ReportSeries& series = doc.barChart.series[static_cast<std::size_t>(k)];
        c->setChecked(series.active);
        c->setVisible(series.title != QLatin1String(" "));
        v->addWidget(c);
        // This box's state, on the series of the newest window.
        connect(c, &QCheckBox::toggled, this, [this, k](bool on) {
            Newest()->m_chart1->SetSeriesActive(k, on);
            Newest()->m_chart2->SetSeriesActive(k, on);
        });
    }

    auto* moves = new QWidget(box);
    auto* mh = new QHBoxLayout(moves);
    mh->setContentsMargins(0, 0, 0, 0);
    auto speed = [&](const char* name, const char* text, const char* hint) {
        auto* b = new QToolButton(moves);
        b->setObjectName(QLatin1String(name));
        b->setText(QString::fromUtf8(text));
        b->setToolTip(QString::fromUtf8(hint));
        mh->addWidget(b);
        return b;
    };
    connect(speed("Izquierda", "◄", "Desplazamientoi zquierda"), &QToolButton::clicked, this, [this] {
        Newest()->m_chart1->ShiftHorizontal(10);
        Newest()->m_chart2->ShiftHorizontal(10);
    });
    connect(speed("Derecha", "►", "Desplazamiento derecha"), &QToolButton::clicked, this, [this] {
        Newest()->m_chart1->ShiftHorizontal(-10);
        Newest()->m_chart2->ShiftHorizontal(-10);
    });
    connect(speed("Abajo", "▼", "Desplazamiento abajo"), &QToolButton::clicked, this, [this] {
        Newest()->m_chart1->ShiftVertical(10);
        Newest()->m_chart2->ShiftVertical(10);
    });
    connect(speed("Arriba", "▲", "Desplazamiento arriba"), &QToolButton::clicked, this, [this] {
        Newest()->m_chart1->ShiftVertical(-10);
        Newest()->m_chart2->ShiftVertical(-10);
    });
    v->addWidget(moves);

    auto* pages = new QWidget(box);
    auto* ph = new QHBoxLayout(pages);
    ph->setContentsMargins(0, 0, 0, 0);
    mh = ph;
    connect(speed("PaginaAnterior", "«", "Página anterior"), &QToolButton::clicked, this, [this] {
        m_chart1->PreviousPage();
        m_chart2->PreviousPage();
    });
    auto* pageCount = new QSpinBox(pages);
    pageCount->setObjectName(QStringLiteral("paginas"));
    pageCount->setRange(0, 10);
    pageCount->setValue(0);
    ph->addWidget(pageCount);
    connect(speed("PaginaSiguiente", "»", "Página siguiente"), &QToolButton::clicked, this, [this] {
        m_chart1->NextPage();
        m_chart2->NextPage();
    });
    connect(pageCount, &QSpinBox::valueChanged, this, [this](int n) {
        const int perPage = n <= 0 ? 52 : 52 / n;
        m_chart1->SetPointsPerPage(perPage);
        m_chart2->SetPointsPerPage(perPage);
    });
    v->addWidget(pages);
    v->addStretch(1);
    return box;
}

void ChartPanel::BuildMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("grafMenu"));
    auto item = [this](QMenu* menu, const char* name, const char* text, auto run) {
        auto* a = new QAction(QString::fromUtf8(text), this);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, run);
        menu->addAction(a);
        return a;
    };
    item(m_menu, "Graf3Dim", "&3Dim", [this] { m_dim3->toggle(); });
    // The newest window's box: it then acts on that window's own lines.
    item(m_menu, "GrafPuntos", "&Puntos", [this] { Newest()->m_points->toggle(); });
    item(m_menu, "GrafValores", "&Valores", [this] { m_values->toggle(); });
    item(m_menu, "GrafZoomIn", "Zoom&In",
         [this] { findChild<QPushButton*>(QStringLiteral("BitBtn3"))->click(); });
    item(m_menu, "GrafResetZoom", "&ResetZoom",
         [this] { findChild<QPushButton*>(QStringLiteral("Button5"))->click(); });
    item(m_menu, "GrafZoomOut", "Zoom&Out",
         [this] { findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click(); });
    item(m_menu, "GrafSalvar", "&Salvar", [this] { SaveChart(); });
    item(m_menu, "GrafImprimir", "Im&primir", [this] { PrintChart(); });
    item(m_menu, "GrafCopiar", "&Copiar", [this] { CopyChart(); });
    QMenu* names = m_menu->addMenu(QStringLiteral("&Edición"));
    names->setObjectName(QStringLiteral("Edicion"));
    item(names, "GrafTitulo", "&Titulo", [this] { RenameChartText(ChartText::Title); });
    item(names, "GrafEjeIzquierdo", "Eje &Izquierdo", [this] { RenameChartText(ChartText::LeftAxis); });
    item(names, "GrafEjeDerecho", "Eje &Derecho", [this] { RenameChartText(ChartText::RightAxis); });
    item(names, "GrafAbcisas", "&Abcisas", [this] { RenameChartText(ChartText::BottomAxis); });
}

ChartPanel* ChartPanel::Newest() const
{
    ChartPanel* newest = m_links.newest ? m_links.newest() : nullptr;
    return newest ? newest : const_cast<ChartPanel*>(this);
}

QWidget* ChartPanel::ChartByAnswer(const QString& answer, bool lineByDefault)
{
    if (answer == QLatin1String("B"))
        return m_chart1;
    if (answer == QLatin1String("T"))
        return m_chart3;
    if (answer == QLatin1String("L") || lineByDefault)
        return m_chart2;
    return nullptr;
}

QString ChartPanel::AskChart(const QString& caption)
{
    // The answer is compared as typed, cut to two characters: "b" is not "B".
    return m_ui.InputBox(caption, QStringLiteral("Gráfico de Barras/Líneas/Tarta B/L/T"), QStringLiteral("B"))
        .left(2);
}

QImage ChartPanel::Snapshot(QWidget* chart) const
{
    return chart == m_chart3 ? m_chart3->Snapshot() : static_cast<WeekChartView*>(chart)->Snapshot();
}

void ChartPanel::SaveChart()
{
    FileDialogRequest request;
    request.save = true;
    request.folder = m_links.saveFolder ? m_links.saveFolder() : QString();
    request.fileName = QStringLiteral("*.bmp");
    const std::optional<QString> path = m_ui.ChooseFile(request);
    if (!path)
        return;
    // The extension is added below; one typed by the user is not doubled.
    QString name = *path;
    if (name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
        name.chop(4);
    if (!m_ui.AskYesNo(QStringLiteral("Salvar ") + name + QStringLiteral(".bmp")))
        return;
    QWidget* chart = ChartByAnswer(AskChart(QStringLiteral("GRABAR GRAFICOS Formato *.bmp ")), false);
    if (chart && !Snapshot(chart).save(name + QStringLiteral(".bmp"), "BMP"))
        m_ui.ShowMessage(QStringLiteral("No se ha podido salvar ") + name + QStringLiteral(".bmp"));
}

void ChartPanel::PrintChart()
{
    QWidget* chart = ChartByAnswer(AskChart(QStringLiteral("IMPRESIÓN DE GRAFICOS ")), true);
    if (m_links.previewChart) {
        m_links.previewChart(chart, this);
        return;
    }
    QPrintPreviewDialog preview(this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [chart](QPrinter* printer) { PrintWidget(chart, *printer); });
    preview.exec();
}

void ChartPanel::CopyChart()
{
    QGuiApplication::clipboard()->setImage(
        Snapshot(ChartByAnswer(AskChart(QStringLiteral("COPIA EN MEMORIA")), true)));
}

void ChartPanel::RenameChartText(ChartText which)
{
    QString current;
    switch (which) {
    case ChartText::Title:
        current = m_chart1->TitleText();
        break;
    case ChartText::LeftAxis:
        current = m_chart1->Model().leftAxisTitle;
        break;
    case ChartText::RightAxis:
        current = m_chart1->Model().rightAxisTitle;
        break;
    case ChartText::BottomAxis:
        current = m_chart1->Model().bottomAxisTitle;
        break;
    }
    const QString answer = m_ui.InputBox(QStringLiteral("EDICION SELECTIVA NOMBRES DE EJES "),
                                         QStringLiteral("INTRODUCIR NUEVO NOMBRE"), current);
    for (WeekChartView* chart : {Newest()->m_chart1, Newest()->m_chart2}) {
        switch (which) {
        case ChartText::Title:
            chart->SetTitleText(answer);
            break;
        case ChartText::LeftAxis:
            chart->SetLeftAxisTitle(answer);
            break;
        case ChartText::RightAxis:
            chart->SetRightAxisTitle(answer);
            break;
        case ChartText::BottomAxis:
            chart->SetBottomAxisTitle(answer);
            break;
        }
    }
}

void ChartPanel::OnSeriesClicked(WeekChartView* chart, int k, int pointIndex, Qt::KeyboardModifiers modifiers)
{
    if (chart == m_chart1 && (modifiers & Qt::ControlModifier)) {
        m_ui.ShowMessage(chart->Model().series.at(static_cast<std::size_t>(k)).component +
                         QStringLiteral(" en la semana: ") + QString::number(pointIndex + 1));
        return;
    }
    chart->MoveSeriesEarlier(k);
}

} // namespace gim
