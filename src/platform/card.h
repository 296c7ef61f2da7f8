#pragma once

#include "platform/code_table.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace gim {

// A record card described as data. The generic Qt dialog renders it and the scripted backend drives
// the same description, so the feature code never touches a widget.

enum class FieldKind {
    Text,      // one-line edit
    Masked,    // one-line edit with an input mask ("!99/99/00", see CardMask)
    Combo,     // drop-down list; editable unless `fixedChoices`
    Check,     // check box; value "1" or "0"
    Memo,      // multi-line text
    Label,     // read-only text the handlers may change
    CheckList, // list of items (`choices`) each with its tick; value one '1' or '0' per item
    Table,     // read-only rows (CardState::rows) under `columns`; value the current row's number, "" none
    Date,      // masked date ("!99/99/0000;1;_" unless `mask` says otherwise) with a calendar to pick from
    Picture,   // the picture of the file the value names; a double-click shows it in the viewer
    // Radio button; value "1" selected or "0". Choosing one unselects the other radio buttons of its group
    // (same sheet and titled group); the user cannot unselect one. A double-click selects it first, as its
    // first click does, and Enter on it is a double-click.
    Radio,
};

struct CardState;

// What a typed value must be before the card keeps it. The controller checks it when the field is left
// and again when the card is saved; a refused value keeps the focus on its field and the card open, with
// `message`, or else "VALOR NO VÁLIDO EN <field>: <accepted>". core/field_rules.h makes one per field kind
// (whole number, money, week, hour, date, week code, code from a table).
struct FieldRule
{
    std::function<bool(const QString&)> accepts; // empty: any value
    QString accepted;                            // what the field takes ("UN NÚMERO ENTERO DE 0 A 65535")
    QString message;                             // the program's own refusal, where it has one
    explicit operator bool() const { return static_cast<bool>(accepts); }
};

// What a refusal of `rule` says about a value for the field or prompt the user knows as `label` ("&Año
// Inicio:" names "AÑO INICIO"): the rule's own message, or "VALOR NO VÁLIDO EN <label>: <accepted>".
QString RefusalText(const FieldRule& rule, const QString& label);

// Where a control stands: on a tab sheet, inside a titled group, at a grid cell. Each grid cell holds a
// caption column and a control column. Row -1 puts the control below the previous one of its group.
struct FieldPlace
{
    QString page;  // tab sheet caption; "" = the card's body, below the sheets
    QString group; // titled group; "" = none
    int row = -1;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
};

// A cell of the card's body.
inline FieldPlace GridCell(int row, int column = 0, int rowSpan = 1, int columnSpan = 1)
{
    return {QString(), QString(), row, column, rowSpan, columnSpan};
}

struct FieldSpec
{
    QString name;  // the control's name on the card ("CODIGO")
    QString label; // caption shown beside it
    FieldKind kind = FieldKind::Text;
    int capacity = 0;    // longest accepted text; 0 = no limit
    QString mask;        // Masked: Qt input mask
    QStringList choices; // Combo: the list
    bool fixedChoices = false;
    QString hint; // shown while the pointer rests on the control
    FieldPlace place;
    QStringList columns; // Table: column headings
    // This field's own handlers; they run before the card's.
    std::function<void(CardState&)> onEnter;
    std::function<void(CardState&)> onChange;
    std::function<void(CardState&)> onExit;
    std::function<void(CardState&)> onDoubleClick;
    // A single click on the field; a key pressed on it while Shift alone is held (the key is not typed).
    std::function<void(CardState&)> onClick;
    std::function<void(CardState&)> onShiftKey;
    // With onShiftKey: a key that types (a capital) is a plain keystroke and is typed; only keys that type
    // nothing (Shift+Tab, Shift+arrows) run onShiftKey. A mark, not a stamp.
    bool shiftKeyTyped = false;
    // Check lists: the user clicked item number `item` (before its tick changes, if it does).
    std::function<void(CardState&, int item)> onItem;
    FieldRule rule; // what a value of this field must be; a bound field gets its binding's rule
};

// A field of the given kind; the label is UTF-8 text as written in the source.
inline FieldSpec MakeField(const QString& name, const char* label, FieldKind kind = FieldKind::Text,
                           int capacity = 0)
{
    FieldSpec f;
    f.name = name;
    f.label = QString::fromUtf8(label);
    f.kind = kind;
    f.capacity = capacity;
    return f;
}

// A titled group: where it stands on its sheet (cells as for fields). A group no spec names is stacked
// below the others of its sheet.
struct GroupSpec
{
    QString title;
    QString page;
    int row = -1;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
};

// The result a card closes with, one name per button role whatever card it is on. Callers read the
// outcome of a card from this and from nothing else.
namespace CardResult {
inline constexpr int None = 0;   // a button that keeps the card open
inline constexpr int Save = 1;   // save, accept, copy, search: the controls are read back
inline constexpr int Exit = 2;   // leave without saving; the window's close box
inline constexpr int Print = 4;  // print or show the memo of the record
inline constexpr int Delete = 6; // erase the record; "no copy" on a copy card
inline constexpr int Next = 7;   // go on to the next record without saving
} // namespace CardResult

struct ButtonSpec
{
    QString name;    // "SALVAR"
    QString caption; // "&Salvar"
    int result = 0;  // modal result the card returns when this button closes it
    QString hint;    // shown while the pointer rests on the button
};

// What the card shows and what the handlers see and change: field values by name, which controls
// are disabled or hidden, and where the focus stands.
struct CardState
{
    std::map<QString, QString> values;
    std::map<QString, QString> captions; // button or label captions changed at run time
    std::map<QString, QString> hints;    // control hints changed at run time
    // Combo items changed at run time: a field listed here shows these items instead of its own list.
    std::map<QString, QStringList> choices;
    // Rules changed at run time: a field listed here is checked by this rule instead of its own (an
    // amount that holds minutes or money by what another field says).
    std::map<QString, FieldRule> rules;
    std::map<QString, std::vector<QStringList>> rows; // Table fields: the rows, one text per column
    std::map<QString, int> currentItem;               // check lists: the item last clicked
    std::set<QString> disabled;
    std::set<QString> hidden;
    QString caption;              // window caption; empty = the card's own caption
    std::optional<int> closeWith; // a handler closes the card with this result
    // A handler sends the focus to this field; the controller moves it once the event's handlers have
    // run (leaving the field the user went to), in either backend.
    QString focusRequest;
    // onButton: the button was pressed with Control held (Ctrl+Space on it).
    bool controlHeld = false;

    QString value(const QString& name) const
    {
        const auto it = values.find(name);
        return it == values.end() ? QString() : it->second;
    }
    void set(const QString& name, const QString& v) { values[name] = v; }
    bool checked(const QString& name) const { return value(name) == QLatin1String("1"); }
    void setChecked(const QString& name, bool on)
    {
        values[name] = on ? QStringLiteral("1") : QStringLiteral("0");
    }
    // Check lists: the tick of one item.
    bool ticked(const QString& name, int item) const
    {
        const QString v = value(name);
        return item >= 0 && item < v.size() && v[item] == QLatin1Char('1');
    }
    void setTicked(const QString& name, int item, bool on)
    {
        QString& v = values[name];
        if (v.size() <= item)
            v += QString(item + 1 - v.size(), QLatin1Char('0'));
        v[item] = on ? QLatin1Char('1') : QLatin1Char('0');
    }
    void enable(const QString& name, bool on)
    {
        if (on)
            disabled.erase(name);
        else
            disabled.insert(name);
    }
    void show(const QString& name, bool on)
    {
        if (on)
            hidden.erase(name);
        else
            hidden.insert(name);
    }
};

// Event order, kept by the one card controller (platform/card_controller.h) whichever backend shows the
// card:
//   onShow when the card opens; then the focus lands on the first field that can take it (not a
//   label or picture, disabled or hidden) and its onEnter runs;
//   per field the user works on: onEnter, then onChange after each change of its value (each typed
//   character, each value chosen), then onExit when focus leaves;
//   a double-click on a field (not disabled or hidden) first moves the focus to it as an edit does
//   (onExit of the field left, onEnter of this one; a label or picture takes no focus, so nothing
//   moves), then runs onDoubleClick;
//   a field's own handlers run before the card's;
//   a click, or a key pressed with Shift alone held, on a field with onClick or onShiftKey moves the
//   focus the same way and then runs that handler;
//   a button press first runs onExit of the field that has the focus, then onButton (controlHeld tells
//   a press with Control held);
//   a `focusRequest` left by handlers moves the focus there once the event's handlers have run, with
//   the same onExit / onEnter as a move by the user; one left by a button press is honoured only when
//   the card stays open after onButton.
//   A `closeWith` left by any handler closes the card at once; nothing runs after it. Opening a card
//   clears a `closeWith` left from an earlier card.
//   onButton returns true to close the card with the button's result, false to keep it open.
//   Without onButton every button closes the card. Closing the window returns `cancelResult`; Escape
//   presses the button that closes with `cancelResult`, and does nothing on a card without one.
//   A field's rule is checked as the field is left (except towards the cancel button) and, for every
//   field the user can reach, before a button that saves (`CardResult::Save`) runs onButton: a refusal
//   shows its message, puts the focus on the field and runs nothing else.
struct CardSpec
{
    QString name;                  // form name ("TFormMQ")
    QString caption;               // window caption
    QString hint;                  // the card's own hint, where the pointer rests on no control
    std::vector<FieldSpec> fields; // in tab order
    std::vector<ButtonSpec> buttons;
    std::vector<GroupSpec> groups;
    int cancelResult = CardResult::Exit; // the window's close box

    std::function<void(CardState&)> onShow;
    std::function<void(CardState&, const QString& field)> onEnter;
    std::function<void(CardState&, const QString& field)> onChange;
    std::function<void(CardState&, const QString& field)> onExit;
    std::function<void(CardState&, const QString& field)> onDoubleClick;
    std::function<bool(CardState&, const ButtonSpec& button)> onButton;

    const FieldSpec* field(const QString& n) const
    {
        for (const auto& f : fields)
            if (f.name == n)
                return &f;
        return nullptr;
    }
    const GroupSpec* group(const QString& title) const
    {
        for (const auto& g : groups)
            if (g.title == title)
                return &g;
        return nullptr;
    }
    const ButtonSpec* button(const QString& n) const
    {
        for (const auto& b : buttons)
            if (b.name == n)
                return &b;
        return nullptr;
    }
};

// Puts the card's fields, in declaration order, at these places (as many as there are of both).
inline void PlaceFields(CardSpec& spec, std::initializer_list<FieldPlace> places)
{
    auto place = places.begin();
    for (FieldSpec& f : spec.fields) {
        if (place == places.end())
            return;
        f.place = *place++;
    }
}

// The items a combo field shows now: the state's run-time list when it has one, else the field's own.
inline const QStringList& ChoicesOf(const FieldSpec& field, const CardState& state)
{
    const auto it = state.choices.find(field.name);
    return it == state.choices.end() ? field.choices : it->second;
}

// The handlers of a focus move, in the one order every backend keeps: onExit of the field left, then
// onEnter of the field entered (an empty name is no field: a button, or nothing). `fire` runs each
// handler the backend's way (applying the state afterwards, stopping at a close).
template <typename Fire>
void RunFocusHandlers(const CardSpec& spec, CardState& state, const QString& left, const QString& entered,
                      Fire&& fire)
{
    if (!left.isEmpty())
        fire([&] {
            if (const FieldSpec* f = spec.field(left); f && f->onExit)
                f->onExit(state);
            if (spec.onExit)
                spec.onExit(state, left);
        });
    if (!entered.isEmpty())
        fire([&] {
            if (const FieldSpec* f = spec.field(entered); f && f->onEnter)
                f->onEnter(state);
            if (spec.onEnter)
                spec.onEnter(state, entered);
        });
}

// A combo offering the codes of `table` and, after it, the label `textLabel` that shows the label of the
// code chosen; for a code the table does not hold it shows `missing`, or keeps its text when there is
// none. Returns the combo, whose choices, rule and handlers the card may still change.
inline FieldSpec& AddCodeCombo(CardSpec& spec, const QString& name, const char* label, CodeTable table,
                               const QString& textLabel, int capacity = 0,
                               std::optional<QString> missing = QString())
{
    FieldSpec f = MakeField(name, label, FieldKind::Combo, capacity);
    f.choices = table.Codes();
    f.onChange = [name, textLabel, table, missing](CardState& state) {
        if (std::optional<QString> text = table.Label(state.value(name)); text || missing)
            state.set(textLabel, text ? *text : *missing);
    };
    spec.fields.push_back(std::move(f));
    spec.fields.push_back(MakeField(textLabel, "", FieldKind::Label));
    return spec.fields[spec.fields.size() - 2];
}

} // namespace gim
