#pragma once

#include "app/features.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "masterdata/masterdata_operations.h"
#include "records/machine_record.h"
#include "records/record_bytes.h" // readable QString failures
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gim::test {

// An environment "PORTAL" of firm "FABRICA" whose data folder lies one level below the temporary folder,
// so that the exchange folder (under the data folder's parent) stays inside it too.
class MasterdataTest : public ::testing::Test
{
protected:
    MasterdataTest()
    {
        root = t.dir.path();
        data = root + QStringLiteral("/datos");
        QDir().mkpath(data);
        t.ctx.st.BaseDir = data;
        t.ctx.st.WorkDir = data;
        t.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        t.ctx.st.FirmName = QStringLiteral("FABRICA");
        BuildDataFileNames(t.ctx);
        InitCurrentDate(t.ctx);
        RegisterMasterdata(registry, t.ctx);
    }

    static TMachineRecord Machine(const char* code, const char* name = "Prensa", const char* account = "CTA",
                                  const char* model = "-", const char* serial = "-", const char* place = "-",
                                  const char* available = "SI")
    {
        TMachineRecord r{};
        r.Codigo = code;
        r.Denominacion = name;
        r.Modelo = model;
        r.Fabricacion = serial;
        r.Ubicacion = place;
        r.Cuenta = account;
        r.Disponible = available;
        return r;
    }

    template <typename T> static std::string Bytes(const std::vector<T>& records)
    {
        return std::string(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(T));
    }

    void StoreMachines(const std::vector<TMachineRecord>& machines)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.MQW"), machines);
    }
    // Runs a main-menu item as the main window would.
    bool RunMenu(const char* path)
    {
        Dispatcher dispatcher(t.ctx, registry, MainCommandTable());
        const auto item = dispatcher.Find(QString::fromUtf8(path));
        EXPECT_TRUE(item && dispatcher.IsEnabled(*item)) << path;
        return item && dispatcher.Run(*item);
    }

    std::string MachineBytes() const { return t.ReadFile(QStringLiteral("PORTAL.MQW")); }

    TestContext t;
    OperationRegistry& registry = t.ctx.Module<OperationRegistry>();
    QString root;
    QString data;
};

} // namespace gim::test
