#pragma once

#include "platform/card.h"
#include "platform/card_controller.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QGridLayout;
class QLabel;
class QPushButton;
class QTabWidget;

namespace gim {

// The one dialog that shows any card. Each field stands where its place says: on its sheet, in its
// titled group, at its grid cell (caption, control); fields without a place fill the body in declaration
// order, sixteen rows to a column pair. With sheets, the body stands below them; the buttons in one row
// at the bottom. Every field control and button carries the field's or button's name as its object name;
// a date's calendar button is the field's name + "Boton".
//
// The dialog decides nothing: it hands edits, keys typed into masked fields, focus moves, double-clicks
// and button presses to the card controller and shows the state after each (values, combo items,
// disabled, hidden, captions, window caption), closing when the controller has closed the card. Focus
// the controller refuses (a half-typed mask) goes back to the field.
//
// A handler's focus request moves the Qt focus to the field the controller moved to. Ctrl+Space on a
// button presses it with Control held.
//
// The card keeps the size it opens with: a hidden control keeps its room, so showing it later moves
// nothing, and a text shown in a label is cut at the label's edge rather than widening the card.
//
// Keys: Enter moves to the next control like Tab (old cards were filled field after field), at once in an
// editable combo too, and presses a button only when that button has the focus; in a memo it starts a new
// line; on a radio button it is a double-click. Escape presses the cancel button, where the card has one;
// the window's close box returns the cancel result. Tab (or Enter) onto a button other than the cancel button leaves the field as a move to
// another field does, checked; a refused move, or a refused press, puts the focus back on the field.
class CardDialog final : public QDialog
{
    Q_OBJECT

public:
    // Opens the program's picture viewer on a file, over the card.
    using PictureViewerOpener = std::function<void(QWidget* card, const QString& path)>;

    // `message` shows what the card refuses; by default a message box. `viewer` shows a picture field's file
    // when the card asks for it (a double-click on the picture); without one nothing opens.
    CardDialog(const CardSpec& spec, CardState& state, QWidget* parent = nullptr,
               CardController::Notify message = {}, PictureViewerOpener viewer = {});
    ~CardDialog() override;

    // Runs onShow and the first onEnter, shows the card modally and returns its result code.
    int Run();
    // The same start without a modal loop; finished(int) and Result() tell the outcome.
    void Start();

    bool IsClosed() const { return m_closed; }
    int Result() const { return m_result; }
    // The field the card considers focused ("" = none, e.g. a button has the focus).
    QString FocusedField() const { return m_card.Focused(); }

    QWidget* FieldWidget(const QString& name) const;
    QLabel* FieldCaption(const QString& name) const; // the label beside a field (nullptr for check boxes)
    QPushButton* Button(const QString& name) const;
    QTabWidget* Sheets() const { return m_tabs; }

public slots:
    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct FieldView
    {
        const FieldSpec* spec = nullptr;
        QWidget* widget = nullptr;
        QLabel* caption = nullptr;
        QWidget* clickTarget = nullptr; // the widget that receives the field's mouse events
        QWidget* frame = nullptr;       // what stands in the grid: the control, or it with its calendar
        // A combo's items as last put into it: the state's list shares its data until a handler replaces
        // it, so telling whether the items changed costs nothing on a keystroke.
        QStringList shownChoices;
    };

    void Build();
    QGridLayout* GridFor(const FieldPlace& place);
    void OnTicked(const QString& field, int item);
    void OnCalendar(const QString& field);
    // Runs onShow, shows the state and gives the first field the focus; false if a handler closed the card.
    bool Begin();
    void ApplyState();
    void ApplyChoices(FieldView& view);
    void ApplyValue(const FieldView& view, const QString& value);
    QString ReadValue(const FieldView& view) const;
    // Shows the state after the controller acted, or closes the dialog when it closed the card.
    void Sync();
    void OnFocusChanged(QWidget* old, QWidget* now);
    void OnEdited(const QString& field);
    bool OnMaskedKey(const FieldView& view, QKeyEvent* event);
    void OnButton(const ButtonSpec& button, bool control = false);
    void OnDoubleClick(const FieldView& view);
    QString FieldOf(QWidget* widget) const;
    const FieldView* View(const QString& name) const;

    bool m_moving = false; // the controller is moving the focus the user gave a widget
    const CardSpec& m_spec;
    CardState& m_state;
    std::vector<FieldView> m_fields;
    std::map<QString, QPushButton*> m_buttons;
    QWidget* m_body = nullptr;
    QTabWidget* m_tabs = nullptr;
    std::map<QString, QWidget*> m_pages;
    std::map<QString, QWidget*> m_groups;
    CardController m_card;
    QMetaObject::Connection m_focusWatch;
    bool m_running = false;
    bool m_applying = false; // showing the state: focus moves are Qt's, not the user's
    bool m_closed = false;
    bool m_sizeFixed = false;
    int m_result = 0;
};

} // namespace gim
