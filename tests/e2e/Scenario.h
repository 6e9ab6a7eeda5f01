#pragma once
// Drives a whole run of the trainer from inside its own event loops: each step waits until its
// condition holds, then acts, and the next step waits in turn. Every poll is a fresh single-shot
// timer scheduled before the step acts, so the steps go on inside the modal loops that an act
// opens (a selection, a question) and the act itself may block until a later step ends them.

#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <utility>

class TScenario {
public:
    explicit TScenario(int pollMilliseconds = 10) : Poll(pollMilliseconds) {}

    TScenario& Then(std::string what, std::function<bool()> ready, std::function<void()> act) {
        Steps.push_back({std::move(what), std::move(ready), std::move(act)});
        return *this;
    }

    // Starts polling; call before the event loop runs.
    void Start() { Schedule(); }

    bool Done() const { return Steps.empty(); }
    // What the run still waits for, for the failure message of a test that timed out.
    std::string Waiting() const { return Steps.empty() ? std::string() : Steps.front().What; }

private:
    struct TStep {
        std::string What;
        std::function<bool()> Ready;
        std::function<void()> Act;
    };

    void Schedule() {
        QTimer::singleShot(Poll, &Scope, [this] { Tick(); });
    }

    void Tick() {
        if (Steps.empty())
            return;
        Schedule();
        if (!Steps.front().Ready())
            return;
        TStep step = std::move(Steps.front());
        Steps.pop_front();
        step.Act();
    }

    int Poll;
    std::deque<TStep> Steps;
    QObject Scope; // the pending timer dies with the scenario
};
