#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace gim {

struct Context;
struct State;

// The access-code change: the new code typed twice, then the environment prompts, which store it with the
// environment chosen. A mismatch or a change that is not made leaves the selector as it was.
void ChangeAccessCode(Context& ctx);

// The data-file browser: the data folder shown through the environment's filters. The file chosen is only
// looked at.
void BrowseDataFiles(Context& ctx);
// Its filters, in order, each "description (patterns)".
QStringList DataFileBrowserFilters(const State& st);

// The code a year restart proposes: six characters of the environment and the year's last two digits.
QString NextYearEnvironmentCode(const State& st);

// The questions of a year restart: the code (cut to eight characters, the most the selector holds), its
// check against the existing environments, the confirmation. Sets NewEnvironment and AnswerCode; returns
// the code when the environment is to be created.
std::optional<QString> AskNewEnvironment(Context& ctx);

} // namespace gim
