#include "core/command.h"

#include "core/context.h"
#include "core/io_errors.h"

namespace gim {

bool RunCommand(Context& ctx, const ModeCodes& codes, const std::function<void()>& body)
{
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

    bool completed = true;
    try {
        body();
    } catch (const IoAbort& e) {
        completed = false;
        ShowIOError(ctx, e.code());
    }
    st.ActionCode.clear();
    if (codes.output)
        st.OutputCode = QStringLiteral(" ");
    if (codes.sub)
        st.SubCode = QStringLiteral(" ");
    if (codes.answer)
        st.AnswerCode.clear();
    return completed;
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

} // namespace gim
