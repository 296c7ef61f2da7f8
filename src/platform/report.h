#pragma once

#include "records/cp1252.h"
#include "records/short_string.h"
#include "records/week_graph_record.h"

#include <QPointF>
#include <QString>
#include <QStringList>
#include <array>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

namespace gim {

// Colours are 0xRRGGBB.
inline constexpr std::uint32_t kReportBlack = 0x000000;
inline constexpr std::uint32_t kReportRed = 0xFF0000;
inline constexpr std::uint32_t kReportBlue = 0x0000FF;
inline constexpr std::uint32_t kReportGreen = 0x008000;
inline constexpr std::uint32_t kReportOlive = 0x808000;
inline constexpr std::uint32_t kReportMaroon = 0x800000;
inline constexpr std::uint32_t kReportFuchsia = 0xFF00FF;
inline constexpr std::uint32_t kReportYellow = 0xFFFF00;
inline constexpr std::uint32_t kReportLime = 0x00FF00;
inline constexpr std::uint32_t kReportSilver = 0xC0C0C0;
inline constexpr std::uint32_t kReportGray = 0x808080;
inline constexpr std::uint32_t kReportOrange = 0xFF8040;

// How a run of text looks.
struct ReportTextStyle
{
    static constexpr const char* kDefaultFont = "Arial";

    QString fontName = QString::fromLatin1(kDefaultFont);
    int halfPoints = 20; // font size in half points, as RTF keeps it
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint32_t colour = kReportBlack;

    double PointSize() const { return halfPoints / 2.0; }
    bool operator==(const ReportTextStyle&) const = default;
};

// The four style flags of ReportDocument::SetStyle, combined with |.
struct FontStyle
{
    static constexpr unsigned Normal = 0;
    static constexpr unsigned Bold = 1;
    static constexpr unsigned Italic = 2;
    static constexpr unsigned Underline = 4;
    static constexpr unsigned StrikeOut = 8;
};

enum class ReportAlignment : std::uint8_t { Left, Center, Right, Justify };

// Paragraph settings: tab stops and indents in twips (1/20 point), as RTF keeps them.
struct ReportParagraphFormat
{
    std::vector<int> tabStops;
    ReportAlignment alignment = ReportAlignment::Left;
    int leftIndent = 0;
    int firstIndent = 0; // of the first line, relative to leftIndent
    bool bullet = false;

    bool operator==(const ReportParagraphFormat&) const = default;
};

struct ReportRun
{
    QString text;
    std::uint16_t style = 0; // index into ReportDocument::Styles()
};

// One paragraph. It always holds at least one run; only an empty line holds an empty run, which keeps
// the style the line was written in (its height on screen).
struct ReportLine
{
    std::vector<ReportRun> runs;
    std::uint16_t paragraph = 0; // index into ReportDocument::Paragraphs()

    QString Text() const;
};

// The sheets of the report window.
enum class ReportSheet : std::uint8_t { Documento, Grafico, Barras, Lineas, Tarta, Fotos };
inline constexpr std::size_t kReportSheetCount = 6;

// Arrangement of the bar series: "Normal" (overlapping), "Al Lado", "Apilado", "Porcentual".
enum class BarArrangement : std::uint8_t { Normal, SideBySide, Stacked, Percent };

struct ReportSeries
{
    QString component; // "Series1", "LineSeries1": named in the Ctrl+click message
    QString title;
    std::uint32_t colour = kReportBlack;
    bool active = true;
    bool rightAxis = false;
    std::vector<QPointF> points; // x = week
};

// The bar chart (sheet Barras) or the line chart (sheet Lineas): six series over the weeks.
struct ReportChart
{
    QStringList title{QString()}; // lines; the first starts empty and the graph routines add theirs
    QString leftAxisTitle;
    QString rightAxisTitle;
    QString bottomAxisTitle = QStringLiteral("SEMANAS");
    std::array<ReportSeries, 6> series;
    BarArrangement arrangement = BarArrangement::SideBySide; // bar chart only

    static ReportChart Bars();
    static ReportChart Lines();
};

struct ReportPieSlice
{
    QString label;
    double value = 0;
    std::uint32_t colour = kReportBlack;
};

// Slice colours 1 to 6 of the pie sheet.
inline constexpr std::array<std::uint32_t, 6> kPieSliceColours{kReportRed,  kReportFuchsia, kReportYellow,
                                                               kReportBlue, kReportGreen,   kReportBlack};

struct ReportPie
{
    QStringList title{QString()};
    std::vector<ReportPieSlice> slices;
};

// The data of the hand-drawn weekly graph (sheet Grafico); the drawing itself belongs to the view.
struct ReportWeekGraph
{
    QString title;
    QString environment;
    QString firmName;
    std::array<QString, 6> names;
    std::uint32_t maxValue = 0;
    std::vector<TWeekGraphRecord> weeks; // index = week of the year, 0 to 52
};

// A listing as the report window shows it: caption, paragraphs of styled runs, charts, the weekly graph,
// a photo, and where the window saves it. Listings write it through the pen-like calls below (set the
// font, size, style or colour, then add lines), much as they would type into a rich-text box; the Qt
// window renders it, and tests read Text() or Transcript().
class ReportDocument
{
public:
    explicit ReportDocument(QString caption = {});

    QString caption;

    // Pen: applies to the lines added after the call.
    void SetFontName(const QString& name);
    void SetFontSize(int points);
    void SetFontHalfPoints(int halfPoints);
    // Replaces bold, italic, underline and strike-out at once (FontStyle flags).
    void SetStyle(unsigned fontStyles);
    void SetBold(bool on);
    void SetItalic(bool on);
    void SetUnderline(bool on);
    void SetStrikeOut(bool on);
    void SetColour(std::uint32_t rgb);
    void SetTextStyle(const ReportTextStyle& style);
    const ReportTextStyle& CurrentStyle() const { return m_styles[m_style]; }

    // Paragraph settings for the lines added after the call.
    void SetTabStops(const std::vector<int>& points);
    void SetTabStops(std::initializer_list<int> points) { SetTabStops(std::vector<int>(points)); }
    void SetAlignment(ReportAlignment alignment);
    void SetIndents(int leftPoints, int firstLinePoints);
    void SetBullet(bool on);
    void SetParagraphFormat(const ReportParagraphFormat& format);
    const ReportParagraphFormat& CurrentParagraph() const { return m_paragraphs[m_paragraph]; }

    // Adds a paragraph in the current style. A line break inside the text starts a further paragraph;
    // one at its very end adds none, so AddLine("\r") writes one empty line.
    void AddLine(const QString& text);
    // The columns joined by TAB, as one line.
    void AddColumns(std::initializer_list<QString> columns);
    // Continues the last paragraph in the current style (starts one when there is none).
    void Append(const QString& text);
    // Removes every paragraph; the pen and the charts stay.
    void ClearText();

    const std::vector<ReportLine>& Lines() const { return m_lines; }
    const std::vector<ReportTextStyle>& Styles() const { return m_styles; }
    const std::vector<ReportParagraphFormat>& Paragraphs() const { return m_paragraphs; }
    int LineCount() const { return static_cast<int>(m_lines.size()); }
    QString LineText(int index) const { return m_lines.at(static_cast<std::size_t>(index)).Text(); }
    const ReportTextStyle& StyleOf(const ReportRun& run) const { return m_styles[run.style]; }
    const ReportParagraphFormat& ParagraphOf(const ReportLine& line) const
    {
        return m_paragraphs[line.paragraph];
    }

    // The text alone: paragraphs joined by '\n'.
    QString Text() const;
    // The text with the caption, every change of paragraph settings ("TABS: 20 80") and every change of
    // style ("{13 b}" before the text that takes it), for tests and golden files. Charts, graph and
    // photo follow as short summaries.
    QString Transcript() const;
    // Same paragraphs, texts, styles and paragraph settings (style and paragraph tables may differ).
    bool SameText(const ReportDocument& other) const;

    // Sheets: on creation only Documento is visible; the graph routines show the sheets they fill.
    void ShowSheet(ReportSheet sheet, bool visible = true)
    {
        m_sheets[static_cast<std::size_t>(sheet)] = visible;
    }
    bool SheetVisible(ReportSheet sheet) const { return m_sheets[static_cast<std::size_t>(sheet)]; }

    ReportChart barChart = ReportChart::Bars();
    ReportChart lineChart = ReportChart::Lines();
    ReportPie pie;
    std::optional<ReportWeekGraph> weekGraph;
    QString photoFile; // absolute path of the picture on the Fotos sheet

    // Where "Sal&var" proposes to save: a sub-folder of the data folder ("\Informes") and a file name.
    // Kept per window. An empty sub-folder takes CurrentSubFolder when the window opens.
    QString saveSubFolder;
    QString saveFileName = QStringLiteral("*.rtf");

private:
    std::uint16_t InternStyle(const ReportTextStyle& style);
    std::uint16_t InternParagraph(const ReportParagraphFormat& format);
    void ChangeStyle(const ReportTextStyle& style) { m_style = InternStyle(style); }
    void ChangeParagraph(const ReportParagraphFormat& format) { m_paragraph = InternParagraph(format); }
    void NewLine(const QString& text);
    void AppendRun(ReportLine& line, const QString& text);

    std::vector<ReportLine> m_lines;
    std::vector<ReportTextStyle> m_styles{ReportTextStyle{}};
    std::vector<ReportParagraphFormat> m_paragraphs{ReportParagraphFormat{}};
    std::uint16_t m_style = 0;
    std::uint16_t m_paragraph = 0;
    std::array<bool, kReportSheetCount> m_sheets{true, false, false, false, false, false};
};

// One report line written column by column into a buffer kept from line to line, then added to the
// report at its exact size: listings write a line for each of up to hundreds of thousands of records,
// and a temporary text for every column, or a line text with room to spare, costs more than the record.
class ReportLineText
{
public:
    ReportLineText() { m_text.reserve(256); }

    ReportLineText& Tab()
    {
        m_text += QLatin1Char('\t');
        return *this;
    }
    ReportLineText& operator<<(QStringView text)
    {
        m_text += text;
        return *this;
    }
    ReportLineText& operator<<(QLatin1StringView text)
    {
        m_text += text;
        return *this;
    }
    ReportLineText& operator<<(QChar c)
    {
        m_text += c;
        return *this;
    }
    // A whole number in decimal, as QString::number writes it.
    template <std::integral I>
    requires(!std::same_as<I, bool> && !std::same_as<I, char>) ReportLineText& operator<<(I n)
    {
        if constexpr (std::signed_integral<I>)
            AppendNumber(n < 0, n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n));
        else
            AppendNumber(false, static_cast<std::uint64_t>(n));
        return *this;
    }
    // A record's text field, decoded from Windows-1252 straight into the line.
    template <std::size_t N> ReportLineText& operator<<(const ShortString<N>& field)
    {
        AppendCp1252(m_text, field.bytes());
        return *this;
    }

    // Windows-1252 bytes, such as the start of a record's field.
    ReportLineText& Cp1252(std::string_view bytes)
    {
        AppendCp1252(m_text, bytes);
        return *this;
    }

    QStringView Text() const { return m_text; }
    // Adds the line to the report in its current pen, and starts the next one.
    void AddTo(ReportDocument& report);

private:
    void AppendNumber(bool negative, std::uint64_t magnitude);

    QString m_text;
};

} // namespace gim
