#pragma once
#include <exception>

namespace zorva {

// Runs one step under the skip rule: a step that fails is skipped silently and the caller goes on
// with the next one. The loading after the table exists, the calculation, the write-back and the
// rendering after its first steps all work this way.
template <typename Step>
void skipOnFailure(Step&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace zorva
