#include "core/environment.h"
#include "masterdata/machines.h"
#include "masterdata/routines.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"
#include "workreports/work_report_file.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

// One file of each way of loading a whole file (a list in key order, a list in file order, a plain read,
// the machine file with its own check), through the loader its feature uses, with the size of its records
// and the offset of a text's length byte.
struct Kind
{
    const char* name;
    std::size_t size, text;
    void (*load)(Context&);
} const kKinds[] = {
    {"PORTAL.OPR", 152, 0, LoadOperationList},
    {"PORTAL.PDA", 116, 0, LoadWorkReports},
    {"PORTAL.CAR", 56, 6, [](Context& c) { LoadRecords<TAgendaRecord>(c, QStringLiteral("PORTAL.CAR")); }},
    {"PORTAL.MQW", 161, 133, LoadMachineList},
};

// A torn last record, then a text longer than its field: each reported by name, the first once however
// often the file is loaded; the machine file reports the second as a badly coded machine.
TEST(DamagedFiles, AreReportedOnceByNameAndTheirWholeRecordsUsed)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        const QString name = QString::fromLatin1(kind.name);
        const auto load = [&](const std::string& bytes, const QString& shown, int times) {
            test::TestContext t;
            t.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
            BuildDataFileNames(t.ctx);
            t.WriteFile(name, bytes);
            t.ui.ExpectMessage(shown);
            while (times-- > 0)
                kind.load(t.ctx);
            EXPECT_SCRIPT_DONE(t.ui);
        };
        const QString prefix = QStringLiteral("FICHERO DAÑADO ") + name + QLatin1Char('.');
        std::string rec(kind.size, '\0');
        if (kind.text == 133) // a sane machine has a code and an account, which here fills its field
            rec.replace(0, 2, "\1A").replace(133, 25, "\x18" + std::string(24, '1'));
        load(rec + rec.substr(0, kind.size / 2),
             prefix +
                 QStringLiteral(
                     " SU ÚLTIMO REGISTRO ESTÁ INCOMPLETO Y NO SE USA. REGISTROS COMPLETOS QUE SE USAN: 1."),
             2);
        rec[kind.text] = '\xFF';
        load(rec,
             kind.text == 133
                 ? QStringLiteral(
                       "SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\rA ")
                 : prefix + QStringLiteral(
                                " REGISTROS CON TEXTOS MÁS LARGOS QUE SU CAMPO, QUE SE LEEN RECORTADOS: 1. "
                                "REGISTROS COMPLETOS QUE SE USAN: 1."),
             1);
    }
}

} // namespace
} // namespace gim
