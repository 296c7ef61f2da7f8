#include "app/report_commands.h"

#include "app/mail_composer.h"
#include "app/picture_viewer.h"
#include "app/report_window.h"
#include "core/context.h"
#include "core/drive_paths.h"
#include "core/lookups.h"
#include "core/sub_folders.h"
#include "platform/qt/print_preview.h" // picture_viewer.h needs the complete type
#include "platform/qt/report_layout.h"
#include "platform/qt/report_text.h"
#include "platform/report_files.h"
#include "platform/rtf.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace gim {

namespace {

constexpr double kScreenDpi = 96.0;
const char* const kDocumentTitle = "Editor RTF";

} // namespace

void PrintReportText(const QTextDocument& text, QPrinter& printer)
{
    // Listings are laid out on tab stops that may reach past the paper's width; a page as wide as the
    // widest line, scaled down onto the paper, keeps every column.
    std::unique_ptr<QTextDocument> copy(text.clone());
    copy->setUndoRedoEnabled(false);
    copy->setTextWidth(-1);
    const QSizeF paper = printer.pageLayout().paintRect(QPageLayout::Inch).size() * kScreenDpi;
    const qreal width = std::max(paper.width(), copy->idealWidth() + 2 * copy->documentMargin());
    // Same proportions as the paper, so the scaling keeps the text's own.
    copy->setPageSize(QSizeF(width, width * paper.height() / paper.width()));
    copy->print(&printer);
}

ReportCommands::ReportCommands(Context& ctx, ReportWindows& windows, QTextEdit& pane,
                               const ReportDocument& doc)
    : m_ctx(ctx), m_windows(&windows), m_pane(pane), m_caption(doc.caption),
      m_subFolder(doc.saveSubFolder.isEmpty() ? ctx.st.CurrentSubFolder : doc.saveSubFolder),
      m_fileName(doc.saveFileName)
{
}

ReportDocument ReportCommands::PaneDocument() const
{
    ReportDocument doc(m_caption);
    ReadReportText(*m_pane.document(), doc);
    return doc;
}

void SetPaneText(QTextEdit& pane, const ReportDocument& doc)
{
    // The text goes into a document that has no layout yet and is then handed to the pane: filling the
    // pane's own document would lay the whole text out, line by line, before anything shows. Its layout
    // lays out only the lines drawn or looked at, so nothing is left to do in the background either.
    // The pane deletes a document of its own when it gets another; one of ours goes here.
    const QPointer<QTextDocument> old = pane.document();
    auto* text = new QTextDocument(&pane);
    text->setUndoRedoEnabled(false);
    RenderReportText(doc, *text);
    text->setUndoRedoEnabled(true);
    text->setDocumentLayout(new ReportTextLayout(text));
    pane.setDocument(text);
    if (old && old->parent() == &pane)
        delete old.data();
    pane.moveCursor(QTextCursor::Start);
}

QString ReportCommands::SelectedText() const
{
    QString text = m_pane.textCursor().selectedText();
    text.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\r'));
    return text;
}

QString ReportCommands::HandedRow() const
{
    // Nothing selected: the row the caret stands on.
    if (!m_pane.textCursor().hasSelection())
        return m_pane.textCursor().block().text();
    return SelectedText();
}

void ReportCommands::CopyPaneToClipboard()
{
    m_pane.selectAll();
    const QString text = m_pane.toPlainText();
    if (!text.isEmpty())
        m_ctx.ui.SetClipboardText(text);
}

QString ReportCommands::DataFolder(const QString& windowsSubFolder) const
{
    return ResolveSubFolder(m_ctx.st.BaseDir, windowsSubFolder);
}

QString ReportCommands::DialogFolder() const
{
    const QString folder = DataFolder(m_subFolder);
    return QFileInfo(folder).isDir() ? folder : m_ctx.st.BaseDir;
}

const ReportWindowHooks* ReportCommands::Hooks() const
{
    return m_windows ? &m_windows->Hooks() : nullptr;
}

void ReportCommands::Print(QWidget* parent)
{
    QPrinter printer;
    printer.setDocName(QString::fromLatin1(kDocumentTitle));
    bool accepted = false;
    if (Hooks() && Hooks()->printSetup) {
        accepted = Hooks()->printSetup(printer, parent);
    } else {
        QPrintDialog dialog(&printer, parent);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (accepted)
        PrintReportText(*m_pane.document(), printer);
}

void ReportCommands::PrintDirect()
{
    QPrinter printer;
    printer.setDocName(QString::fromLatin1(kDocumentTitle));
    if (Hooks() && Hooks()->directPrinter)
        Hooks()->directPrinter(printer);
    // With no printer installed Qt falls back to a PDF file without a name: the listing would go nowhere.
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    const bool toPrinter = printer.outputFormat() == QPrinter::NativeFormat &&
                           !printer.printerName().isEmpty() && !QPrinterInfo::availablePrinters().isEmpty();
    if (!toFile && !toPrinter) {
        m_ctx.ui.ShowMessage(QStringLiteral("NO HAY IMPRESORA INSTALADA"));
        return;
    }
    PrintReportText(*m_pane.document(), printer);
}

void ReportCommands::Save()
{
    FileDialogRequest request;
    request.save = true;
    request.caption = QStringLiteral("Salvar Informe");
    request.folder = DialogFolder();
    request.fileName = m_fileName;
    request.filters = QStringList{QStringLiteral("Ficheros Texto (*.rtf)")};
    const std::optional<QString> path = m_ctx.ui.ChooseFile(request);
    if (!path)
        return;
    if (!m_ctx.ui.AskYesNo(QStringLiteral("Salvar ") + *path + QLatin1Char('?')))
        return;
    if (!SaveReportRtf(*path, PaneDocument()))
        m_ctx.ui.ShowMessage(QStringLiteral("No se ha podido salvar ") + *path);
}

void ReportCommands::Load()
{
    static const HandoverRegistry none;
    const ExchangeLoad exchange =
        LoadExchangeFiles(m_windows ? m_windows->Handover() : none, m_ctx.st.PendingEditFlags,
                          m_ctx.st.CurrentEnvironment, WebExchangeFolder(m_ctx.st.BaseDir));
    if (exchange.pending) {
        if (exchange.loaded) {
            ReportDocument doc;
            SetPlainText(doc, exchange.text);
            SetPaneText(m_pane, doc);
        }
        // The import gateway takes the lines from the clipboard.
        CopyPaneToClipboard();
        return;
    }
    FileDialogRequest request;
    request.caption = QStringLiteral("Cargar Fichero TEXTO");
    request.folder = DialogFolder();
    request.fileName = QStringLiteral("*.*");
    request.filters =
        QStringList{QStringLiteral("Ficheros Texto (*.rtf)"), QStringLiteral("Ficheros Texto (*.txt)")};
    const std::optional<QString> path = m_ctx.ui.ChooseFile(request);
    if (!path)
        return;
    if (!m_ctx.ui.AskYesNo(QStringLiteral("Cargar Fichero ") + *path + QLatin1Char('?')))
        return;
    ReportDocument doc;
    if (!LoadReportFile(*path, doc)) {
        m_ctx.ui.ShowMessage(QStringLiteral("No se ha podido cargar ") + *path);
        return;
    }
    SetPaneText(m_pane, doc);
}

void ReportCommands::Mail()
{
    // The composer starts its message with what the clipboard holds.
    CopyPaneToClipboard();
    if (Hooks() && Hooks()->openMailComposer) {
        Hooks()->openMailComposer();
        return;
    }
    auto* composer = new MailComposer(m_ctx, m_pane.window());
    composer->show();
}

void ReportCommands::Export(const QString& suffix, const QByteArray& bytes)
{
    CopyPaneToClipboard();
    const QString folder = Hooks() && !Hooks()->exportFolder.isEmpty()
                               ? Hooks()->exportFolder
                               : QDir::tempPath() + QStringLiteral("/gim");
    const QString path = WriteExportFile(folder, QStringLiteral("informe"), suffix, bytes);
    if (path.isEmpty()) {
        m_ctx.ui.ShowMessage(QStringLiteral("No se ha podido crear el fichero en ") + folder);
        return;
    }
    if (!m_ctx.shell.OpenPath(path))
        m_ctx.ui.ShowMessage(QStringLiteral("No se ha podido abrir ") + path);
}

void ReportCommands::ExportWord()
{
    Export(QStringLiteral("rtf"), WriteRtf(PaneDocument()));
}

void ReportCommands::ExportSpreadsheet()
{
    Export(QStringLiteral("csv"), CsvBytes(PaneDocument()));
}

void ReportCommands::MoreInfo()
{
    State& st = m_ctx.st;
    const QString selection = SelectedText();

    st.FoundMachine.Codigo = selection.left(8);
    FindMachine(m_ctx, st.FileName(DataFile::Machine), st.FoundMachine);
    if (st.FoundMachine.Denominacion != "NO EXISTE LA MAQUINA") {
        m_ctx.ui.ShowMessage(st.FoundMachine.Denominacion.str());
        return;
    }

    auto openPicture = [&](const QString& folderName, const QString& subFolder) {
        const QString folder = DataFolder(QLatin1Char('\\') + folderName + QLatin1Char('\\') +
                                          st.CurrentEnvironment + QLatin1Char('\\'));
        for (const QString& name : {selection, QLatin1Char('#') + selection}) {
            if (selection.isEmpty() || !QFileInfo(folder + QLatin1Char('/') + name).isFile())
                continue;
            st.CurrentSubFolder = subFolder;
            OpenPictureViewer(folder, name);
            return true;
        }
        return false;
    };
    if (openPicture(QStringLiteral("FOTOS"),
                    QStringLiteral("\\FOTOS\\") + st.CurrentEnvironment + QLatin1Char('\\')))
        return;
    if (openPicture(QStringLiteral("PROCEDIM"),
                    QStringLiteral("\\procedim\\") + st.CurrentEnvironment + QLatin1Char('\\')))
        return;

    TPersonnelRecord person{};
    person.Matricula = selection.left(6);
    FindPerson(m_ctx, st.PersonnelFileName, person);
    if (person.Apellidos != "NO EXISTE LA PERSONA") {
        st.FoundPerson = person;
        m_ctx.ui.ShowMessage(person.Nombre.str() + QLatin1Char(' ') + person.Apellidos.str());
    }
}

void ReportCommands::OpenPictureViewer(const QString& folder, const QString& file)
{
    if (Hooks() && Hooks()->openPictureViewer) {
        Hooks()->openPictureViewer(folder, file);
        return;
    }
    auto* viewer = new PictureViewer(m_ctx, m_pane.window());
    if (file.isEmpty())
        viewer->Start();
    else
        viewer->StartWith(folder + QLatin1Char('/') + file);
}

void ReportCommands::OpenPictures()
{
    // The viewer opens its dialog in CurrentSubFolder: this window's folder.
    m_ctx.st.CurrentSubFolder = m_subFolder;
    OpenPictureViewer(DataFolder(m_subFolder), QString());
}

} // namespace gim
