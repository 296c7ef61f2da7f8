// A user who answers every question with its default and cancels every card, with no printer and no
// desktop: the backend of the programs that run the commands unattended (the benchmarks, the fuzzers).
#pragma once

#include "platform/line_printer.h"
#include "platform/report.h"
#include "platform/shell.h"
#include "platform/ui.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace gim {

// A print dialog that is always cancelled.
class NoPrinter final : public LinePrinter
{
protected:
    bool Open() override { return false; }
    void PutLine(const QString&) override {}
    void PutPageBreak() override {}
    void Close() override {}
};

class SilentUi : public Ui
{
public:
    SilentUi() = default;
    // Every date range asked is answered with [from, to]; without one the picker is left.
    SilentUi(QDate from, QDate to) : rangeFrom(from), rangeTo(to) {}

    QString InputBox(const QString&, const QString&, const QString& d) override { return d; }
    void ShowMessage(const QString&) override {}
    bool AskYesNo(const QString&) override { return yes; }
    bool AskOkCancel(const QString&) override { return yes; }
    int RunCard(const CardSpec& s, CardState&) override { return s.cancelResult; }
    void ShowReport(std::shared_ptr<ReportDocument> report) override
    {
        if (reportTarget)
            reportTarget(std::move(report));
    }
    void BeginReportBatch() override
    {
        if (reportBatch)
            reportBatch(true);
    }
    void EndReportBatch() override
    {
        if (reportBatch)
            reportBatch(false);
    }
    std::optional<QString> ChooseFile(const FileDialogRequest&) override
    {
        if (chosenFile.isEmpty())
            return std::nullopt;
        return chosenFile;
    }
    QString ClipboardText() override { return {}; }
    void SetClipboardText(const QString&) override {}
    bool PickDateRange(QDate& start, QDate& end) override
    {
        if (!rangeFrom.isValid())
            return false;
        start = rangeFrom;
        end = rangeTo;
        return true;
    }
    void BeginProgress(const QString&, int) override {}
    void SetProgress(int) override {}
    void ShowStatus(const QString&) override {}
    void EndProgress() override {}
    LinePrinter& TextPrinter() override { return printer; }
    PictureWindowResult ShowPictureWindow(const PictureWindow&) override { return PictureWindowResult::Exit; }
    tl::expected<void, QString> SavePicture(const PictureWindow&, const QString&) override { return {}; }
    void ShowWebSearch(const QString&, bool, const QString& = QString()) override {}

    NoPrinter printer;
    QDate rangeFrom, rangeTo;
    bool yes = false;
    QString chosenFile;
    std::function<void(std::shared_ptr<ReportDocument>)> reportTarget;
    std::function<void(bool begin)> reportBatch;
};

class NoShell final : public Shell
{
public:
    bool OpenPath(const QString&) override { return false; }
    bool OpenUrl(const QString&) override { return false; }
    bool StartProgram(const QString&, const QStringList&) override { return false; }
};

} // namespace gim
