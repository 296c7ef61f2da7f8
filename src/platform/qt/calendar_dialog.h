#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <functional>

class QCalendarWidget;
class QDateEdit;
class QPushButton;

namespace gim {

// The date-range picker "Selección de un rango de fechas". A click on a day of the calendar `MonthC1`
// starts a new range on it; a click with Shift held extends the range to that day. `DTPic1` ("Fecha
// Inicio :") and `DTPic2` ("Fecha Final:") show the range and move its ends when changed. "Mostrar
// selección" shows the range; OK accepts it. The close box cancels.
class CalendarDialog final : public QDialog
{
    Q_OBJECT

public:
    CalendarDialog(QDate start, QDate end, QWidget* parent = nullptr);

    QDate RangeStart() const { return m_start; }
    QDate RangeEnd() const { return m_end; }

    // Where "Mostrar selección" shows its text; a message box unless set.
    void SetMessageSink(std::function<void(const QString&)> sink) { m_sink = std::move(sink); }

    // The same as a click on a day, with or without Shift held.
    void ClickDay(QDate day, bool extend);

private:
    void SetRange(QDate start, QDate end);
    void MarkRange();
    void ShowRange();

    QCalendarWidget* m_calendar = nullptr;
    QDateEdit* m_startEdit = nullptr;
    QDateEdit* m_endEdit = nullptr;
    QDate m_start;
    QDate m_end;
    bool m_updating = false;
    std::function<void(const QString&)> m_sink;
};

// Shows the picker preset to the given range. True and the chosen range when accepted with OK; false
// with start and end unchanged when the window was closed.
bool RunDateRangeDialog(QWidget* parent, QDate& start, QDate& end);

} // namespace gim
