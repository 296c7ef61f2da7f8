#include "platform/qt/card_dialog.h"

#include "platform/date_text.h"
#include "platform/qt/jpeg_codec.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtMath>
#include <algorithm>

namespace gim {

namespace {

// Rows per column pair; longer cards continue in the next column pair.
constexpr int kRowsPerColumn = 16;
// The smallest space a picture field shows its picture in, and the largest: a picture up to that size
// (a chart drawn for the card) is shown as it is, a larger one scaled down to it.
constexpr int kPictureWidth = 160;
constexpr int kPictureHeight = 120;
constexpr int kLargestPictureWidth = 761;
constexpr int kLargestPictureHeight = 409;
// The rows a table shows without scrolling, at most.
constexpr int kTableRowsShown = 16;
// A check list's room beside its texts (tick box, margins, scroll bar) and its tallest height.
constexpr int kCheckListExtra = 64;
constexpr int kCheckListHeight = 420;
// What a combo asks room for, in characters: a long item must not widen the card off the screen. The
// combo takes what its cell gives it.
constexpr int kComboCharacters = 16;
// A text field of this capacity or more shows this many characters.
constexpr int kLongTextCharacters = 48;

// A label field: once the card is shown it asks for the room its text had then, so a longer text is
// cut at its edge instead of widening the card and squeezing the controls beside it.
class CardLabel final : public QLabel
{
public:
    using QLabel::QLabel;
    void KeepRoom()
    {
        m_room = QLabel::sizeHint();
        m_least = QLabel::minimumSizeHint();
    }
    QSize sizeHint() const override { return m_room.isValid() ? m_room : QLabel::sizeHint(); }
    QSize minimumSizeHint() const override { return m_least.isValid() ? m_least : QLabel::minimumSizeHint(); }

private:
    QSize m_room;
    QSize m_least;
};

} // namespace

CardDialog::CardDialog(const CardSpec& spec, CardState& state, QWidget* parent,
                       CardController::Notify message, PictureViewerOpener viewer)
    : QDialog(parent), m_spec(spec), m_state(state),
      m_card(
          spec, state, message ? std::move(message) : CardController::Notify([this](const QString& text) {
              QMessageBox::information(this, QCoreApplication::applicationName(), text);
          }),
          [](const QString& fault) { qCritical("%s", qUtf8Printable(fault)); },
          viewer ? CardController::Notify(
                       [this, viewer = std::move(viewer)](const QString& path) { viewer(this, path); })
                 : CardController::Notify())
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

// The grid a control goes into: the body, a sheet, or a titled group on either.
QGridLayout* CardDialog::GridFor(const FieldPlace& place)
{
    const auto gridOf = [](QWidget* w) { return static_cast<QGridLayout*>(w->layout()); };
    QWidget* sheet = m_body;
    if (!place.page.isEmpty()) {
        if (!m_tabs) {
            m_tabs = new QTabWidget(this);
            m_tabs->setObjectName(QStringLiteral("Sheets"));
            static_cast<QVBoxLayout*>(layout())->addWidget(m_tabs);
        }
        auto it = m_pages.find(place.page);
        if (it == m_pages.end()) {
            auto* page = new QWidget;
            new QGridLayout(page);
            m_tabs->addTab(page, place.page);
            it = m_pages.emplace(place.page, page).first;
        }
        sheet = it->second;
    }
    if (place.group.isEmpty())
        return gridOf(sheet);
    const QString key = place.page + QLatin1Char('\n') + place.group;
    auto it = m_groups.find(key);
    if (it == m_groups.end()) {
        auto* box = new QGroupBox(place.group);
        box->setObjectName(place.group);
        new QGridLayout(box);
        QGridLayout* sheetGrid = gridOf(sheet);
        if (const GroupSpec* g = m_spec.group(place.group))
            sheetGrid->addWidget(box, g->row < 0 ? sheetGrid->rowCount() : g->row, g->column, g->rowSpan,
                                 g->columnSpan, Qt::AlignTop);
        else
            sheetGrid->addWidget(box, sheetGrid->rowCount(), 0, 1, 1, Qt::AlignTop);
        it = m_groups.emplace(key, box).first;
    }
    return gridOf(it->second);
}

void CardDialog::Build()
{
    auto* outer = new QVBoxLayout(this);
    m_body = new QWidget(this);
    auto* body = new QGridLayout(m_body);
    body->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_body);

    // Controls are created in declaration order, which is also their tab order. Controls without a place
    // fill the body a column pair at a time.
    int index = 0;
    for (const FieldSpec& f : m_spec.fields) {
        FieldView view;
        view.spec = &f;
        QGridLayout* grid = GridFor(f.place);
        const bool placed = f.place.row >= 0 || !f.place.page.isEmpty() || !f.place.group.isEmpty();
        int row = f.place.row;
        int column = 2 * f.place.column;
        if (!placed) {
            row = index % kRowsPerColumn;
            column = 2 * (index / kRowsPerColumn);
            ++index;
        } else if (row < 0) {
            row = grid->rowCount();
            // An empty grid still counts one row.
            if (row == 1 && !grid->itemAtPosition(0, 0) && !grid->itemAtPosition(0, 1))
                row = 0;
        }
        const int span = 2 * std::max(1, f.place.columnSpan);
        const bool captioned =
            f.kind != FieldKind::Check && f.kind != FieldKind::Radio &&
            !(f.label.isEmpty() &&
              (f.kind == FieldKind::CheckList || f.kind == FieldKind::Table || f.kind == FieldKind::Picture));
        if (captioned) {
            view.caption = new QLabel(f.label, this);
            grid->addWidget(view.caption, row, column, Qt::AlignRight | Qt::AlignVCenter);
        }
        switch (f.kind) {
        case FieldKind::Text: {
            auto* edit = new QLineEdit(this);
            if (f.capacity > 0)
                edit->setMaxLength(f.capacity);
            // A long text (a description) asks room for a readable part of it, not a code's width.
            if (f.capacity >= kLongTextCharacters)
                edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * kLongTextCharacters);
            connect(edit, &QLineEdit::textChanged, this, [this, name = f.name] { OnEdited(name); });
            view.widget = edit;
            break;
        }
        case FieldKind::Masked:
        case FieldKind::Date: {
            // Keys go to the card's mask, not to Qt's: the value is what the controller makes of them.
            auto* edit = new QLineEdit(this);
            edit->setContextMenuPolicy(Qt::NoContextMenu);
            edit->setDragEnabled(false);
            edit->setAcceptDrops(false);
            edit->installEventFilter(this);
            connect(edit, &QLineEdit::textChanged, this, [this, name = f.name] { OnEdited(name); });
            view.widget = edit;
            if (f.kind == FieldKind::Date) {
                auto* frame = new QWidget(this);
                auto* line = new QHBoxLayout(frame);
                line->setContentsMargins(0, 0, 0, 0);
                line->addWidget(edit);
                auto* pick = new QToolButton(frame);
                pick->setObjectName(f.name + QStringLiteral("Boton"));
                pick->setText(QStringLiteral("..."));
                pick->setFocusPolicy(Qt::NoFocus);
                line->addWidget(pick);
                connect(pick, &QToolButton::clicked, this, [this, name = f.name] { OnCalendar(name); });
                view.frame = frame;
            }
            break;
        }
        case FieldKind::Combo: {
            auto* combo = new QComboBox(this);
            combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            combo->setMinimumContentsLength(kComboCharacters);
            combo->addItems(f.choices);
            view.shownChoices = f.choices;
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
        case FieldKind::Radio: {
            // The controller keeps the group's selection: Qt's own would not let every button go out.
            auto* radio = new QRadioButton(f.label, this);
            radio->setAutoExclusive(false);
            connect(radio, &QRadioButton::toggled, this, [this, name = f.name] { OnEdited(name); });
            view.widget = radio;
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
            view.widget = new CardLabel(this);
            break;
        case FieldKind::CheckList: {
            auto* list = new QListWidget(this);
            list->setSelectionMode(QAbstractItemView::NoSelection);
            connect(list, &QListWidget::itemChanged, this,
                    [this, name = f.name, list](QListWidgetItem* item) { OnTicked(name, list->row(item)); });
            connect(list, &QListWidget::currentRowChanged, this, [this, name = f.name](int current) {
                if (!m_running || m_closed || m_applying || current < 0)
                    return;
                m_card.ClickItem(name, current);
                Sync();
            });
            // Long lists scroll; each list is as wide as its longest item.
            int widest = 0;
            for (const QString& item : f.choices)
                widest = std::max(widest, list->fontMetrics().horizontalAdvance(item));
            list->setFixedWidth(widest + kCheckListExtra);
            list->setMaximumHeight(kCheckListHeight);
            view.widget = list;
            view.clickTarget = list->viewport();
            break;
        }
        case FieldKind::Table: {
            auto* table = new QTableWidget(this);
            table->setColumnCount(static_cast<int>(f.columns.size()));
            table->setHorizontalHeaderLabels(f.columns);
            table->setEditTriggers(QAbstractItemView::NoEditTriggers);
            table->setSelectionBehavior(QAbstractItemView::SelectRows);
            table->setSelectionMode(QAbstractItemView::SingleSelection);
            table->verticalHeader()->hide();
            connect(table, &QTableWidget::currentCellChanged, this,
                    [this, name = f.name] { OnEdited(name); });
            view.widget = table;
            view.clickTarget = table->viewport();
            break;
        }
        case FieldKind::Picture: {
            auto* picture = new QLabel(this);
            picture->setAlignment(Qt::AlignCenter);
            picture->setMinimumSize(kPictureWidth, kPictureHeight);
            picture->setFrameShape(QFrame::StyledPanel);
            view.widget = picture;
            break;
        }
        }
        view.widget->setObjectName(f.name);
        view.widget->setToolTip(f.hint);
        if (!view.frame)
            view.frame = view.widget;
        if (!view.clickTarget)
            view.clickTarget = view.widget;
        view.clickTarget->installEventFilter(this);
        // A control the card shows only at times has its room from the start.
        for (QWidget* w : {view.frame, static_cast<QWidget*>(view.caption)}) {
            if (!w)
                continue;
            QSizePolicy policy = w->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            w->setSizePolicy(policy);
        }
        // An editable combo takes the keys itself: its Shift-keys are seen there.
        if (view.widget != view.clickTarget)
            view.widget->installEventFilter(this);
        if (view.caption) {
            view.caption->setBuddy(view.widget);
            grid->addWidget(view.frame, row, column + 1, std::max(1, f.place.rowSpan), span - 1);
        } else {
            grid->addWidget(view.frame, row, column, std::max(1, f.place.rowSpan), span);
        }
        m_fields.push_back(view);
    }
    // With sheets, the controls common to all of them stand below.
    if (m_tabs) {
        outer->removeWidget(m_body);
        outer->insertWidget(outer->indexOf(m_tabs) + 1, m_body);
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
        button->installEventFilter(this);
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

void CardDialog::ApplyChoices(FieldView& view)
{
    auto* combo = static_cast<QComboBox*>(view.widget);
    const QStringList& wanted = ChoicesOf(*view.spec, m_state);
    // Only this function changes the items (the combo inserts nothing typed), so the list last put in is
    // what the combo shows. An equal list built anew is compared once and then shared.
    if (wanted == view.shownChoices) {
        view.shownChoices = wanted;
        return;
    }
    view.shownChoices = wanted;
    const QSignalBlocker blocker(combo);
    const QString text = combo->currentText();
    // New items must not disturb the editing: a text selected on entering the field stays selected, so
    // that typing replaces it.
    QLineEdit* line = combo->lineEdit();
    const int selectionStart = line ? line->selectionStart() : -1;
    const int selectionLength = line ? line->selectionLength() : 0;
    const int cursor = line ? line->cursorPosition() : 0;
    combo->clear();
    combo->addItems(wanted);
    // Filling an empty combo makes its first item current; a text that is no item ("#") stays no item, or
    // Enter would take the first one.
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
    if (combo->isEditable()) {
        combo->setEditText(text);
        if (selectionStart >= 0)
            line->setSelection(selectionStart, selectionLength);
        else
            line->setCursorPosition(cursor);
    } else {
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
    }
}

void CardDialog::ApplyValue(const FieldView& view, const QString& value)
{
    const QSignalBlocker blocker(view.widget);
    switch (view.spec->kind) {
    case FieldKind::Text: {
        auto* edit = static_cast<QLineEdit*>(view.widget);
        if (edit->text() != value)
            edit->setText(value);
        break;
    }
    case FieldKind::Masked:
    case FieldKind::Date: {
        auto* edit = static_cast<QLineEdit*>(view.widget);
        const CardMask* mask = m_card.MaskOf(view.spec->name);
        const QString shown = mask ? mask->Display(value) : value;
        if (edit->text() != shown) {
            const int cursor = edit->cursorPosition();
            edit->setText(shown);
            edit->setCursorPosition(cursor);
        }
        break;
    }
    case FieldKind::Combo: {
        auto* combo = static_cast<QComboBox*>(view.widget);
        if (combo->currentText() == value)
            break;
        combo->setCurrentIndex(combo->findText(value, Qt::MatchExactly));
        if (combo->isEditable())
            combo->setEditText(value);
        break;
    }
    case FieldKind::Check:
    case FieldKind::Radio:
        static_cast<QAbstractButton*>(view.widget)->setChecked(value == u"1");
        break;
    case FieldKind::Memo: {
        auto* memo = static_cast<QPlainTextEdit*>(view.widget);
        if (memo->toPlainText() != value) {
            memo->setPlainText(value);
            memo->moveCursor(QTextCursor::End);
            // A list in tab-stopped columns keeps each row on one line, its heading first: the pane
            // widens to its widest row within a readable limit and scrolls past it.
            if (value.contains(QLatin1Char('\t'))) {
                memo->setLineWrapMode(QPlainTextEdit::NoWrap);
                memo->moveCursor(QTextCursor::StartOfLine);
                const QFontMetrics metrics = memo->fontMetrics();
                const int tab = qRound(memo->tabStopDistance());
                const auto width = [&](const QString& line) {
                    return metrics.size(Qt::TextExpandTabs, line, tab).width();
                };
                const QStringList lines = value.split(QLatin1Char('\n'));
                int widest = 0;
                for (const QString& line : lines)
                    widest = std::max(widest, width(line));
                widest = std::max(width(lines.first()),
                                  std::min(widest, metrics.averageCharWidth() * 2 * kLongTextCharacters));
                const int chrome = 2 * (memo->frameWidth() + qCeil(memo->document()->documentMargin())) +
                                   memo->verticalScrollBar()->sizeHint().width();
                memo->setMinimumWidth(std::max(memo->minimumWidth(), widest + chrome));
            }
        }
        break;
    }
    case FieldKind::Label:
        static_cast<QLabel*>(view.widget)->setText(value);
        break;
    case FieldKind::CheckList: {
        auto* list = static_cast<QListWidget*>(view.widget);
        const QStringList& items = ChoicesOf(*view.spec, m_state);
        if (list->count() != items.size())
            list->clear();
        for (int i = 0; i < items.size(); ++i) {
            QListWidgetItem* item = list->item(i);
            if (!item) {
                item = new QListWidgetItem(list);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            }
            item->setText(items[i]);
            item->setCheckState(m_state.ticked(view.spec->name, i) ? Qt::Checked : Qt::Unchecked);
        }
        if (const auto it = m_state.currentItem.find(view.spec->name);
            it != m_state.currentItem.end() && list->currentRow() != it->second)
            list->setCurrentRow(it->second);
        break;
    }
    case FieldKind::Table: {
        auto* table = static_cast<QTableWidget*>(view.widget);
        const auto it = m_state.rows.find(view.spec->name);
        const int count = it == m_state.rows.end() ? 0 : static_cast<int>(it->second.size());
        table->setRowCount(count);
        for (int r = 0; r < count; ++r)
            for (int c = 0; c < table->columnCount(); ++c) {
                const QString text = it->second[r].value(c);
                QTableWidgetItem* cell = table->item(r, c);
                if (!cell)
                    table->setItem(r, c, new QTableWidgetItem(text));
                else if (cell->text() != text)
                    cell->setText(text);
            }
        bool number = false;
        const int current = value.toInt(&number);
        if (!number || current < 0 || current >= count)
            table->setCurrentCell(-1, -1);
        else if (table->currentRow() != current)
            table->setCurrentCell(current, 0);
        // The current row stands out in bold; every column and row can be read without scrolling.
        for (int r = 0; r < count; ++r)
            for (int c = 0; c < table->columnCount(); ++c) {
                QTableWidgetItem* cell = table->item(r, c);
                if (cell->font().bold() != (r == current)) {
                    QFont font = cell->font();
                    font.setBold(r == current);
                    cell->setFont(font);
                }
            }
        table->resizeColumnsToContents();
        table->resizeRowsToContents();
        const int frame = 2 * table->frameWidth();
        int height = table->horizontalHeader()->height() + frame;
        for (int r = 0; r < std::min(count, kTableRowsShown); ++r)
            height += table->rowHeight(r);
        table->setMinimumWidth(table->horizontalHeader()->length() +
                               table->verticalScrollBar()->sizeHint().width() + frame);
        table->setMinimumHeight(height);
        break;
    }
    case FieldKind::Picture: {
        auto* picture = static_cast<QLabel*>(view.widget);
        if (picture->property("path").toString() == value)
            break;
        picture->setProperty("path", value);
        const auto image = value.isEmpty() ? tl::expected<QImage, QString>(QImage()) : ReadPicture(value);
        if (image && !image->isNull()) {
            const QSize room = image->size()
                                   .boundedTo(QSize(kLargestPictureWidth, kLargestPictureHeight))
                                   .expandedTo(QSize(kPictureWidth, kPictureHeight));
            picture->setMinimumSize(room);
            picture->setPixmap(
                QPixmap::fromImage(image->size() == image->size().boundedTo(room)
                                       ? *image
                                       : image->scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        } else {
            picture->clear();
        }
        break;
    }
    }
}

QString CardDialog::ReadValue(const FieldView& view) const
{
    QString value;
    switch (view.spec->kind) {
    case FieldKind::Text:
        value = static_cast<QLineEdit*>(view.widget)->text();
        break;
    case FieldKind::Masked:
    case FieldKind::Date: {
        // Blank characters shown in empty positions are no typed text.
        value = static_cast<QLineEdit*>(view.widget)->text();
        if (const CardMask* mask = m_card.MaskOf(view.spec->name); mask && value.size() == mask->Length())
            return value == mask->Display(m_state.value(view.spec->name)) ? m_state.value(view.spec->name)
                                                                          : value;
        return value;
    }
    case FieldKind::Combo:
        value = static_cast<QComboBox*>(view.widget)->currentText();
        break;
    case FieldKind::Check:
    case FieldKind::Radio:
        return static_cast<QAbstractButton*>(view.widget)->isChecked() ? QStringLiteral("1")
                                                                       : QStringLiteral("0");
    case FieldKind::Memo:
        value = static_cast<QPlainTextEdit*>(view.widget)->toPlainText();
        break;
    case FieldKind::Label:
        value = static_cast<QLabel*>(view.widget)->text();
        break;
    case FieldKind::Table: {
        const int row = static_cast<QTableWidget*>(view.widget)->currentRow();
        return row < 0 ? QString() : QString::number(row);
    }
    case FieldKind::CheckList:
    case FieldKind::Picture:
        return m_state.value(view.spec->name);
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
    for (FieldView& view : m_fields) {
        const QString& name = view.spec->name;
        if (view.spec->kind == FieldKind::Combo)
            ApplyChoices(view);
        ApplyValue(view, m_state.value(name));
        const bool enabled = !m_state.disabled.count(name);
        const bool visible = !m_state.hidden.count(name);
        view.frame->setEnabled(enabled);
        view.frame->setVisible(visible);
        const auto hint = m_state.hints.find(name);
        view.widget->setToolTip(hint == m_state.hints.end() ? view.spec->hint : hint->second);
        if (view.caption) {
            view.caption->setText(captionOf(name, view.spec->label));
            view.caption->setEnabled(enabled);
            view.caption->setVisible(visible);
        } else if (view.spec->kind == FieldKind::Check || view.spec->kind == FieldKind::Radio) {
            static_cast<QAbstractButton*>(view.widget)->setText(captionOf(name, view.spec->label));
        }
    }
    for (const ButtonSpec& b : m_spec.buttons) {
        QPushButton* button = m_buttons.at(b.name);
        button->setText(captionOf(b.name, b.caption));
        const auto hint = m_state.hints.find(b.name);
        button->setToolTip(hint == m_state.hints.end() ? b.hint : hint->second);
        button->setEnabled(!m_state.disabled.count(b.name));
        button->setVisible(!m_state.hidden.count(b.name));
    }
    setWindowTitle(m_state.caption.isEmpty() ? m_spec.caption : m_state.caption);
    m_applying = wasApplying;
}

// ---- Events --------------------------------------------------------------------------------------------

void CardDialog::Sync()
{
    if (m_closed)
        return;
    if (m_card.Closed()) {
        done(m_card.Result());
        return;
    }
    ApplyState();
    if (m_card.TakeFocusMoved())
        if (const FieldView* moved = View(m_card.Focused())) {
            const bool wasApplying = m_applying;
            m_applying = true;
            moved->widget->setFocus(Qt::OtherFocusReason);
            m_applying = wasApplying;
        }
}

void CardDialog::OnFocusChanged(QWidget*, QWidget* now)
{
    // Focus going to another window (a message box, another program) leaves the field where it was.
    if (!m_running || m_closed || m_applying || !now || now->window() != this)
        return;
    const QString field = FieldOf(now);
    if (field.isEmpty()) {
        // Tab or Enter onto a button leaves the field as a move to another field does: its value is
        // checked and its exit handlers run, which may disable that very button. A click leaves it when
        // the button is pressed; the cancel button asks nothing of the field.
        const auto button = std::find_if(m_buttons.begin(), m_buttons.end(),
                                         [now](const auto& b) { return b.second == now; });
        if (button == m_buttons.end() || button->first == m_card.CancelButton() ||
            QGuiApplication::mouseButtons() != Qt::NoButton || m_card.Focused().isEmpty())
            return;
    }
    // A refusal's message box hands the focus back to the widget clicked when it closes: that is the
    // same move, refused once already.
    if (m_moving)
        return;
    m_moving = true;
    const bool moved = m_card.Focus(field);
    m_moving = false;
    if (!moved && !m_closed && !m_card.Closed()) {
        const bool wasApplying = m_applying;
        m_applying = true;
        if (const FieldView* back = View(m_card.Focused()))
            back->widget->setFocus(Qt::OtherFocusReason);
        m_applying = wasApplying;
    }
    Sync();
}

void CardDialog::OnEdited(const QString& field)
{
    if (!m_running || m_closed || m_applying)
        return;
    const FieldView* view = View(field);
    const QString value = ReadValue(*view);
    // Qt also signals edits that leave the text as it was (a memo reformatting its blocks).
    if (value == m_state.value(field))
        return;
    if (view->spec->kind == FieldKind::Check || view->spec->kind == FieldKind::Radio ||
        view->spec->kind == FieldKind::Table ||
        (view->spec->kind == FieldKind::Combo && view->spec->fixedChoices))
        m_card.Choose(field, value);
    else
        m_card.Edit(field, value);
    Sync();
}

void CardDialog::OnTicked(const QString& field, int item)
{
    if (!m_running || m_closed || m_applying)
        return;
    const FieldView* view = View(field);
    auto* list = static_cast<QListWidget*>(view->widget);
    const bool shown = list->item(item) && list->item(item)->checkState() == Qt::Checked;
    if (shown != m_state.ticked(field, item))
        m_card.Toggle(field, item);
    Sync();
}

void CardDialog::OnCalendar(const QString& field)
{
    if (!m_running || m_closed || !m_card.CanFocus(field))
        return;
    QDialog picker(this);
    picker.setObjectName(QStringLiteral("Calendario"));
    picker.setWindowTitle(QStringLiteral("Calendario"));
    auto* calendar = new QCalendarWidget(&picker);
    auto* layout = new QVBoxLayout(&picker);
    layout->addWidget(calendar);
    const QString shown = m_state.value(field);
    QDate current = ParseDate(shown);
    if (!current.isValid())
        current = ParseShortDate(shown).addYears(100);
    if (current.isValid())
        calendar->setSelectedDate(current);
    connect(calendar, &QCalendarWidget::activated, &picker, &QDialog::accept);
    if (picker.exec() != QDialog::Accepted)
        return;
    m_card.PickDate(field, calendar->selectedDate());
    Sync();
}

bool CardDialog::OnMaskedKey(const FieldView& view, QKeyEvent* event)
{
    auto* edit = static_cast<QLineEdit*>(view.widget);
    const QString& field = view.spec->name;
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const int selected = edit->hasSelectedText() ? static_cast<int>(edit->selectedText().size()) : 0;
    int cursor = start;
    if (event->key() == Qt::Key_Backspace) {
        cursor = selected ? m_card.Erase(field, start, start + selected)
                          : m_card.Erase(field, std::max(0, start - 1), start);
    } else if (event->key() == Qt::Key_Delete) {
        cursor = m_card.Erase(field, start, start + std::max(1, selected));
    } else if (event->matches(QKeySequence::Paste)) {
        cursor = m_card.Type(field, start, selected, QApplication::clipboard()->text());
    } else if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Undo) ||
               event->matches(QKeySequence::Redo)) {
        return true;
    } else if (!event->text().isEmpty() && event->text()[0].isPrint() &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        cursor = m_card.Type(field, start, selected, event->text());
    } else {
        return false;
    }
    Sync();
    if (!m_closed) {
        edit->deselect();
        edit->setCursorPosition(cursor);
    }
    return true;
}

void CardDialog::OnButton(const ButtonSpec& button, bool control)
{
    if (!m_running || m_closed)
        return;
    // An accelerator presses the button without moving the focus; the controller leaves the field.
    if (QPushButton* pushed = Button(button.name)) {
        const bool wasApplying = m_applying;
        m_applying = true;
        pushed->setFocus(Qt::OtherFocusReason);
        m_applying = wasApplying;
    }
    m_card.Press(button.name, control);
    Sync();
    // A press refused by the field it left, or by a field the save checked, leaves the focus there: the
    // next key goes to that field, not to the button.
    if (const FieldView* refused = View(m_card.Focused());
        refused && !m_closed && !refused->widget->hasFocus()) {
        const bool wasApplying = m_applying;
        m_applying = true;
        refused->widget->setFocus(Qt::OtherFocusReason);
        m_applying = wasApplying;
    }
}

void CardDialog::OnDoubleClick(const FieldView& view)
{
    if (!m_running || m_closed)
        return;
    m_card.DoubleClick(view.spec->name);
    Sync();
}

bool CardDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Ctrl+Space on a button presses it with Control held.
    if (event->type() == QEvent::KeyPress && m_running && !m_closed &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::ControlModifier)
        for (const ButtonSpec& b : m_spec.buttons)
            if (m_buttons.at(b.name) == watched) {
                if (m_buttons.at(b.name)->isEnabled())
                    OnButton(b, true);
                return true;
            }
    // A field that takes Shift-keys: the key fills it instead of being typed; Shift+Tab still moves on.
    // Shift going down is no key of its own: a capital typed with it is a plain keystroke.
    if (event->type() == QEvent::KeyPress && m_running && !m_closed &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::ShiftModifier &&
        static_cast<QKeyEvent*>(event)->key() != Qt::Key_Shift)
        for (const FieldView& view : m_fields)
            if ((view.clickTarget == watched || view.widget == watched) && view.spec->onShiftKey) {
                const auto* key = static_cast<QKeyEvent*>(event);
                const bool types = !key->text().isEmpty() && key->text().at(0).isPrint();
                if (view.spec->shiftKeyTyped && types)
                    break;
                m_card.ShiftKey(view.spec->name);
                Sync();
                if (key->key() != Qt::Key_Backtab && key->key() != Qt::Key_Tab && !view.spec->shiftKeyTyped)
                    return true;
                break;
            }
    if (event->type() == QEvent::MouseButtonPress && m_running && !m_closed)
        for (const FieldView& view : m_fields)
            if (view.clickTarget == watched && view.spec->onClick) {
                m_card.Click(view.spec->name);
                Sync();
                break;
            }
    // Enter in an editable combo moves on at once: the combo would first take it to accept its inline
    // completion, or to pick an item matching the text, so that a second Enter was needed.
    if (event->type() == QEvent::KeyPress && m_running && !m_closed &&
        (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
         static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter))
        if (auto* combo = qobject_cast<QComboBox*>(watched);
            combo && combo->isEditable() && !FieldOf(combo).isEmpty()) {
            focusNextChild();
            return true;
        }
    if (event->type() == QEvent::KeyPress && m_running && !m_closed)
        for (const FieldView& view : m_fields)
            if (view.widget == watched && m_card.MaskOf(view.spec->name))
                if (OnMaskedKey(view, static_cast<QKeyEvent*>(event)))
                    return true;
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
        else if (const FieldView* radio = View(FieldOf(focusWidget()));
                 radio && radio->spec->kind == FieldKind::Radio)
            OnDoubleClick(*radio);
        else
            focusNextChild();
        event->accept();
        return;
    case Qt::Key_Escape:
        // The cancel button, where the card has one, as its accelerator would press it.
        event->accept();
        if (const ButtonSpec* cancel = m_spec.button(m_card.CancelButton()); cancel && m_running && !m_closed)
            OnButton(*cancel, false);
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

void CardDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_sizeFixed)
        return;
    m_sizeFixed = true;
    // The card keeps the size it opens with, whatever the user types.
    for (const FieldView& view : m_fields)
        if (view.spec->kind == FieldKind::Label)
            static_cast<CardLabel*>(view.widget)->KeepRoom();
    setFixedSize(size());
}

bool CardDialog::Begin()
{
    m_running = true;
    ApplyState();
    m_card.Show();
    if (m_card.Closed()) {
        Sync();
        return false;
    }
    ApplyState();
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, &CardDialog::OnFocusChanged);
    m_card.EnterFirst();
    if (const FieldView* first = View(m_card.Focused())) {
        const bool wasApplying = m_applying;
        m_applying = true;
        first->widget->setFocus(Qt::OtherFocusReason);
        m_applying = wasApplying;
    }
    Sync();
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
