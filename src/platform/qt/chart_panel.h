#pragma once

#include "platform/report.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QImage;
class QMenu;
class QPrinter;

namespace gim {

class PieChartView;
class Ui;
class WeekChartView;

// Prints a widget (a chart) scaled onto the printer's page.
void PrintWidget(QWidget* widget, QPrinter& printer);

// The charts of a report window: the bar chart "Chart1" with every chart control beside it (this widget is
// the sheet "Barras"), the line chart "Chart2" and the pie "Chart3", which the window puts on sheets of
// their own, and their pop-up menu "grafMenu". Some controls act on the charts of the newest report
// window, which `newest` names. Controls keep their old names ("Valores", "dim3", "point", "BitBtn3",
// "BitBtn2", "Button5", "Apilado", "Porcentual", "Normal", "AlLado", "sr1", "sr2", "SR3" to "SR6",
// "paginas").
class ChartPanel final : public QWidget
{
    Q_OBJECT

public:
    enum class ChartText { Title, LeftAxis, RightAxis, BottomAxis };
    struct Links
    {
        std::function<ChartPanel*()> newest;
        // Where "&Salvar" opens its dialog.
        std::function<QString()> saveFolder;
        // "Im&primir" on a chart; empty: a print preview dialog.
        std::function<void(QWidget* chart, QWidget* parent)> previewChart;
    };

    ChartPanel(const ReportDocument& doc, Ui& ui, Links links, QWidget* parent = nullptr);

    WeekChartView* Chart1() const { return m_chart1; }
    WeekChartView* Chart2() const { return m_chart2; }
    PieChartView* Chart3() const { return m_chart3; }
    QMenu* Menu() const { return m_menu; }

    void SaveChart();
    void PrintChart();
    void CopyChart();
    void RenameChartText(ChartText which);
    void OnSeriesClicked(WeekChartView* chart, int k, int pointIndex, Qt::KeyboardModifiers modifiers);

private:
    QWidget* BuildControls(const ReportDocument& doc);
    void BuildMenu();
    ChartPanel* Newest() const;
    QWidget* ChartByAnswer(const QString& answer, bool lineByDefault);
    QString AskChart(const QString& caption);
    QImage Snapshot(QWidget* chart) const;

    Ui& m_ui;
    Links m_links;
    WeekChartView* m_chart1 = nullptr;
    WeekChartView* m_chart2 = nullptr;
    PieChartView* m_chart3 = nullptr;
    QMenu* m_menu = nullptr;
    QCheckBox* m_values = nullptr;
    QCheckBox* m_dim3 = nullptr;
    QCheckBox* m_points = nullptr;
};

} // namespace gim
