#pragma once

#include "platform/report.h"

#include <QPointer>
#include <QString>

class QByteArray;
class QPrinter;
class QTextDocument;
class QTextEdit;
class QWidget;

namespace gim {

struct Context;
struct ReportWindowHooks;
class ReportWindows;

// Prints the text with every column: a line wider than the paper shrinks the whole text to fit.
void PrintReportText(const QTextDocument& text, QPrinter& printer);

// Puts the report into the pane, replacing its text, with the caret at the start.
void SetPaneText(QTextEdit& pane, const ReportDocument& doc);

// What a report window's tool bar and pop-up menu run on its pane: print, save, load, export, mail, and
// the look-ups of the selection. Files are proposed in the window's own save folder.
class ReportCommands final
{
public:
    ReportCommands(Context& ctx, ReportWindows& windows, QTextEdit& pane, const ReportDocument& doc);

    // The pane's text as it stands now (with the user's edits).
    ReportDocument PaneDocument() const;
    QString SelectedText() const;
    // The listing row an Editar item hands over: the selection, else the caret's row.
    QString HandedRow() const;
    const QString& SubFolder() const { return m_subFolder; }
    const QString& FileName() const { return m_fileName; }
    // A folder of the data folder by its Windows spelling.
    QString DataFolder(const QString& windowsSubFolder) const;
    // Where the file dialogs open: the save folder, or the data folder while that does not exist.
    QString DialogFolder() const;

    void Print(QWidget* parent);
    void PrintDirect();
    void Save();
    void Load();
    void Mail();
    void ExportWord();
    void ExportSpreadsheet();
    void MoreInfo();
    void OpenPictures();

private:
    const ReportWindowHooks* Hooks() const;
    void CopyPaneToClipboard();
    void Export(const QString& suffix, const QByteArray& bytes);
    void OpenPictureViewer(const QString& folder, const QString& file);

    Context& m_ctx;
    QPointer<ReportWindows> m_windows;
    QTextEdit& m_pane;
    QString m_caption;
    QString m_subFolder;
    QString m_fileName;
};

} // namespace gim
