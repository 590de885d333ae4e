#pragma once
#include <functional>
#include <optional>

namespace zorva::request {

// Runs asynchronous jobs with at most `limit` of them in flight at once, on the calling thread. Jobs
// are pulled from a source one at a time as places free up, so that nothing is held for the jobs
// that have not started. A job receives a callback that it calls exactly once when it has finished
// (at once or later, from the event loop).
class InFlightQueue {
public:
    using Finished = std::function<void()>;
    using Job = std::function<void(Finished)>;
    using Source = std::function<std::optional<Job>()>;  // nothing: no more jobs

    InFlightQueue(int limit, Source source, std::function<void()> drained);

    // Starts jobs up to the limit; `drained` is called once the source is empty and no job runs.
    void start();
    // No further job is taken from the source; the running ones still finish.
    void stop();
    int running() const { return running_; }

private:
    void fill();
    void finishOne();

    int limit_;
    Source source_;
    std::function<void()> drained_;
    int running_ = 0;
    bool exhausted_ = false;
    bool filling_ = false;
    bool drainedSent_ = false;
};

}  // namespace zorva::request
