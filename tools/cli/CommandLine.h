#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zelk::cli {

// Exit status of a tool whose command line was refused.
constexpr int kBadArguments = 2;

// Answers "" to accept a value, or why it is refused ("is not a whole number ...").
using Check = std::function<std::string(const std::string& value)>;

// A whole number from min to max, written in decimal digits with an optional leading minus.
Check WholeNumber(long min, long max);

// The command line of one tool: options (--name, --name VALUE or --name=VALUE) and operands,
// declared before Parse. --help and -h print the usage on standard output. Anything refused
// is told in one line on standard error, "tool: argument: problem", before anything is done.
class CommandLine {
public:
    CommandLine(std::string tool, std::string usage);

    void Flag(const std::string& name, bool& target);
    void Text(const std::string& name, const std::string& valueName, std::string& target,
              Check check = {});
    void Number(const std::string& name, const std::string& valueName, long min, long max,
                long& target);
    // Operands are taken in the order declared; "-" is an operand, and so is everything after
    // "--".
    void Operand(const std::string& name, std::string& target, bool required, Check check = {});

    // Empty when the tool goes on; otherwise its exit status: 0 after the usage was shown,
    // kBadArguments after a refusal.
    std::optional<int> Parse(int argc, const char* const* argv);

    // Tells why `argument` is refused and answers kBadArguments.
    int Refuse(const std::string& argument, const std::string& problem) const;

private:
    struct Option {
        std::string name, valueName;
        std::function<std::string(const std::string&)> take; // with a value
        bool* flag = nullptr;                                // without one
    };
    struct OperandSpec {
        std::string name;
        std::string* target;
        bool required;
        Check check;
    };
    const Option* Find(const std::string& name) const;
    std::optional<int> TakeOperand(std::size_t& next, const std::string& value);

    std::string tool_, usage_;
    std::vector<Option> options_;
    std::vector<OperandSpec> operands_;
};

} // namespace zelk::cli
