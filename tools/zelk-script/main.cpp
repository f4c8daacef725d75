// Runs a script of user actions against the managed-area module without a display.
//   zelk-script [--db FILE] [--user NAME] SCRIPT     ("-" reads the script from standard input)
// Exit status: 0 every expectation held, 1 one failed, 2 the script could not be run.
#include "CommandLine.h"
#include "platform/Error.h"
#include "script/Interpreter.h"
#if ZELK_SCRIPT_PDF
#include "PdfOutput.h"
#endif

#include <fstream>
#include <iostream>
#include <string>

namespace {
constexpr const char* kUsage =
    "usage: zelk-script [--db FILE] [--user NAME] SCRIPT\n"
    "Runs a script of user actions against the module (commands in docs/scripting.md).\n"
    "  --db FILE    database to run on (default: a sample database in memory)\n"
    "  --user NAME  user the script works as (default script)\n"
    "  SCRIPT       the script file, or - for standard input\n"
    "Exit status: 0 every expectation held, 1 one failed, 2 the script could not be run.\n";

std::string NotEmpty(const std::string& v) {
    return v.empty() ? "must not be empty" : "";
}
} // namespace

int main(int argc, char** argv) {
    static_assert(zelk::script::ScriptError == zelk::cli::kBadArguments);
    zelk::script::Options options;
    std::string scriptPath;
    zelk::cli::CommandLine cli("zelk-script", kUsage);
    cli.Text("--db", "FILE", options.dbPath, NotEmpty);
    cli.Text("--user", "NAME", options.user, NotEmpty);
    cli.Operand("SCRIPT", scriptPath, true);
    if (auto status = cli.Parse(argc, argv)) return *status;
#if ZELK_SCRIPT_PDF
    options.writePdf = zelk::script::QtPdfWriter();
#endif
    std::ifstream file;
    if (scriptPath != "-") {
        file.open(scriptPath);
        if (!file) return cli.Refuse(scriptPath, "cannot be read");
    }
    try {
        zelk::script::Interpreter run(std::cout, options);
        return run.Run(scriptPath == "-" ? std::cin : file);
    } catch (const zelk::ComError& e) {
        std::cerr << "zelk-script: " << e.Description() << '\n';
        return zelk::script::ScriptError;
    } catch (const std::exception& e) {
        std::cerr << "zelk-script: " << e.what() << '\n';
        return zelk::script::ScriptError;
    }
}
