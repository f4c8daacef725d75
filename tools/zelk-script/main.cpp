// Runs a script of user actions against the managed-area module without a display.
//   zelk-script [--db FILE] [--user NAME] SCRIPT     ("-" reads the script from standard input)
// Exit status: 0 every expectation held, 1 one failed, 2 the script could not be run.
#include "platform/Error.h"
#include "script/Interpreter.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {
int Usage(const std::string& problem) {
    std::cerr << "zelk-script: " << problem
              << "\nusage: zelk-script [--db FILE] [--user NAME] SCRIPT\n";
    return zelk::script::ScriptError;
}
} // namespace

int main(int argc, char** argv) {
    zelk::script::Options options;
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if ((a == "--db" || a == "--user") && i + 1 < argc) {
            (a == "--db" ? options.dbPath : options.user) = argv[++i];
        } else if (a == "--help" || a == "-h") {
            Usage("runs a script of user actions; see docs/scripting.md");
            return 0;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return Usage("unknown option " + a);
        } else if (scriptPath.empty()) {
            scriptPath = a;
        } else {
            return Usage("one script at a time");
        }
    }
    if (scriptPath.empty()) return Usage("no script given");
    std::ifstream file;
    if (scriptPath != "-") {
        file.open(scriptPath);
        if (!file) return Usage("cannot read " + scriptPath);
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
