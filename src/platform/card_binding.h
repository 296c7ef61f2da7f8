#pragma once

#include "platform/card.h"
#include "platform/ui.h"
#include "records/short_string.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

namespace gim {

// Which control of a card shows which field of a record, and how the text converts: filling the card
// from a record and reading it back are one call each. A text field is cut to its width on the way
// back, as the record keeps it, and its control takes no more than that.
template <class Record> struct ControlBinding
{
    QString control;
    int width = 0; // the field's width in characters; 0 = no text limit from the record
    std::function<QString(const Record&)> show;
    std::function<void(Record&, const QString&)> keep;
    FieldRule rule = {}; // what the control must hold for `keep` to store it (core/field_rules.h)
};

template <class Record> class CardBinding final
{
public:
    CardBinding(std::initializer_list<ControlBinding<Record>> bindings) : m_bindings(bindings) {}

    // Gives each bound control without a capacity its field's width, and without a rule its binding's
    // rule. A binding to a control the card does not declare stops a debug build (the tests): it would
    // silently fill nothing.
    void Declare(CardSpec& spec) const
    {
        QStringList missing;
        for (const auto& b : m_bindings) {
            FieldSpec* f = nullptr;
            for (FieldSpec& field : spec.fields)
                if (field.name == b.control)
                    f = &field;
            if (!f) {
                missing << b.control;
                continue;
            }
            if (!f->rule && b.rule)
                f->rule = b.rule;
            if (f->capacity == 0 && b.width > 0 && f->kind != FieldKind::Masked && f->kind != FieldKind::Date)
                f->capacity = b.width;
        }
        Q_ASSERT_X(missing.isEmpty(), "CardBinding::Declare", qPrintable(missing.join(QLatin1Char(' '))));
    }
    void Fill(CardState& state, const Record& rec) const
    {
        for (const auto& b : m_bindings)
            state.set(b.control, b.show(rec));
    }
    void Read(const CardState& state, Record& rec) const
    {
        for (const auto& b : m_bindings)
            b.keep(rec, state.value(b.control));
    }
    // Stores `text` into the field its control shows, as the card would; false when no control is named so.
    bool Keep(const QString& control, Record& rec, const QString& text) const
    {
        for (const auto& b : m_bindings)
            if (b.control == control) {
                b.keep(rec, text);
                return true;
            }
        return false;
    }

    // The whole life of a bound card: filled from `rec` (over what `state` already holds: captions,
    // disabled controls), shown, and read back into `rec` when it closes with one of `keep`. Returns the
    // card's result, the one channel for its outcome.
    int Run(Ui& ui, const CardSpec& spec, Record& rec, CardState state = {},
            std::initializer_list<int> keep = {CardResult::Save}) const
    {
        Fill(state, rec);
        const int result = ui.RunCard(spec, state);
        for (const int k : keep)
            if (result == k) {
                Read(state, rec);
                break;
            }
        return result;
    }

private:
    std::vector<ControlBinding<Record>> m_bindings;
};

// A text field: shown as stored, kept cut to its width.
template <class Record, std::size_t N>
ControlBinding<Record> BindText(const QString& control, ShortString<N> Record::*field)
{
    return {control, static_cast<int>(N), [field](const Record& r) { return (r.*field).str(); },
            [field](Record& r, const QString& text) { r.*field = text; }};
}

// A text field through a conversion of the control's text (a date mask's blanks, a money text).
template <class Record, std::size_t N>
ControlBinding<Record> BindText(const QString& control, ShortString<N> Record::*field,
                                std::function<QString(const QString&)> toField)
{
    return {
        control, static_cast<int>(N), [field](const Record& r) { return (r.*field).str(); },
        [field, toField = std::move(toField)](Record& r, const QString& text) { r.*field = toField(text); }};
}

// A text kept as typed, whole (what a dialog asks rather than a record stores).
template <class Record> ControlBinding<Record> BindTyped(const QString& control, QString Record::*field)
{
    return {control, 0, [field](const Record& r) { return r.*field; },
            [field](Record& r, const QString& text) { r.*field = text; }};
}

// Any field with its own two conversions.
template <class Record, class Field>
ControlBinding<Record> BindValue(const QString& control, Field Record::*field,
                                 std::function<QString(const Field&)> show,
                                 std::function<Field(const QString&)> keep)
{
    return {control, 0, [field, show = std::move(show)](const Record& r) { return show(r.*field); },
            [field, keep = std::move(keep)](Record& r, const QString& text) { r.*field = keep(text); }};
}

} // namespace gim
