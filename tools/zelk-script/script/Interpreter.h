#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

namespace zelk {
struct ReportDocument;
}
namespace zelk::host {
class DataService;
}

namespace zelk::script {

// Writes a printed report as a PDF file, its maps read from `db`: "" when written, else why
// not.
using PdfWriter = std::function<std::string(const ReportDocument&, const std::string& path,
                                            const std::shared_ptr<host::DataService>& db)>;

struct Options {
    // A database file (created with the sample data on first use), or ":memory:".
    std::string dbPath = ":memory:";
    std::string user = "script";
    // Sample areas of a new database.
    int sampleAreas = 500;
    // What `print pdf FILE` writes with; without one the command says it cannot.
    PdfWriter writePdf;
};

// Exit codes of a script run.
enum Outcome : int { Passed = 0, ExpectationFailed = 1, ScriptError = 2 };

// Runs a script of user actions against the module's controls on the reference host, with
// no display: windows, controls found by name or caption, message boxes answered from the
// script. Every line is echoed, followed by what the user would have seen: messages, windows
// opening and closing, focus that stayed put, the working list growing or shrinking.
class Interpreter {
public:
    Interpreter(std::ostream& out, const Options& options);
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // Runs every line; stops at the first failed expectation or script error.
    Outcome Run(std::istream& script);
    // One line (comments and blank lines do nothing).
    Outcome RunLine(const std::string& line);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace zelk::script
