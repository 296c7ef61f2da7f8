#include "platform/report.h"

#include <algorithm>
#include <limits>

namespace gim {

namespace {

constexpr std::array<std::uint32_t, 6> kSeriesColours{kReportRed,  kReportFuchsia, kReportOrange,
                                                      kReportBlue, kReportLime,    kReportSilver};

ReportChart MakeChart(const QString& component, const QString& leftTitle)
{
    ReportChart chart;
    chart.leftAxisTitle = leftTitle;
    for (std::size_t k = 0; k < chart.series.size(); ++k) {
        chart.series[k].component = component + QString::number(k + 1);
        chart.series[k].colour = kSeriesColours[k];
    }
    return chart;
}

bool IsBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

QString PointsText(int twips)
{
    if (twips % 20 == 0)
        return QString::number(twips / 20);
    return QString::number(twips / 20.0, 'f', 2);
}

QString StyleMarker(const ReportTextStyle& s)
{
    QString m = QStringLiteral("{");
    if (s.fontName != QLatin1String(ReportTextStyle::kDefaultFont))
        m += s.fontName + QLatin1Char(' ');
    m += s.halfPoints % 2 == 0 ? QString::number(s.halfPoints / 2)
                               : QString::number(s.halfPoints / 2.0, 'f', 1);
    if (s.bold)
        m += QStringLiteral(" b");
    if (s.italic)
        m += QStringLiteral(" i");
    if (s.underline)
        m += QStringLiteral(" u");
    if (s.strikeOut)
        m += QStringLiteral(" s");
    if (s.colour != kReportBlack)
        m += QStringLiteral(" #%1").arg(s.colour, 6, 16, QLatin1Char('0'));
    return m + QLatin1Char('}');
}

QString ParagraphMarker(const ReportParagraphFormat& p)
{
    QString m = QStringLiteral("TABS:");
    for (int t : p.tabStops)
        m += QLatin1Char(' ') + PointsText(t);
    switch (p.alignment) {
    case ReportAlignment::Left:
        break;
    case ReportAlignment::Center:
        m += QStringLiteral(" ALIGN=C");
        break;
    case ReportAlignment::Right:
        m += QStringLiteral(" ALIGN=R");
        break;
    case ReportAlignment::Justify:
        m += QStringLiteral(" ALIGN=J");
        break;
    }
    if (p.leftIndent != 0 || p.firstIndent != 0)
        m += QStringLiteral(" INDENT=%1/%2").arg(PointsText(p.leftIndent), PointsText(p.firstIndent));
    if (p.bullet)
        m += QStringLiteral(" BULLET");
    return m;
}

QString NumberText(double v)
{
    return QString::number(v, 'g', 15);
}

void ChartTranscript(QString& out, const QString& name, const ReportChart& chart, bool bars)
{
    out += name + QStringLiteral(": ") + chart.title.join(QStringLiteral(" | ")) + QLatin1Char('\n');
    out += QStringLiteral("  axes: ") + chart.bottomAxisTitle + QStringLiteral(" / ") + chart.leftAxisTitle +
           QStringLiteral(" / ") + chart.rightAxisTitle;
    if (bars) {
        static const char* const names[] = {"Normal", "Al Lado", "Apilado", "Porcentual"};
        out += QStringLiteral(" / ") + QLatin1String(names[static_cast<int>(chart.arrangement)]);
    }
    out += QLatin1Char('\n');
    for (const ReportSeries& s : chart.series) {
        if (s.points.empty() && s.active)
            continue;
        out += QStringLiteral("  ") + s.component + QStringLiteral(" '") + s.title + QLatin1Char('\'');
        if (!s.active)
            out += QStringLiteral(" inactive");
        if (s.rightAxis)
            out += QStringLiteral(" right");
        out += QLatin1Char(':');
        for (const QPointF& p : s.points)
            out += QLatin1Char(' ') + NumberText(p.x()) + QLatin1Char('=') + NumberText(p.y());
        out += QLatin1Char('\n');
    }
}

} // namespace

QString ReportLine::Text() const
{
    if (runs.size() == 1)
        return runs.front().text;
    QString text;
    for (const ReportRun& r : runs)
        text += r.text;
    return text;
}

ReportChart ReportChart::Bars()
{
    return MakeChart(QStringLiteral("Series"), QStringLiteral("MINUTOS / %"));
}

ReportChart ReportChart::Lines()
{
    return MakeChart(QStringLiteral("LineSeries"), QStringLiteral("MINUTOS/ %"));
}

ReportDocument::ReportDocument(QString caption_) : caption(std::move(caption_))
{
}

std::uint16_t ReportDocument::InternStyle(const ReportTextStyle& style)
{
    // Listings change the pen every few lines but use a handful of styles: a short scan is enough.
    for (std::size_t i = m_styles.size(); i-- > 0;)
        if (m_styles[i] == style)
            return static_cast<std::uint16_t>(i);
    if (m_styles.size() > std::numeric_limits<std::uint16_t>::max())
        return 0;
    m_styles.push_back(style);
    return static_cast<std::uint16_t>(m_styles.size() - 1);
}

std::uint16_t ReportDocument::InternParagraph(const ReportParagraphFormat& format)
{
    for (std::size_t i = m_paragraphs.size(); i-- > 0;)
        if (m_paragraphs[i] == format)
            return static_cast<std::uint16_t>(i);
    if (m_paragraphs.size() > std::numeric_limits<std::uint16_t>::max())
        return 0;
    m_paragraphs.push_back(format);
    return static_cast<std::uint16_t>(m_paragraphs.size() - 1);
}

void ReportDocument::SetFontName(const QString& name)
{
    ReportTextStyle s = CurrentStyle();
    s.fontName = name;
    ChangeStyle(s);
}

void ReportDocument::SetFontSize(int points)
{
    SetFontHalfPoints(points * 2);
}

void ReportDocument::SetFontHalfPoints(int halfPoints)
{
    ReportTextStyle s = CurrentStyle();
    s.halfPoints = std::max(1, halfPoints);
    ChangeStyle(s);
}

void ReportDocument::SetStyle(unsigned fontStyles)
{
    ReportTextStyle s = CurrentStyle();
    s.bold = (fontStyles & FontStyle::Bold) != 0;
    s.italic = (fontStyles & FontStyle::Italic) != 0;
    s.underline = (fontStyles & FontStyle::Underline) != 0;
    s.strikeOut = (fontStyles & FontStyle::StrikeOut) != 0;
    ChangeStyle(s);
}

void ReportDocument::SetBold(bool on)
{
    ReportTextStyle s = CurrentStyle();
    s.bold = on;
    ChangeStyle(s);
}

void ReportDocument::SetItalic(bool on)
{
    ReportTextStyle s = CurrentStyle();
    s.italic = on;
    ChangeStyle(s);
}

void ReportDocument::SetUnderline(bool on)
{
    ReportTextStyle s = CurrentStyle();
    s.underline = on;
    ChangeStyle(s);
}

void ReportDocument::SetStrikeOut(bool on)
{
    ReportTextStyle s = CurrentStyle();
    s.strikeOut = on;
    ChangeStyle(s);
}

void ReportDocument::SetColour(std::uint32_t rgb)
{
    // Listings set the colour on every line; most often it is the one already set.
    if (CurrentStyle().colour == (rgb & 0xFFFFFFu))
        return;
    ReportTextStyle s = CurrentStyle();
    s.colour = rgb & 0xFFFFFFu;
    ChangeStyle(s);
}

void ReportDocument::SetTextStyle(const ReportTextStyle& style)
{
    ChangeStyle(style);
}

void ReportDocument::SetTabStops(const std::vector<int>& points)
{
    ReportParagraphFormat p = CurrentParagraph();
    p.tabStops.clear();
    p.tabStops.reserve(points.size());
    for (int pt : points)
        p.tabStops.push_back(pt * 20);
    ChangeParagraph(p);
}

void ReportDocument::SetAlignment(ReportAlignment alignment)
{
    ReportParagraphFormat p = CurrentParagraph();
    p.alignment = alignment;
    ChangeParagraph(p);
}

void ReportDocument::SetIndents(int leftPoints, int firstLinePoints)
{
    ReportParagraphFormat p = CurrentParagraph();
    p.leftIndent = leftPoints * 20;
    p.firstIndent = firstLinePoints * 20;
    ChangeParagraph(p);
}

void ReportDocument::SetBullet(bool on)
{
    ReportParagraphFormat p = CurrentParagraph();
    p.bullet = on;
    ChangeParagraph(p);
}

void ReportDocument::SetParagraphFormat(const ReportParagraphFormat& format)
{
    ChangeParagraph(format);
}

void ReportDocument::NewLine(const QString& text)
{
    ReportLine line;
    line.paragraph = m_paragraph;
    line.runs.push_back(ReportRun{text, m_style});
    m_lines.push_back(std::move(line));
}

void ReportDocument::AppendRun(ReportLine& line, const QString& text)
{
    if (text.isEmpty()) {
        if (line.runs.empty())
            line.runs.push_back(ReportRun{QString(), m_style});
        return;
    }
    if (line.runs.size() == 1 && line.runs.front().text.isEmpty()) {
        line.runs.front() = ReportRun{text, m_style};
        return;
    }
    if (!line.runs.empty() && line.runs.back().style == m_style) {
        line.runs.back().text += text;
        return;
    }
    line.runs.push_back(ReportRun{text, m_style});
}

void ReportDocument::AddLine(const QString& text)
{
    const auto breakAt = std::find_if(text.begin(), text.end(), IsBreak);
    if (breakAt == text.end()) { // the usual case
        NewLine(text);
        return;
    }
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (true) {
        qsizetype end = start;
        while (end < n && !IsBreak(text[end]))
            ++end;
        NewLine(text.mid(start, end - start));
        if (end == n)
            return;
        start = end +
                (text[end] == QLatin1Char('\r') && end + 1 < n && text[end + 1] == QLatin1Char('\n') ? 2 : 1);
        if (start == n)
            return;
    }
}

void ReportDocument::AddColumns(std::initializer_list<QString> columns)
{
    QString text;
    bool first = true;
    for (const QString& c : columns) {
        if (!first)
            text += QLatin1Char('\t');
        text += c;
        first = false;
    }
    AddLine(text);
}

void ReportDocument::Append(const QString& text)
{
    if (m_lines.empty()) {
        AddLine(text);
        return;
    }
    const auto breakAt = std::find_if(text.begin(), text.end(), IsBreak);
    if (breakAt == text.end()) {
        AppendRun(m_lines.back(), text);
        return;
    }
    const qsizetype first = breakAt - text.begin();
    AppendRun(m_lines.back(), text.left(first));
    qsizetype rest = first + (text[first] == QLatin1Char('\r') && first + 1 < text.size() &&
                                      text[first + 1] == QLatin1Char('\n')
                                  ? 2
                                  : 1);
    if (rest < text.size())
        AddLine(text.mid(rest));
}

void ReportDocument::ClearText()
{
    m_lines.clear();
}

QString ReportDocument::Text() const
{
    qsizetype size = 0;
    for (const ReportLine& l : m_lines)
        for (const ReportRun& r : l.runs)
            size += r.text.size() + 1;
    QString text;
    text.reserve(size);
    bool first = true;
    for (const ReportLine& l : m_lines) {
        if (!first)
            text += QLatin1Char('\n');
        first = false;
        for (const ReportRun& r : l.runs)
            text += r.text;
    }
    return text;
}

QString ReportDocument::Transcript() const
{
    QString out;
    out += QLatin1Char('[') + caption + QStringLiteral("]\n");
    const ReportTextStyle defaultStyle;
    const ReportParagraphFormat defaultParagraph;
    const ReportTextStyle* style = &defaultStyle;
    const ReportParagraphFormat* paragraph = &defaultParagraph;
    for (const ReportLine& l : m_lines) {
        const ReportParagraphFormat& p = m_paragraphs[l.paragraph];
        if (!(p == *paragraph)) {
            out += ParagraphMarker(p) + QLatin1Char('\n');
            paragraph = &p;
        }
        for (const ReportRun& r : l.runs) {
            const ReportTextStyle& s = m_styles[r.style];
            if (!(s == *style)) {
                out += StyleMarker(s);
                style = &s;
            }
            out += r.text;
        }
        out += QLatin1Char('\n');
    }
    if (!SheetVisible(ReportSheet::Documento))
        out += QStringLiteral("DOCUMENTO OCULTO\n");
    if (weekGraph && SheetVisible(ReportSheet::Grafico)) {
        out += QStringLiteral("GRAFICO: ") + weekGraph->title + QStringLiteral(" max=") +
               QString::number(weekGraph->maxValue);
        for (const QString& n : weekGraph->names)
            out += QStringLiteral(" '") + n + QLatin1Char('\'');
        out += QStringLiteral(" weeks=") + QString::number(weekGraph->weeks.size()) + QLatin1Char('\n');
    }
    if (SheetVisible(ReportSheet::Barras))
        ChartTranscript(out, QStringLiteral("BARRAS"), barChart, true);
    if (SheetVisible(ReportSheet::Lineas))
        ChartTranscript(out, QStringLiteral("LINEAS"), lineChart, false);
    if (SheetVisible(ReportSheet::Tarta)) {
        out += QStringLiteral("TARTA: ") + pie.title.join(QStringLiteral(" | ")) + QLatin1Char('\n');
        for (const ReportPieSlice& s : pie.slices)
            out += QStringLiteral("  '") + s.label + QStringLiteral("' = ") + NumberText(s.value) +
                   QStringLiteral(" #%1\n").arg(s.colour, 6, 16, QLatin1Char('0'));
    }
    if (SheetVisible(ReportSheet::Fotos))
        out += QStringLiteral("FOTO: ") + photoFile + QLatin1Char('\n');
    return out;
}

bool ReportDocument::SameText(const ReportDocument& other) const
{
    if (m_lines.size() != other.m_lines.size())
        return false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const ReportLine& a = m_lines[i];
        const ReportLine& b = other.m_lines[i];
        if (!(m_paragraphs[a.paragraph] == other.m_paragraphs[b.paragraph]) || a.runs.size() != b.runs.size())
            return false;
        for (std::size_t r = 0; r < a.runs.size(); ++r)
            if (a.runs[r].text != b.runs[r].text ||
                !(m_styles[a.runs[r].style] == other.m_styles[b.runs[r].style]))
                return false;
    }
    return true;
}

void ReportLineText::AppendNumber(bool negative, std::uint64_t magnitude)
{
    char16_t digits[24];
    char16_t* const end = digits + std::size(digits);
    char16_t* at = end;
    do {
        *--at = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        *--at = u'-';
    m_text.append(reinterpret_cast<const QChar*>(at), end - at);
}

void ReportLineText::AddTo(ReportDocument& report)
{
    report.AddLine(QString(m_text.constData(), m_text.size()));
    m_text.resize(0);
}

} // namespace gim
