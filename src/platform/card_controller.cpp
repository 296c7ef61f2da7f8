#include "platform/card_controller.h"
#include "platform/date_text.h"

#include <QFileInfo>
#include <algorithm>

namespace gim {

namespace {

const char* const kIncomplete = "DATO INCOMPLETO";

bool Typeable(FieldKind kind)
{
    return kind == FieldKind::Text || kind == FieldKind::Masked || kind == FieldKind::Memo ||
           kind == FieldKind::Combo || kind == FieldKind::Date;
}

// A one-line text keeps no control character: a tab, a line break or an escape pasted into it becomes a
// blank, so it never splits a listing's columns or a record's line. A memo keeps its line breaks.
QString Printable(FieldKind kind, QString text)
{
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        const bool lineBreak = u == u'\r' || u == u'\n';
        if ((u < 0x20 || u == 0x7F) && !(kind == FieldKind::Memo && lineBreak))
            c = QLatin1Char(' ');
    }
    return text;
}

// Labels and pictures only show something.
bool TakesFocus(FieldKind kind)
{
    return kind != FieldKind::Label && kind != FieldKind::Picture;
}

} // namespace

QString PrintableLine(QString text)
{
    return Printable(FieldKind::Text, std::move(text));
}

QString RefusalText(const FieldRule& rule, const QString& label)
{
    if (!rule.message.isEmpty())
        return rule.message;
    QString name = label;
    name.remove(QLatin1Char('&'));
    name = name.trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return QStringLiteral("VALOR NO VÁLIDO EN %1: %2").arg(name.trimmed().toUpper(), rule.accepted);
}

QString MaskOfField(const FieldSpec& f)
{
    if (f.kind == FieldKind::Date && f.mask.isEmpty())
        return QStringLiteral("!99/99/0000;1;_");
    return f.kind == FieldKind::Masked || f.kind == FieldKind::Date ? f.mask : QString();
}

CardController::CardController(const CardSpec& spec, CardState& state, Notify message, Notify fault,
                               Notify viewPicture)
    : m_spec(spec), m_state(state), m_message(std::move(message)), m_fault(std::move(fault)),
      m_viewPicture(std::move(viewPicture))
{
    for (const FieldSpec& f : m_spec.fields)
        if (const QString mask = MaskOfField(f); !mask.isEmpty())
            m_masks.emplace(f.name, CardMask(mask));
}

const CardMask* CardController::MaskOf(const QString& field) const
{
    const auto it = m_masks.find(field);
    return it == m_masks.end() ? nullptr : &it->second;
}

QString CardController::UndeclaredNames() const
{
    QStringList unknown;
    const auto check = [&](const QString& name, bool buttonsToo) {
        if (!m_spec.field(name) && !(buttonsToo && m_spec.button(name)) && !unknown.contains(name))
            unknown << name;
    };
    for (const auto& [name, value] : m_state.values)
        check(name, false);
    for (const auto& [name, items] : m_state.choices)
        check(name, false);
    for (const auto& [name, caption] : m_state.captions)
        check(name, true);
    for (const auto& [name, hint] : m_state.hints)
        check(name, true);
    for (const auto& [name, rows] : m_state.rows)
        check(name, false);
    for (const auto& [name, rule] : m_state.rules)
        check(name, false);
    for (const auto& [name, item] : m_state.currentItem)
        check(name, false);
    for (const QString& name : m_state.disabled)
        check(name, true);
    for (const QString& name : m_state.hidden)
        check(name, true);
    return unknown.join(QStringLiteral(", "));
}

void CardController::Conform()
{
    for (const auto& [name, mask] : m_masks) {
        const auto it = m_state.values.find(name);
        const QString current = it == m_state.values.end() ? QString() : it->second;
        if (current.size() != mask.Length() || mask.Conform(current) != current)
            m_state.values[name] = mask.Conform(current);
    }
}

template <class F> void CardController::Fire(F&& handler)
{
    if (m_closed)
        return;
    handler();
    Conform();
    // Each wrong name is reported once, where it first appears.
    const QString unknown = UndeclaredNames();
    if (!unknown.isEmpty() && unknown != m_reported && m_fault)
        m_fault(QStringLiteral("card %1 has no control %2").arg(m_spec.name, unknown));
    m_reported = unknown;
    if (m_state.closeWith)
        Close(*m_state.closeWith);
}

void CardController::Close(int result)
{
    if (m_closed)
        return;
    m_closed = true;
    m_result = result;
}

bool CardController::Open()
{
    if (Show())
        EnterFirst();
    return !m_closed;
}

bool CardController::Show()
{
    m_state.closeWith.reset();
    m_state.focusRequest.clear();
    m_state.controlHeld = false;
    m_closed = false;
    m_focused.clear();
    Fire([&] {
        if (m_spec.onShow)
            m_spec.onShow(m_state);
    });
    return !m_closed;
}

void CardController::EnterFirst()
{
    for (const FieldSpec& f : m_spec.fields) {
        if (m_closed)
            return;
        if (CanFocus(f.name)) {
            Focus(f.name);
            return;
        }
    }
}

void CardController::HonourFocusRequest()
{
    const QString wanted = std::exchange(m_state.focusRequest, QString());
    if (m_closed || wanted.isEmpty() || wanted == m_focused || !CanFocus(wanted) || m_honouring > 8)
        return;
    ++m_honouring;
    if (Focus(wanted) && m_focused == wanted)
        m_focusMoved = true;
    --m_honouring;
}

bool CardController::CanFocus(const QString& field) const
{
    const FieldSpec* f = m_spec.field(field);
    return f && TakesFocus(f->kind) && !m_state.disabled.count(field) && !m_state.hidden.count(field);
}

QString CardController::Refusal(const QString& field) const
{
    const QString value = m_state.value(field);
    if (const CardMask* mask = MaskOf(field); mask && !mask->Complete(value))
        return QString::fromUtf8(kIncomplete);
    const FieldSpec* f = m_spec.field(field);
    const auto changed = m_state.rules.find(field);
    const FieldRule* rule = changed != m_state.rules.end() ? &changed->second : f ? &f->rule : nullptr;
    if (!f || !*rule || rule->accepts(value))
        return QString();
    // A control without a caption stands beside the one before it (a calendar beside its date): the user
    // knows it by that caption.
    QString label = f->label;
    for (auto it = m_spec.fields.begin(); f->label.isEmpty() && it != m_spec.fields.end() && &*it != f; ++it)
        if (!it->label.isEmpty() && it->kind != FieldKind::Label)
            label = it->label;
    FieldRule shown = *rule;
    // A date is named in the form the field shows it.
    if (const CardMask* mask = MaskOf(field); mask && mask->Length() == 10)
        shown.accepted.replace(QStringLiteral("dd/mm/aa"), QStringLiteral("dd/mm/aaaa"));
    return RefusalText(shown, label.isEmpty() ? f->name : label);
}

bool CardController::LeaveAllowed()
{
    const QString refusal = Refusal(m_focused);
    if (refusal.isEmpty())
        return true;
    if (m_message)
        m_message(refusal);
    return false;
}

bool CardController::SaveAllowed()
{
    for (const FieldSpec& f : m_spec.fields) {
        if (!CanFocus(f.name))
            continue;
        const QString refusal = Refusal(f.name);
        if (refusal.isEmpty())
            continue;
        if (m_message)
            m_message(refusal);
        if (m_focused != f.name) {
            // The field is wrong, not the one left: going back to it is no leave to check.
            const QString left = std::exchange(m_focused, f.name);
            RunFocusHandlers(m_spec, m_state, left, f.name, [this](const auto& handler) { Fire(handler); });
            m_focusMoved = true;
        }
        return false;
    }
    return true;
}

bool CardController::Focus(const QString& field)
{
    if (m_closed)
        return false;
    // Labels and pictures take no focus: nothing moves.
    if (field == m_focused || (!field.isEmpty() && !CanFocus(field)))
        return field == m_focused || !m_spec.field(field) || !TakesFocus(m_spec.field(field)->kind);
    // A field disabled or hidden while focused can still be left.
    if (!m_focused.isEmpty() && CanFocus(m_focused) && !LeaveAllowed())
        return false;
    const QString left = m_focused;
    m_focused = field;
    RunFocusHandlers(m_spec, m_state, left, field, [this](const auto& handler) { Fire(handler); });
    // Going to a button: the press decides what follows.
    if (!field.isEmpty())
        HonourFocusRequest();
    return !m_closed;
}

QString CardController::Cut(const FieldSpec& f, const QString& text) const
{
    if (const CardMask* mask = MaskOf(f.name))
        return mask->Conform(text);
    // An item of the combo's own list is the program's text, taken as it is. Only a text with a control
    // character needs the look-up: a keystroke must not walk a list of thousands of codes.
    QString kept = Printable(f.kind, text);
    if (kept != text && f.kind == FieldKind::Combo && ChoicesOf(f, m_state).contains(text))
        kept = text;
    return f.capacity > 0 ? kept.left(f.capacity) : kept;
}

void CardController::Store(const QString& field, const QString& value)
{
    if (m_closed || m_state.value(field) == value)
        return;
    m_state.values[field] = value;
    Fire([&] {
        if (const FieldSpec* f = m_spec.field(field); f && f->onChange)
            f->onChange(m_state);
        if (m_spec.onChange)
            m_spec.onChange(m_state, field);
    });
    HonourFocusRequest();
}

int CardController::Type(const QString& field, int cursor, int selection, const QString& text)
{
    const FieldSpec* f = m_spec.field(field);
    if (!f || !Typeable(f->kind) || !CanFocus(field) || !Focus(field))
        return cursor;
    QString value = m_state.value(field);
    if (const CardMask* mask = MaskOf(field)) {
        cursor = mask->Type(value, cursor, selection, text);
        Store(field, value);
        return cursor;
    }
    cursor = std::clamp<int>(cursor, 0, static_cast<int>(value.size()));
    selection = std::clamp<int>(selection, 0, static_cast<int>(value.size()) - cursor);
    value.remove(cursor, selection);
    QString inserted = Printable(f->kind, text);
    // Like a full edit box: what does not fit is not taken.
    if (f->capacity > 0)
        inserted.truncate(std::max<qsizetype>(0, f->capacity - value.size()));
    value.insert(cursor, inserted);
    Store(field, value);
    return cursor + static_cast<int>(inserted.size());
}

int CardController::Erase(const QString& field, int from, int to)
{
    const FieldSpec* f = m_spec.field(field);
    if (!f || !Typeable(f->kind) || !CanFocus(field) || !Focus(field))
        return from;
    QString value = m_state.value(field);
    from = std::max(from, 0);
    if (const CardMask* mask = MaskOf(field))
        mask->Erase(value, from, to);
    else
        value.remove(from, std::max(0, to - from));
    Store(field, value);
    return from;
}

void CardController::Edit(const QString& field, const QString& text)
{
    const FieldSpec* f = m_spec.field(field);
    if (!f || !TakesFocus(f->kind) || !Focus(field))
        return;
    Store(field, Cut(*f, text));
}

void CardController::Choose(const QString& field, const QString& value)
{
    const FieldSpec* f = m_spec.field(field);
    if (!f || !TakesFocus(f->kind) || !CanFocus(field) || !Focus(field))
        return;
    if (f->kind == FieldKind::Radio) {
        // Only selecting changes a radio button; its group's others go out before its onChange runs.
        if (value != QLatin1String("1") || m_state.checked(field))
            return;
        for (const FieldSpec& other : m_spec.fields)
            if (other.kind == FieldKind::Radio && other.name != field && other.place.page == f->place.page &&
                other.place.group == f->place.group)
                m_state.setChecked(other.name, false);
    }
    Store(field, Cut(*f, value));
}

void CardController::ClickItem(const QString& field, int item)
{
    const FieldSpec* f = m_spec.field(field);
    if (!f || f->kind != FieldKind::CheckList || item < 0 || item >= ChoicesOf(*f, m_state).size() ||
        !CanFocus(field) || !Focus(field))
        return;
    m_state.currentItem[field] = item;
    Fire([&] {
        if (f->onItem)
            f->onItem(m_state, item);
    });
    HonourFocusRequest();
}

void CardController::Toggle(const QString& field, int item)
{
    const FieldSpec* f = m_spec.field(field);
    if (!f || f->kind != FieldKind::CheckList || item < 0 || item >= ChoicesOf(*f, m_state).size())
        return;
    const auto current = m_state.currentItem.find(field);
    if (current == m_state.currentItem.end() || current->second != item || m_focused != field)
        ClickItem(field, item);
    if (m_closed)
        return;
    CardState ticks;
    ticks.values[field] = m_state.value(field);
    ticks.setTicked(field, item, !ticks.ticked(field, item));
    Choose(field, ticks.value(field));
}

void CardController::PickDate(const QString& field, const QDate& date)
{
    const CardMask* mask = MaskOf(field);
    const int digits = mask && mask->Length() == 8 ? 2 : 4;
    Choose(field, digits == 2 ? FormatShortDate(date) : FormatDate(date));
}

void CardController::DoubleClick(const QString& field)
{
    const FieldSpec* f = m_spec.field(field);
    if (!f || m_closed || m_state.disabled.count(field) || m_state.hidden.count(field))
        return;
    if (TakesFocus(f->kind) && !Focus(field))
        return;
    // The first click of a double-click selects a radio button.
    if (f->kind == FieldKind::Radio) {
        Choose(field, QStringLiteral("1"));
        if (m_closed || m_focused != field)
            return;
    }
    Fire([&] {
        if (f->onDoubleClick)
            f->onDoubleClick(m_state);
        if (m_spec.onDoubleClick)
            m_spec.onDoubleClick(m_state, field);
    });
    HonourFocusRequest();
    // The picture as the handlers left it; a card that closed shows nothing more.
    if (f->kind != FieldKind::Picture || m_closed || !m_viewPicture)
        return;
    const QString path = m_state.value(field);
    if (!path.isEmpty() && QFileInfo(path).isFile())
        m_viewPicture(path);
}

void CardController::FocusAndRun(const QString& field, std::function<void(CardState&)> FieldSpec::*handler)
{
    const FieldSpec* f = m_spec.field(field);
    if (!f || !(f->*handler) || m_closed || m_state.disabled.count(field) || m_state.hidden.count(field))
        return;
    if (TakesFocus(f->kind) && !Focus(field))
        return;
    Fire([&] { (f->*handler)(m_state); });
    HonourFocusRequest();
}

void CardController::Click(const QString& field)
{
    FocusAndRun(field, &FieldSpec::onClick);
}

void CardController::ShiftKey(const QString& field)
{
    FocusAndRun(field, &FieldSpec::onShiftKey);
}

void CardController::Press(const QString& name, bool control)
{
    const ButtonSpec* b = m_spec.button(name);
    if (!b || m_closed || m_state.disabled.count(name) || m_state.hidden.count(name))
        return;
    // Leaving without keeping anything needs no complete mask.
    if (b->result == m_spec.cancelResult) {
        const QString left = m_focused;
        m_focused.clear();
        RunFocusHandlers(m_spec, m_state, left, QString(), [this](const auto& handler) { Fire(handler); });
    } else if (!Focus(QString())) {
        return;
    }
    // The field left asks nothing of a button press; its exit handlers may have disabled the button
    // (a weighting that no longer adds up), which then is not pressed.
    m_state.focusRequest.clear();
    if (m_closed || m_state.disabled.count(name) || m_state.hidden.count(name))
        return;
    if (b->result == CardResult::Save && !SaveAllowed())
        return;
    if (!m_spec.onButton) {
        Close(b->result);
        return;
    }
    bool close = false;
    m_state.controlHeld = control;
    Fire([&] { close = m_spec.onButton(m_state, *b); });
    m_state.controlHeld = false;
    if (close)
        Close(b->result);
    HonourFocusRequest();
}

QString CardController::CancelButton() const
{
    for (const ButtonSpec& b : m_spec.buttons)
        if (b.result == m_spec.cancelResult && !m_state.disabled.count(b.name) &&
            !m_state.hidden.count(b.name))
            return b.name;
    return QString();
}

void CardController::Escape()
{
    if (const QString button = CancelButton(); !button.isEmpty())
        Press(button);
}

void CardController::CloseBox()
{
    Close(m_spec.cancelResult);
}

} // namespace gim
