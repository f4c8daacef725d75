#pragma once

#include <stdexcept>
#include <string>

namespace zelk {

// Run-time error numbers that callers test for.
namespace err {
constexpr int InvalidProcedureCall = 5;
constexpr int Overflow = 6;
constexpr int SubscriptOutOfRange = 9;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int ObjectRequired = 424;
constexpr int ObjectNotSet = 91;
constexpr int CannotCreateObject = 429;
constexpr int MemberNotFound = 438;
constexpr int InvalidArgument = 3001;
constexpr int NoCurrentRecord = 3021;
constexpr int ItemNotFound = 3265;
constexpr int OperationNotAllowedClosed = 3704;
constexpr int OperationNotAllowedOpen = 3705;
constexpr int OperationCancelled = 3712;   // the person stopped a long operation
constexpr int ProviderError = -2147467259; // database failure reported by the data service
constexpr int XmlParse = 1000;             // malformed XML document
constexpr int MissingAnswer = 1001;        // scripted driver had no answer queued
} // namespace err

// A run-time error as the platform reports it: number, source and description.
struct Error {
    int Number = 0;
    std::string Source;
    std::string Description;
};

class ComError : public std::runtime_error {
public:
    ComError(int number, std::string description, std::string source = "");
    explicit ComError(Error e);

    int Number() const noexcept { return err_.Number; }
    const std::string& Source() const noexcept { return err_.Source; }
    const std::string& Description() const noexcept { return err_.Description; }
    const Error& GetError() const noexcept { return err_; }

private:
    Error err_;
};

// Throws ComError; never returns.
[[noreturn]] void Raise(int number, const std::string& description, const std::string& source = "");

// Standard description for a well-known error number ("Type mismatch" for 13, ...).
std::string DefaultDescription(int number);

} // namespace zelk
