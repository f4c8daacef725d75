#include "platform/Error.h"

namespace zelk {

ComError::ComError(int number, std::string description, std::string source)
    : ComError(Error{number, std::move(source), std::move(description)}) {}

ComError::ComError(Error e)
    : std::runtime_error(e.Description.empty() ? DefaultDescription(e.Number) : e.Description),
      err_(std::move(e)) {
    if (err_.Description.empty()) err_.Description = DefaultDescription(err_.Number);
}

void Raise(int number, const std::string& description, const std::string& source) {
    throw ComError(number, description, source);
}

std::string DefaultDescription(int number) {
    switch (number) {
    case err::InvalidProcedureCall:
        return "Invalid procedure call or argument";
    case err::Overflow:
        return "Overflow";
    case err::SubscriptOutOfRange:
        return "Subscript out of range";
    case err::DivisionByZero:
        return "Division by zero";
    case err::TypeMismatch:
        return "Type mismatch";
    case err::ObjectRequired:
        return "Object required";
    case err::ObjectNotSet:
        return "Object variable or With block variable not set";
    case err::CannotCreateObject:
        return "ActiveX component can't create object";
    case err::MemberNotFound:
        return "Object doesn't support this property or method";
    case err::InvalidArgument:
        return "Arguments are of the wrong type, are out of acceptable range, or are in conflict "
               "with one another.";
    case err::NoCurrentRecord:
        return "Either BOF or EOF is True, or the current record has been deleted. Requested "
               "operation requires a current record.";
    case err::ItemNotFound:
        return "Item cannot be found in the collection corresponding to the "
               "requested name or ordinal.";
    case err::OperationNotAllowedClosed:
        return "Operation is not allowed when the object is closed.";
    case err::OperationNotAllowedOpen:
        return "Operation is not allowed when the object is open.";
    default:
        return "Application-defined or object-defined error";
    }
}

} // namespace zelk
