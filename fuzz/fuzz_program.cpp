#include "fuzz_program.h"

#include "app/features.h"
#include "core/command.h"
#include "core/dispatch.h"
#include "core/startup.h"
#include "platform/card_controller.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace gim::fuzz {

namespace {

QCoreApplication& Application()
{
    static int argc = 1;
    static char name[] = "gim_fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

} // namespace

const QString& DataFolder()
{
    // In memory where the machine has it: every input writes and syncs its files.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/gim_fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/gim_fuzz-XXXXXX"));
    static const QString path = [] {
        if (!dir.isValid()) {
            std::fprintf(stderr, "gim_fuzz: no temporary folder\n");
            std::abort();
        }
        return dir.path();
    }();
    return path;
}

namespace {

// GIM_FUZZ_TRACE shows the prompts, messages and listings of each command, to see how far an input gets.
bool Tracing()
{
    static const bool trace = !qEnvironmentVariableIsEmpty("GIM_FUZZ_TRACE");
    return trace;
}

} // namespace

QString FuzzUi::InputBox(const QString& caption, const QString& prompt, const QString& defaultValue)
{
    const QString answer = answers.isEmpty() ? defaultValue : answers.takeFirst();
    if (Tracing())
        std::fprintf(stderr, "  %s / %s [%s]: %s\n", qPrintable(caption), qPrintable(prompt),
                     qPrintable(defaultValue), qPrintable(answer));
    return answer;
}

void FuzzUi::ShowMessage(const QString& text)
{
    if (Tracing())
        std::fprintf(stderr, "  mensaje: %s\n", qPrintable(text));
}

int FuzzUi::RunCard(const CardSpec& spec, CardState& state)
{
    const auto named = accept.find(spec.name);
    const std::optional<int> result =
        named != accept.end() ? std::optional<int>(named->second) : acceptOthers;
    const auto button = std::find_if(spec.buttons.begin(), spec.buttons.end(),
                                     [&](const ButtonSpec& b) { return result && b.result == *result; });
    const bool press = button != spec.buttons.end() && pressesLeft > 0;
    if (Tracing()) {
        QStringList buttons;
        for (const ButtonSpec& b : spec.buttons)
            buttons << b.name;
        std::fprintf(stderr, "  ficha %s (%s) [%s]%s\n", qPrintable(spec.name), qPrintable(spec.caption),
                     qPrintable(buttons.join(QLatin1Char(' '))),
                     press ? qPrintable(QStringLiteral(": ") + button->name) : "");
    }
    if (!press)
        return spec.cancelResult;
    --pressesLeft;
    CardController card(
        spec, state, [this](const QString& text) { ShowMessage(text); },
        [](const QString& fault) {
            std::fprintf(stderr, "gim_fuzz: card fault %s\n", qPrintable(fault));
            std::abort();
        });
    if (!card.Open())
        return card.Result();
    card.Press(button->name);
    return card.Closed() ? card.Result() : spec.cancelResult;
}

struct FuzzProgram::Menu
{
    explicit Menu(Context& ctx) : dispatcher(ctx, ctx.Module<OperationRegistry>(), MainCommandTable()) {}
    Dispatcher dispatcher;
};

FuzzProgram::FuzzProgram()
    : ui(QDate(2026, 1, 1), QDate(2026, 12, 31)), clock(QDateTime(QDate(2026, 12, 7), QTime(10, 5, 0))),
      ctx(ui, clock, shell)
{
    Application();
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(DataFolder().toStdString(), ignored))
        std::filesystem::remove_all(entry.path(), ignored);
    ctx.st.WorkDir = ctx.st.BaseDir = DataFolder();
    RegisterFeatures(ctx);
    m_menu = std::make_unique<Menu>(ctx);
}

FuzzProgram::~FuzzProgram() = default;

void FuzzProgram::Write(const QString& name, const QByteArray& bytes) const
{
    QFile f(QDir(DataFolder()).filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "gim_fuzz: cannot write %s\n", qPrintable(name));
        std::abort();
    }
}

void FuzzProgram::Start()
{
    RunStartupBeforeWindow(ctx);
    RunStartupAfterWindow(ctx);
}

void FuzzProgram::Run(const QString& plainPath, const QStringList& answers,
                      const std::map<QString, int>& accept)
{
    if (!m_menu->dispatcher.Find(plainPath)) {
        std::fprintf(stderr, "gim_fuzz: no menu item %s\n", qPrintable(plainPath));
        std::abort();
    }
    ui.answers = answers;
    ui.accept = accept;
    ui.pressesLeft = 1;
    int shown = 0;
    ui.reportTarget = [&shown](std::shared_ptr<ReportDocument> report) { shown += report ? 1 : 0; };
    const bool ran = m_menu->dispatcher.Run(plainPath);
    ui.reportTarget = nullptr;
    if (Tracing())
        std::fprintf(stderr, "%s: %s, %d listing(s)\n", qPrintable(plainPath), ran ? "ran" : "not run",
                     shown);
}

} // namespace gim::fuzz
