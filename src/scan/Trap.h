#pragma once
// Every procedure of the scan engine traps run-time errors: it reports the
// error in the "Program Error" box under its own name and ends; its caller
// carries on with whatever was done before the error.
#include <new>
#include <stdexcept>
#include <type_traits>

#include "platform/ErrorBoxes.h"
#include "platform/RuntimeError.h"

namespace scan {

// Runs body(); an error escaping it is shown with ShowProgramError(procName,
// "", error) and the result is a default value ("" for a string, 0, false).
// Standard-library faults are mapped onto the old platform's numbers:
// out_of_range is "Subscript out of range" (9), bad_alloc "Out of memory" (7),
// anything else "Invalid procedure call or argument" (5).
template <class F>
auto trapErrors(const char* procName, F&& body) -> decltype(body()) {
    using Result = decltype(body());
    try {
        return body();
    } catch (const platform::RuntimeError& e) {
        platform::ShowProgramError(procName, "", e);
    } catch (const std::out_of_range&) {
        platform::ShowProgramError(
            procName, "",
            platform::RuntimeError(platform::err::SubscriptOutOfRange,
                                   platform::standardDescription(platform::err::SubscriptOutOfRange)));
    } catch (const std::bad_alloc&) {
        platform::ShowProgramError(procName, "", platform::RuntimeError(7, "Out of memory"));
    } catch (const std::exception& e) {
        platform::ShowProgramError(procName, "", platform::RuntimeError(platform::err::InvalidProcedureCall, e.what()));
    }
    if constexpr (!std::is_void_v<Result>) return Result{};
}

}  // namespace scan
