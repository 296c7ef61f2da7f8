#pragma once

#include "platform/report.h"
#include "platform/script/recording_line_printer.h"
#include "platform/ui.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace gim {

// Thrown once a script has seen too many unexpected interactions (code looping on a prompt), and on
// every interaction after that, so that even a loop that catches it ends.
class ScriptAbort final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// What the scripted user does on one card, in order. Built through ScriptedUi::ExpectCard(caption).
//
// What happens on the card is the card controller's, as in the program; the script only says what the user
// does. Set(field, value) on a text, masked, date, memo or editable combo field selects what the field
// holds and types the value over it key by key (onChange after every key that changed it); on a check box
// ("1"/"0"), a radio button ("1": selected), a fixed combo (only the items it shows now), a check list (one
// '1' or '0' per item) or a table (a row number) it takes the value at once. Toggle ticks or unticks one item
// of a check list; PickDate picks a date from a date field's calendar. DoubleClick(field) moves the focus to
// the field (a label takes no focus) and runs onDoubleClick; on a picture whose file exists the viewer then
// opens, noted in the transcript as VIEWER 'path'. Press(button) leaves the focused field and runs onButton;
// ControlPress(button) is Ctrl+Space on it (noted CTRL+SPACE). Checks
// (ExpectValue, ExpectDisabled, Inspect) look at the state at their place in the sequence: put first, they
// see the card as it opened.
class CardScript final
{
public:
    CardScript& Set(const QString& field, const QString& value);
    CardScript& Toggle(const QString& field, const QString& item);
    CardScript& PickDate(const QString& field, QDate date);
    CardScript& DoubleClick(const QString& field);
    // A click on the field, or a key pressed on it with Shift alone held.
    CardScript& Click(const QString& field);
    CardScript& ShiftKey(const QString& field);
    // The user moves the focus to the field (Tab, Shift+Tab, a click) without typing.
    CardScript& Focus(const QString& field);
    CardScript& Press(const QString& button);
    // Ctrl+Space on the button: pressed with Control held.
    CardScript& ControlPress(const QString& button);
    // The window's close box at this point: the card returns its cancel result.
    CardScript& Cancel();
    // The Escape key: presses the card's cancel button, if it has one.
    CardScript& Escape();
    CardScript& ExpectValue(const QString& field, const QString& value);
    CardScript& ExpectDisabled(const QString& name);
    CardScript& ExpectEnabled(const QString& name);
    // The field that has the focus ("" = none: a button).
    CardScript& ExpectFocus(const QString& field);
    // Any other look at the state (for the test framework's own assertions).
    CardScript& Inspect(std::function<void(const CardState&)> check);

private:
    friend class ScriptedUi;
    enum class Kind {
        Set,
        Toggle,
        PickDate,
        DoubleClick,
        Click,
        ShiftKey,
        Focus,
        Press,
        ControlPress,
        Cancel,
        Escape,
        ExpectValue,
        ExpectDisabled,
        ExpectEnabled,
        ExpectFocus,
        Inspect
    };
    struct Action
    {
        Kind kind;
        QString name;
        QString value;
        std::function<void(const CardState&)> check;
    };
    explicit CardScript(QString caption) : m_caption(std::move(caption)) {}

    QString m_caption;
    std::vector<Action> m_actions;
};

// The test backend of Ui: a queue of expected interactions matched in order. Anything unexpected is
// answered as a cancelled dialog would be (the default for a prompt, No, the card's cancel result, no
// file) and recorded as a failure together with the transcript so far.
class ScriptedUi final : public Ui
{
public:
    // Unexpected interactions accepted before the script aborts with ScriptAbort.
    static constexpr int kDefaultUnexpectedLimit = 200;

    ScriptedUi();
    ~ScriptedUi() override;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    // The answer is returned as given; the caller cuts it.
    ScriptedUi& ExpectInput(const QString& caption, const QString& prompt, const QString& answer);
    // Cancel: the prompt returns the default the code passed.
    ScriptedUi& ExpectInputCancel(const QString& caption, const QString& prompt);
    ScriptedUi& ExpectMessage(const QString& text);
    ScriptedUi& ExpectYesNo(const QString& text, bool answer);
    // A confirmation answered Aceptar (true) or Cancelar; a yes/no question does not match it.
    ScriptedUi& ExpectOkCancel(const QString& text, bool ok);
    // A card whose window caption (after onShow) is `caption`; the returned script says what happens on it.
    CardScript& ExpectCard(const QString& caption);
    // Shorthand: type the values in order, then press the button.
    ScriptedUi& ExpectCard(const QString& caption,
                           const std::vector<std::pair<QString, QString>>& fieldValues,
                           const QString& buttonName);
    // The card opens (onShow and the first onEnter run) and is closed with the close box.
    ScriptedUi& ExpectCardCancel(const QString& caption);
    // A listing handed over; with a caption, the document's caption must match. Kept in Reports().
    ScriptedUi& ExpectReport(std::optional<QString> caption = std::nullopt);
    // A file dialog; nullopt = cancelled. The requests are kept in FileRequests().
    ScriptedUi& ExpectChooseFile(std::optional<QString> path);
    // The date-range picker closed with OK on that range. The presets it opened with are kept in
    // DateRangePresets().
    ScriptedUi& ExpectDateRange(QDate start, QDate end);
    // The picker's window closed: the range passed in stays.
    ScriptedUi& ExpectDateRangeCancel();
    // The print dialog of the line printer, answered Imprimir (true) or Cancelar. What is printed is
    // kept in Printed().
    ScriptedUi& ExpectPrintDialog(bool print = true);
    // A picture window with that caption, closed with the button `result`. The windows shown are kept in
    // Pictures(); SavePicture writes nothing and notes "SAVEPICTURE 'path'".
    ScriptedUi& ExpectPictureWindow(const QString& caption, PictureWindowResult result);

    // Text of every failure so far, each followed by the transcript up to that point.
    const QStringList& Failures() const { return m_failures; }
    // Empty when every expectation was met and nothing unexpected happened; otherwise a readable account.
    QString Verify() const;
    const QStringList& Transcript() const { return m_transcript; }
    const std::vector<std::shared_ptr<ReportDocument>>& Reports() const { return m_reports; }
    const std::vector<FileDialogRequest>& FileRequests() const { return m_fileRequests; }
    const std::vector<std::pair<QDate, QDate>>& DateRangePresets() const { return m_dateRangePresets; }
    // Progress asks nothing: its begin and end go to the transcript ("PROGRESS [caption] 0/120",
    // "PROGRESS END 120/120"), the steps only to ProgressPosition().
    int ProgressPosition() const { return m_progressPosition; }
    // The user presses the progress window's "Cancelar" once `when` holds (noted "PROGRESS CANCEL");
    // ProgressWaits() counts the times the program let the windows repaint while it waited.
    void CancelProgressWhen(std::function<bool()> when) { m_cancelProgressWhen = std::move(when); }
    int ProgressWaits() const { return m_progressWaits; }
    const RecordingLinePrinter& Printed() const { return m_printer; }
    const std::vector<PictureWindow>& Pictures() const { return m_pictures; }
    void SetUnexpectedLimit(int limit) { m_unexpectedLimit = limit; }

    QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue) override;
    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    bool AskOkCancel(const QString& text) override;
    int RunCard(const CardSpec& spec, CardState& state) override;
    void ShowReport(std::shared_ptr<ReportDocument> report) override;
    std::optional<QString> ChooseFile(const FileDialogRequest& request) override;
    QString ClipboardText() override { return m_clipboard; }
    void SetClipboardText(const QString& text) override;
    bool PickDateRange(QDate& start, QDate& end) override;
    void BeginProgress(const QString& caption, int maximum) override;
    void SetProgress(int position) override;
    void EndProgress() override;
    bool ProgressCancelled() override;
    // Status texts ask nothing either: they are kept in StatusTexts().
    void ShowStatus(const QString& text) override { m_statusTexts << text; }
    const QStringList& StatusTexts() const { return m_statusTexts; }
    LinePrinter& TextPrinter() override { return m_printer; }
    PictureWindowResult ShowPictureWindow(const PictureWindow& window) override;
    tl::expected<void, QString> SavePicture(const PictureWindow& window, const QString& path) override;
    // The web search window asks nothing: "WEBSEARCH 'address'" (with " Ir" when pressed) goes to the
    // transcript.
    void ShowWebSearch(const QString& address, bool go, const QString& startPage = QString()) override;

private:
    enum class StepKind {
        Input,
        InputCancel,
        Message,
        YesNo,
        OkCancel,
        Card,
        Report,
        ChooseFile,
        DateRange,
        DateRangeCancel,
        PrintDialog,
        PictureWindow
    };
    struct Step;
    class CardRun;

    // The next expectation when it is one of `kinds` and `matches`; otherwise records the unexpected
    // interaction `seen` (transcript and failure) and returns nullptr.
    Step* Take(std::initializer_list<StepKind> kinds, const std::function<bool(const Step&)>& matches,
               const QString& seen);
    static QString Describe(const Step& step);
    static QString DescribeAction(const CardScript::Action& action);
    // Records an interaction that did not match; `expected` is the step it missed (nullptr: none left).
    void Unexpected(const QString& seen, const Step* expected);
    void Fail(const QString& what);
    void Log(const QString& line);
    void ThrowIfAborted() const;
    bool AskPrintDialog();
    QString TranscriptText() const;

    std::vector<std::unique_ptr<Step>> m_steps;
    std::size_t m_next = 0;
    QStringList m_transcript;
    QStringList m_failures;
    std::vector<std::shared_ptr<ReportDocument>> m_reports;
    std::function<bool()> m_cancelProgressWhen;
    int m_progressWaits = 0;
    std::vector<FileDialogRequest> m_fileRequests;
    std::vector<std::pair<QDate, QDate>> m_dateRangePresets;
    std::vector<PictureWindow> m_pictures;
    bool m_progressOpen = false;
    int m_progressMaximum = 0;
    int m_progressPosition = 0;
    QStringList m_statusTexts;
    QString m_clipboard;
    int m_unexpected = 0;
    int m_unexpectedLimit = kDefaultUnexpectedLimit;
    bool m_aborted = false;
    int m_cardDepth = 0; // indents what happens inside a card in the transcript
    RecordingLinePrinter m_printer{[this] { return AskPrintDialog(); }};
};

} // namespace gim
