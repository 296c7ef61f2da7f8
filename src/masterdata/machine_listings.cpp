#include "masterdata/machine_listings.h"

#include "core/context.h"
#include "core/record_file.h"
#include "core/sub_folders.h"
#include "core/texts.h"
#include "masterdata/machines.h"
#include "masterdata/web_files.h"
#include "platform/report.h"
#include "platform/report_files.h"

#include <QFileInfo>
#include <memory>
#include <optional>

namespace gim {

namespace {

QString Row(std::uint32_t number, const TMachineRecord& m)
{
    return QString::number(number) + QLatin1Char('\t') + m.Codigo.str() + QLatin1Char('\t') +
           m.Denominacion.str() + QLatin1Char('\t') + m.Modelo.str() + QLatin1Char('\t') +
           m.Fabricacion.str() + QLatin1Char('\t') + m.Cuenta.str() + QLatin1Char('\t') + m.Ubicacion.str() +
           QLatin1Char('\t') + m.Disponible.str();
}

void WriteListingHeading(const State& st, ReportDocument& report)
{
    report.SetStyle(FontStyle::Bold);
    report.SetFontSize(13);
    report.AddLine(QLatin1Char('\t') + st.FirmName + QLatin1Char('\t') + st.CurrentEnvironment);
    report.AddLine(QStringLiteral("\r"));
    report.AddLine(QStringLiteral("\t\t           LISTADO DE MAQUINAS a ") + st.TodayText);
    report.SetFontSize(10);
    report.AddLine(QStringLiteral("\r"));
    report.AddLine(
        QStringLiteral("Nº\tCODIGO\tDENOMINACION\tMODELO\tNºSERIE\tCUENTA\tUBICACIÓN\tDISPONIBLE"));
    report.SetStyle(FontStyle::Normal);
    report.AddLine(QStringLiteral("\r"));
}

} // namespace

void ListMachines(Context& ctx)
{
    State& st = ctx.st;
    MachinesState& machines = Machines(ctx);
    const bool web = st.ActionCode == QLatin1String("W");
    const bool everyMachine = st.ActionCode == QLatin1String("M");
    const bool byAccount = st.ActionCode == QLatin1String("C");
    const bool allAccounts = st.SelectedAccount == QLatin1String("*");
    st.AnswerCode = QStringLiteral("S");
    st.ListedCount = 0;
    // Counted in 32 bits: a register of more than 65,535 machines is numbered and totalled in full.
    std::uint32_t listed = 0;

    auto report = std::make_shared<ReportDocument>(QStringLiteral("MAQUINAS DE ") + st.CurrentEnvironment);
    report->SetTabStops({20, 80, 340, 440, 510, 580, 650});
    if (!web)
        WriteListingHeading(st, *report);
    st.PrintFlag = 1;

    QStringList webLines;
    std::optional<ShortString<24>> previousAccount;
    for (const MachineEntry& entry : machines.MachineList) {
        const TMachineRecord& m = entry.rec;
        st.CurrentMachine = m;
        if (web) {
            const QString line = m.Codigo.str() + QLatin1Char('\t') + m.Denominacion.str();
            webLines << line;
            report->AddLine(line);
            continue;
        }
        if (byAccount && (!previousAccount || !(m.Cuenta == *previousAccount))) {
            if (allAccounts)
                ++listed;
            report->SetStyle(FontStyle::Bold);
            report->AddLine(Row(listed, m));
            report->SetStyle(FontStyle::Normal);
            if (!allAccounts)
                report->AddLine(QStringLiteral("\r"));
        }
        previousAccount = m.Cuenta;
        if (everyMachine || (byAccount && m.Cuenta == st.SelectedAccount)) {
            ++listed;
            report->AddLine(Row(listed, m));
        }
    }

    report->AddLine(QStringLiteral("\r"));
    report->SetStyle(FontStyle::Bold);
    st.ListedCount = static_cast<std::uint32_t>(listed);
    const QString count = QString::number(listed);
    if (everyMachine)
        report->AddLine(QStringLiteral("\tNUMERO DE MÁQUINAS CODIFICADAS EN ") + st.CurrentEnvironment +
                        QStringLiteral(" =") + count);
    else if (byAccount && !allAccounts)
        report->AddLine(QStringLiteral("\tNUMERO DE MÁQUINAS EN LA  CUENTA DE GASTO ") + st.SelectedAccount +
                        QStringLiteral(" =") + count);
    else if (byAccount)
        report->AddLine(QStringLiteral("\tNUMERO DE CUENTAS DE COSTE ES DE ") + count);

    st.CurrentSubFolder = QStringLiteral("\\Maquinas");
    report->saveSubFolder = st.CurrentSubFolder;
    if (web) {
        const QString fileName = st.CurrentEnvironment + QStringLiteral("_MQ.rtf");
        WriteWebUploadFile(ctx, fileName, webLines);
    }
    ctx.ui.ShowReport(report);
    machines.MachineListCursor = 0;
}

void ListMachinesByAccount(Context& ctx)
{
    State& st = ctx.st;
    MachinesState& machines = Machines(ctx);
    st.SelectedAccount = ctx.ui.InputBox(QStringLiteral("LISTADO SELECTIVO CUENTAS GASTOS "),
                                         QStringLiteral("INTRODUCIR CODIGO DE CUENTA"), QStringLiteral("*"));
    FreeMachineList(ctx);
    const bool all = st.SelectedAccount == QLatin1String("*");
    const std::vector<TMachineRecord> records =
        LoadRecords<TMachineRecord>(ctx, st.FileName(DataFile::Machine), false);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (all || records[i].Cuenta == st.SelectedAccount)
            machines.MachineList.push_back({records[i], static_cast<std::uint32_t>(i)});
    }
    OrderAsInserted(machines.MachineList, [](const MachineEntry& a, const MachineEntry& b) {
        return MachineAccountBefore(a.rec, b.rec);
    });
    ++machines.MachineListRevision;
    machines.MachineListCursor = 0;
    st.ContinueFlag = 0;
}

void PrintMachineLabels(Context& ctx)
{
    State& st = ctx.st;
    LoadMachineList(ctx);
    const std::vector<MachineEntry>& list = Machines(ctx).MachineList;
    const QString typed =
        ctx.ui.InputBox(QStringLiteral("ÉTIQUETAS DE MÁQUINAS"),
                        QStringLiteral("Entrar Nº de Orden de la Primera Etiqueta"), QStringLiteral("1"));
    const std::int64_t start = TextToInt64(st, typed);

    auto report = std::make_shared<ReportDocument>(QStringLiteral("ETIQUETAS DE MAQUINAS"));
    report->SetTabStops({7, 300, 450});
    // An odd machine count leaves the last label on the right blank.
    const TMachineRecord blank{};
    int printed = 0;
    std::int64_t position = 1;
    for (std::size_t i = 0; i < list.size(); i += 2, position += 2) {
        // Written so that a start typed near the 64-bit limits cannot overflow.
        if (position < start || position - 15 > start)
            continue;
        const TMachineRecord& left = list[i].rec;
        const TMachineRecord& right = i + 1 < list.size() ? list[i + 1].rec : blank;
        auto pair = [&](const QString& a, const QString& b) {
            report->AddLine(QLatin1Char('\t') + a + QLatin1Char('\t') + b);
        };
        report->SetFontSize(20);
        report->SetStyle(FontStyle::Bold);
        pair(left.Codigo.str(), right.Codigo.str());
        report->SetFontSize(12);
        report->AddLine(QStringLiteral("\r"));
        report->SetStyle(FontStyle::Normal);
        report->SetFontSize(13);
        pair(left.Denominacion.str(), right.Denominacion.str());
        pair(left.Modelo.str(), right.Modelo.str());
        pair(left.Fabricacion.str(), right.Fabricacion.str());
        report->AddLine(QStringLiteral("\r"));
        if (++printed % 3 == 0) {
            report->SetFontSize(6);
            report->AddLine(QStringLiteral("\r"));
        }
    }
    ctx.ui.ShowReport(report);
    FreeMachineList(ctx);
}

void ShowMachineSheet(Context& ctx, const TMachineRecord& m)
{
    State& st = ctx.st;
    MakeSubFolder(st.BaseDir, QStringLiteral("\\MAQUINAS\\") + st.CurrentEnvironment);
    st.CurrentSubFolder = QStringLiteral("\\Maquinas\\") + st.CurrentEnvironment + QStringLiteral("\\");
    st.ReportFileName = (m.Codigo.str() + QStringLiteral(".rtf")).left(34);

    auto report = std::make_shared<ReportDocument>(QStringLiteral("LIBRO DE MAQUINAS"));
    report->SetFontSize(13);
    const QString path =
        ResolveSubFolder(st.BaseDir, st.CurrentSubFolder) + QLatin1Char('/') + st.ReportFileName;
    if (!QFileInfo(path).isFile() || !LoadReportFile(path, *report)) {
        report->SetStyle(FontStyle::Bold);
        report->AddLine(QStringLiteral("\t\t\t            FICHA DE CARACTERISTICAS"));
        report->AddLine(QStringLiteral("\r"));
        report->SetStyle(FontStyle::Underline);
        report->AddLine(QLatin1Char('\t') + st.CurrentEnvironment + QStringLiteral("         MAQUINA  ") +
                        m.Codigo.str() + QLatin1Char('/') + m.Denominacion.str() + QLatin1Char('/') +
                        QString(33, QLatin1Char(' ')) + st.TodayText);
        report->AddLine(QStringLiteral("\r"));
        report->AddLine(QStringLiteral("\t\tModelo: ") + m.Modelo.str() +
                        QStringLiteral("                    Nº Serie: ") + m.Fabricacion.str());
        report->AddLine(QStringLiteral("\r"));
        report->AddLine(QStringLiteral("\tCARACTERÍSTICAS :"));
        report->SetStyle(FontStyle::Normal);
        report->SetFontSize(10);
        report->AddLine(QStringLiteral("\r"));
    }
    report->saveSubFolder = st.CurrentSubFolder;
    report->saveFileName = st.ReportFileName;
    ctx.ui.ShowReport(report);
}

} // namespace gim
