#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace gim {

class Shell;

// The web search window "Navegador Internet". Pages open in the desktop's browser: "Ir" opens the address
// of `DirecURL` and keeps it in the list and the history, "Anterior" and "Posterior" open the previous and
// next address of the history, "Actualiza" opens the current one again, "Salir" closes. Deletes itself
// when closed.
class WebSearchWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit WebSearchWindow(Shell& shell, QWidget* parent = nullptr);

    // Opens an address as "Ir" does; one without a scheme is taken as "http://".
    void Navigate(const QString& address);
    void Back();
    void Forward();
    void Reload();

    QComboBox* AddressBox() const { return m_address; }
    // What the window says under its address box (that no browser opened the page).
    QString StatusText() const;
    const QStringList& History() const { return m_history; }
    int HistoryIndex() const { return m_index; }

    static QString NormalizedAddress(const QString& address);

private:
    void Open(const QString& url);
    void UpdateButtons();

    Shell& m_shell;
    QComboBox* m_address = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
    QPushButton* m_reload = nullptr;
    QLabel* m_status = nullptr;
    QStringList m_history;
    int m_index = -1;
};

} // namespace gim
