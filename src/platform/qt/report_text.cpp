#include "platform/qt/report_text.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>

namespace gim {

namespace {

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
// stop takes the later ones along, so every column keeps its width. Rows and column headings are
// measured: the lines that start with a cell of their own (the running number), and the lines with as
// many cells as the fullest line of their paragraph. Titles and totals have fewer cells and may reach
// over the columns. Stops that every cell fits are left exactly as they are.
std::vector<ReportParagraphFormat> FittedParagraphs(const ReportDocument& doc,
                                                    const std::function<QFont(std::uint16_t)>& fontOf)
{
    std::vector<ReportParagraphFormat> paragraphs = doc.Paragraphs();
    std::vector<std::vector<qreal>> widest(paragraphs.size());
    std::vector<std::unique_ptr<CharAdvances>> advances(doc.Styles().size());
    const auto cellsOf = [&paragraphs](const ReportLine& line) {
        qsizetype tabs = 0;
        for (const ReportRun& run : line.runs)
            tabs += run.text.count(QLatin1Char('\t'));
        return std::min<qsizetype>(tabs, static_cast<qsizetype>(paragraphs[line.paragraph].tabStops.size()));
    };
    std::vector<qsizetype> fullest(paragraphs.size(), 0);
    std::vector<qsizetype> cells(doc.Lines().size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const ReportLine& line = doc.Lines()[i];
        cells[i] = cellsOf(line);
        fullest[line.paragraph] = std::max(fullest[line.paragraph], cells[i]);
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const ReportLine& line = doc.Lines()[i];
        const std::size_t stops = paragraphs[line.paragraph].tabStops.size();
        const QString& first = line.runs.front().text;
        const bool row = !first.isEmpty() && first.front() != QLatin1Char('\t');
        if (stops == 0 || (!row && (fullest[line.paragraph] < 2 || cells[i] < fullest[line.paragraph])))
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

    // A line that is one run, as most listing rows are, joins the lines before it of the same paragraph
    // and style: the cursor inserts the lot in one call, which starts each line's block itself with the
    // paragraph and style of the block before.
    // Whether each line holds a page break, looked for once.
    const std::vector<ReportLine>& lines = doc.Lines();
    std::vector<char> breaks(lines.size(), 0);
    qsizetype characters = 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (const ReportRun& run : lines[i].runs) {
            breaks[i] = breaks[i] || run.text.contains(QLatin1Char('\f'));
            characters += run.text.size() + 1;
        }
    auto simple = [&](std::size_t i) {
        return lines[i].runs.size() == 1 && !doc.ParagraphOf(lines[i]).bullet && !breaks[i];
    };
    QTextCursor cursor(&text);
    cursor.beginEditBlock();
    QTextList* list = nullptr;
    bool first = true;
    // Room for the whole text at once: the lines are joined in it, most often all of them.
    QString joined;
    joined.reserve(characters);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ReportLine& line = lines[i];
        QTextBlockFormat bf = blockFormat(line.paragraph);
        if (breaks[i])
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
        if (simple(i)) {
            joined.resize(0);
            joined += line.runs.front().text;
            while (i + 1 < lines.size() && simple(i + 1) && lines[i + 1].paragraph == line.paragraph &&
                   lines[i + 1].runs.front().style == line.runs.front().style) {
                joined += QChar(QChar::ParagraphSeparator);
                joined += lines[++i].runs.front().text;
            }
            if (!joined.isEmpty())
                cursor.insertText(joined, cf);
            continue;
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

} // namespace gim
