#pragma once
#include <random>

#include "common/ProgramContext.h"

namespace zorva {

// The real clock: local time, and a random source seeded from the timer.
class SystemClock : public Clock {
public:
    SystemClock();
    QDateTime now() const override;
    void reseed() override;
    double random() override;

private:
    std::mt19937_64 engine_;
};

}  // namespace zorva
