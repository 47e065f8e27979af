#pragma once
// Every handler of the program declares, once, what a failing step means for it:
//  - SkipAndContinue:    skip the failing step silently, run the next one;
//  - AbandonSilently:    stop at the first failure, say nothing;
//  - AbandonWithMessage: stop at the first failure and report it once;
//  - MessagePerStep:     report every failing step and go on.
// A step fails by returning false or by throwing; failures never escape the runner.
#include <QString>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace vt {

enum class ErrorPolicy { SkipAndContinue, AbandonSilently, AbandonWithMessage, MessagePerStep };

class StepRunner
{
public:
    using Reporter = std::function<void(const QString &step)>;

    explicit StepRunner(ErrorPolicy policy, Reporter report = {})
        : m_policy(policy), m_report(std::move(report)) {}

    // Runs one step unless the handler was abandoned. Returns whether it succeeded.
    template <typename Step>
    bool run(const QString &name, Step &&step)
    {
        if (m_abandoned)
            return false;
        bool ok = false;
        try {
            if constexpr (std::is_same_v<std::invoke_result_t<Step>, void>) {
                std::forward<Step>(step)();
                ok = true;
            } else {
                ok = bool(std::forward<Step>(step)());
            }
        } catch (...) {
            ok = false;
        }
        if (!ok)
            fail(name);
        return ok;
    }

    bool abandoned() const { return m_abandoned; }
    int failures() const { return m_failures; }
    ErrorPolicy policy() const { return m_policy; }

private:
    void fail(const QString &name)
    {
        ++m_failures;
        switch (m_policy) {
        case ErrorPolicy::SkipAndContinue:
            break;
        case ErrorPolicy::AbandonSilently:
            m_abandoned = true;
            break;
        case ErrorPolicy::AbandonWithMessage:
            m_abandoned = true;
            if (m_report)
                m_report(name);
            break;
        case ErrorPolicy::MessagePerStep:
            if (m_report)
                m_report(name);
            break;
        }
    }

    ErrorPolicy m_policy;
    Reporter m_report;
    bool m_abandoned = false;
    int m_failures = 0;
};

} // namespace vt
