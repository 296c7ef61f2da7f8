#include "platform/qt/report_layout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextLayout>
#include <QTextList>
#include <QTimerEvent>
#include <algorithm>
#include <climits>
#include <cmath>

namespace gim {

namespace {

// What "everything below" means to the view's update and to an unbounded line.
constexpr qreal kFar = 1e9;

} // namespace

ReportTextLayout::ReportTextLayout(QTextDocument* document) : QAbstractTextDocumentLayout(document)
{
}

qreal ReportTextLayout::Margin() const
{
    return document()->documentMargin();
}

const ReportTextLayout::LineMetrics& ReportTextLayout::MetricsOf(int formatIndex) const
{
    const auto i = static_cast<std::size_t>(std::max(0, formatIndex));
    if (i >= m_metrics.size()) {
        m_metrics.resize(i + 1);
        m_metricsKnown.resize(i + 1, 0);
    }
    if (!m_metricsKnown[i]) {
        const QList<QTextFormat> formats = document()->allFormats();
        const QFont font =
            i < static_cast<std::size_t>(formats.size())
                ? formats[static_cast<qsizetype>(i)].toCharFormat().font().resolve(document()->defaultFont())
                : document()->defaultFont();
        const QFontMetricsF metrics(font);
        m_metrics[i] = {metrics.ascent(), metrics.descent(), metrics.leading()};
        m_metricsKnown[i] = 1;
    }
    return m_metrics[i];
}

qreal ReportTextLayout::EstimatedHeight(const QTextBlock& block) const
{
    // One line as tall as its tallest font, as a laid-out line measures it (leading included).
    LineMetrics line;
    bool any = false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const LineMetrics& m = MetricsOf(it.fragment().charFormatIndex());
        line.ascent = std::max(line.ascent, m.ascent);
        line.descent = std::max(line.descent, m.descent);
        line.leading = std::max(line.leading, m.leading);
        any = true;
    }
    if (!any)
        line = MetricsOf(block.charFormatIndex());
    return std::ceil(line.ascent + line.descent + std::max<qreal>(0, line.leading));
}

void ReportTextLayout::LayOut(const QTextBlock& block) const
{
    const auto n = static_cast<std::size_t>(block.blockNumber());
    QTextLayout* layout = block.layout();
    if (n >= m_heights.size() || (m_laidOut[n] && layout->lineCount() > 0))
        return;
    const QTextDocument* doc = document();
    const QTextBlockFormat format = block.blockFormat();
    QTextOption option = doc->defaultTextOption();
    option.setTabs(format.tabPositions());
    if (format.hasProperty(QTextFormat::BlockAlignment))
        option.setAlignment(format.alignment());
    layout->setTextOption(option);

    qreal indent = format.leftMargin();
    int levels = format.indent();
    if (const QTextList* list = block.textList())
        levels += list->format().indent();
    indent += levels * doc->indentWidth();
    const qreal pageWidth = doc->pageSize().width();
    const qreal available =
        pageWidth > 0 ? pageWidth - 2 * Margin() - indent - format.rightMargin() : qreal(INT_MAX);

    qreal height = 0;
    qreal width = 0;
    layout->beginLayout();
    for (bool first = true;; first = false) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        const qreal x = indent + (first ? format.textIndent() : 0);
        line.setLineWidth(std::max<qreal>(0, available - (x - indent)));
        line.setPosition(QPointF(x, height));
        height += line.height();
        // A centred or right-aligned line reaches across the page; any other, as far as its text.
        const bool aligned = pageWidth > 0 && (option.alignment() & (Qt::AlignRight | Qt::AlignHCenter));
        width = std::max(width, x + std::max(line.naturalTextWidth(), aligned ? line.width() : 0));
    }
    layout->endLayout();
    m_laidOut[n] = 1;

    bool resized = false;
    if (n >= m_revealed) {
        m_revealed = n + 1;
        resized = true;
    }
    if (height != m_heights[n]) {
        m_heights[n] = height;
        m_topsValid = std::min(m_topsValid, n + 1);
        resized = true;
    }
    if (width > m_width) {
        m_width = width;
        resized = true;
    }
    if (resized)
        SizeMayHaveChanged();
}

void ReportTextLayout::SizeMayHaveChanged() const
{
    auto* self = const_cast<ReportTextLayout*>(this);
    if (!m_drawing) {
        self->ReportSize();
        return;
    }
    // Found while drawing: told once the paint is over, so the scroll bars are not reset midway.
    if (m_sizeSignalPending)
        return;
    m_sizeSignalPending = true;
    QMetaObject::invokeMethod(
        self,
        [self] {
            self->m_sizeSignalPending = false;
            self->ReportSize();
        },
        Qt::QueuedConnection);
}

void ReportTextLayout::ReportSize()
{
    const QSizeF size = documentSize();
    if (size != m_reportedSize) {
        m_reportedSize = size;
        emit documentSizeChanged(size);
    }
}

void ReportTextLayout::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_revealTimer.timerId()) {
        QAbstractTextDocumentLayout::timerEvent(event);
        return;
    }
    // The heights are known: each step only lengthens the scroll range, a fiftieth of the text at a time.
    m_revealed = std::min(m_heights.size(), m_revealed + std::max<std::size_t>(1000, m_heights.size() / 50));
    if (Complete())
        m_revealTimer.stop();
    ReportSize();
}

qreal ReportTextLayout::Top(int blockNumber) const
{
    const auto n = static_cast<std::size_t>(blockNumber);
    if (m_tops.empty())
        return 0;
    for (; m_topsValid <= n && m_topsValid < m_tops.size(); ++m_topsValid)
        m_tops[m_topsValid] = m_topsValid == 0 ? 0 : m_tops[m_topsValid - 1] + m_heights[m_topsValid - 1];
    return m_tops[std::min(n, m_tops.size() - 1)];
}

int ReportTextLayout::BlockAt(qreal y) const
{
    if (m_tops.empty())
        return 0;
    Top(static_cast<int>(m_tops.size()) - 1);
    const auto it = std::upper_bound(m_tops.begin(), m_tops.end(), y);
    return static_cast<int>(std::max<std::ptrdiff_t>(0, (it - m_tops.begin()) - 1));
}

QSizeF ReportTextLayout::documentSize() const
{
    const qreal height =
        m_revealed == 0 ? 0 : Top(static_cast<int>(m_revealed) - 1) + m_heights[m_revealed - 1];
    // As wide as the text, as Qt's own layout measures a text that does not wrap: not the page, which
    // is the view's width and would show a horizontal scroll bar each time the vertical one appears.
    return QSizeF(m_width + 2 * Margin(), height + 2 * Margin());
}

QRectF ReportTextLayout::frameBoundingRect(QTextFrame* frame) const
{
    if (frame != document()->rootFrame())
        return QRectF();
    return QRectF(QPointF(0, 0), documentSize());
}

QRectF ReportTextLayout::blockBoundingRect(const QTextBlock& block) const
{
    if (!block.isValid() || !block.isVisible())
        return QRectF();
    LayOut(block);
    const int n = block.blockNumber();
    const QRectF bounds = block.layout()->boundingRect();
    return QRectF(QPointF(Margin(), Margin() + Top(n)),
                  QSizeF(bounds.right(), m_heights[static_cast<std::size_t>(n)]));
}

int ReportTextLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const
{
    const QTextDocument* doc = document();
    const qreal y = point.y() - Margin();
    const QTextBlock block = doc->findBlockByNumber(BlockAt(y));
    if (!block.isValid())
        return -1;
    LayOut(block);
    const QPointF local = point - QPointF(Margin(), Margin() + Top(block.blockNumber()));
    const QTextLayout* layout = block.layout();
    if (layout->lineCount() == 0)
        return accuracy == Qt::ExactHit ? -1 : block.position();
    QTextLine line = layout->lineAt(layout->lineCount() - 1);
    for (int i = 0; i < layout->lineCount(); ++i)
        if (local.y() < layout->lineAt(i).y() + layout->lineAt(i).height()) {
            line = layout->lineAt(i);
            break;
        }
    if (accuracy == Qt::ExactHit) {
        const bool inside = local.y() >= line.y() && local.y() < line.y() + line.height() &&
                            local.x() >= line.x() && local.x() < line.x() + line.naturalTextWidth();
        if (!inside)
            return -1;
    }
    return block.position() + line.xToCursor(local.x());
}

void ReportTextLayout::DrawBullet(QPainter* painter, const QTextBlock& block, const QPointF& offset,
                                  const QBrush& brush) const
{
    const QTextLayout* layout = block.layout();
    if (layout->lineCount() == 0)
        return;
    const QTextCharFormat format = block.charFormat();
    const QFontMetricsF metrics(format.font().resolve(document()->defaultFont()));
    const qreal size = metrics.lineSpacing() / 3;
    const QTextLine line = layout->lineAt(0);
    const QRectF disc(offset.x() + line.x() - metrics.horizontalAdvance(QLatin1Char(' ')) - size,
                      offset.y() + line.y() + metrics.height() / 2 - size / 2, size, size);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    painter->setBrush(brush);
    painter->drawEllipse(disc);
    painter->restore();
}

void ReportTextLayout::draw(QPainter* painter, const PaintContext& context)
{
    const QTextDocument* doc = document();
    if (m_heights.empty())
        return;
    const QRectF clip = context.clip.isValid() ? context.clip : QRectF(0, 0, kFar, kFar);
    bool ok = false;
    int cursorWidth = property("cursorWidth").toInt(&ok);
    if (!ok)
        cursorWidth = 1;
    painter->setPen(context.palette.color(QPalette::Text));
    m_drawing = true;

    QTextBlock block = doc->findBlockByNumber(BlockAt(clip.top() - Margin()));
    qreal y = Margin() + Top(block.blockNumber());
    for (; block.isValid() && y <= clip.bottom(); block = block.next()) {
        if (!block.isVisible())
            continue;
        LayOut(block);
        const QPointF offset(Margin(), y);
        QTextLayout* layout = block.layout();
        const int position = block.position();
        const int length = block.length();

        QList<QTextLayout::FormatRange> selections;
        for (const Selection& s : context.selections) {
            const int start = s.cursor.selectionStart() - position;
            const int end = s.cursor.selectionEnd() - position;
            if (start < length && end > 0 && end > start) {
                QTextLayout::FormatRange range;
                range.start = start;
                range.length = end - start;
                range.format = s.format;
                selections << range;
            } else if (!s.cursor.hasSelection() && s.format.hasProperty(QTextFormat::FullWidthSelection) &&
                       block.contains(s.cursor.position())) {
                const QTextLine line = layout->lineForTextPosition(s.cursor.position() - position);
                QTextLayout::FormatRange range;
                range.start = line.textStart();
                range.length = line.textLength();
                if (range.start + range.length == length - 1)
                    ++range.length; // the paragraph's end
                range.format = s.format;
                selections << range;
            }
        }
        layout->draw(painter, offset, selections, clip);
        if (block.textList())
            DrawBullet(painter, block, offset, context.palette.brush(QPalette::Text));
        if (context.cursorPosition >= position && context.cursorPosition < position + length)
            layout->drawCursor(painter, offset, context.cursorPosition - position, cursorWidth);
        y += m_heights[static_cast<std::size_t>(block.blockNumber())];
    }
    m_drawing = false;
    // What is drawn is there at once; the scroll range reaches the end of the text in the steps after.
    if (!Complete() && !m_revealTimer.isActive())
        m_revealTimer.start(0, this);
}

void ReportTextLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    const QTextDocument* doc = document();
    const int count = doc->blockCount();
    QTextBlock first = doc->findBlock(from);
    if (!first.isValid())
        first = doc->lastBlock();
    QTextBlock last = doc->findBlock(from + charsAdded);
    if (!last.isValid())
        last = doc->lastBlock();
    const int firstNumber = first.blockNumber();
    const int changed = last.blockNumber() - firstNumber + 1;
    const int replaced = changed - (count - static_cast<int>(m_heights.size()));
    const bool whole = firstNumber == 0 && changed == count;
    // The view lays the whole text out again when its width or wrap changes: with the same blocks in the
    // same default font, the measured heights stand.
    const bool relayout = whole && charsRemoved == 0 && count == static_cast<int>(m_heights.size()) &&
                          doc->defaultFont() == m_font;
    if (whole && !relayout) {
        // The default font may be new: every measure goes.
        m_metrics.clear();
        m_metricsKnown.clear();
        m_width = 0;
    }
    const std::size_t before = m_heights.size();
    if (relayout) {
        // Lines that do not wrap keep their widths whatever the page: the widest seen still stands.
        std::fill(m_laidOut.begin(), m_laidOut.end(), 0);
    } else if (whole || replaced < 1 || firstNumber + replaced > static_cast<int>(m_heights.size())) {
        // A new text: its scroll range starts with what the first paint lays out.
        m_revealed = 0;
        m_revealTimer.stop();
        m_font = doc->defaultFont();
        m_heights.assign(static_cast<std::size_t>(count), 0);
        m_laidOut.assign(static_cast<std::size_t>(count), 0);
        std::size_t i = 0;
        for (QTextBlock b = doc->begin(); b.isValid() && i < m_heights.size(); b = b.next())
            m_heights[i++] = EstimatedHeight(b);
        m_topsValid = 0;
    } else {
        const auto at = static_cast<std::ptrdiff_t>(firstNumber);
        m_heights.erase(m_heights.begin() + at, m_heights.begin() + at + replaced);
        m_laidOut.erase(m_laidOut.begin() + at, m_laidOut.begin() + at + replaced);
        m_heights.insert(m_heights.begin() + at, static_cast<std::size_t>(changed), 0);
        m_laidOut.insert(m_laidOut.begin() + at, static_cast<std::size_t>(changed), 0);
        std::size_t i = static_cast<std::size_t>(firstNumber);
        for (QTextBlock b = first; b.isValid() && b.blockNumber() <= last.blockNumber(); b = b.next())
            m_heights[i++] = EstimatedHeight(b);
        m_topsValid = std::min(m_topsValid, static_cast<std::size_t>(firstNumber) + 1);
        // An edit keeps what the scroll range reached, and all of it once it reached the end.
        const std::size_t edited = static_cast<std::size_t>(firstNumber + changed);
        m_revealed =
            m_revealed >= before
                ? m_heights.size()
                : std::min(m_heights.size(), std::max(edited, m_revealed + m_heights.size() - before));
    }
    m_tops.resize(m_heights.size());
    ReportSize();
    emit update(QRectF(0, Top(firstNumber), kFar, kFar));
}

} // namespace gim
