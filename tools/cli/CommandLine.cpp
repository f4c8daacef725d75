#include "CommandLine.h"

#include <cerrno>
#include <cstdlib>
#include <iostream>

namespace zelk::cli {

Check WholeNumber(long min, long max) {
    return [min, max](const std::string& value) -> std::string {
        const std::string refusal = "'" + value + "' is not a whole number from " +
                                    std::to_string(min) + " to " + std::to_string(max);
        const std::size_t digits = !value.empty() && value[0] == '-' ? 1 : 0;
        if (value.size() == digits) return refusal;
        for (std::size_t i = digits; i < value.size(); ++i)
            if (value[i] < '0' || value[i] > '9') return refusal;
        errno = 0;
        const long long v = std::strtoll(value.c_str(), nullptr, 10);
        if (errno == ERANGE || v < min || v > max) return refusal;
        return "";
    };
}

CommandLine::CommandLine(std::string tool, std::string usage)
    : tool_(std::move(tool)), usage_(std::move(usage)) {}

void CommandLine::Flag(const std::string& name, bool& target) {
    options_.push_back({name, "", nullptr, &target});
}

void CommandLine::Text(const std::string& name, const std::string& valueName, std::string& target,
                       Check check) {
    options_.push_back({name, valueName,
                        [&target, check](const std::string& value) {
                            std::string problem = check ? check(value) : std::string();
                            if (problem.empty()) target = value;
                            return problem;
                        },
                        nullptr});
}

void CommandLine::Number(const std::string& name, const std::string& valueName, long min, long max,
                         long& target) {
    options_.push_back({name, valueName,
                        [&target, check = WholeNumber(min, max)](const std::string& value) {
                            std::string problem = check(value);
                            if (problem.empty()) target = std::strtol(value.c_str(), nullptr, 10);
                            return problem;
                        },
                        nullptr});
}

void CommandLine::Operand(const std::string& name, std::string& target, bool required,
                          Check check) {
    operands_.push_back({name, &target, required, std::move(check)});
}

const CommandLine::Option* CommandLine::Find(const std::string& name) const {
    for (const Option& o : options_)
        if (o.name == name) return &o;
    return nullptr;
}

int CommandLine::Refuse(const std::string& argument, const std::string& problem) const {
    std::cerr << tool_ << ": " << argument << ": " << problem << " (see " << tool_ << " --help)"
              << std::endl;
    return kBadArguments;
}

std::optional<int> CommandLine::TakeOperand(std::size_t& next, const std::string& value) {
    if (next >= operands_.size()) return Refuse(value, "unexpected argument");
    const OperandSpec& spec = operands_[next++];
    if (spec.check) {
        std::string problem = spec.check(value);
        if (!problem.empty()) return Refuse(spec.name, problem);
    }
    *spec.target = value;
    return std::nullopt;
}

std::optional<int> CommandLine::Parse(int argc, const char* const* argv) {
    std::size_t nextOperand = 0;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // A negative number is a value for an operand to refuse or take, not an option.
        const bool negative = arg.size() > 1 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9';
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-' || negative) {
            if (auto status = TakeOperand(nextOperand, arg)) return status;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            std::cout << usage_ << std::flush;
            return 0;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const Option* option = Find(name);
        if (!option) return Refuse(name, "unknown option");
        if (option->flag) {
            if (eq != std::string::npos) return Refuse(name, "takes no value");
            *option->flag = true;
            continue;
        }
        std::string value;
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return Refuse(name, "needs a value (" + option->valueName + ")");
        }
        std::string problem = option->take(value);
        if (!problem.empty()) return Refuse(name, problem);
    }
    for (std::size_t k = nextOperand; k < operands_.size(); ++k)
        if (operands_[k].required) return Refuse(operands_[k].name, "missing");
    return std::nullopt;
}

} // namespace zelk::cli
