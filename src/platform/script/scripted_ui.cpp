#include "platform/script/scripted_ui.h"

#include "platform/card_controller.h"
#include "platform/date_text.h"

#include <algorithm>

namespace gim {

namespace {

QString Quoted(const QString& text)
{
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString Bracketed(const QString& text)
{
    return QLatin1Char('[') + text + QLatin1Char(']');
}

QString PictureResultName(PictureWindowResult result)
{
    switch (result) {
    case PictureWindowResult::Print:
        return QStringLiteral("IMPRIMIR");
    case PictureWindowResult::Save:
        return QStringLiteral("SALVAR");
    case PictureWindowResult::Exit:
        break;
    }
    return QStringLiteral("SALIR");
}

} // namespace

// ---- CardScript ----------------------------------------------------------------------------------------

CardScript& CardScript::Set(const QString& field, const QString& value)
{
    m_actions.push_back({Kind::Set, field, value, {}});
    return *this;
}

CardScript& CardScript::Toggle(const QString& field, const QString& item)
{
    m_actions.push_back({Kind::Toggle, field, item, {}});
    return *this;
}

CardScript& CardScript::PickDate(const QString& field, QDate date)
{
    m_actions.push_back({Kind::PickDate, field, FormatDate(date), {}});
    return *this;
}

CardScript& CardScript::DoubleClick(const QString& field)
{
    m_actions.push_back({Kind::DoubleClick, field, {}, {}});
    return *this;
}

CardScript& CardScript::Click(const QString& field)
{
    m_actions.push_back({Kind::Click, field, {}, {}});
    return *this;
}

CardScript& CardScript::ShiftKey(const QString& field)
{
    m_actions.push_back({Kind::ShiftKey, field, {}, {}});
    return *this;
}

CardScript& CardScript::Press(const QString& button)
{
    m_actions.push_back({Kind::Press, button, {}, {}});
    return *this;
}

CardScript& CardScript::Focus(const QString& field)
{
    m_actions.push_back({Kind::Focus, field, {}, {}});
    return *this;
}

CardScript& CardScript::ControlPress(const QString& button)
{
    m_actions.push_back({Kind::ControlPress, button, {}, {}});
    return *this;
}

CardScript& CardScript::ExpectFocus(const QString& field)
{
    m_actions.push_back({Kind::ExpectFocus, field, {}, {}});
    return *this;
}

CardScript& CardScript::Cancel()
{
    m_actions.push_back({Kind::Cancel, {}, {}, {}});
    return *this;
}

CardScript& CardScript::Escape()
{
    m_actions.push_back({Kind::Escape, {}, {}, {}});
    return *this;
}

CardScript& CardScript::ExpectValue(const QString& field, const QString& value)
{
    m_actions.push_back({Kind::ExpectValue, field, value, {}});
    return *this;
}

CardScript& CardScript::ExpectDisabled(const QString& name)
{
    m_actions.push_back({Kind::ExpectDisabled, name, {}, {}});
    return *this;
}

CardScript& CardScript::ExpectEnabled(const QString& name)
{
    m_actions.push_back({Kind::ExpectEnabled, name, {}, {}});
    return *this;
}

CardScript& CardScript::Inspect(std::function<void(const CardState&)> check)
{
    m_actions.push_back({Kind::Inspect, {}, {}, std::move(check)});
    return *this;
}

// ---- Steps ---------------------------------------------------------------------------------------------

struct ScriptedUi::Step
{
    StepKind kind;
    QString caption; // input, report
    QString text;    // input prompt, message, yes/no text
    QString answer;  // input
    bool yes = false;
    bool anyCaption = false;     // report without a caption to match
    std::optional<QString> path; // file dialog
    QDate start, end;            // date range
    PictureWindowResult picture = PictureWindowResult::Exit;
    std::unique_ptr<CardScript> card;
};

QString ScriptedUi::Describe(const Step& step)
{
    switch (step.kind) {
    case StepKind::Input:
        return QStringLiteral("INPUT %1 %2 = %3")
            .arg(Bracketed(step.caption), step.text, Quoted(step.answer));
    case StepKind::InputCancel:
        return QStringLiteral("INPUT %1 %2 = CANCEL").arg(Bracketed(step.caption), step.text);
    case StepKind::Message:
        return QStringLiteral("MESSAGE ") + Quoted(step.text);
    case StepKind::OkCancel:
        return QStringLiteral("OKCANCEL %1 = %2").arg(Quoted(step.text), step.yes ? u"OK" : u"CANCEL");
    case StepKind::YesNo:
        return QStringLiteral("YESNO %1 = %2").arg(Quoted(step.text), step.yes ? u"SI" : u"NO");
    case StepKind::Card:
        return QStringLiteral("CARD ") + Bracketed(step.card->m_caption);
    case StepKind::Report:
        return step.anyCaption ? QStringLiteral("REPORT")
                               : QStringLiteral("REPORT ") + Bracketed(step.caption);
    case StepKind::ChooseFile:
        return QStringLiteral("CHOOSEFILE = ") + (step.path ? Quoted(*step.path) : QStringLiteral("CANCEL"));
    case StepKind::DateRange:
        return QStringLiteral("DATERANGE = ") + FormatDateRange(step.start, step.end);
    case StepKind::DateRangeCancel:
        return QStringLiteral("DATERANGE = CANCEL");
    case StepKind::PrintDialog:
        return QStringLiteral("PRINTDIALOG = ") + QLatin1String(step.yes ? "PRINT" : "CANCEL");
    case StepKind::PictureWindow:
        return QStringLiteral("PICTURE %1 = %2")
            .arg(Bracketed(step.caption), PictureResultName(step.picture));
    }
    return {};
}

// ---- Building the script -------------------------------------------------------------------------------

ScriptedUi::ScriptedUi() = default;
ScriptedUi::~ScriptedUi() = default;

ScriptedUi& ScriptedUi::ExpectInput(const QString& caption, const QString& prompt, const QString& answer)
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::Input;
    step->caption = caption;
    step->text = prompt;
    step->answer = answer;
    m_steps.push_back(std::move(step));
    return *this;
}

ScriptedUi& ScriptedUi::ExpectInputCancel(const QString& caption, const QString& prompt)
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::InputCancel;
    step->caption = caption;
    step->text = prompt;
    m_steps.push_back(std::move(step));
    return *this;
}

ScriptedUi& ScriptedUi::ExpectMessage(const QString& text)
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::Message;
    step->text = text;
    m_steps.push_back(std::move(step));
    return *this;
}

ScriptedUi& ScriptedUi::ExpectYesNo(const QString& text, bool answer)
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::YesNo;
    step->text = text;
    step->yes = answer;
    m_steps.push_back(std::move(step));
    return *this;
}

ScriptedUi& ScriptedUi::ExpectOkCancel(const QString& text, bool ok)
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::OkCancel;
    step->text = text;
    step->yes = ok;
    m_steps.push_back(std::move(step));
    return *this;
}

CardScript& ScriptedUi::ExpectCard(const QString& caption)
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::Card;
    step->card.reset(new CardScript(caption));
    CardScript& card = *step->card;
    m_steps.push_back(std::move(step));
    return card;
}

ScriptedUi& ScriptedUi::ExpectCard(const QString& caption,
                                   const std::vector<std::pair<QString, QString>>& fieldValues,
                                   const QString& buttonName)
{
    CardScript& card = ExpectCard(caption);
    for (const auto& [field, value] : fieldValues)
        card.Set(field, value);
    card.Press(buttonName);
    return *this;
}

ScriptedUi& ScriptedUi::ExpectCardCancel(const QString& caption)
{
    ExpectCard(caption).Cancel();
    return *this;
}

ScriptedUi& ScriptedUi::ExpectReport(std::optional<QString> caption)
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::Report;
    step->anyCaption = !caption.has_value();
    step->caption = caption.value_or(QString());
    m_steps.push_back(std::move(step));
    return *this;
}

ScriptedUi& ScriptedUi::ExpectChooseFile(std::optional<QString> path)
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::ChooseFile;
    step->path = std::move(path);
    m_steps.push_back(std::move(step));
    return *this;
}

ScriptedUi& ScriptedUi::ExpectDateRange(QDate start, QDate end)
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::DateRange;
    step->start = start;
    step->end = end;
    m_steps.push_back(std::move(step));
    return *this;
}

ScriptedUi& ScriptedUi::ExpectDateRangeCancel()
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::DateRangeCancel;
    m_steps.push_back(std::move(step));
    return *this;
}

ScriptedUi& ScriptedUi::ExpectPrintDialog(bool print)
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::PrintDialog;
    step->yes = print;
    m_steps.push_back(std::move(step));
    return *this;
}

ScriptedUi& ScriptedUi::ExpectPictureWindow(const QString& caption, PictureWindowResult result)
{
    auto step = std::make_unique<Step>();
    step->kind = StepKind::PictureWindow;
    step->caption = caption;
    step->picture = result;
    m_steps.push_back(std::move(step));
    return *this;
}

// ---- Bookkeeping ---------------------------------------------------------------------------------------

void ScriptedUi::Log(const QString& line)
{
    m_transcript << QString(2 * m_cardDepth, QLatin1Char(' ')) + line;
}

QString ScriptedUi::TranscriptText() const
{
    if (m_transcript.isEmpty())
        return QStringLiteral("transcript: (empty)");
    QString text = QStringLiteral("transcript:");
    for (const QString& line : m_transcript)
        text += QStringLiteral("\n  ") + line;
    return text;
}

void ScriptedUi::Fail(const QString& what)
{
    m_failures << what + QLatin1Char('\n') + TranscriptText();
}

void ScriptedUi::ThrowIfAborted() const
{
    if (m_aborted)
        throw ScriptAbort("script aborted: too many unexpected interactions");
}

void ScriptedUi::Unexpected(const QString& seen, const Step* expected)
{
    Fail(QStringLiteral("unexpected %1; %2")
             .arg(seen, expected ? QStringLiteral("expected ") + Describe(*expected)
                                 : QStringLiteral("the script had ended")));
    if (++m_unexpected > m_unexpectedLimit) {
        m_aborted = true;
        throw ScriptAbort(QStringLiteral("script aborted after %1 unexpected interactions\n%2")
                              .arg(m_unexpected)
                              .arg(m_failures.back())
                              .toStdString());
    }
}

ScriptedUi::Step* ScriptedUi::Take(std::initializer_list<StepKind> kinds,
                                   const std::function<bool(const Step&)>& matches, const QString& seen)
{
    if (m_next < m_steps.size()) {
        Step& step = *m_steps[m_next];
        for (StepKind kind : kinds) {
            if (step.kind == kind && matches(step)) {
                ++m_next;
                return &step;
            }
        }
    }
    Log(seen);
    Unexpected(seen, m_next < m_steps.size() ? m_steps[m_next].get() : nullptr);
    return nullptr;
}

QString ScriptedUi::Verify() const
{
    QStringList parts = m_failures;
    if (m_next < m_steps.size()) {
        QString left = QStringLiteral("left-over expectations:");
        for (std::size_t i = m_next; i < m_steps.size(); ++i)
            left += QStringLiteral("\n  ") + Describe(*m_steps[i]);
        parts << left + QLatin1Char('\n') + TranscriptText();
    }
    return parts.join(QStringLiteral("\n\n"));
}

// ---- Simple interactions -------------------------------------------------------------------------------

QString ScriptedUi::InputBox(const QString& caption, const QString& prompt, const QString& defaultValue)
{
    ThrowIfAborted();
    const QString seen = QStringLiteral("INPUT %1 %2").arg(Bracketed(caption), prompt);
    Step* step = Take(
        {StepKind::Input, StepKind::InputCancel},
        [&](const Step& s) { return s.caption == caption && s.text == prompt; }, seen);
    if (step && step->kind == StepKind::Input) {
        Log(seen + QStringLiteral(" = ") + Quoted(step->answer));
        return step->answer;
    }
    if (step)
        Log(seen + QStringLiteral(" = CANCEL (") + Quoted(defaultValue) + QLatin1Char(')'));
    return defaultValue;
}

void ScriptedUi::ShowMessage(const QString& text)
{
    ThrowIfAborted();
    const QString seen = QStringLiteral("MESSAGE ") + Quoted(text);
    if (Take(
            {StepKind::Message}, [&](const Step& s) { return s.text == text; }, seen))
        Log(seen);
}

bool ScriptedUi::AskYesNo(const QString& text)
{
    ThrowIfAborted();
    const QString seen = QStringLiteral("YESNO ") + Quoted(text);
    Step* step = Take(
        {StepKind::YesNo}, [&](const Step& s) { return s.text == text; }, seen);
    if (!step)
        return false;
    Log(seen + (step->yes ? QStringLiteral(" = SI") : QStringLiteral(" = NO")));
    return step->yes;
}

bool ScriptedUi::AskOkCancel(const QString& text)
{
    ThrowIfAborted();
    const QString seen = QStringLiteral("OKCANCEL ") + Quoted(text);
    Step* step = Take(
        {StepKind::OkCancel}, [&](const Step& s) { return s.text == text; }, seen);
    if (!step)
        return false;
    Log(seen + (step->yes ? QStringLiteral(" = OK") : QStringLiteral(" = CANCEL")));
    return step->yes;
}

void ScriptedUi::ShowReport(std::shared_ptr<ReportDocument> report)
{
    ThrowIfAborted();
    const QString caption = report ? report->caption : QString();
    const QString seen = QStringLiteral("REPORT ") + Bracketed(caption);
    m_reports.push_back(std::move(report));
    if (Take(
            {StepKind::Report}, [&](const Step& s) { return s.anyCaption || s.caption == caption; }, seen))
        Log(seen);
}

std::optional<QString> ScriptedUi::ChooseFile(const FileDialogRequest& request)
{
    ThrowIfAborted();
    m_fileRequests.push_back(request);
    const QString seen = QStringLiteral("CHOOSEFILE ") + Bracketed(request.caption);
    Step* step = Take(
        {StepKind::ChooseFile}, [](const Step&) { return true; }, seen);
    if (!step)
        return std::nullopt;
    Log(seen + QStringLiteral(" = ") + (step->path ? Quoted(*step->path) : QStringLiteral("CANCEL")));
    return step->path;
}

bool ScriptedUi::PickDateRange(QDate& start, QDate& end)
{
    ThrowIfAborted();
    m_dateRangePresets.emplace_back(start, end);
    const QString seen = QStringLiteral("DATERANGE ") + FormatDateRange(start, end);
    Step* step = Take(
        {StepKind::DateRange, StepKind::DateRangeCancel}, [](const Step&) { return true; }, seen);
    if (!step)
        return false;
    if (step->kind == StepKind::DateRangeCancel) {
        Log(seen + QStringLiteral(" = CANCEL"));
        return false;
    }
    start = step->start;
    end = step->end;
    Log(seen + QStringLiteral(" = ") + FormatDateRange(start, end));
    return true;
}

void ScriptedUi::BeginProgress(const QString& caption, int maximum)
{
    m_progressOpen = true;
    m_progressMaximum = maximum;
    m_progressPosition = 0;
    Log(QStringLiteral("PROGRESS %1 0/%2").arg(Bracketed(caption)).arg(maximum));
}

void ScriptedUi::SetProgress(int position)
{
    m_progressPosition = std::clamp(position, 0, std::max(m_progressMaximum, 0));
}

void ScriptedUi::EndProgress()
{
    if (!m_progressOpen)
        return;
    m_progressOpen = false;
    Log(QStringLiteral("PROGRESS END %1/%2").arg(m_progressPosition).arg(m_progressMaximum));
}

bool ScriptedUi::ProgressCancelled()
{
    ++m_progressWaits;
    if (!m_progressOpen || !m_cancelProgressWhen || !m_cancelProgressWhen())
        return false;
    m_cancelProgressWhen = nullptr;
    Log(QStringLiteral("PROGRESS CANCEL"));
    return true;
}

bool ScriptedUi::AskPrintDialog()
{
    ThrowIfAborted();
    const QString seen = QStringLiteral("PRINTDIALOG");
    Step* step = Take(
        {StepKind::PrintDialog}, [](const Step&) { return true; }, seen);
    if (!step)
        return false;
    Log(seen + QStringLiteral(" = ") + QLatin1String(step->yes ? "PRINT" : "CANCEL"));
    return step->yes;
}

PictureWindowResult ScriptedUi::ShowPictureWindow(const PictureWindow& window)
{
    ThrowIfAborted();
    m_pictures.push_back(window);
    const QString seen = QStringLiteral("PICTURE ") + Bracketed(window.caption);
    Step* step = Take(
        {StepKind::PictureWindow}, [&](const Step& s) { return s.caption == window.caption; }, seen);
    // An unexpected window is closed with its close box: &SALIR.
    const PictureWindowResult result = step ? step->picture : PictureWindowResult::Exit;
    if (step)
        Log(seen + QStringLiteral(" = ") + PictureResultName(result));
    return result;
}

tl::expected<void, QString> ScriptedUi::SavePicture(const PictureWindow&, const QString& path)
{
    Log(QStringLiteral("SAVEPICTURE ") + Quoted(path));
    return {};
}

void ScriptedUi::SetClipboardText(const QString& text)
{
    m_clipboard = text;
    Log(QStringLiteral("CLIPBOARD ") + Quoted(text));
}

// ---- Cards ---------------------------------------------------------------------------------------------

// Turns the script's actions into what a user does on the card; the card controller does the rest.
class ScriptedUi::CardRun final
{
public:
    CardRun(ScriptedUi& ui, const CardSpec& spec, CardState& state, QString caption)
        : m_ui(ui), m_spec(spec), m_state(state), m_caption(std::move(caption)),
          m_card(
              spec, state, [this](const QString& text) { m_ui.ShowMessage(text); },
              [this](const QString& fault) { m_ui.Fail(Where() + fault); },
              [this](const QString& path) { m_ui.Log(QStringLiteral("VIEWER ") + Quoted(path)); })
    {
    }

    bool Closed() const { return m_card.Closed(); }
    int Result() const { return m_card.Result(); }
    void Show()
    {
        m_card.Show();
        LogClose();
    }
    void FocusFirst()
    {
        m_card.EnterFirst();
        LogClose();
    }

    // False when the scripted user cannot do the action; the card is then abandoned.
    bool Perform(const CardScript::Action& action)
    {
        using Kind = CardScript::Kind;
        switch (action.kind) {
        case Kind::Set:
            return Type(action.name, action.value);
        case Kind::Toggle:
            return Toggle(action.name, action.value);
        case Kind::PickDate:
            return PickDate(action.name, ParseDate(action.value));
        case Kind::DoubleClick:
            return DoubleClick(action.name);
        case Kind::Click:
            return Click(action.name, false);
        case Kind::ShiftKey:
            return Click(action.name, true);
        case Kind::Focus:
            if (!Usable(action.name))
                return false;
            m_ui.Log(QStringLiteral("FOCUS ") + action.name);
            m_card.Focus(action.name);
            return true;
        case Kind::Press:
            return Press(action.name, false);
        case Kind::ControlPress:
            return Press(action.name, true);
        case Kind::ExpectFocus:
            if (m_card.Focused() != action.name)
                m_ui.Fail(Where() + QStringLiteral("focus is on %1, expected %2")
                                        .arg(Quoted(m_card.Focused()), Quoted(action.name)));
            return true;
        case Kind::Cancel:
            m_ui.Log(QStringLiteral("CANCEL"));
            m_card.CloseBox();
            return true;
        case Kind::Escape:
            m_ui.Log(QStringLiteral("ESCAPE"));
            m_card.Escape();
            return true;
        case Kind::ExpectValue:
            if (!m_spec.field(action.name))
                m_ui.Fail(Where() + QStringLiteral("has no field ") + action.name);
            else if (m_state.value(action.name) != action.value)
                m_ui.Fail(Where() +
                          QStringLiteral("field %1 shows %2, expected %3")
                              .arg(action.name, Quoted(m_state.value(action.name)), Quoted(action.value)));
            return true;
        case Kind::ExpectDisabled:
        case Kind::ExpectEnabled: {
            const bool wantDisabled = action.kind == Kind::ExpectDisabled;
            if (!m_spec.field(action.name) && !m_spec.button(action.name))
                m_ui.Fail(Where() + QStringLiteral("has no control ") + action.name);
            else if (m_state.disabled.count(action.name) != (wantDisabled ? 1u : 0u))
                m_ui.Fail(Where() + action.name +
                          (wantDisabled ? QStringLiteral(" is enabled, expected disabled")
                                        : QStringLiteral(" is disabled, expected enabled")));
            return true;
        }
        case Kind::Inspect:
            if (action.check)
                action.check(m_state);
            return true;
        }
        return true;
    }

    void Close(int result)
    {
        m_card.Close(result);
        LogClose();
    }
    // The transcript notes the close once, where it happened.
    void LogClose()
    {
        if (m_card.Closed() && !m_closeLogged) {
            m_closeLogged = true;
            m_ui.Log(QStringLiteral("CLOSE %1").arg(m_card.Result()));
        }
    }

    QString Where() const { return QStringLiteral("card ") + Bracketed(m_caption) + QLatin1Char(' '); }

private:
    bool Refuse(const QString& why)
    {
        m_ui.Fail(Where() + why);
        return false;
    }

    // The field the user works on, or nullptr (the failure recorded) when it cannot be worked on.
    const FieldSpec* Usable(const QString& name)
    {
        const FieldSpec* f = m_spec.field(name);
        if (!f)
            Refuse(QStringLiteral("has no field ") + name);
        else if (f->kind == FieldKind::Label)
            Refuse(QStringLiteral("field %1 is a label").arg(name));
        else if (f->kind == FieldKind::Picture)
            Refuse(QStringLiteral("field %1 is a picture").arg(name));
        else if (m_state.disabled.count(name))
            Refuse(QStringLiteral("field %1 is disabled").arg(name));
        else if (m_state.hidden.count(name))
            Refuse(QStringLiteral("field %1 is hidden").arg(name));
        else
            return f;
        return nullptr;
    }

    bool Toggle(const QString& name, const QString& item)
    {
        const FieldSpec* f = Usable(name);
        if (!f)
            return false;
        const qsizetype index = ChoicesOf(*f, m_state).indexOf(item);
        if (f->kind != FieldKind::CheckList || index < 0)
            return Refuse(QStringLiteral("%1 is not an item of check list %2").arg(Quoted(item), name));
        m_ui.Log(QStringLiteral("TOGGLE %1 %2").arg(name, Quoted(item)));
        m_card.Toggle(name, static_cast<int>(index));
        return true;
    }

    bool PickDate(const QString& name, const QDate& date)
    {
        const FieldSpec* f = Usable(name);
        if (!f)
            return false;
        if (f->kind != FieldKind::Date || !date.isValid())
            return Refuse(QStringLiteral("field %1 has no calendar").arg(name));
        m_card.PickDate(name, date);
        m_ui.Log(QStringLiteral("PICKDATE %1 = %2").arg(name, Quoted(m_state.value(name))));
        return true;
    }

    bool Type(const QString& name, const QString& typed)
    {
        const FieldSpec* f = Usable(name);
        if (!f)
            return false;
        if (f->kind == FieldKind::CheckList &&
            (typed.size() != ChoicesOf(*f, m_state).size() ||
             std::any_of(typed.begin(), typed.end(), [](QChar c) { return c != u'0' && c != u'1'; })))
            return Refuse(QStringLiteral("check list %1 takes one '1' or '0' per item, not %2")
                              .arg(name, Quoted(typed)));
        if (f->kind == FieldKind::Table) {
            bool number = false;
            const int row = typed.toInt(&number);
            const auto it = m_state.rows.find(name);
            const int count = it == m_state.rows.end() ? 0 : static_cast<int>(it->second.size());
            if (!number || row < 0 || row >= count)
                return Refuse(QStringLiteral("table %1 has no row %2").arg(name, Quoted(typed)));
        }
        if (f->kind == FieldKind::Check && typed != u"1" && typed != u"0")
            return Refuse(QStringLiteral("check box %1 takes '1' or '0', not %2").arg(name, Quoted(typed)));
        if (f->kind == FieldKind::Radio && typed != u"1")
            return Refuse(
                QStringLiteral("radio button %1 is only selected ('1'), not %2").arg(name, Quoted(typed)));
        if (f->kind == FieldKind::Combo && f->fixedChoices && !ChoicesOf(*f, m_state).contains(typed))
            return Refuse(QStringLiteral("%1 is not a choice of field %2").arg(Quoted(typed), name));
        const CardMask* mask = m_card.MaskOf(name);
        const QString shown = mask ? mask->Conform(typed) : f->capacity > 0 ? typed.left(f->capacity) : typed;
        m_ui.Log(name + QStringLiteral(" = ") + Quoted(shown));
        if (f->kind == FieldKind::Check || f->kind == FieldKind::Radio || f->kind == FieldKind::CheckList ||
            f->kind == FieldKind::Table || (f->kind == FieldKind::Combo && f->fixedChoices)) {
            m_card.Choose(name, typed);
            return true;
        }
        // The user selects what the field holds and types over it, key by key; an item of an editable
        // combo's list that holds a control character can only be picked from the list, which gives the
        // whole text at once.
        if (!m_card.Focus(name))
            return true;
        if (f->kind == FieldKind::Combo && ChoicesOf(*f, m_state).contains(typed) &&
            std::any_of(typed.begin(), typed.end(), [](QChar c) { return c.unicode() < 0x20; })) {
            m_card.Edit(name, typed);
            return true;
        }
        const int length = static_cast<int>(m_state.value(name).size());
        if (typed.isEmpty()) {
            m_card.Erase(name, 0, length);
            return true;
        }
        int cursor = m_card.Type(name, 0, length, typed.left(1));
        for (qsizetype i = 1; i < typed.size() && !m_card.Closed(); ++i)
            cursor = m_card.Type(name, cursor, 0, typed.mid(i, 1));
        return true;
    }

    bool DoubleClick(const QString& name)
    {
        if (!m_spec.field(name))
            return Refuse(QStringLiteral("has no field ") + name);
        if (m_state.disabled.count(name))
            return Refuse(QStringLiteral("field %1 is disabled").arg(name));
        if (m_state.hidden.count(name))
            return Refuse(QStringLiteral("field %1 is hidden").arg(name));
        m_ui.Log(QStringLiteral("DOUBLECLICK ") + name);
        m_card.DoubleClick(name);
        return true;
    }

    bool Click(const QString& name, bool shiftKey)
    {
        if (!m_spec.field(name))
            return Refuse(QStringLiteral("has no field ") + name);
        if (m_state.disabled.count(name))
            return Refuse(QStringLiteral("field %1 is disabled").arg(name));
        if (m_state.hidden.count(name))
            return Refuse(QStringLiteral("field %1 is hidden").arg(name));
        m_ui.Log((shiftKey ? QStringLiteral("SHIFTKEY ") : QStringLiteral("CLICK ")) + name);
        if (shiftKey)
            m_card.ShiftKey(name);
        else
            m_card.Click(name);
        return true;
    }

    bool Press(const QString& name, bool control)
    {
        if (!m_spec.button(name))
            return Refuse(QStringLiteral("has no button ") + name);
        if (m_state.disabled.count(name))
            return Refuse(QStringLiteral("button %1 is disabled").arg(name));
        if (m_state.hidden.count(name))
            return Refuse(QStringLiteral("button %1 is hidden").arg(name));
        m_ui.Log((control ? QStringLiteral("CTRL+SPACE ") : QStringLiteral("PRESS ")) + name);
        m_card.Press(name, control);
        return true;
    }

    ScriptedUi& m_ui;
    const CardSpec& m_spec;
    CardState& m_state;
    QString m_caption;
    CardController m_card;
    bool m_closeLogged = false;
};

int ScriptedUi::RunCard(const CardSpec& spec, CardState& state)
{
    ThrowIfAborted();
    state.closeWith.reset();
    const auto shownCaption = [&] { return state.caption.isEmpty() ? spec.caption : state.caption; };
    if (m_next >= m_steps.size() || m_steps[m_next]->kind != StepKind::Card) {
        const QString seen = QStringLiteral("CARD ") + Bracketed(shownCaption());
        Log(seen);
        Unexpected(seen, m_next < m_steps.size() ? m_steps[m_next].get() : nullptr);
        return spec.cancelResult;
    }

    // The caption is checked once onShow has run, since onShow may set it; what onShow does still
    // appears under the card's line.
    const Step& step = *m_steps[m_next];
    const CardScript& script = *step.card;
    ++m_next;
    const qsizetype cardLine = m_transcript.size();
    const QString indent(2 * m_cardDepth, QLatin1Char(' '));
    ++m_cardDepth;
    struct DepthGuard
    {
        int& depth;
        ~DepthGuard() { --depth; }
    } guard{m_cardDepth};

    CardRun run(*this, spec, state, script.m_caption);
    run.Show();
    const QString caption = shownCaption();
    m_transcript.insert(cardLine, indent + QStringLiteral("CARD ") + Bracketed(caption));
    if (caption != script.m_caption) {
        Unexpected(QStringLiteral("CARD ") + Bracketed(caption), &step);
        return spec.cancelResult;
    }
    run.FocusFirst();

    std::size_t i = 0;
    for (; i < script.m_actions.size() && !run.Closed(); ++i) {
        if (!run.Perform(script.m_actions[i])) {
            run.Close(spec.cancelResult);
            return spec.cancelResult;
        }
        run.LogClose();
    }
    if (!run.Closed()) {
        Fail(run.Where() + QStringLiteral("is still open after the script's last action"));
        run.Close(spec.cancelResult);
    } else if (i < script.m_actions.size()) {
        QStringList rest;
        for (; i < script.m_actions.size(); ++i)
            rest << DescribeAction(script.m_actions[i]);
        Fail(run.Where() +
             QStringLiteral("closed with %1 before: %2").arg(run.Result()).arg(rest.join(u", ")));
    }
    return run.Result();
}

QString ScriptedUi::DescribeAction(const CardScript::Action& action)
{
    using Kind = CardScript::Kind;
    switch (action.kind) {
    case Kind::Set:
        return action.name + QStringLiteral(" = ") + Quoted(action.value);
    case Kind::Toggle:
        return QStringLiteral("TOGGLE %1 %2").arg(action.name, Quoted(action.value));
    case Kind::PickDate:
        return QStringLiteral("PICKDATE %1 = %2").arg(action.name, Quoted(action.value));
    case Kind::DoubleClick:
        return QStringLiteral("DOUBLECLICK ") + action.name;
    case Kind::Click:
        return QStringLiteral("CLICK ") + action.name;
    case Kind::ShiftKey:
        return QStringLiteral("SHIFTKEY ") + action.name;
    case Kind::Press:
        return QStringLiteral("PRESS ") + action.name;
    case Kind::ControlPress:
        return QStringLiteral("CTRL+SPACE ") + action.name;
    case Kind::Focus:
        return QStringLiteral("FOCUS ") + action.name;
    case Kind::ExpectFocus:
        return QStringLiteral("EXPECT FOCUS ") + Quoted(action.name);
    case Kind::Cancel:
        return QStringLiteral("CANCEL");
    case Kind::Escape:
        return QStringLiteral("ESCAPE");
    case Kind::ExpectValue:
        return QStringLiteral("EXPECT %1 = %2").arg(action.name, Quoted(action.value));
    case Kind::ExpectDisabled:
        return QStringLiteral("EXPECT %1 DISABLED").arg(action.name);
    case Kind::ExpectEnabled:
        return QStringLiteral("EXPECT %1 ENABLED").arg(action.name);
    case Kind::Inspect:
        return QStringLiteral("INSPECT");
    }
    return {};
}

void ScriptedUi::ShowWebSearch(const QString& address, bool go, const QString& startPage)
{
    const QString start = startPage.isEmpty() ? QString() : QStringLiteral(" DESDE '%1'").arg(startPage);
    Log(QStringLiteral("WEBSEARCH '%1'%2%3").arg(address, go ? QStringLiteral(" Ir") : QString(), start));
}

} // namespace gim
