#pragma once

#include <QImage>
#include <QPoint>
#include <QPrinter>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QScrollArea;

namespace gim {

// Where a picture lands on the preview page at a scale: from (10, 10), picture size x scale / 5 (integer
// arithmetic). It fits only when the page is wider than its right edge and higher than its bottom edge.
struct PreviewPlacement
{
    QRect target;
    bool fits = false;
};
PreviewPlacement PlacePreview(QSize page, QSize picture, int scale);

// The print preview "Vista Previa Impresión" of the picture viewer: the picture on a one-fifth image of
// the printer page (`VistaPre`), enlarged or reduced in whole steps ("Aumentar", "Reducir", at least 1,
// 2 at first), printed with "Imprimir" and closed with "Eliminar". On the page image the mouse marks an
// area (framed in red); Ctrl+Alt and a key blanks it, Ctrl+C copies it. Deletes itself when closed.
class PrintPreview final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPrinterDpi = 600;

    // Sets the page up for the picture (landscape when it is at least as wide as high).
    explicit PrintPreview(QImage picture, QWidget* parent = nullptr);
    ~PrintPreview() override;

    // Draws the picture at the first scale and shows the preview.
    void Open();

    int Scale() const { return m_scale; }
    const QImage& Page() const { return m_page; }
    QString ScaleText() const;
    QPrinter& Printer() { return *m_printer; }

    void Enlarge();
    void Reduce();
    // Asks for the printer and prints the page; nothing when the dialog is cancelled.
    void Print();
    // Prints the page on that printer: the page image five times larger from (10, 10).
    void PrintTo(QPrinter& printer) const;

    // Mouse and keys on the page image, in its pixels.
    void Press(QPoint at);
    void Release(QPoint at);
    void BlankSelection();
    void CopySelection() const;
    QRect Selection() const { return QRect(m_first, m_second).normalized(); }

    // Where messages go; a message box unless set.
    void SetMessageSink(std::function<void(const QString&)> sink) { m_sink = std::move(sink); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetUpPage();
    void Draw();
    void ShowPage();
    void Message(const QString& text);

    QImage m_picture;
    QImage m_page;
    std::unique_ptr<QPrinter> m_printer;
    int m_scale = 2;
    QPoint m_first, m_second, m_last;
    QLabel* m_pageView = nullptr;
    QLabel* m_scaleLabel = nullptr;
    QScrollArea* m_scroll = nullptr;
    std::function<void(const QString&)> m_sink;
};

} // namespace gim
