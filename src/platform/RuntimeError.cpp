#include "platform/RuntimeError.h"

namespace platform {

std::string standardDescription(long number) {
    switch (number) {
        case err::InvalidProcedureCall: return "Invalid procedure call or argument";
        case err::Overflow: return "Overflow";
        case err::SubscriptOutOfRange: return "Subscript out of range";
        case err::BadFileName: return "Bad file name or number";
        case err::FileNotFound: return "File not found";
        case err::DeviceIO: return "Device I/O error";
        case err::DiskFull: return "Disk full";
        case err::InputPastEndOfFile: return "Input past end of file";
        case err::PermissionDenied: return "Permission denied";
        case err::PathFileAccess: return "Path/File access error";
        case err::PathNotFound: return "Path not found";
        case err::DialogCancelled: return "Cancel was selected.";
        default: return "Application-defined or object-defined error";
    }
}

void raise(long number) { throw RuntimeError(number, standardDescription(number)); }

}  // namespace platform
