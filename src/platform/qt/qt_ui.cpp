#include "platform/qt/qt_ui.h"

#include "platform/qt/calendar_dialog.h"
#include "platform/qt/card_dialog.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/picture_window.h"
#include "platform/qt/progress_window.h"
#include "platform/qt/qt_line_printer.h"
#include "platform/qt/web_search_window.h"
#include "platform/report.h"

#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace gim {

namespace {

} // namespace

QtUi::QtUi() = default;
QtUi::~QtUi() = default;

QString QtUi::InputBox(const QString& caption, const QString& prompt, const QString& defaultValue)
{
    QInputDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("InputBox"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultValue);
    dialog.setOkButtonText(QStringLiteral("Aceptar"));
    dialog.setCancelButtonText(QStringLiteral("Cancelar"));
    if (dialog.exec() != QDialog::Accepted)
        return defaultValue;
    return dialog.textValue();
}

void QtUi::ShowMessage(const QString& text)
{
    QMessageBox box(m_parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setWindowTitle(QCoreApplication::applicationName());
    box.setIcon(QMessageBox::Information);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    QPushButton* ok = box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

namespace {

struct Choice
{
    QString caption;
    QMessageBox::ButtonRole role;
    const char* objectName;
};

// A question with two buttons: true when the first was pressed. Enter takes the first, Escape the second.
bool AskTwoWays(QWidget* parent, const char* boxName, const QString& text, const Choice& first,
                const Choice& second)
{
    QMessageBox box(parent);
    box.setObjectName(QLatin1String(boxName));
    box.setWindowTitle(QCoreApplication::applicationName());
    box.setIcon(QMessageBox::Question);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    QPushButton* accept = box.addButton(first.caption, first.role);
    QPushButton* reject = box.addButton(second.caption, second.role);
    accept->setObjectName(QLatin1String(first.objectName));
    reject->setObjectName(QLatin1String(second.objectName));
    box.setDefaultButton(accept);
    box.setEscapeButton(reject);
    box.exec();
    return box.clickedButton() == accept;
}

} // namespace

bool QtUi::AskYesNo(const QString& text)
{
    return AskTwoWays(m_parent, "YesNoBox", text, {QStringLiteral("Sí"), QMessageBox::YesRole, "YES"},
                      {QStringLiteral("No"), QMessageBox::NoRole, "NO"});
}

bool QtUi::AskOkCancel(const QString& text)
{
    return AskTwoWays(m_parent, "OkCancelBox", text,
                      {QStringLiteral("Aceptar"), QMessageBox::AcceptRole, "OK"},
                      {QStringLiteral("Cancelar"), QMessageBox::RejectRole, "CANCEL"});
}

int QtUi::RunCard(const CardSpec& spec, CardState& state)
{
    CardDialog dialog(spec, state, m_parent, {}, m_pictureViewer);
    return dialog.Run();
}

void QtUi::ShowReport(std::shared_ptr<ReportDocument> report)
{
    if (report && m_reportTarget)
        m_reportTarget(std::move(report));
}

void QtUi::UpdateReport(const std::shared_ptr<ReportDocument>& report, const QString& label)
{
    if (!report || !m_reportUpdate)
        return;
    m_reportUpdate(report, label);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::BeginReportBatch()
{
    if (m_reportBatch)
        m_reportBatch(true);
}

void QtUi::EndReportBatch()
{
    if (m_reportBatch)
        m_reportBatch(false);
}

std::optional<QString> QtUi::ChooseFile(const FileDialogRequest& request)
{
    QFileDialog dialog(m_parent, request.caption, request.folder);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Qt's own dialog matches its patterns whatever the case of the letters; a native one need not.
    if (request.anyLetterCase)
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!request.filters.isEmpty())
        dialog.setNameFilters(request.filters);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Buscar en:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nombre:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
    dialog.setLabelText(QFileDialog::Accept,
                        request.save ? QStringLiteral("Guardar") : QStringLiteral("Abrir"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

QString QtUi::ClipboardText()
{
    return QGuiApplication::clipboard()->text();
}

void QtUi::SetClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

bool QtUi::PickDateRange(QDate& start, QDate& end)
{
    return RunDateRangeDialog(m_parent, start, end);
}

void QtUi::BeginProgress(const QString& caption, int maximum)
{
    EndProgress();
    m_progress = new ProgressWindow(m_parent);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    if (!caption.isEmpty())
        m_progress->SetCaption(caption);
    m_progress->SetMaximum(maximum);
    m_progress->show();
    m_progressPaint.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::SetProgress(int position)
{
    if (!m_progress)
        return;
    m_progress->SetPosition(position);
    // Loads run on the GUI thread: let the bar repaint now and then, not on every record.
    if (m_progressPaint.elapsed() >= 50) {
        m_progressPaint.restart();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void QtUi::EndProgress()
{
    if (m_progress)
        m_progress->Finish();
    m_progress = nullptr;
}

bool QtUi::ProgressCancelled()
{
    if (m_progress)
        m_progress->AllowCancel();
    if (!m_progressPaint.isValid() || m_progressPaint.elapsed() >= 30) {
        m_progressPaint.start();
        // The open progress window is modal: a click can reach only its own button.
        QCoreApplication::processEvents(m_progress ? QEventLoop::AllEvents
                                                   : QEventLoop::ExcludeUserInputEvents);
    }
    return m_progress && m_progress->Cancelled();
}

void QtUi::ShowStatus(const QString& text)
{
    if (auto* window = qobject_cast<QMainWindow*>(m_parent.data()))
        window->statusBar()->showMessage(text);
}

LinePrinter& QtUi::TextPrinter()
{
    if (!m_linePrinter)
        m_linePrinter = std::make_unique<QtLinePrinter>();
    m_linePrinter->SetDialogParent(m_parent);
    return *m_linePrinter;
}

PictureWindowResult QtUi::ShowPictureWindow(const PictureWindow& window)
{
    PictureWindowDialog dialog(window, m_parent);
    dialog.exec();
    return dialog.Result();
}

tl::expected<void, QString> QtUi::SavePicture(const PictureWindow& window, const QString& path)
{
    return WritePicture(RenderPicture(window), path);
}

void QtUi::ShowWebSearch(const QString& address, bool go, const QString& startPage)
{
    if (!m_shell)
        return;
    auto* window = new WebSearchWindow(*m_shell, m_parent);
    window->setWindowFlag(Qt::Window);
    window->show();
    if (!startPage.isEmpty())
        window->Navigate(startPage);
    window->AddressBox()->setEditText(address);
    if (go)
        window->Navigate(address);
}

} // namespace gim
