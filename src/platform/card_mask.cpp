#include "platform/card_mask.h"

#include <QStringList>
#include <algorithm>

namespace gim {

CardMask::CardMask(const QString& mask)
{
    const QStringList sections = mask.split(QLatin1Char(';'));
    const QString pattern = sections.value(0);
    if (sections.size() >= 3 && !sections[2].isEmpty())
        m_blank = sections[2][0];
    Case caseMode = Case::Keep;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        Slot slot;
        switch (c.unicode()) {
        case '!':
            continue;
        case '>':
            if (i + 1 < pattern.size() && pattern[i + 1] == QLatin1Char('<')) {
                caseMode = Case::Keep;
                ++i;
            } else {
                caseMode = Case::Upper;
            }
            continue;
        case '<':
            caseMode = Case::Lower;
            continue;
        case '\\':
            if (++i >= pattern.size())
                continue;
            slot.literal = pattern[i];
            break;
        case '0':
        case '9':
            slot.accept = Accept::Digit;
            slot.required = c == QLatin1Char('0');
            break;
        case '#':
            slot.accept = Accept::DigitOrSign;
            break;
        case 'L':
        case 'l':
            slot.accept = Accept::Letter;
            slot.required = c == QLatin1Char('L');
            break;
        case 'A':
        case 'a':
            slot.accept = Accept::Alnum;
            slot.required = c == QLatin1Char('A');
            break;
        case 'C':
        case 'c':
            slot.accept = Accept::Any;
            slot.required = c == QLatin1Char('C');
            break;
        default:
            slot.literal = c;
            break;
        }
        slot.caseMode = caseMode;
        m_slots.push_back(slot);
    }
}

bool CardMask::Takes(const Slot& slot, QChar c) const
{
    switch (slot.accept) {
    case Accept::Literal:
        return false;
    case Accept::Digit:
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    case Accept::DigitOrSign:
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') ||
               c == QLatin1Char('-');
    case Accept::Letter:
        return c.isLetter();
    case Accept::Alnum:
        return c.isLetterOrNumber();
    case Accept::Any:
        return c != QLatin1Char(' ') && c.isPrint();
    }
    return false;
}

QChar CardMask::Cased(const Slot& slot, QChar c) const
{
    switch (slot.caseMode) {
    case Case::Upper:
        return c.toUpper();
    case Case::Lower:
        return c.toLower();
    case Case::Keep:
        break;
    }
    return c;
}

QString CardMask::Blank() const
{
    QString value;
    for (const Slot& s : m_slots)
        value += s.accept == Accept::Literal ? s.literal : QLatin1Char(' ');
    return value;
}

QString CardMask::Conform(const QString& text) const
{
    QString value = Blank();
    bool laidOut = text.size() == Length();
    for (int i = 0; laidOut && i < Length(); ++i)
        if (m_slots[i].accept == Accept::Literal && text[i] != m_slots[i].literal)
            laidOut = false;
    if (!laidOut) {
        Type(value, 0, 0, text);
        return value;
    }
    for (int i = 0; i < Length(); ++i)
        if (m_slots[i].accept != Accept::Literal && Takes(m_slots[i], text[i]))
            value[i] = Cased(m_slots[i], text[i]);
    return value;
}

int CardMask::Type(QString& value, int cursor, int selection, const QString& typed) const
{
    if (value.size() != Length())
        value = Conform(value);
    cursor = std::clamp(cursor, 0, Length());
    if (selection > 0)
        Erase(value, cursor, cursor + selection);
    for (const QChar c : typed) {
        int pos = cursor;
        // A literal typed where it stands (the "/" of a date) steps over it.
        if (pos < Length() && m_slots[pos].accept == Accept::Literal && m_slots[pos].literal == c) {
            cursor = pos + 1;
            continue;
        }
        while (pos < Length() && m_slots[pos].accept == Accept::Literal)
            ++pos;
        if (pos >= Length() || !Takes(m_slots[pos], c))
            continue;
        value[pos] = Cased(m_slots[pos], c);
        cursor = pos + 1;
        while (cursor < Length() && m_slots[cursor].accept == Accept::Literal)
            ++cursor;
    }
    return cursor;
}

void CardMask::Erase(QString& value, int from, int to) const
{
    if (value.size() != Length())
        value = Conform(value);
    for (int i = std::max(from, 0); i < std::min(to, Length()); ++i)
        if (m_slots[i].accept != Accept::Literal)
            value[i] = QLatin1Char(' ');
}

bool CardMask::Empty(const QString& value) const
{
    for (int i = 0; i < Length() && i < value.size(); ++i)
        if (m_slots[i].accept != Accept::Literal && value[i] != QLatin1Char(' '))
            return false;
    return true;
}

bool CardMask::Complete(const QString& value) const
{
    if (Empty(value))
        return true;
    for (int i = 0; i < Length(); ++i)
        if (m_slots[i].required && (i >= value.size() || value[i] == QLatin1Char(' ')))
            return false;
    return true;
}

QString CardMask::Display(const QString& value) const
{
    QString shown = value;
    for (int i = 0; i < Length() && i < shown.size(); ++i)
        if (m_slots[i].accept != Accept::Literal && shown[i] == QLatin1Char(' '))
            shown[i] = m_blank;
    return shown;
}

} // namespace gim
