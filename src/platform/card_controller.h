#pragma once

#include "platform/card.h"
#include "platform/card_mask.h"

#include <QDate>
#include <QString>
#include <functional>
#include <map>
#include <utility>

namespace gim {

// A one-line text as a card keeps it: each control character (a tab, a line break pasted in) becomes a
// blank, so that it never splits a listing's columns or a record's line. For texts asked outside a card.
QString PrintableLine(QString text);

// The mask a field edits through ("" = none): a date's own mask by default.
QString MaskOfField(const FieldSpec& f);

// Owns everything an open card does, whichever backend shows it: the event order, the focus, text
// editing (capacity, masks), when onChange runs, buttons and closing. The Qt dialog and the scripted
// backend only turn keys and clicks into these calls and show the state afterwards.
//
// Editing: a text, memo or editable combo takes keystrokes at a cursor (Type, Erase) or a whole new text
// from the widget (Edit); either is cut to the capacity. A masked field takes keystrokes through its mask;
// a whole text given to it is put into the mask. Choose sets a value at once (a fixed combo's item, a
// check box, a picked date, a table row). onChange runs after every one of these that changes the value:
// once per typed character.
//
// A masked field left half typed (a required position empty, something typed) keeps the focus and shows
// "DATO INCOMPLETO"; so does a button that would close the card with anything but its cancel result.
// A field whose rule refuses its value is held the same way; a saving button checks every field first.
// A button that the exit handlers of the field left disable (a sum that no longer adds up) is not pressed.
// A one-line text takes no control character: each becomes a blank (a memo keeps its line breaks).
class CardController final
{
public:
    using Notify = std::function<void(const QString&)>;

    // `message` shows a refusal to the user; `fault` reports a programming error (a handler naming a
    // control the card does not declare); `viewPicture` shows a picture file in the program's viewer.
    CardController(const CardSpec& spec, CardState& state, Notify message, Notify fault,
                   Notify viewPicture = {});

    // Clears a leftover closeWith, puts the values into their masks, runs onShow and enters the first
    // field that can take the focus. False when a handler closed the card.
    bool Open();
    // The two halves of Open, for a backend that looks at the card between them.
    bool Show();
    void EnterFirst();
    bool Closed() const { return m_closed; }
    int Result() const { return m_result; }
    QString Focused() const { return m_focused; }

    bool CanFocus(const QString& field) const;
    const CardMask* MaskOf(const QString& field) const;

    // The user moves the focus to a field ("" = a button or nothing). False when it must stay where it is.
    bool Focus(const QString& field);
    // Keystrokes at `cursor` over `selection` characters; returns the new cursor.
    int Type(const QString& field, int cursor, int selection, const QString& text);
    // Backspace, Delete, cut: removes [from, to) (in a mask: empties it); returns the new cursor.
    int Erase(const QString& field, int from, int to);
    // The widget's whole new text (an edit the backend did not see key by key).
    void Edit(const QString& field, const QString& text);
    // A value taken at once.
    void Choose(const QString& field, const QString& value);
    // A check list's item clicked (it becomes the current item; onItem runs), or ticked or unticked,
    // which clicks it first when it is not the current one.
    void ClickItem(const QString& field, int item);
    void Toggle(const QString& field, int item);
    // A date picked from the calendar, written as the mask keeps it ("dd/mm/yy" or "dd/mm/yyyy").
    void PickDate(const QString& field, const QDate& date);
    // Runs the field's double-click handlers; then a picture whose file exists opens in the viewer.
    void DoubleClick(const QString& field);
    // A click, or a key pressed with Shift alone held, on a field that has the handler for it.
    void Click(const QString& field);
    void ShiftKey(const QString& field);
    // A button pressed; `control`: with Control held (Ctrl+Space on it).
    void Press(const QString& button, bool control = false);
    // True once after a handler's focus request moved the focus (the backend then shows it there).
    bool TakeFocusMoved() { return std::exchange(m_focusMoved, false); }
    // Escape: presses the card's cancel button (the one closing with its cancel result), if it has one.
    void Escape();
    // The enabled, visible button that closes with the cancel result; "" when the card has none.
    QString CancelButton() const;
    // The window's close box.
    void CloseBox();
    void Close(int result);

    // What a handler named that the card does not declare; empty when all is well.
    QString UndeclaredNames() const;
    // Why the field's value cannot be kept (a half-typed mask, a value its rule refuses); empty when it can.
    QString Refusal(const QString& field) const;

private:
    template <class F> void Fire(F&& handler);
    // Moves the focus where a handler asked, if anywhere.
    void HonourFocusRequest();
    void FocusAndRun(const QString& field, std::function<void(CardState&)> FieldSpec::*handler);
    void Store(const QString& field, const QString& value);
    bool LeaveAllowed();
    // Every field the user can reach holds a value its rule accepts; else the first refused is shown and
    // takes the focus.
    bool SaveAllowed();
    void Conform();
    QString Cut(const FieldSpec& f, const QString& text) const;

    const CardSpec& m_spec;
    CardState& m_state;
    Notify m_message;
    Notify m_fault;
    Notify m_viewPicture;
    std::map<QString, CardMask> m_masks;
    QString m_focused;
    QString m_reported; // the undeclared names already reported
    bool m_closed = false;
    bool m_focusMoved = false;
    int m_honouring = 0; // nested requests: a loop of handlers sending the focus back and forth stops
    int m_result = 0;
};

} // namespace gim
