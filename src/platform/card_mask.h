#pragma once

#include <QString>
#include <vector>

namespace gim {

// The input masks of the cards: "!99/99/00;1;_".
//   0 digit required      9 digit optional      # digit, sign or blank, optional
//   L letter required     l letter optional     A letter or digit required   a optional
//   C any character required                    c optional
//   > upper case from here, < lower case from here, <> no change; \ takes the next character literally;
//   ! is accepted and changes nothing here. Anything else is a literal the user cannot type over.
// After the first ';' come the literal flag (kept: literals are part of the value) and the blank character
// shown in empty positions ('_' when not given).
// The value of a masked field always has the mask's length: literals in place, empty positions as spaces.
class CardMask final
{
public:
    explicit CardMask(const QString& mask = {});

    bool IsEmpty() const { return m_slots.empty(); }
    int Length() const { return static_cast<int>(m_slots.size()); }
    QChar BlankChar() const { return m_blank; }

    // Every position empty: what a cleared field reads.
    QString Blank() const;
    // A value set by the program, put into the mask: a text laid out as the mask is taken position by
    // position, anything else is typed in from the start. What does not fit a position stays empty.
    QString Conform(const QString& text) const;
    // Typing `typed` at `cursor` over the selection [cursor, cursor + selection): the selection is
    // emptied, then each character goes to the next position that takes it; a literal typed where it
    // stands just steps over it. Returns the new cursor; `value` is changed in place.
    int Type(QString& value, int cursor, int selection, const QString& typed) const;
    // Empties the editable positions of [from, to); literals stay.
    void Erase(QString& value, int from, int to) const;
    // Every required position filled, or nothing typed at all (an empty field is no half-typed one).
    bool Complete(const QString& value) const;
    bool Empty(const QString& value) const;
    // The value as shown: empty positions as the blank character.
    QString Display(const QString& value) const;

private:
    enum class Accept { Literal, Digit, DigitOrSign, Letter, Alnum, Any };
    enum class Case { Keep, Upper, Lower };
    struct Slot
    {
        Accept accept = Accept::Literal;
        bool required = false;
        Case caseMode = Case::Keep;
        QChar literal;
    };
    bool Takes(const Slot& slot, QChar c) const;
    QChar Cased(const Slot& slot, QChar c) const;

    std::vector<Slot> m_slots;
    QChar m_blank = QLatin1Char('_');
};

} // namespace gim
