#include "platform/qt/card_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QVBoxLayout>

namespace gim {

namespace {

// Rows per column pair; longer cards continue in the next column pair.
constexpr int kRowsPerColumn = 16;

} // namespace

CardDialog::CardDialog(const CardSpec& spec, CardState& state, QWidget* parent)
    : QDialog(parent), m_spec(spec), m_state(state)
{
    setObjectName(spec.name);
    setToolTip(spec.hint);
    Build();
}

CardDialog::~CardDialog()
{
    // QDialog's destructor hides the window, which moves the focus; our members are gone by then.
    disconnect(m_focusWatch);
}

void CardDialog::Build()
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    outer->addLayout(grid);

    // Controls are created in declaration order, which is also their tab order.
    int index = 0;
    for (const FieldSpec& f : m_spec.fields) {
        FieldView view;
        view.spec = &f;
        const int row = index % kRowsPerColumn;
        const int column = 2 * (index / kRowsPerColumn);
        ++index;
        if (f.kind != FieldKind::Check) {
            view.caption = new QLabel(f.label, this);
            grid->addWidget(view.caption, row, column, Qt::AlignRight | Qt::AlignVCenter);
        }
        switch (f.kind) {
        case FieldKind::Text: {
            auto* edit = new QLineEdit(this);
            if (f.capacity > 0)
                edit->setMaxLength(f.capacity);
            connect(edit, &QLineEdit::textChanged, this, [this, name = f.name] { OnEdited(name); });
            view.widget = edit;
            break;
        }
        case FieldKind::Masked: {
            auto* edit = new QLineEdit(this);
            edit->setInputMask(f.mask);
            connect(edit, &QLineEdit::textChanged, this, [this, name = f.name] { OnEdited(name); });
            view.widget = edit;
            break;
        }
        case FieldKind::Combo: {
            auto* combo = new QComboBox(this);
            combo->addItems(f.choices);
            combo->setEditable(!f.fixedChoices);
            if (combo->isEditable()) {
                combo->setInsertPolicy(QComboBox::NoInsert);
                if (f.capacity > 0)
                    combo->lineEdit()->setMaxLength(f.capacity);
            }
            combo->setCurrentIndex(-1);
            view.clickTarget = combo->isEditable() ? static_cast<QWidget*>(combo->lineEdit()) : combo;
            connect(combo, &QComboBox::currentTextChanged, this, [this, name = f.name] { OnEdited(name); });
            view.widget = combo;
            break;
        }
        case FieldKind::Check: {
            auto* check = new QCheckBox(f.label, this);
            connect(check, &QCheckBox::toggled, this, [this, name = f.name] { OnEdited(name); });
            view.widget = check;
            break;
        }
        case FieldKind::Memo: {
            auto* memo = new QPlainTextEdit(this);
            memo->setTabChangesFocus(true);
            connect(memo, &QPlainTextEdit::textChanged, this, [this, name = f.name] { OnEdited(name); });
            view.widget = memo;
            view.clickTarget = memo->viewport();
            if (view.caption)
                grid->setAlignment(view.caption, Qt::AlignRight | Qt::AlignTop);
            break;
        }
        case FieldKind::Label:
            view.widget = new QLabel(this);
            break;
        }
        view.widget->setObjectName(f.name);
        view.widget->setToolTip(f.hint);
        if (!view.clickTarget)
            view.clickTarget = view.widget;
        view.clickTarget->installEventFilter(this);
        if (view.caption)
            view.caption->setBuddy(view.widget);
        grid->addWidget(view.widget, row, column + 1);
        m_fields.push_back(view);
    }

    auto* row = new QHBoxLayout;
    row->addStretch();
    for (const ButtonSpec& b : m_spec.buttons) {
        auto* button = new QPushButton(b.caption, this);
        button->setObjectName(b.name);
        button->setToolTip(b.hint);
        // No default button: Enter moves between fields instead of pressing one.
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QPushButton::clicked, this, [this, &b] { OnButton(b); });
        row->addWidget(button);
        m_buttons[b.name] = button;
    }
    outer->addLayout(row);
}

QWidget* CardDialog::FieldWidget(const QString& name) const
{
    const FieldView* view = View(name);
    return view ? view->widget : nullptr;
}

QLabel* CardDialog::FieldCaption(const QString& name) const
{
    const FieldView* view = View(name);
    return view ? view->caption : nullptr;
}

QPushButton* CardDialog::Button(const QString& name) const
{
    const auto it = m_buttons.find(name);
    return it == m_buttons.end() ? nullptr : it->second;
}

const CardDialog::FieldView* CardDialog::View(const QString& name) const
{
    for (const FieldView& view : m_fields)
        if (view.spec->name == name)
            return &view;
    return nullptr;
}

QString CardDialog::FieldOf(QWidget* widget) const
{
    // An editable combo box hands the focus to its line edit; walk up to the field's own control.
    for (QWidget* w = widget; w && w != this; w = w->parentWidget())
        for (const FieldView& view : m_fields)
            if (view.widget == w)
                return view.spec->name;
    return {};
}

// ---- State to widgets and back -------------------------------------------------------------------------

void CardDialog::ApplyChoices(const FieldView& view)
{
    auto* combo = static_cast<QComboBox*>(view.widget);
    const QStringList& wanted = ChoicesOf(*view.spec, m_state);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    if (shown == wanted)
        return;
    const QSignalBlocker blocker(combo);
    const QString text = combo->currentText();
    combo->clear();
    combo->addItems(wanted);
    if (combo->isEditable())
        combo->setCurrentText(text);
    else
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
}

void CardDialog::ApplyValue(const FieldView& view, const QString& value)
{
    const QSignalBlocker blocker(view.widget);
    switch (view.spec->kind) {
    case FieldKind::Text:
    case FieldKind::Masked: {
        auto* edit = static_cast<QLineEdit*>(view.widget);
        if (edit->text() != value)
            edit->setText(value);
        break;
    }
    case FieldKind::Combo: {
        auto* combo = static_cast<QComboBox*>(view.widget);
        if (combo->currentText() == value)
            break;
        if (combo->isEditable())
            combo->setCurrentText(value);
        else
            combo->setCurrentIndex(combo->findText(value, Qt::MatchExactly));
        break;
    }
    case FieldKind::Check:
        static_cast<QCheckBox*>(view.widget)->setChecked(value == u"1");
        break;
    case FieldKind::Memo: {
        auto* memo = static_cast<QPlainTextEdit*>(view.widget);
        if (memo->toPlainText() != value) {
            memo->setPlainText(value);
            memo->moveCursor(QTextCursor::End);
        }
        break;
    }
    case FieldKind::Label:
        static_cast<QLabel*>(view.widget)->setText(value);
        break;
    }
}

QString CardDialog::ReadValue(const FieldView& view) const
{
    QString value;
    switch (view.spec->kind) {
    case FieldKind::Text:
    case FieldKind::Masked:
        value = static_cast<QLineEdit*>(view.widget)->text();
        break;
    case FieldKind::Combo:
        value = static_cast<QComboBox*>(view.widget)->currentText();
        break;
    case FieldKind::Check:
        return static_cast<QCheckBox*>(view.widget)->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    case FieldKind::Memo:
        value = static_cast<QPlainTextEdit*>(view.widget)->toPlainText();
        break;
    case FieldKind::Label:
        value = static_cast<QLabel*>(view.widget)->text();
        break;
    }
    if (view.spec->capacity > 0)
        value.truncate(view.spec->capacity);
    return value;
}

void CardDialog::ApplyState()
{
    // Hiding or disabling the focused control makes Qt move the focus; the card keeps its focused field
    // until the user moves on, as the scripted backend does.
    const bool wasApplying = m_applying;
    m_applying = true;
    const auto captionOf = [this](const QString& name, const QString& fallback) {
        const auto it = m_state.captions.find(name);
        return it == m_state.captions.end() ? fallback : it->second;
    };
    for (const FieldView& view : m_fields) {
        const QString& name = view.spec->name;
        if (view.spec->kind == FieldKind::Combo)
            ApplyChoices(view);
        ApplyValue(view, m_state.value(name));
        const bool enabled = !m_state.disabled.count(name);
        const bool visible = !m_state.hidden.count(name);
        view.widget->setEnabled(enabled);
        view.widget->setVisible(visible);
        if (view.caption) {
            view.caption->setText(captionOf(name, view.spec->label));
            view.caption->setEnabled(enabled);
            view.caption->setVisible(visible);
        } else if (view.spec->kind == FieldKind::Check) {
            static_cast<QCheckBox*>(view.widget)->setText(captionOf(name, view.spec->label));
        }
    }
    for (const ButtonSpec& b : m_spec.buttons) {
        QPushButton* button = m_buttons.at(b.name);
        button->setText(captionOf(b.name, b.caption));
        button->setEnabled(!m_state.disabled.count(b.name));
        button->setVisible(!m_state.hidden.count(b.name));
    }
    setWindowTitle(m_state.caption.isEmpty() ? m_spec.caption : m_state.caption);
    m_applying = wasApplying;
}

// ---- Events --------------------------------------------------------------------------------------------

template <class F> void CardDialog::Fire(F&& handler)
{
    if (m_closed)
        return;
    handler();
    if (m_closed)
        return;
    ApplyState();
    if (m_state.closeWith)
        done(*m_state.closeWith);
}

void CardDialog::MoveFocus(const QString& field)
{
    if (field == m_focused || m_closed)
        return;
    const QString left = m_focused;
    m_focused = field;
    RunFocusHandlers(m_spec, m_state, left, field, [this](const auto& handler) { Fire(handler); });
}

void CardDialog::OnFocusChanged(QWidget*, QWidget* now)
{
    // Focus going to another window (a message box, another program) leaves the field where it was.
    if (!m_running || m_closed || m_applying || !now || now->window() != this)
        return;
    MoveFocus(FieldOf(now));
}

void CardDialog::OnEdited(const QString& field)
{
    if (!m_running || m_closed)
        return;
    const FieldView* view = View(field);
    const QString value = ReadValue(*view);
    // Qt also signals edits that leave the text as it was (a memo reformatting its blocks).
    if (value == m_state.value(field))
        return;
    // An edit arriving without a focus change (the window was never activated) still enters the field
    // first, so the handlers see the same order as ever.
    MoveFocus(field);
    if (m_closed)
        return;
    m_state.values[field] = value;
    Fire([&] {
        if (m_spec.onChange)
            m_spec.onChange(m_state, field);
    });
}

void CardDialog::OnButton(const ButtonSpec& button)
{
    if (!m_running || m_closed)
        return;
    // An accelerator presses the button without moving the focus; leave the field here, exactly once.
    if (QPushButton* pushed = Button(button.name))
        pushed->setFocus(Qt::OtherFocusReason);
    MoveFocus(QString());
    if (m_closed)
        return;
    if (!m_spec.onButton) {
        done(button.result);
        return;
    }
    bool close = false;
    Fire([&] { close = m_spec.onButton(m_state, button); });
    if (close && !m_closed)
        done(button.result);
}

void CardDialog::OnDoubleClick(const FieldView& view)
{
    if (!m_running || m_closed)
        return;
    const QString field = view.spec->name;
    if (view.spec->kind != FieldKind::Label)
        MoveFocus(field);
    if (m_closed)
        return;
    Fire([&] {
        if (m_spec.onDoubleClick)
            m_spec.onDoubleClick(m_state, field);
    });
}

bool CardDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick)
        for (const FieldView& view : m_fields)
            if (view.clickTarget == watched) {
                OnDoubleClick(view);
                break;
            }
    return QDialog::eventFilter(watched, event);
}

void CardDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->window() == this)
            button->click();
        else
            focusNextChild();
        event->accept();
        return;
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CardDialog::reject()
{
    done(m_spec.cancelResult);
}

void CardDialog::done(int result)
{
    if (m_closed)
        return;
    m_closed = true;
    m_result = result;
    disconnect(m_focusWatch);
    QDialog::done(result);
}

// ---- Running -------------------------------------------------------------------------------------------

bool CardDialog::Begin()
{
    m_state.closeWith.reset();
    m_running = true;
    ApplyState();
    Fire([&] {
        if (m_spec.onShow)
            m_spec.onShow(m_state);
    });
    if (m_closed)
        return false;
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, &CardDialog::OnFocusChanged);
    for (const FieldView& view : m_fields) {
        const QString& name = view.spec->name;
        if (view.spec->kind == FieldKind::Label || m_state.disabled.count(name) || m_state.hidden.count(name))
            continue;
        view.widget->setFocus(Qt::OtherFocusReason);
        MoveFocus(name);
        break;
    }
    return !m_closed;
}

int CardDialog::Run()
{
    if (Begin())
        exec();
    return m_result;
}

void CardDialog::Start()
{
    if (Begin())
        show();
}

} // namespace gim
