#include "common/SystemClock.h"

#include <chrono>

namespace zorva {

SystemClock::SystemClock()
{
    reseed();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

void SystemClock::reseed()
{
    // The finest timer there is, so that two seeds in one second still differ.
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    engine_.seed(static_cast<std::uint64_t>(ticks));
}

double SystemClock::random()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(engine_);
}

}  // namespace zorva
