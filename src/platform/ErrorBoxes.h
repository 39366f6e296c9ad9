#pragma once
// The error boxes both programs show for a trapped run-time error.
#include <string>

#include "platform/Desktop.h"
#include "platform/RuntimeError.h"

namespace platform {

// "Program Error": four lines naming the error and the procedure it happened in.
//   Err Code: 53\nErr Desc: File not found\nProcname: Load\nSub Proc:
void ShowProgramError(const std::string& procName, const std::string& subProc, const RuntimeError& error);
void ShowProgramError(MessageBoxes& boxes, const std::string& procName, const std::string& subProc,
                      const RuntimeError& error);

// The editor window's short box: the description alone, titled "Kestrin Error".
void ShowKestrinError(const RuntimeError& error);
void ShowKestrinError(MessageBoxes& boxes, const RuntimeError& error);

// The word routines' box: the description alone, titled "Orvane Error".
void ShowOrvaneError(const RuntimeError& error);
void ShowOrvaneError(MessageBoxes& boxes, const RuntimeError& error);

// The text of the "Program Error" box.
std::string programErrorText(const std::string& procName, const std::string& subProc, const RuntimeError& error);

// Runs f; a RuntimeError (or any other exception, as an error 5 with its
// text) escaping it is shown in a Kestrin box. Last-resort guard for
// event handlers that trap nothing.
template <class F>
void guardEvent(F&& f);

}  // namespace platform

#include <exception>
namespace platform {
template <class F>
void guardEvent(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        ShowKestrinError(e);
    } catch (const std::exception& e) {
        ShowKestrinError(RuntimeError(err::InvalidProcedureCall, e.what()));
    }
}
}  // namespace platform
