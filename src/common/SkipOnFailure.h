#pragma once
#include <exception>
#include <new>
#include <source_location>

namespace zorva {

namespace detail {
// Leaves the skipped step and its reason in the detail log, so that a step that failed can be
// found again although the user was told nothing.
void noteSkipped(const std::source_location& where, const std::exception& reason);
}  // namespace detail

// Runs one step under the skip rule: a step that fails is skipped and the caller goes on with the
// next one. The loading after the table exists, the calculation, the write-back and the rendering
// after its first steps all work this way. Running out of memory is no step's own failure: it ends
// the whole operation.
template <typename Step>
void skipOnFailure(Step&& step, std::source_location where = std::source_location::current())
{
    try {
        step();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        detail::noteSkipped(where, e);
    }
}

}  // namespace zorva
