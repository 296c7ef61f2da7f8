#pragma once

#include <QAbstractTextDocumentLayout>
#include <QBasicTimer>
#include <QFont>
#include <vector>

class QTextBlock;
class QTextDocument;

namespace gim {

// The layout of the report pane's document: a block is laid out only when it is drawn, hit or asked for
// its place, as a plain-text box does, so a listing of 100,000 rows shows at once and holds the event
// loop up no longer than the screen it draws. The heights of the blocks not laid out yet come from the
// fonts of their fragments (a report line is one line: the pane does not wrap), so the scroll range
// reaches the end of the text in a few cheap steps after the first paint. Unlike the plain-text layout
// it keeps what a report paragraph carries: its tab stops, alignment, indents and bullets, and every
// run's font, size and colour.
class ReportTextLayout final : public QAbstractTextDocumentLayout
{
public:
    explicit ReportTextLayout(QTextDocument* document);

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    QRectF blockBoundingRect(const QTextBlock& block) const override;

    // Whether the scroll range has reached the end of the text.
    bool Complete() const { return m_revealed == m_heights.size(); }

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;
    void timerEvent(QTimerEvent* event) override;

private:
    struct LineMetrics
    {
        qreal ascent = 0;
        qreal descent = 0;
        qreal leading = 0;
    };

    qreal EstimatedHeight(const QTextBlock& block) const;
    const LineMetrics& MetricsOf(int formatIndex) const;
    // Lays the block out if it is not yet, correcting its height; returns its layout.
    void LayOut(const QTextBlock& block) const;
    qreal Top(int blockNumber) const;
    int BlockAt(qreal y) const;
    qreal Margin() const;
    void SizeMayHaveChanged() const;
    void ReportSize();
    // The disc of a list item, in the text colour as Qt's own layout draws it.
    void DrawBullet(QPainter* painter, const QTextBlock& block, const QPointF& offset,
                    const QBrush& brush) const;

    // By block number: the height (estimated until laid out), whether it is laid out, and the tops of
    // the blocks, valid below m_topsValid.
    mutable std::vector<qreal> m_heights;
    mutable std::vector<char> m_laidOut;
    mutable std::vector<qreal> m_tops;
    mutable std::size_t m_topsValid = 0;
    mutable qreal m_width = 0;
    // By format index; cleared with every change to the whole document (its default font may be new).
    mutable std::vector<LineMetrics> m_metrics;
    mutable std::vector<char> m_metricsKnown;
    QFont m_font; // the default font the heights were measured in
    mutable bool m_sizeSignalPending = false;
    // The blocks the scroll range covers: those up to the last one laid out or looked up, and after the
    // first paint the rest in steps, as Qt's own layout lengthens it while it lays the text out.
    mutable std::size_t m_revealed = 0;
    QBasicTimer m_revealTimer;
    bool m_drawing = false;
    QSizeF m_reportedSize;
};

} // namespace gim
