#pragma once

#include <QString>
#include <QWidget>

class QProgressBar;
class QPushButton;

namespace gim {

// The progress window "Avance Carga Datos" shown while a file is loaded or transferred: one bar
// `ProgressBar1`, 0 to 2500 until the caller sets its maximum. Not modal; the caller closes it.
class ProgressWindow final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kDefaultMaximum = 2500;

    explicit ProgressWindow(QWidget* parent = nullptr);

    void SetCaption(const QString& caption) { setWindowTitle(caption); }
    // A maximum below 1 keeps the bar at 1, so that a count of zero records still shows a bar.
    void SetMaximum(int maximum);
    // Positions outside 0 to the maximum are held to it.
    void SetPosition(int position);
    int Maximum() const;
    int Position() const;
    QProgressBar* Bar() const { return m_bar; }

    // While the program waits on another party the window shows "Cancelar" and holds the input of the
    // other windows, so that the events can run meanwhile; its button or close box cancels.
    void AllowCancel();
    bool Cancelled() const { return m_cancelled; }
    QPushButton* CancelButton() const { return m_cancel; }
    // Closes the window as its caller does: no cancel.
    void Finish();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_cancelled = false;
    bool m_finished = false;
};

} // namespace gim
