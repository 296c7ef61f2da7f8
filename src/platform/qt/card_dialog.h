#pragma once

#include "platform/card.h"

#include <QDialog>
#include <QString>
#include <map>
#include <vector>

class QLabel;
class QPushButton;

namespace gim {

// The one dialog that shows any card. Fields are laid out in declaration order (label, control), the
// buttons in one row below. Every field control and button carries the field's or button's name as its
// object name.
//
// The dialog keeps the CardState current: an edit stores the control's value (cut to the capacity) and
// runs onChange; focus moving between fields runs onExit and onEnter; after every handler the state is
// shown again (values, combo items, disabled, hidden, captions, window caption) and `closeWith` closes
// the card. A mouse double-click on a field's control enters the field (a label takes no focus) and
// runs onDoubleClick.
// A button first leaves the focused field (its onExit, once, also when pressed through its accelerator)
// and then runs onButton. The card opens with the focus on its first field that can take it, whose
// onEnter runs right after onShow.
//
// Keys: Enter moves to the next control like Tab (old cards were filled field after field) and presses a
// button only when that button has the focus; in a memo it starts a new line. Escape does nothing, so a
// stray key never throws away a filled card; the window's close box returns the cancel result.
class CardDialog final : public QDialog
{
    Q_OBJECT

public:
    CardDialog(const CardSpec& spec, CardState& state, QWidget* parent = nullptr);
    ~CardDialog() override;

    // Runs onShow and the first onEnter, shows the card modally and returns its result code.
    int Run();
    // The same start without a modal loop; finished(int) and Result() tell the outcome.
    void Start();

    bool IsClosed() const { return m_closed; }
    int Result() const { return m_result; }
    // The field the card considers focused ("" = none, e.g. a button has the focus).
    QString FocusedField() const { return m_focused; }

    QWidget* FieldWidget(const QString& name) const;
    QLabel* FieldCaption(const QString& name) const; // the label beside a field (nullptr for check boxes)
    QPushButton* Button(const QString& name) const;

public slots:
    void done(int result) override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct FieldView
    {
        const FieldSpec* spec = nullptr;
        QWidget* widget = nullptr;
        QLabel* caption = nullptr;
        QWidget* clickTarget = nullptr; // the widget that receives the field's mouse events
    };

    void Build();
    // Runs onShow, shows the state and gives the first field the focus; false if a handler closed the card.
    bool Begin();
    void ApplyState();
    void ApplyChoices(const FieldView& view);
    void ApplyValue(const FieldView& view, const QString& value);
    QString ReadValue(const FieldView& view) const;
    template <class F> void Fire(F&& handler);
    void MoveFocus(const QString& field);
    void OnFocusChanged(QWidget* old, QWidget* now);
    void OnEdited(const QString& field);
    void OnButton(const ButtonSpec& button);
    void OnDoubleClick(const FieldView& view);
    QString FieldOf(QWidget* widget) const;
    const FieldView* View(const QString& name) const;

    const CardSpec& m_spec;
    CardState& m_state;
    std::vector<FieldView> m_fields;
    std::map<QString, QPushButton*> m_buttons;
    QString m_focused;
    QMetaObject::Connection m_focusWatch;
    bool m_running = false;
    bool m_applying = false; // showing the state: focus moves are Qt's, not the user's
    bool m_closed = false;
    int m_result = 0;
};

} // namespace gim
