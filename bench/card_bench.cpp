// A record card at the size of a full machine register, each against an anchor run alternately in the
// same process:
//  - one keystroke in a card whose machine combo offers 1 or 65,535 codes, on the real dialog, in CPU
//    time: into a text field of the card, and into the combo's own line; against a keystroke into a plain
//    QLineEdit of a plain dialog;
//  - saving a new machine card (the duplicate check and the append) on a register of 65,535 machines,
//    against the append alone.
#include "bench_support.h"
#include "core/context.h"
#include "core/data_file.h"
#include "core/environment.h"
#include "masterdata/machines.h"
#include "platform/clock.h"
#include "platform/qt/card_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <string>

namespace gim {
namespace {

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One key press and its release on a widget, as the keyboard sends them; the CPU it took.
double Keystroke(QWidget* target, Qt::Key key, const QString& text)
{
    const double t0 = CpuSeconds();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
    return CpuSeconds() - t0;
}

// A letter typed, then taken back: every keystroke changes the value.
struct Typist
{
    QWidget* target = nullptr;
    int step = 0;
    double operator()()
    {
        return ++step % 2 ? Keystroke(target, Qt::Key_A, QStringLiteral("a"))
                          : Keystroke(target, Qt::Key_Backspace, QString());
    }
};

QStringList Codes(int count)
{
    QStringList codes;
    codes.reserve(count);
    char text[16];
    for (int i = 0; i < count; ++i) {
        std::snprintf(text, sizeof text, "M%06d", i);
        codes << QString::fromLatin1(text);
    }
    return codes;
}

// A card as the machine cards are: the machine combo (its codes given when the card opens), the machine's
// name beside it, and a few text fields with handlers.
CardSpec MachineComboCard(const QStringList& codes)
{
    CardSpec spec;
    spec.name = QStringLiteral("TFormBanco");
    spec.caption = QStringLiteral("BANCO");
    spec.fields = {MakeField(QStringLiteral("CODIGO"), "CODIGO", FieldKind::Combo, 8),
                   MakeField(QStringLiteral("NOMBRE"), "", FieldKind::Label),
                   MakeField(QStringLiteral("DESCRIPCION"), "DESCRIPCION", FieldKind::Text, 40),
                   MakeField(QStringLiteral("OBSERVA"), "OBSERVACIONES", FieldKind::Text, 40),
                   MakeField(QStringLiteral("HORAS"), "HORAS", FieldKind::Text, 5),
                   MakeField(QStringLiteral("TIPO"), "TIPO", FieldKind::Combo)};
    spec.fields.back().choices =
        QStringList{QStringLiteral("RM"), QStringLiteral("RE"), QStringLiteral("MP")};
    spec.fields.back().fixedChoices = true;
    spec.buttons = {{QStringLiteral("SALVAR"), QStringLiteral("&Salvar"), CardResult::Save},
                    {QStringLiteral("SALIR"), QStringLiteral("S&alir"), CardResult::Exit}};
    spec.onShow = [codes](CardState& state) { state.choices[QStringLiteral("CODIGO")] = codes; };
    spec.onChange = [](CardState& state, const QString& field) {
        if (field == QLatin1String("CODIGO"))
            state.set(QStringLiteral("NOMBRE"), state.value(field));
    };
    return spec;
}

void BM_CardKeystroke(benchmark::State& state)
{
    const QStringList codes = Codes(static_cast<int>(state.range(0)));
    const bool intoCombo = state.range(1) != 0;
    const CardSpec spec = MachineComboCard(codes);
    CardState card;
    CardDialog dialog(spec, card, nullptr, [](const QString&) {});
    dialog.Start();
    QApplication::setActiveWindow(&dialog);
    bench::WaitUntilPainted(&dialog);
    QWidget* field = dialog.FieldWidget(intoCombo ? QStringLiteral("CODIGO") : QStringLiteral("DESCRIPCION"));
    if (auto* combo = qobject_cast<QComboBox*>(field))
        field = combo->lineEdit();
    field->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();

    QDialog plain;
    auto* grid = new QGridLayout(&plain);
    auto* edit = new QLineEdit;
    grid->addWidget(new QLabel(QStringLiteral("DESCRIPCION")), 0, 0);
    grid->addWidget(edit, 0, 1);
    plain.show();
    bench::WaitUntilPainted(&plain);

    Typist anchor{edit};
    Typist work{field};
    bench::CompareWithAnchor(state, "x_plain_line_edit", anchor, work);
    state.counters["median_us"] = state.counters["median_ms"].value * 1000;
    state.counters["anchor_us"] = state.counters["anchor_ms"].value * 1000;
    state.SetLabel(intoCombo ? "into the combo" : "into a text field");
    dialog.reject();
    plain.close();
    bench::Settle();
}
BENCHMARK(BM_CardKeystroke)
    ->ArgsProduct({{1, 65535}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(201);

class FixedClock final : public Clock
{
public:
    QDateTime Now() const override { return QDateTime(QDate(2024, 3, 12), QTime(10, 0)); }
};

// A register of 65,535 machines in code order, as the sort leaves it.
struct Register
{
    Register()
    {
        ctx.st.BaseDir = ctx.st.WorkDir = dir.path();
        ctx.st.CurrentEnvironment = QStringLiteral("BANCO");
        BuildDataFileNames(ctx);
        std::vector<TMachineRecord> machines(kMachines);
        char text[16];
        for (int i = 0; i < kMachines; ++i) {
            std::snprintf(text, sizeof text, "M%06d", 2 * i);
            machines[i].Codigo = text;
            machines[i].Denominacion = "TORNO";
            machines[i].Cuenta = "M00";
        }
        StoreRecords(ctx, MachineFile::Name(ctx.st), machines);
        EnsureMachineFileSorted(ctx);
    }
    static constexpr int kMachines = 65535;
    QTemporaryDir dir;
    bench::SilentUi ui;
    bench::NoShell shell;
    FixedClock clock;
    Context ctx{ui, clock, shell};
};

void BM_MachineCardSave(benchmark::State& state)
{
    Register r;
    Context& ctx = r.ctx;
    const QString anchorName = QStringLiteral("ANCLA.MQW");
    StoreRecords(ctx, anchorName, std::vector<TMachineRecord>{});
    int next = 0;
    char text[16];
    const auto fresh = [&] {
        TMachineRecord m{};
        std::snprintf(text, sizeof text, "M%06d", 2 * (next++ % Register::kMachines) + 1);
        m.Codigo = text;
        m.Denominacion = "FRESADORA";
        m.Cuenta = "M00";
        return m;
    };
    bench::CompareWithAnchor(
        state, "x_append_alone",
        [&] {
            const TMachineRecord m = fresh();
            return bench::TimeOnce([&] { KeyedFile<MachineFile>(ctx, anchorName).Append(m); });
        },
        [&] {
            const TMachineRecord m = fresh();
            return bench::TimeOnce([&] { AppendMachineRecord(ctx, m); });
        });
    state.counters["median_us"] = state.counters["median_ms"].value * 1000;
    state.counters["anchor_us"] = state.counters["anchor_ms"].value * 1000;
    // What the save costs beyond the write.
    state.counters["over_append_us"] = state.counters["median_us"].value - state.counters["anchor_us"].value;
}
BENCHMARK(BM_MachineCardSave)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(101);

} // namespace
} // namespace gim
