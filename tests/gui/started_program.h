#pragma once

#include "app/features.h"
#include "app/main_window.h"
#include "app/report_window.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "platform/handover.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/qt_ui.h"
#include "records/machine_record.h"
#include "records/operation_record.h"
#include "records/plan_records.h"
#include "shortcut_keys.h"
#include "support/test_context.h"

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace gim::test {

// What a started program's environment holds beyond environment "PORTAL" on 7 December 2026.
struct ProgramSettings
{
    QString firm;      // "" = none
    QString drive;     // DriveText; "" = none
    int firstYear = 0; // with lastYear and planWeeks: the plan's horizon; 0 = none set
    int lastYear = 0;
    int planWeeks = 0;
};

// The started program with its Qt user interface, every feature, the main window and its report windows,
// in a temporary data folder.
class StartedProgram : public ::testing::Test
{
protected:
    explicit StartedProgram(const ProgramSettings& settings = {})
    {
        ctx.st.BaseDir = dir.path();
        ctx.st.WorkDir = dir.path();
        ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        if (!settings.firm.isEmpty())
            ctx.st.FirmName = settings.firm;
        if (!settings.drive.isEmpty())
            ctx.st.DriveText = settings.drive;
        BuildDataFileNames(ctx);
        InitCurrentDate(ctx);
        if (settings.firstYear != 0) {
            ctx.st.FirstYear = static_cast<std::uint16_t>(settings.firstYear);
            ctx.st.LastYear = static_cast<std::uint16_t>(settings.lastYear);
            ctx.st.PlanWeeks = static_cast<std::uint16_t>(settings.planWeeks);
        }
        ctx.codec = &codec;
        RegisterFeatures(ctx);
        window = std::make_unique<TGim>(ctx, operations, dispatcher);
        ui.SetParentWindow(window.get());
        ui.SetReportTarget([this](std::shared_ptr<ReportDocument> doc) {
            ShowReportWindow(window->MdiArea(), std::move(doc), ctx, handover);
        });
        ui.SetReportUpdate([this](const std::shared_ptr<ReportDocument>& doc, const QString& label) {
            UpdateReportWindows(window->MdiArea(), *doc, label, ctx, handover);
        });
        window->resize(1200, 800);
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
    }

    QByteArray ReadFile(const QString& name) const
    {
        QFile f(ctx.Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Machine "01-001" ("Prensa", in service) with one monthly routine of `minutes`, planned from week 0.
    void StorePlannedMachine(int minutes)
    {
        TMachineRecord machine{};
        machine.Codigo = "01-001";
        machine.Denominacion = "Prensa";
        machine.Cuenta = "CTA";
        machine.Disponible = "SI";
        StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), std::vector{machine});
        TOperationRecord op{};
        op.MachineCode = "01-001";
        op.Frequency = "M";
        op.State = "P";
        op.Speciality = "MC";
        op.Description = "REVISAR";
        op.Minutes = static_cast<std::uint16_t>(minutes);
        StoreRecords(ctx, QStringLiteral("PORTAL.OPR"), std::vector{op});
        TPlanRecord planned{};
        planned.Code = "01-001";
        planned.StartWeek = 0;
        StoreRecords(ctx, QStringLiteral("PORTAL.PLN"), std::vector{planned});
    }

    // Presses `keys` in the main window, answering its prompts with `answers` in turn; returns each prompt
    // asked as "caption|text".
    QStringList PressAnswering(const QString& keys, QStringList answers)
    {
        QStringList prompts;
        QTimer answering;
        QObject::connect(&answering, &QTimer::timeout, [&] {
            auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!input || answers.isEmpty())
                return;
            prompts << input->windowTitle() + QLatin1Char('|') + input->labelText();
            input->setTextValue(answers.takeFirst());
            input->accept();
        });
        answering.start(10);
        test::PressShortcut(window->MdiArea(), QKeySequence(keys));
        answering.stop();
        return prompts;
    }

    QtPictureCodec codec; // outlives the context, as in the program
    QtUi ui;
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 5, 0))};
    RecordingShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    OperationRegistry& operations = ctx.Module<OperationRegistry>();
    HandoverRegistry& handover = ctx.Module<HandoverRegistry>();
    Dispatcher dispatcher{ctx, operations, MainCommandTable()};
    std::unique_ptr<TGim> window;
};

} // namespace gim::test
