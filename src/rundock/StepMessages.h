// Messages of the operations a run step calls are kept for its result instead of shown in a box:
// the operator reads them in the step table, and no box stops the run.
#pragma once

#include "module/Session.h"

#include <string>
#include <vector>

class TStepMessages : public TMessageSink
{
public:
    // The session's messages come here while this lives.
    TStepMessages(TSession &session, std::vector<std::string> &texts)
        : m_texts(texts)
        , m_scope(session, *this)
    {
    }
    TStepMessages(const TStepMessages &) = delete;
    TStepMessages &operator=(const TStepMessages &) = delete;

    void Show(const std::string &text, const std::string &, TMessageKind kind) override
    {
        m_texts.push_back(text);
        m_error = m_error || kind == TMessageKind::Error;
    }
    bool SawError() const { return m_error; }

private:
    std::vector<std::string> &m_texts;
    bool m_error = false;
    TMessageSinkScope m_scope;
};
