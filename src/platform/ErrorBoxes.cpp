#include "platform/ErrorBoxes.h"

#include "platform/Services.h"

namespace platform {

std::string programErrorText(const std::string& procName, const std::string& subProc, const RuntimeError& error) {
    return "Err Code: " + std::to_string(error.number()) + "\n" + "Err Desc: " + error.description() + "\n" +
           "Procname: " + procName + "\n" + "Sub Proc: " + subProc;
}

void ShowProgramError(MessageBoxes& boxes, const std::string& procName, const std::string& subProc,
                      const RuntimeError& error) {
    boxes.show(programErrorText(procName, subProc, error), "Program Error", Icon::Stop, Buttons::Ok);
}

void ShowProgramError(const std::string& procName, const std::string& subProc, const RuntimeError& error) {
    ShowProgramError(boxes(), procName, subProc, error);
}

void ShowKestrinError(MessageBoxes& boxes, const RuntimeError& error) {
    boxes.show(error.description(), "Kestrin Error", Icon::Stop, Buttons::Ok);
}

void ShowKestrinError(const RuntimeError& error) { ShowKestrinError(boxes(), error); }

void ShowOrvaneError(MessageBoxes& boxes, const RuntimeError& error) {
    boxes.show(error.description(), "Orvane Error", Icon::Stop, Buttons::Ok);
}

void ShowOrvaneError(const RuntimeError& error) { ShowOrvaneError(boxes(), error); }

}  // namespace platform
