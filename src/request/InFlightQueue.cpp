#include "request/InFlightQueue.h"

#include <algorithm>
#include <memory>

namespace zorva::request {

InFlightQueue::InFlightQueue(int limit, Source source, std::function<void()> drained)
    : limit_(std::max(1, limit)), source_(std::move(source)), drained_(std::move(drained))
{
}

void InFlightQueue::start()
{
    fill();
}

void InFlightQueue::stop()
{
    exhausted_ = true;
    fill();
}

void InFlightQueue::fill()
{
    // A job that finishes at once calls back into here; the loop below takes the next job instead
    // of recursing once per job.
    if (filling_) return;
    filling_ = true;
    while (!exhausted_ && running_ < limit_) {
        std::optional<Job> job = source_();
        if (!job) {
            exhausted_ = true;
            break;
        }
        ++running_;
        auto done = std::make_shared<bool>(false);
        (*job)([this, done] {
            if (*done) return;
            *done = true;
            finishOne();
        });
    }
    filling_ = false;
    if (exhausted_ && running_ == 0 && !drainedSent_) {
        drainedSent_ = true;
        if (drained_) drained_();
    }
}

void InFlightQueue::finishOne()
{
    --running_;
    fill();
}

}  // namespace zorva::request
