#include "platform/qt/calendar_dialog.h"

#include "platform/date_text.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTextCharFormat>
#include <QVBoxLayout>
#include <algorithm>

namespace gim {

namespace {

QDateEdit* MakeDateEdit(const QString& name, QWidget* parent)
{
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(QLatin1String(kDateFormat));
    edit->setCalendarPopup(false);
    return edit;
}

} // namespace

CalendarDialog::CalendarDialog(QDate start, QDate end, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TCalendar"));
    setWindowTitle(QStringLiteral("Selección de un rango de fechas"));
    // Month and day names in Spanish, as everywhere in the program; the children take the dialog's.
    setLocale(QLocale(QLocale::Spanish, QLocale::Spain));

    m_calendar = new QCalendarWidget(this);
    m_calendar->setObjectName(QStringLiteral("MonthC1"));
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setGridVisible(true);
    m_startEdit = MakeDateEdit(QStringLiteral("DTPic1"), this);
    m_endEdit = MakeDateEdit(QStringLiteral("DTPic2"), this);

    auto* show = new QPushButton(QStringLiteral("Mostrar selección"), this);
    show->setObjectName(QStringLiteral("Mostrar"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);

    auto* dates = new QFormLayout;
    dates->addRow(QStringLiteral("Fecha Inicio :"), m_startEdit);
    dates->addRow(QStringLiteral("Fecha Final:"), m_endEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(show);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_calendar);
    layout->addLayout(dates);
    layout->addLayout(buttons);

    connect(m_calendar, &QCalendarWidget::clicked, this, [this](QDate day) {
        ClickDay(day, QApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    connect(m_startEdit, &QDateEdit::dateChanged, this, [this](QDate d) {
        if (!m_updating)
            SetRange(d, std::max(d, m_end));
    });
    connect(m_endEdit, &QDateEdit::dateChanged, this, [this](QDate d) {
        if (!m_updating)
            SetRange(std::min(d, m_start), d);
    });
    // Enter on a day of the grid (or a double-click) takes it, as a click would, and accepts: Enter on
    // the range's own last day accepts the range as it stands.
    connect(m_calendar, &QCalendarWidget::activated, this, [this](QDate day) {
        if (day != m_end)
            ClickDay(day, QApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
        accept();
    });
    connect(m_calendar, &QCalendarWidget::currentPageChanged, this, [this] { MarkRange(); });
    connect(show, &QPushButton::clicked, this, [this] { ShowRange(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    if (!start.isValid())
        start = QDate::currentDate();
    if (!end.isValid() || end < start)
        end = start;
    SetRange(start, end);
}

void CalendarDialog::ClickDay(QDate day, bool extend)
{
    if (!extend)
        SetRange(day, day);
    else if (day < m_start)
        SetRange(day, m_end);
    else
        SetRange(m_start, day);
}

void CalendarDialog::SetRange(QDate start, QDate end)
{
    m_updating = true;
    m_start = start;
    m_end = end;
    m_calendar->setSelectedDate(m_end);
    // An edit is given its date only when it shows another: giving it again what is being typed into it
    // rewrites its text and moves the caret, so that the next digit typed was lost.
    if (m_startEdit->date() != m_start)
        m_startEdit->setDate(m_start);
    if (m_endEdit->date() != m_end)
        m_endEdit->setDate(m_end);
    MarkRange();
    m_updating = false;
}

void CalendarDialog::MarkRange()
{
    // Only the days of the page shown are marked, so that a range of years costs no more than a week.
    m_calendar->setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat marked;
    marked.setBackground(palette().highlight());
    marked.setForeground(palette().highlightedText());
    const QDate first = QDate(m_calendar->yearShown(), m_calendar->monthShown(), 1).addDays(-14);
    const QDate last = first.addDays(14 + 31 + 14);
    for (QDate d = std::max(first, m_start); d <= std::min(last, m_end); d = d.addDays(1))
        m_calendar->setDateTextFormat(d, marked);
}

void CalendarDialog::ShowRange()
{
    const QString text = FormatDateRange(m_start, m_end);
    if (m_sink)
        m_sink(text);
    else
        QMessageBox::information(this, windowTitle(), text);
}

bool RunDateRangeDialog(QWidget* parent, QDate& start, QDate& end)
{
    CalendarDialog dialog(start, end, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    start = dialog.RangeStart();
    end = dialog.RangeEnd();
    return true;
}

} // namespace gim
