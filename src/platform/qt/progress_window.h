#pragma once

#include <QString>
#include <QWidget>

class QProgressBar;

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

private:
    QProgressBar* m_bar = nullptr;
};

} // namespace gim
