#pragma once

#include "records/short_string.h"
#include "records/work_report_record.h"

#include <QString>

namespace gim {

struct Context;

// What keeps a line from being stored: its operator or machine not given ("#"), the operator or the
// machine not on file, or a type outside the tables (`typeValid` false). An empty message: none.
struct LineRefusal
{
    QString message;
    QString field; // the line's field at fault: "Matricula", "Codigo" or "Tipo"
};
LineRefusal RefuseLine(Context& ctx, const ShortString<6>& matricula, const ShortString<8>& codigo,
                       bool typeValid);

// Clears what the posting records of the files it touched. The add loop clears them when a menu
// command starts it; an import or a merge, which runs the loop once per line, calls this once at its
// own start so that every file any line touched is re-sorted at its end.
void ClearPostedFlags(Context& ctx);

// Imports the photo attached on the card (PhotoAssignFlag) under the name the card wrote in the line's part
// field, into the environment's daily-report photo folder.
void StoreWorkReportPhoto(Context& ctx);

// The add loop: one card after another (ActionCode "1") until the card is left or a photo is attached,
// or the one line handed in through WorkReportInput (ActionCode "i"). A line of a known operator,
// machine and type is stored and then posted; the open repair chosen on its card is closed.
// RecordAddedFlag tells whether the last line was stored.
void AddWorkReportLine(Context& ctx);
// The one line of an import, handed in as it was read, with its full date text ("dd/mm/yyyy") when it
// gave one: stored and posted as the add loop stores a line without a card. Returns whether it was stored.
// The caller clears the posted flags once at its start and re-sorts from them at its end.
bool AddImportedWorkReportLine(Context& ctx, const TWorkReportRecord& line, const QString& dateText);

} // namespace gim
