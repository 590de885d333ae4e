#pragma once
#include <exception>
#include <new>

namespace zorva {

// Where a skipped step stands in the source, taken at the call (the compilers' builtins work where
// std::source_location is not yet available to every compiler the project builds with).
struct StepPlace {
    const char* file;
    int line;
    const char* function;
};

namespace detail {
// Leaves the skipped step and its reason in the detail log, so that a step that failed can be
// found again although the user was told nothing.
void noteSkipped(const StepPlace& where, const std::exception& reason);
}  // namespace detail

// Runs one step under the skip rule: a step that fails is skipped and the caller goes on with the
// next one. The loading after the table exists, the calculation, the write-back and the rendering
// after its first steps all work this way. Running out of memory is no step's own failure: it ends
// the whole operation.
template <typename Step>
void skipOnFailure(Step&& step, const char* file = __builtin_FILE(), int line = __builtin_LINE(),
                   const char* function = __builtin_FUNCTION())
{
    try {
        step();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        detail::noteSkipped({file, line, function}, e);
    }
}

}  // namespace zorva
