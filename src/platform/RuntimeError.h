#pragma once
// The old platform's run-time error: a number and a description, thrown where
// the platform would raise one and caught where a routine traps errors.
#include <exception>
#include <string>

namespace platform {

// Error numbers of the run-time errors the suite raises or tests for.
namespace err {
constexpr long InvalidProcedureCall = 5;
constexpr long Overflow = 6;
constexpr long SubscriptOutOfRange = 9;
constexpr long BadFileName = 52;
constexpr long FileNotFound = 53;
constexpr long DeviceIO = 57;
constexpr long DiskFull = 61;
constexpr long InputPastEndOfFile = 62;
constexpr long PermissionDenied = 70;
constexpr long PathFileAccess = 75;
constexpr long PathNotFound = 76;
constexpr long DialogCancelled = 32755;
}  // namespace err

class RuntimeError : public std::exception {
public:
    RuntimeError(long number, std::string description) : number_(number), description_(std::move(description)) {}

    long number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    long number_;
    std::string description_;
};

// The platform's wording of its standard errors ("Input past end of file", ...).
std::string standardDescription(long number);

// Throws the standard run-time error of that number.
[[noreturn]] void raise(long number);

}  // namespace platform
