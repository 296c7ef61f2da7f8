#include "platform/qt/report_window.h"

#include "core/command.h"
#include "core/context.h"
#include "core/drive_paths.h"
#include "core/lookups.h"
#include "core/sub_folders.h"
#include "platform/qt/chart_sheets.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/mail_composer.h"
#include "platform/qt/main_window.h"
#include "platform/qt/picture_viewer.h"
#include "platform/qt/print_preview.h" // picture_viewer.h needs the complete type
#include "platform/qt/week_graph_painter.h"
#include "platform/report_files.h"
#include "platform/rtf.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontDialog>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>
#include <cmath>
#include <functional>
#include <memory>

namespace gim {

namespace {

constexpr double kTwipsPerPixel = 15.0; // 1440 twips an inch, 96 pixels an inch
constexpr double kScreenDpi = 96.0;
constexpr int kIndentStepPoints = 10;
const char* const kDocumentTitle = "Editor RTF";
const char* const kChartPrompt = "Gráfico de Barras/Líneas/Tarta B/L/T";

QColor ColourOf(std::uint32_t rgb)
{
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

QTextCharFormat CharFormatOf(const ReportTextStyle& s)
{
    QTextCharFormat f;
    f.setFontFamilies(QStringList{s.fontName});
    f.setFontPointSize(s.PointSize());
    f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.italic);
    f.setFontUnderline(s.underline);
    f.setFontStrikeOut(s.strikeOut);
    f.setForeground(ColourOf(s.colour));
    return f;
}

QTextBlockFormat BlockFormatOf(const ReportParagraphFormat& p)
{
    QTextBlockFormat f;
    QList<QTextOption::Tab> tabs;
    for (int t : p.tabStops)
        tabs << QTextOption::Tab(t / kTwipsPerPixel, QTextOption::LeftTab);
    f.setTabPositions(tabs);
    switch (p.alignment) {
    case ReportAlignment::Left:
        f.setAlignment(Qt::AlignLeft);
        break;
    case ReportAlignment::Center:
        f.setAlignment(Qt::AlignHCenter);
        break;
    case ReportAlignment::Right:
        f.setAlignment(Qt::AlignRight);
        break;
    case ReportAlignment::Justify:
        f.setAlignment(Qt::AlignJustify);
        break;
    }
    f.setLeftMargin(p.leftIndent / kTwipsPerPixel);
    f.setTextIndent(p.firstIndent / kTwipsPerPixel);
    return f;
}

int Twips(qreal pixels)
{
    return static_cast<int>(std::lround(pixels * kTwipsPerPixel));
}

ReportTextStyle StyleOf(const QTextCharFormat& f, const QFont& defaultFont)
{
    ReportTextStyle s;
    const QStringList families = f.fontFamilies().toStringList();
    s.fontName = families.isEmpty() ? defaultFont.family() : families.front();
    const qreal size = f.fontPointSize() > 0 ? f.fontPointSize() : defaultFont.pointSizeF();
    s.halfPoints = std::max(1, static_cast<int>(std::lround(size * 2)));
    s.bold = f.fontWeight() >= QFont::Bold;
    s.italic = f.fontItalic();
    s.underline = f.fontUnderline();
    s.strikeOut = f.fontStrikeOut();
    if (f.foreground().style() != Qt::NoBrush) {
        const QColor c = f.foreground().color();
        s.colour = (std::uint32_t(c.red()) << 16) | (std::uint32_t(c.green()) << 8) | std::uint32_t(c.blue());
    }
    return s;
}

ReportParagraphFormat ParagraphOf(const QTextBlock& block)
{
    const QTextBlockFormat f = block.blockFormat();
    ReportParagraphFormat p;
    for (const QTextOption::Tab& t : f.tabPositions())
        p.tabStops.push_back(Twips(t.position));
    const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        p.alignment = ReportAlignment::Center;
    else if (a & Qt::AlignRight)
        p.alignment = ReportAlignment::Right;
    else if (a & Qt::AlignJustify)
        p.alignment = ReportAlignment::Justify;
    p.leftIndent = Twips(f.leftMargin());
    p.firstIndent = Twips(f.textIndent());
    p.bullet = block.textList() != nullptr;
    return p;
}

QFont DefaultFont()
{
    const ReportTextStyle s;
    QFont font(s.fontName);
    font.setPointSizeF(s.PointSize());
    return font;
}

// The advances of one style's characters, measured once: a listing of 100,000 rows is measured in one
// pass over its text instead of laying out every cell.
class CharAdvances
{
public:
    explicit CharAdvances(const QFont& font) : m_metrics(font)
    {
        for (char16_t c = 0; c < m_latin.size(); ++c)
            m_latin[c] = m_metrics.horizontalAdvance(QChar(c));
    }
    qreal Of(char16_t c) const
    {
        if (c < m_latin.size())
            return m_latin[c];
        return QChar::isSurrogate(c) ? 0 : m_metrics.horizontalAdvance(QChar(c));
    }

private:
    QFontMetricsF m_metrics;
    std::array<qreal, 256> m_latin{};
};

// The tab stops of each paragraph setting, grown where a column's widest cell (and a blank after it)
// reaches past the stop that ends it: a cell that reaches its stop sends the rest of its row one column
// on, under the wrong headings (a running number of four digits in a column made for three). A grown
// stop takes the later ones along, so every column keeps its width. Only rows are measured, the lines
// that start with a cell of their own (the running number); headings and totals start with a TAB and may
// reach over the columns. Stops that every cell fits are left exactly as they are.
std::vector<ReportParagraphFormat> FittedParagraphs(const ReportDocument& doc,
                                                    const std::function<QFont(std::uint16_t)>& fontOf)
{
    std::vector<ReportParagraphFormat> paragraphs = doc.Paragraphs();
    std::vector<std::vector<qreal>> widest(paragraphs.size());
    std::vector<std::unique_ptr<CharAdvances>> advances(doc.Styles().size());
    for (const ReportLine& line : doc.Lines()) {
        const std::size_t stops = paragraphs[line.paragraph].tabStops.size();
        const QString& first = line.runs.front().text;
        if (stops == 0 || first.isEmpty() || first.front() == QLatin1Char('\t'))
            continue;
        std::vector<qreal>& columns = widest[line.paragraph];
        columns.resize(stops, 0);
        std::size_t column = 0;
        qreal width = 0;
        for (const ReportRun& run : line.runs) {
            std::unique_ptr<CharAdvances>& style = advances[run.style];
            if (!style)
                style = std::make_unique<CharAdvances>(fontOf(run.style));
            for (const QChar ch : run.text) {
                const char16_t c = ch.unicode();
                if (c != u'\t') {
                    width += style->Of(c);
                    continue;
                }
                columns[column] = std::max(columns[column], width + style->Of(u' '));
                width = 0;
                if (++column == stops)
                    break;
            }
            if (column == stops)
                break;
        }
    }
    constexpr int kTwipsPerPoint = 20;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        ReportParagraphFormat& p = paragraphs[i];
        int start = std::max(0, p.leftIndent + p.firstIndent);
        int shift = 0;
        for (std::size_t k = 0; k < widest[i].size(); ++k) {
            int& stop = p.tabStops[k];
            stop += shift;
            const int needed = start + static_cast<int>(std::ceil(widest[i][k] * kTwipsPerPixel));
            if (stop < needed) {
                // Grown to whole points, as listings set their stops.
                const int grown = (needed + kTwipsPerPoint - 1) / kTwipsPerPoint * kTwipsPerPoint;
                shift += grown - stop;
                stop = grown;
            }
            start = stop;
        }
    }
    return paragraphs;
}

} // namespace

// ---- Text ----------------------------------------------------------------------------------------------

void RenderReportText(const ReportDocument& doc, QTextDocument& text)
{
    text.clear();
    text.setDefaultFont(DefaultFont());
    // Listings use a handful of styles: build each Qt format once.
    std::vector<std::optional<QTextCharFormat>> chars(doc.Styles().size());
    std::vector<std::optional<QTextBlockFormat>> blocks(doc.Paragraphs().size());
    auto charFormat = [&](std::uint16_t i) -> const QTextCharFormat& {
        if (!chars[i])
            chars[i] = CharFormatOf(doc.Styles()[i]);
        return *chars[i];
    };
    const std::vector<ReportParagraphFormat> paragraphs =
        FittedParagraphs(doc, [&](std::uint16_t i) { return charFormat(i).font(); });
    auto blockFormat = [&](std::uint16_t i) -> const QTextBlockFormat& {
        if (!blocks[i])
            blocks[i] = BlockFormatOf(paragraphs[i]);
        return *blocks[i];
    };

    QTextCursor cursor(&text);
    cursor.beginEditBlock();
    QTextList* list = nullptr;
    bool first = true;
    for (const ReportLine& line : doc.Lines()) {
        QTextBlockFormat bf = blockFormat(line.paragraph);
        bool pageBreak = false;
        for (const ReportRun& run : line.runs)
            pageBreak = pageBreak || run.text.contains(QLatin1Char('\f'));
        if (pageBreak)
            bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysAfter);
        const QTextCharFormat& cf = charFormat(line.runs.front().style);
        if (first) {
            cursor.setBlockFormat(bf);
            cursor.setBlockCharFormat(cf);
            first = false;
        } else {
            cursor.insertBlock(bf, cf);
        }
        if (doc.ParagraphOf(line).bullet) {
            if (list)
                list->add(cursor.block());
            else
                list = cursor.createList(QTextListFormat::ListDisc);
        } else {
            list = nullptr;
        }
        for (const ReportRun& run : line.runs)
            if (!run.text.isEmpty())
                cursor.insertText(run.text, charFormat(run.style));
    }
    cursor.endEditBlock();
}

void ReadReportText(const QTextDocument& text, ReportDocument& doc)
{
    doc.ClearText();
    const QFont defaultFont = text.defaultFont();
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        doc.SetParagraphFormat(ParagraphOf(block));
        bool first = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            doc.SetTextStyle(StyleOf(fragment.charFormat(), defaultFont));
            if (first)
                doc.AddLine(fragment.text());
            else
                doc.Append(fragment.text());
            first = false;
        }
        if (first) {
            doc.SetTextStyle(StyleOf(block.charFormat(), defaultFont));
            doc.AddLine(QString());
        }
    }
}

void PrintReportText(const QTextDocument& text, QPrinter& printer)
{
    // Listings are laid out on tab stops that may reach past the paper's width; a page as wide as the
    // widest line, scaled down onto the paper, keeps every column.
    std::unique_ptr<QTextDocument> copy(text.clone());
    copy->setUndoRedoEnabled(false);
    copy->setTextWidth(-1);
    const QSizeF paper = printer.pageLayout().paintRect(QPageLayout::Inch).size() * kScreenDpi;
    const qreal width = std::max(paper.width(), copy->idealWidth() + 2 * copy->documentMargin());
    // Same proportions as the paper, so the scaling keeps the text's own.
    copy->setPageSize(QSizeF(width, width * paper.height() / paper.width()));
    copy->print(&printer);
}

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

// ---- ReportWindows -------------------------------------------------------------------------------------

ReportWindows::ReportWindows(Context& ctx, HandoverRegistry& handover, QMdiArea* area, QObject* parent)
    : QObject(parent), m_ctx(ctx), m_handover(handover), m_area(area)
{
    setObjectName(QStringLiteral("ReportWindows"));
}

ReportWindows::~ReportWindows() = default;

ReportWindows& ReportWindows::Of(QMdiArea* area, Context& ctx, HandoverRegistry& handover)
{
    if (auto* existing = area->findChild<ReportWindows*>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new ReportWindows(ctx, handover, area, area);
}

TEditorRTF* ReportWindows::Show(std::shared_ptr<ReportDocument> doc)
{
    if (!doc)
        doc = std::make_shared<ReportDocument>();
    auto* window = new TEditorRTF(std::move(doc), *this);
    if (m_area) {
        QMdiSubWindow* sub = m_area->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowTitle(window->windowTitle());
        sub->showMaximized();
    } else {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    // The text takes the keys at once: PageDown and Ctrl+End work without a click first.
    window->Texto()->setFocus(Qt::ActiveWindowFocusReason);
    // A window opened by the web synchronisation loads the exchange file at once.
    if (m_handover.ExchangePending(m_ctx.st.PendingEditFlags))
        window->Load();
    window->SetStatusText(QString());
    return window;
}

TEditorRTF* ReportWindows::Newest() const
{
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
        if (*it)
            return it->data();
    return nullptr;
}

std::vector<TEditorRTF*> ReportWindows::OpenWindows() const
{
    std::vector<TEditorRTF*> open;
    for (const auto& w : m_windows)
        if (w)
            open.push_back(w.data());
    return open;
}

bool ReportWindows::HandOverFromNewest(EditItem item)
{
    TEditorRTF* newest = Newest();
    if (!newest || !newest->Texto()->textCursor().hasSelection())
        return false;
    newest->HandOver(item);
    return true;
}

void ReportWindows::Add(TEditorRTF* window)
{
    m_windows.emplace_back(window);
    m_ctx.st.EditorOpenFlag = 1;
}

void ReportWindows::Remove(TEditorRTF* window)
{
    std::erase_if(m_windows,
                  [window](const QPointer<TEditorRTF>& w) { return w.isNull() || w.data() == window; });
    m_ctx.st.EditorOpenFlag = m_windows.empty() ? 0 : 1;
}

TEditorRTF* ShowReportWindow(QMdiArea* area, std::shared_ptr<ReportDocument> doc, Context& ctx,
                             HandoverRegistry& handover)
{
    return ReportWindows::Of(area, ctx, handover).Show(std::move(doc));
}

// ---- TEditorRTF ----------------------------------------------------------------------------------------

TEditorRTF::TEditorRTF(std::shared_ptr<ReportDocument> doc, ReportWindows& windows, QWidget* parent)
    : QWidget(parent), m_doc(std::move(doc)), m_windows(&windows), m_ctx(windows.Ctx())
{
    setObjectName(QStringLiteral("TEditorRTF"));
    setWindowTitle(m_doc->caption.isEmpty() ? QStringLiteral("EDITOR DE INFORMES") : m_doc->caption);
    m_subFolder = m_doc->saveSubFolder.isEmpty() ? m_ctx.st.CurrentSubFolder : m_doc->saveSubFolder;
    m_fileName = m_doc->saveFileName;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    layout->addWidget(m_toolBar);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Doc"));
    layout->addWidget(m_tabs, 1);

    BuildSheets();
    BuildToolBar();
    BuildEditMenu();
    BuildChartMenu();
    ScopeShortcutsToWidget(m_text, m_paneKeys);
    // Whatever gives the window the focus (its work area activating it) hands it to the text, not to the
    // first control of the tool bar.
    setFocusProxy(m_text);

    windows.Add(this);
    windows.Handover().ClearForNewWindow();
    resize(900, 650);
}

TEditorRTF::~TEditorRTF()
{
    if (m_windows)
        m_windows->Remove(this);
}

QAction* TEditorRTF::NewAction(const QString& name, const QString& text, const QKeySequence& key)
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (!key.isEmpty()) {
        // The pane takes these keys (ScopeShortcutsToWidget); elsewhere they stay the main menu's.
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
        m_paneKeys << action;
    }
    return action;
}

QAction* TEditorRTF::Action(const QString& name) const
{
    return findChild<QAction*>(name);
}

void TEditorRTF::BuildSheets()
{
    // Documento
    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("Texto"));
    m_text->setLineWrapMode(QTextEdit::NoWrap);
    m_text->setAcceptRichText(true);
    m_text->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_text, &QTextEdit::customContextMenuRequested, this,
            [this](const QPoint& pos) { OpenEditMenu(m_text->viewport()->mapToGlobal(pos)); });
    m_text->viewport()->installEventFilter(this);
    SetPaneText(*m_doc);
    m_tabs->addTab(m_text, QStringLiteral("Documento"));

    // Grafico
    m_panel = new WeekGraphView(this);
    m_panel->setObjectName(QStringLiteral("panel"));
    m_panel->SetGraph(m_doc->weekGraph);
    m_tabs->addTab(m_panel, QStringLiteral("Grafico"));

    // Barras: the bar chart and every chart control
    m_chart1 = new WeekChartView(WeekChartView::Kind::Bars, m_doc->barChart, this);
    m_chart1->setObjectName(QStringLiteral("Chart1"));
    auto* bars = new QWidget(this);
    auto* barsLayout = new QHBoxLayout(bars);
    barsLayout->addWidget(m_chart1, 1);
    barsLayout->addWidget(BuildChartControls());
    m_tabs->addTab(bars, QStringLiteral("Barras"));

    // Lineas
    m_chart2 = new WeekChartView(WeekChartView::Kind::Lines, m_doc->lineChart, this);
    m_chart2->setObjectName(QStringLiteral("Chart2"));
    m_tabs->addTab(m_chart2, QStringLiteral("Lineas"));

    // Tarta
    m_chart3 = new PieChartView(m_doc->pie, this);
    m_chart3->setObjectName(QStringLiteral("Chart3"));
    m_tabs->addTab(m_chart3, QStringLiteral("Tarta"));

    // Fotos
    auto* scroll = new QScrollArea(this);
    m_photo = new QLabel(scroll);
    m_photo->setObjectName(QStringLiteral("foto1"));
    m_photo->setAlignment(Qt::AlignCenter);
    scroll->setWidget(m_photo);
    scroll->setWidgetResizable(true);
    m_tabs->addTab(scroll, QStringLiteral("Fotos"));
    if (!m_doc->photoFile.isEmpty()) {
        const tl::expected<QImage, QString> picture = ReadPicture(m_doc->photoFile);
        if (picture) {
            m_photo->setPixmap(QPixmap::fromImage(*picture));
            m_photoFile = m_doc->photoFile;
        }
    }

    for (QWidget* chart : std::initializer_list<QWidget*>{m_chart1, m_chart2, m_chart3}) {
        chart->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(chart, &QWidget::customContextMenuRequested, this,
                [this, chart](const QPoint& pos) { OpenChartMenu(chart->mapToGlobal(pos)); });
    }
    connect(m_chart1, &WeekChartView::SeriesClicked, this, [this](int k, int index) {
        OnSeriesClicked(m_chart1, k, index, QGuiApplication::queryKeyboardModifiers());
    });
    connect(m_chart2, &WeekChartView::SeriesClicked, this, [this](int k, int index) {
        OnSeriesClicked(m_chart2, k, index, QGuiApplication::queryKeyboardModifiers());
    });

    for (std::size_t s = 0; s < kReportSheetCount; ++s)
        ShowSheet(static_cast<ReportSheet>(s), m_doc->SheetVisible(static_cast<ReportSheet>(s)));
}

QWidget* TEditorRTF::BuildChartControls()
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
        NewestChart1()->SetMarksVisible(on);
        NewestChart2()->SetMarksVisible(on);
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
        r->setChecked(value == m_doc->barChart.arrangement);
        av->addWidget(r);
        const BarArrangement a = value;
        connect(r, &QRadioButton::clicked, this, [this, a] { NewestChart1()->SetArrangement(a); });
    }
    v->addWidget(arrangement);

    const char* const seriesNames[] = {"sr1", "sr2", "SR3", "SR4", "SR5", "SR6"};
    for (int k = 0; k < 6; ++k) {
        auto* c = new QCheckBox(QStringLiteral("SR%1").arg(k + 1), box);
        c->setObjectName(QLatin1String(seriesNames[k]));
        // A series the graph left unnamed (" ") is off, and so is its box, hidden.
        const ReportSeries& series = m_doc->barChart.series[static_cast<std::size_t>(k)];
        c->setChecked(series.active);
        c->setVisible(series.title != QLatin1String(" "));
        v->addWidget(c);
        // This box's state, on the series of the newest window.
        connect(c, &QCheckBox::toggled, this, [this, k](bool on) {
            NewestChart1()->SetSeriesActive(k, on);
            NewestChart2()->SetSeriesActive(k, on);
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
        NewestChart1()->ShiftHorizontal(10);
        NewestChart2()->ShiftHorizontal(10);
    });
    connect(speed("Derecha", "►", "Desplazamiento derecha"), &QToolButton::clicked, this, [this] {
        NewestChart1()->ShiftHorizontal(-10);
        NewestChart2()->ShiftHorizontal(-10);
    });
    connect(speed("Abajo", "▼", "Desplazamiento abajo"), &QToolButton::clicked, this, [this] {
        NewestChart1()->ShiftVertical(10);
        NewestChart2()->ShiftVertical(10);
    });
    connect(speed("Arriba", "▲", "Desplazamiento arriba"), &QToolButton::clicked, this, [this] {
        NewestChart1()->ShiftVertical(-10);
        NewestChart2()->ShiftVertical(-10);
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
    m_pages = new QSpinBox(pages);
    m_pages->setObjectName(QStringLiteral("paginas"));
    m_pages->setRange(0, 10);
    m_pages->setValue(0);
    ph->addWidget(m_pages);
    connect(speed("PaginaSiguiente", "»", "Página siguiente"), &QToolButton::clicked, this, [this] {
        m_chart1->NextPage();
        m_chart2->NextPage();
    });
    connect(m_pages, &QSpinBox::valueChanged, this, [this](int n) {
        const int perPage = n <= 0 ? 52 : 52 / n;
        m_chart1->SetPointsPerPage(perPage);
        m_chart2->SetPointsPerPage(perPage);
    });
    v->addWidget(pages);
    v->addStretch(1);
    return box;
}

void TEditorRTF::BuildToolBar()
{
    auto toggle = [this](const char* name, const char* text, auto apply) {
        QAction* a = NewAction(QLatin1String(name), QString::fromUtf8(text));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, apply);
        m_toolBar->addAction(a);
        return a;
    };
    QFont bold;
    bold.setBold(true);
    toggle("Negrita", "N", [this](bool on) {
        QTextCharFormat f;
        f.setFontWeight(on ? QFont::Bold : QFont::Normal);
        MergeFormat(f);
    })->setFont(bold);
    toggle("Subrayado", "S", [this](bool on) {
        QTextCharFormat f;
        f.setFontUnderline(on);
        MergeFormat(f);
    });
    toggle("Cursiva", "C", [this](bool on) {
        QTextCharFormat f;
        f.setFontItalic(on);
        MergeFormat(f);
    });
    toggle("Tachado", "T", [this](bool on) {
        QTextCharFormat f;
        f.setFontStrikeOut(on);
        MergeFormat(f);
    });
    m_toolBar->addSeparator();

    auto plain = [this](const char* name, const char* text, const char* hint, auto run) {
        QAction* a = NewAction(QLatin1String(name), QString::fromUtf8(text));
        if (hint)
            a->setToolTip(QString::fromUtf8(hint));
        connect(a, &QAction::triggered, this, run);
        m_toolBar->addAction(a);
        return a;
    };
    plain("Imprimir", "Imprimir", "Lanzar Impresión", [this] { Print(); });
    plain("Marcado", "•", "Marcado", [this] { ToggleBullet(); });
    plain("AumentarSangrado", "→|", "Aumentar Sangrado", [this] { MoveIndent(kIndentStepPoints); });
    plain("ReducirSangrado", "|←", "Reducir Sangrado", [this] { MoveIndent(-kIndentStepPoints); });
    plain("AlinearIzquierda", "I", nullptr, [this] { m_text->setAlignment(Qt::AlignLeft); });
    plain("Centrar", "C", nullptr, [this] { m_text->setAlignment(Qt::AlignHCenter); });
    plain("AlinearDerecha", "D", nullptr, [this] { m_text->setAlignment(Qt::AlignRight); });
    plain("TiposLetras", "Tipos Letras", "Tipos Letras", [this] { ChooseFont(); });

    m_fontName = new QFontComboBox(m_toolBar);
    m_fontName->setObjectName(QStringLiteral("TipoLetra"));
    m_toolBar->addWidget(m_fontName);
    connect(m_fontName, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
        if (m_updatingToolBar)
            return;
        QTextCharFormat f;
        f.setFontFamilies(QStringList{font.family()});
        MergeFormat(f);
    });
    m_fontSize = new QLineEdit(m_toolBar);
    m_fontSize->setObjectName(QStringLiteral("Puntos"));
    m_fontSize->setMaximumWidth(40);
    m_toolBar->addWidget(m_fontSize);
    connect(m_fontSize, &QLineEdit::returnPressed, this, [this] {
        bool ok = false;
        const double size = m_fontSize->text().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok || size <= 0)
            return;
        QTextCharFormat f;
        f.setFontPointSize(size);
        MergeFormat(f);
    });
    m_toolBar->addSeparator();

    plain("FotoBarra", "&Foto", nullptr, [this] { OpenPictures(); });
    plain("Mail", "&Mail", nullptr, [this] { Mail(); });
    plain("Salir", "&Salir", nullptr, [this] { CloseWindow(); });
    plain("Salvar", "Sal&var", nullptr, [this] { Save(); });
    plain("Cargar", "&Cargar", nullptr, [this] { Load(); });
    plain("Word", "&W", nullptr, [this] { ExportWord(); });
    plain("Excel", "&Ex", nullptr, [this] { ExportSpreadsheet(); });

    m_status = new QLabel(m_toolBar);
    m_status->setObjectName(QStringLiteral("Etiqueta"));
    m_toolBar->addWidget(m_status);

    connect(m_text, &QTextEdit::currentCharFormatChanged, this, [this] { UpdateToolBar(); });
    connect(m_text, &QTextEdit::cursorPositionChanged, this, [this] { UpdateToolBar(); });
    UpdateToolBar();
}

void TEditorRTF::BuildEditMenu()
{
    m_editMenu = new QMenu(this);
    m_editMenu->setObjectName(QStringLiteral("Editmenu"));
    auto item = [this](const char* name, const char* text, const QKeySequence& key, auto run) {
        QAction* a = NewAction(QLatin1String(name), QString::fromUtf8(text), key);
        connect(a, &QAction::triggered, this, run);
        m_editMenu->addAction(a);
        return a;
    };
    item("Copiar", "&Copiar", QKeySequence(Qt::CTRL | Qt::Key_C), [this] { m_text->copy(); });
    item("Pegar", "&Pegar", QKeySequence(Qt::CTRL | Qt::Key_V), [this] { m_text->paste(); });
    item("Borrar", "&Borrar", QKeySequence(Qt::CTRL | Qt::Key_X), [this] { m_text->cut(); });
    item("ImprimirDirecto", "&Imprimir", QKeySequence(Qt::CTRL | Qt::Key_P), [this] { PrintDirect(); });
    item("Deshacer", "&Deshacer", QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { m_text->undo(); });
    QMenu* edit = m_editMenu->addMenu(QStringLiteral("&Editar"));
    edit->setObjectName(QStringLiteral("Editar"));
    for (const EditItemInfo& info : EditMenuItems()) {
        const QString caption = QString::fromUtf8(info.caption);
        QAction* a = NewAction(QStringLiteral("Editar.") + QString(caption).remove(QLatin1Char('&')), caption,
                               QKeySequence(Qt::CTRL | Qt::ALT | static_cast<Qt::Key>(info.key)));
        const EditItem which = info.item;
        connect(a, &QAction::triggered, this, [this, which] { HandOver(which); });
        edit->addAction(a);
    }
    item("SeleccTodo", "Se&lecci Todo", QKeySequence(Qt::CTRL | Qt::Key_T), [this] { m_text->selectAll(); });
    item("MasInfo", "&Más Info", QKeySequence(Qt::CTRL | Qt::Key_M), [this] { MoreInfo(); });
    item("Foto", "&Foto", QKeySequence(Qt::CTRL | Qt::Key_F), [this] { ShowPhoto(); });
    item("SalirMenu", "&Salir", QKeySequence(Qt::CTRL | Qt::Key_S), [this] { CloseWindow(); });
}

void TEditorRTF::BuildChartMenu()
{
    m_chartMenu = new QMenu(this);
    m_chartMenu->setObjectName(QStringLiteral("grafMenu"));
    auto item = [this](QMenu* menu, const char* name, const char* text, auto run) {
        QAction* a = NewAction(QLatin1String(name), QString::fromUtf8(text));
        connect(a, &QAction::triggered, this, run);
        menu->addAction(a);
        return a;
    };
    item(m_chartMenu, "Graf3Dim", "&3Dim", [this] { m_dim3->toggle(); });
    // The newest window's box: it then acts on that window's own lines.
    item(m_chartMenu, "GrafPuntos", "&Puntos", [this] { NewestWindow()->m_points->toggle(); });
    item(m_chartMenu, "GrafValores", "&Valores", [this] { m_values->toggle(); });
    item(m_chartMenu, "GrafZoomIn", "Zoom&In",
         [this] { findChild<QPushButton*>(QStringLiteral("BitBtn3"))->click(); });
    item(m_chartMenu, "GrafResetZoom", "&ResetZoom",
         [this] { findChild<QPushButton*>(QStringLiteral("Button5"))->click(); });
    item(m_chartMenu, "GrafZoomOut", "Zoom&Out",
         [this] { findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click(); });
    item(m_chartMenu, "GrafSalvar", "&Salvar", [this] { SaveChart(); });
    item(m_chartMenu, "GrafImprimir", "Im&primir", [this] { PrintChart(); });
    item(m_chartMenu, "GrafCopiar", "&Copiar", [this] { CopyChart(); });
    QMenu* names = m_chartMenu->addMenu(QStringLiteral("&Edición"));
    names->setObjectName(QStringLiteral("Edicion"));
    item(names, "GrafTitulo", "&Titulo", [this] { RenameChartText(ChartText::Title); });
    item(names, "GrafEjeIzquierdo", "Eje &Izquierdo", [this] { RenameChartText(ChartText::LeftAxis); });
    item(names, "GrafEjeDerecho", "Eje &Derecho", [this] { RenameChartText(ChartText::RightAxis); });
    item(names, "GrafAbcisas", "&Abcisas", [this] { RenameChartText(ChartText::BottomAxis); });
}

bool TEditorRTF::SheetVisible(ReportSheet sheet) const
{
    return m_tabs->isTabVisible(static_cast<int>(sheet));
}

void TEditorRTF::ShowSheet(ReportSheet sheet, bool visible)
{
    m_tabs->setTabVisible(static_cast<int>(sheet), visible);
    if (!m_tabs->isTabVisible(m_tabs->currentIndex()))
        for (int i = 0; i < m_tabs->count(); ++i)
            if (m_tabs->isTabVisible(i)) {
                m_tabs->setCurrentIndex(i);
                break;
            }
}

QString TEditorRTF::StatusText() const
{
    return m_status->text();
}

void TEditorRTF::SetStatusText(const QString& text)
{
    m_status->setText(text);
}

ReportDocument TEditorRTF::PaneDocument() const
{
    ReportDocument doc(m_doc->caption);
    ReadReportText(*m_text->document(), doc);
    return doc;
}

void TEditorRTF::SetPaneText(const ReportDocument& doc)
{
    // The text goes into a document that has no layout yet and is then handed to the pane: filling the
    // pane's own document would lay the whole text out, line by line, before anything shows. Handed over
    // whole, the pane lays out what is on screen and the rest in the background.
    // The pane deletes a document of its own when it gets another; one of ours goes here.
    const QPointer<QTextDocument> old = m_text->document();
    auto* text = new QTextDocument(m_text);
    text->setUndoRedoEnabled(false);
    RenderReportText(doc, *text);
    text->setUndoRedoEnabled(true);
    m_text->setDocument(text);
    if (old && old->parent() == m_text)
        delete old.data();
    m_text->moveCursor(QTextCursor::Start);
}

QString TEditorRTF::SelectedText() const
{
    QString text = m_text->textCursor().selectedText();
    text.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\r'));
    return text;
}

void TEditorRTF::CopyPaneToClipboard()
{
    m_text->selectAll();
    const QString text = m_text->toPlainText();
    if (!text.isEmpty())
        m_ctx.ui.SetClipboardText(text);
}

QString TEditorRTF::DataFolder(const QString& windowsSubFolder) const
{
    return ResolveSubFolder(m_ctx.st.BaseDir, windowsSubFolder);
}

QString TEditorRTF::ExchangeFolder() const
{
    return WebExchangeFolder(m_ctx.st.BaseDir);
}

// ---- Text tools ----------------------------------------------------------------------------------------

void TEditorRTF::MergeFormat(const QTextCharFormat& format)
{
    m_text->mergeCurrentCharFormat(format);
}

void TEditorRTF::MoveIndent(int points)
{
    QTextCursor cursor = m_text->textCursor();
    QTextBlockFormat f = cursor.blockFormat();
    f.setLeftMargin(std::max(0.0, f.leftMargin() + points * 20 / kTwipsPerPixel));
    cursor.setBlockFormat(f);
}

void TEditorRTF::ToggleBullet()
{
    QTextCursor cursor = m_text->textCursor();
    if (QTextList* list = cursor.currentList()) {
        QTextBlock block = cursor.block();
        list->remove(block);
        QTextBlockFormat f = cursor.blockFormat();
        f.setIndent(0);
        cursor.setBlockFormat(f);
        return;
    }
    cursor.createList(QTextListFormat::ListDisc);
}

void TEditorRTF::ChooseFont()
{
    QFont font = m_text->currentFont();
    const auto& hook = m_windows ? m_windows->Hooks().chooseFont : nullptr;
    bool accepted = false;
    if (hook) {
        accepted = hook(font, this);
    } else {
        font = QFontDialog::getFont(&accepted, font, this);
    }
    if (!accepted)
        return;
    QTextCharFormat f;
    f.setFont(font);
    MergeFormat(f);
}

void TEditorRTF::UpdateToolBar()
{
    m_updatingToolBar = true;
    const QTextCharFormat f = m_text->currentCharFormat();
    const ReportTextStyle s = StyleOf(f, m_text->document()->defaultFont());
    m_fontName->setCurrentFont(QFont(s.fontName));
    m_fontSize->setText(QString::number(s.PointSize()));
    Action(QStringLiteral("Negrita"))->setChecked(s.bold);
    Action(QStringLiteral("Subrayado"))->setChecked(s.underline);
    Action(QStringLiteral("Cursiva"))->setChecked(s.italic);
    Action(QStringLiteral("Tachado"))->setChecked(s.strikeOut);
    m_updatingToolBar = false;
}

// ---- Commands ------------------------------------------------------------------------------------------

void TEditorRTF::Print()
{
    QPrinter printer;
    printer.setDocName(QString::fromLatin1(kDocumentTitle));
    const auto& hook = m_windows ? m_windows->Hooks().printSetup : nullptr;
    bool accepted = false;
    if (hook) {
        accepted = hook(printer, this);
    } else {
        QPrintDialog dialog(&printer, this);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (accepted)
        PrintReportText(*m_text->document(), printer);
}

void TEditorRTF::PrintDirect()
{
    QPrinter printer;
    printer.setDocName(QString::fromLatin1(kDocumentTitle));
    if (m_windows && m_windows->Hooks().directPrinter)
        m_windows->Hooks().directPrinter(printer);
    // With no printer installed Qt falls back to a PDF file without a name: the listing would go nowhere.
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    const bool toPrinter = printer.outputFormat() == QPrinter::NativeFormat &&
                           !printer.printerName().isEmpty() && !QPrinterInfo::availablePrinters().isEmpty();
    if (!toFile && !toPrinter) {
        m_ctx.ui.ShowMessage(QStringLiteral("NO HAY IMPRESORA INSTALADA"));
        return;
    }
    PrintReportText(*m_text->document(), printer);
}

void TEditorRTF::Save()
{
    FileDialogRequest request;
    request.save = true;
    request.caption = QStringLiteral("Salvar Informe");
    const QString folder = DataFolder(m_subFolder);
    request.folder = QFileInfo(folder).isDir() ? folder : m_ctx.st.BaseDir;
    request.fileName = m_fileName;
    request.filters = QStringList{QStringLiteral("Ficheros Texto (*.rtf)")};
    const std::optional<QString> path = m_ctx.ui.ChooseFile(request);
    if (!path)
        return;
    if (!m_ctx.ui.AskYesNo(QStringLiteral("Salvar ") + *path + QLatin1Char('?')))
        return;
    if (!SaveReportRtf(*path, PaneDocument()))
        m_ctx.ui.ShowMessage(QStringLiteral("No se ha podido salvar ") + *path);
}

void TEditorRTF::Load()
{
    static const HandoverRegistry none;
    const ExchangeLoad exchange =
        LoadExchangeFiles(m_windows ? m_windows->Handover() : none, m_ctx.st.PendingEditFlags,
                          m_ctx.st.CurrentEnvironment, ExchangeFolder());
    if (exchange.pending) {
        if (exchange.loaded) {
            ReportDocument doc;
            SetPlainText(doc, exchange.text);
            SetPaneText(doc);
        }
        // The import gateway takes the lines from the clipboard.
        CopyPaneToClipboard();
        return;
    }
    FileDialogRequest request;
    request.caption = QStringLiteral("Cargar Fichero TEXTO");
    const QString folder = DataFolder(m_subFolder);
    request.folder = QFileInfo(folder).isDir() ? folder : m_ctx.st.BaseDir;
    request.fileName = QStringLiteral("*.*");
    request.filters =
        QStringList{QStringLiteral("Ficheros Texto (*.rtf)"), QStringLiteral("Ficheros Texto (*.txt)")};
    const std::optional<QString> path = m_ctx.ui.ChooseFile(request);
    if (!path)
        return;
    if (!m_ctx.ui.AskYesNo(QStringLiteral("Cargar Fichero ") + *path + QLatin1Char('?')))
        return;
    ReportDocument doc;
    if (!LoadReportFile(*path, doc)) {
        m_ctx.ui.ShowMessage(QStringLiteral("No se ha podido cargar ") + *path);
        return;
    }
    SetPaneText(doc);
}

void TEditorRTF::Mail()
{
    // The composer starts its message with what the clipboard holds.
    CopyPaneToClipboard();
    if (m_windows && m_windows->Hooks().openMailComposer) {
        m_windows->Hooks().openMailComposer();
        return;
    }
    auto* composer = new MailComposer(m_ctx, window());
    composer->show();
}

QString TEditorRTF::ExportFolder() const
{
    if (m_windows && !m_windows->Hooks().exportFolder.isEmpty())
        return m_windows->Hooks().exportFolder;
    return QDir::tempPath() + QStringLiteral("/gim");
}

void TEditorRTF::Export(const QString& suffix, const QByteArray& bytes)
{
    CopyPaneToClipboard();
    const QString folder = ExportFolder();
    const QString path = WriteExportFile(folder, QStringLiteral("informe"), suffix, bytes);
    if (path.isEmpty()) {
        m_ctx.ui.ShowMessage(QStringLiteral("No se ha podido crear el fichero en ") + folder);
        return;
    }
    if (!m_ctx.shell.OpenPath(path))
        m_ctx.ui.ShowMessage(QStringLiteral("No se ha podido abrir ") + path);
}

void TEditorRTF::ExportWord()
{
    Export(QStringLiteral("rtf"), WriteRtf(PaneDocument()));
}

void TEditorRTF::ExportSpreadsheet()
{
    Export(QStringLiteral("csv"), CsvBytes(PaneDocument()));
}

void TEditorRTF::MoreInfo()
{
    State& st = m_ctx.st;
    const QString selection = SelectedText();

    st.FoundMachine.Codigo = selection.left(8);
    FindMachine(m_ctx, st.FileName(DataFile::Machine), st.FoundMachine);
    if (st.FoundMachine.Denominacion != "NO EXISTE LA MAQUINA") {
        m_ctx.ui.ShowMessage(st.FoundMachine.Denominacion.str());
        return;
    }

    auto openPicture = [&](const QString& folderName, const QString& subFolder) {
        const QString folder = DataFolder(QLatin1Char('\\') + folderName + QLatin1Char('\\') +
                                          st.CurrentEnvironment + QLatin1Char('\\'));
        for (const QString& name : {selection, QLatin1Char('#') + selection}) {
            if (selection.isEmpty() || !QFileInfo(folder + QLatin1Char('/') + name).isFile())
                continue;
            st.CurrentSubFolder = subFolder;
            OpenPictureViewer(folder, name);
            return true;
        }
        return false;
    };
    if (openPicture(QStringLiteral("FOTOS"),
                    QStringLiteral("\\FOTOS\\") + st.CurrentEnvironment + QLatin1Char('\\')))
        return;
    if (openPicture(QStringLiteral("PROCEDIM"),
                    QStringLiteral("\\procedim\\") + st.CurrentEnvironment + QLatin1Char('\\')))
        return;

    TPersonnelRecord person{};
    person.Matricula = selection.left(6);
    FindPerson(m_ctx, st.PersonnelFileName, person);
    if (person.Apellidos != "NO EXISTE LA PERSONA") {
        st.FoundPerson = person;
        m_ctx.ui.ShowMessage(person.Nombre.str() + QLatin1Char(' ') + person.Apellidos.str());
    }
}

void TEditorRTF::ShowPhoto()
{
    // The window's folder and the environment, worked out afresh each time: repeated use must not keep
    // lengthening the folder.
    const QString folder =
        DataFolder(m_subFolder + QLatin1Char('\\') + m_ctx.st.CurrentEnvironment + QLatin1Char('\\'));
    const QString path = folder + QStringLiteral("/#") + SelectedText() + QStringLiteral(".jpg");
    if (!QFileInfo(path).isFile()) {
        m_ctx.ui.ShowMessage(QStringLiteral("No existe Foto asignada"));
        return;
    }
    if (!SetPhoto(path))
        return;
    ShowSheet(ReportSheet::Fotos, true);
    m_tabs->setCurrentIndex(static_cast<int>(ReportSheet::Fotos));
}

bool TEditorRTF::SetPhoto(const QString& path)
{
    const tl::expected<QImage, QString> picture = ReadPicture(path);
    if (!picture) {
        m_ctx.ui.ShowMessage(picture.error());
        return false;
    }
    m_photo->setPixmap(QPixmap::fromImage(*picture));
    m_photoFile = path;
    return true;
}

void TEditorRTF::OpenPictureViewer(const QString& folder, const QString& file)
{
    if (m_windows && m_windows->Hooks().openPictureViewer) {
        m_windows->Hooks().openPictureViewer(folder, file);
        return;
    }
    auto* viewer = new PictureViewer(m_ctx, window());
    if (file.isEmpty())
        viewer->Start();
    else
        viewer->StartWith(folder + QLatin1Char('/') + file);
}

void TEditorRTF::OpenPictures()
{
    // The viewer opens its dialog in CurrentSubFolder: this window's folder.
    m_ctx.st.CurrentSubFolder = m_subFolder;
    OpenPictureViewer(DataFolder(m_subFolder), QString());
}

void TEditorRTF::HandOver(EditItem item)
{
    if (m_windows)
        m_windows->Handover().HandOver(m_ctx.st.PendingEditFlags, item, SelectedText());
    QTextCursor cursor = m_text->textCursor();
    cursor.movePosition(QTextCursor::Start);
    m_text->setTextCursor(cursor);
}

void TEditorRTF::CloseWindow()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void TEditorRTF::OpenEditMenu(const QPoint& globalPos)
{
    m_ctx.st.PendingEditFlags.fill(0);
    m_editMenu->popup(globalPos);
}

void TEditorRTF::OpenChartMenu(const QPoint& globalPos)
{
    m_chartMenu->popup(globalPos);
}

bool TEditorRTF::eventFilter(QObject* watched, QEvent* event)
{
    // Ctrl + mouse button on the pane looks the selection up, leaving the selection as it is.
    if (watched == m_text->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->modifiers() & Qt::ControlModifier) {
            MoreInfo();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Charts --------------------------------------------------------------------------------------------

TEditorRTF* TEditorRTF::NewestWindow() const
{
    TEditorRTF* newest = m_windows ? m_windows->Newest() : nullptr;
    return newest ? newest : const_cast<TEditorRTF*>(this);
}

WeekChartView* TEditorRTF::NewestChart1() const
{
    return NewestWindow()->m_chart1;
}

WeekChartView* TEditorRTF::NewestChart2() const
{
    return NewestWindow()->m_chart2;
}

QWidget* TEditorRTF::ChartByAnswer(const QString& answer, bool lineByDefault)
{
    if (answer == QLatin1String("B"))
        return m_chart1;
    if (answer == QLatin1String("T"))
        return m_chart3;
    if (answer == QLatin1String("L") || lineByDefault)
        return m_chart2;
    return nullptr;
}

void TEditorRTF::SaveChart()
{
    FileDialogRequest request;
    request.save = true;
    const QString folder = DataFolder(m_subFolder);
    request.folder = QFileInfo(folder).isDir() ? folder : m_ctx.st.BaseDir;
    request.fileName = QStringLiteral("*.bmp");
    const std::optional<QString> path = m_ctx.ui.ChooseFile(request);
    if (!path)
        return;
    // The extension is added below; one typed by the user is not doubled.
    QString name = *path;
    if (name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
        name.chop(4);
    if (!m_ctx.ui.AskYesNo(QStringLiteral("Salvar ") + name + QStringLiteral(".bmp")))
        return;
    ModeCodeGuard guard(m_ctx);
    m_ctx.st.AnswerCode = m_ctx.ui
                              .InputBox(QStringLiteral("GRABAR GRAFICOS Formato *.bmp "),
                                        QString::fromUtf8(kChartPrompt), QStringLiteral("B"))
                              .left(2);
    QWidget* chart = ChartByAnswer(m_ctx.st.AnswerCode, false);
    if (!chart)
        return;
    const QImage image =
        chart == m_chart3 ? m_chart3->Snapshot() : static_cast<WeekChartView*>(chart)->Snapshot();
    if (!image.save(name + QStringLiteral(".bmp"), "BMP"))
        m_ctx.ui.ShowMessage(QStringLiteral("No se ha podido salvar ") + name + QStringLiteral(".bmp"));
}

void TEditorRTF::PrintChart()
{
    ModeCodeGuard guard(m_ctx);
    m_ctx.st.AnswerCode = m_ctx.ui
                              .InputBox(QStringLiteral("IMPRESIÓN DE GRAFICOS "),
                                        QString::fromUtf8(kChartPrompt), QStringLiteral("B"))
                              .left(2);
    QWidget* chart = ChartByAnswer(m_ctx.st.AnswerCode, true);
    if (m_windows && m_windows->Hooks().previewChart) {
        m_windows->Hooks().previewChart(chart, this);
        return;
    }
    QPrintPreviewDialog preview(this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [chart](QPrinter* printer) { PrintWidget(chart, *printer); });
    preview.exec();
}

void TEditorRTF::CopyChart()
{
    ModeCodeGuard guard(m_ctx);
    m_ctx.st.AnswerCode = m_ctx.ui
                              .InputBox(QStringLiteral("COPIA EN MEMORIA"), QString::fromUtf8(kChartPrompt),
                                        QStringLiteral("B"))
                              .left(2);
    QWidget* chart = ChartByAnswer(m_ctx.st.AnswerCode, true);
    const QImage image =
        chart == m_chart3 ? m_chart3->Snapshot() : static_cast<WeekChartView*>(chart)->Snapshot();
    QGuiApplication::clipboard()->setImage(image);
}

void TEditorRTF::RenameChartText(ChartText which)
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
    const QString answer = m_ctx.ui.InputBox(QStringLiteral("EDICION SELECTIVA NOMBRES DE EJES "),
                                             QStringLiteral("INTRODUCIR NUEVO NOMBRE"), current);
    for (WeekChartView* chart : {NewestChart1(), NewestChart2()}) {
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

void TEditorRTF::OnSeriesClicked(WeekChartView* chart, int k, int pointIndex, Qt::KeyboardModifiers modifiers)
{
    if (chart == m_chart1 && (modifiers & Qt::ControlModifier)) {
        m_ctx.ui.ShowMessage(chart->Model().series.at(static_cast<std::size_t>(k)).component +
                             QStringLiteral(" en la semana: ") + QString::number(pointIndex + 1));
        return;
    }
    chart->MoveSeriesEarlier(k);
}

} // namespace gim
