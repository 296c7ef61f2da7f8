#include "core/command.h"
#include "core/transaction.h"

#include "core/context.h"
#include "core/io_errors.h"

namespace gim {

namespace {

// How many commands are running, one inside the other.
struct CommandDepth
{
    int depth = 0;
};

// Clears the codes a command set, on every way out of it.
class ModeCodeReset
{
public:
    ModeCodeReset(State& st, const ModeCodes& codes) : m_st(st), m_codes(codes) {}
    ~ModeCodeReset()
    {
        m_st.ActionCode.clear();
        if (m_codes.output)
            m_st.OutputCode = QStringLiteral(" ");
        if (m_codes.sub)
            m_st.SubCode = QStringLiteral(" ");
        if (m_codes.answer)
            m_st.AnswerCode.clear();
    }
    ModeCodeReset(const ModeCodeReset&) = delete;
    ModeCodeReset& operator=(const ModeCodeReset&) = delete;

private:
    State& m_st;
    const ModeCodes& m_codes;
};

} // namespace

CommandRunning::CommandRunning(Context& ctx) : m_depth(ctx.Module<CommandDepth>().depth)
{
    ++m_depth;
}

CommandRunning::~CommandRunning()
{
    --m_depth;
}

bool CommandRunning::Now(Context& ctx)
{
    return ctx.Module<CommandDepth>().depth > 0;
}

bool RunCommand(Context& ctx, const ModeCodes& codes, const std::function<void()>& body)
{
    CommandRunning running(ctx);
    State& st = ctx.st;
    if (codes.action)
        st.ActionCode = *codes.action;
    if (codes.output)
        st.OutputCode = *codes.output;
    if (codes.sub)
        st.SubCode = *codes.sub;
    if (codes.answer)
        st.AnswerCode = *codes.answer;
    st.ContinueFlag = 0;

    ModeCodeReset reset(st, codes);
    if (ctx.Module<CommandDepth>().depth == 1)
        ForgetFoldersShown(ctx);
    const bool outermost = ctx.Module<CommandDepth>().depth == 1;
    bool done = true;
    try {
        body();
    } catch (const IoAbort& e) {
        st.LastIOResult = e.code();
        // A folder in the file's place was said already, when it was met.
        if (!(e.code() == IoCode::AccessDenied && FolderShown(ctx, e.file())))
            ctx.ui.ShowMessage(e.Message());
        done = false;
    }
    // Between commands the journal is empty: what the steps stored is synced into its files. What was
    // committed is stored whatever happens here: a failure leaves the journal to the next write or start,
    // and the user is not told that a stored step failed.
    try {
        if (outermost)
            CheckpointJournal(ctx);
    } catch (const IoAbort&) {
    }
    return done;
}

ModeCodeGuard::ModeCodeGuard(Context& ctx)
    : m_ctx(ctx), m_action(ctx.st.ActionCode), m_output(ctx.st.OutputCode), m_sub(ctx.st.SubCode),
      m_answer(ctx.st.AnswerCode), m_answer2(ctx.st.AnswerCode2)
{
}

ModeCodeGuard::~ModeCodeGuard()
{
    m_ctx.st.ActionCode = m_action;
    m_ctx.st.OutputCode = m_output;
    m_ctx.st.SubCode = m_sub;
    m_ctx.st.AnswerCode = m_answer;
    m_ctx.st.AnswerCode2 = m_answer2;
}

NestedCallGuard::NestedCallGuard(Context& ctx)
    : m_ctx(ctx), m_codes(ctx), m_interactive(ctx.st.InteractiveFlag), m_continue(ctx.st.ContinueFlag),
      m_added(ctx.st.RecordAddedFlag), m_photo(ctx.st.PhotoAssignFlag), m_found(ctx.st.FoundMachine)
{
}

NestedCallGuard::~NestedCallGuard()
{
    State& st = m_ctx.st;
    st.InteractiveFlag = m_interactive;
    st.ContinueFlag = m_continue;
    st.RecordAddedFlag = m_added;
    st.PhotoAssignFlag = m_photo;
    st.FoundMachine = m_found;
}

} // namespace gim
