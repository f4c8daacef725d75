// Scripts of user actions run headless against the module on the reference host.
#include "host/ReferenceHost.h"
#include "platform/Conv.h"
#include "script/Interpreter.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zelk::script {
namespace {

namespace fs = std::filesystem;

struct ScriptRun {
    Outcome outcome;
    std::string output;
};

// A database of the test backend with the sample data the options ask for, in place of
// ":memory:".
std::string BackendPath(const Options& options) {
    host::HostOptions h;
    h.dbPath = options.dbPath;
    h.sampleAreas = options.sampleAreas;
    h.userName = options.user;
    return zelk::testing::OnTestBackend(h).dbPath;
}

ScriptRun RunText(const std::string& text, Options options = {}) {
    options.dbPath = BackendPath(options);
    std::ostringstream out;
    std::istringstream in(text);
    Outcome o = Interpreter(out, options).Run(in);
    return {o, out.str()};
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

fs::path Source(const std::string& relative) {
    return fs::path(ZELK_SOURCE_DIR) / relative;
}

// The fenced blocks of a document marked as scripts (```zelk-script).
std::vector<std::string> Examples(const std::string& markdown) {
    std::vector<std::string> out;
    std::istringstream in(markdown);
    std::string line, block;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!inside && line.rfind("```zelk-script", 0) == 0) {
            inside = true;
            block.clear();
        } else if (inside && line.rfind("```", 0) == 0) {
            inside = false;
            out.push_back(block);
        } else if (inside) {
            block += line + '\n';
        }
    }
    return out;
}

TEST(ScriptTest, ExampleScriptsRunClean) {
    std::vector<fs::path> scripts;
    for (const auto& e : fs::directory_iterator(Source("tests/script")))
        if (e.path().extension() == ".zs") scripts.push_back(e.path());
    ASSERT_GE(scripts.size(), 2u);
    for (const fs::path& p : scripts) {
        ScriptRun r = RunText(ReadFile(p));
        EXPECT_EQ(r.outcome, Passed) << p.filename() << ":\n" << r.output;
    }
    std::vector<std::string> documented = Examples(ReadFile(Source("docs/scripting.md")));
    ASSERT_FALSE(documented.empty());
    for (const std::string& text : documented) {
        ScriptRun r = RunText(text);
        EXPECT_EQ(r.outcome, Passed) << text << "\n---\n" << r.output;
    }
}

TEST(ScriptTest, ASavedEditIsInTheDatabaseFileForTheNextRun) {
    fs::path dir = fs::temp_directory_path() / ("zelk-script-test-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    Options options;
    options.user = "ann";
    options.sampleAreas = 40;
    // On the server the database outlives the runs just as the file does.
    options.dbPath =
        zelk::testing::OnPostgres() ? BackendPath(options) : (dir / "areas.db").string();

    ScriptRun first = RunText("open details 12\n"
                              "set ctlMAName \"Heron Marsh Preserve\"\n"
                              "leave\n"
                              "menu File>Save\n"
                              "expect no message\n"
                              "close\n"
                              "expect windows 0\n",
                              options);
    ASSERT_EQ(first.outcome, Passed) << first.output;
    {
        host::HostOptions h;
        h.dbPath = options.dbPath;
        h.userName = "ann";
        auto host = host::ReferenceHost::Open(h);
        auto rs = host->Db()->Query(
            "SELECT managed_area_name, rec_last_mod_user FROM ma WHERE managed_area_id = 12");
        ASSERT_FALSE(rs->EOF());
        EXPECT_EQ(CStr(rs->Value("managed_area_name")), "Heron Marsh Preserve");
        EXPECT_EQ(CStr(rs->Value("rec_last_mod_user")), "ann");
    }
    ScriptRun second = RunText("open details 12\n"
                               "expect text ctlMAName \"Heron Marsh Preserve\"\n",
                               options);
    EXPECT_EQ(second.outcome, Passed) << second.output;
    fs::remove_all(dir);
}

TEST(ScriptTest, AFailureStopsTheScriptAndSaysWhatWasSeen) {
    // An expectation that does not hold: status 1, what was seen, nothing after it runs.
    ScriptRun r = RunText("open search\nexpect caption \"Find Sites\"\nopen details 12\n");
    EXPECT_EQ(r.outcome, ExpectationFailed);
    EXPECT_NE(r.output.find("FAILED: the window caption shows \"Find Managed Area\", not \"Find "
                            "Sites\""),
              std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("> open details"), std::string::npos) << r.output;

    // Another message than the one expected: the ones shown are listed.
    r = RunText("open details 12\nset ctlMAName X\nleave\nanswer Cancel\nclose\n"
                "expect message MGA007\n");
    EXPECT_EQ(r.outcome, ExpectationFailed);
    EXPECT_NE(r.output.find("MGA001: Save the changes"), std::string::npos) << r.output;

    // A grid cell, a count and the focus, each failing with what the user sees.
    r = RunText("open details 12\nexpect cell flexOwners 1 2 \"Smith\"\n");
    EXPECT_EQ(r.outcome, ExpectationFailed);
    EXPECT_NE(r.output.find("shows \"The Nature Conservancy\", not \"Smith\""), std::string::npos)
        << r.output;
    r = RunText("open search\nexpect list 2\n");
    EXPECT_EQ(r.outcome, ExpectationFailed);
    r = RunText("open details 12\ntab 1\nset txtNorth 99N\nleave\nexpect focus txtSouth\n");
    EXPECT_EQ(r.outcome, ExpectationFailed);
    EXPECT_NE(r.output.find("the focus is on txtNorth"), std::string::npos) << r.output;

    // A prompt nobody answered, and an answer no prompt asked for.
    r = RunText("open details 12\nset ctlMAName X\nleave\nclose\n");
    EXPECT_EQ(r.outcome, ScriptError);
    EXPECT_NE(r.output.find("Save the changes to this managed area?"), std::string::npos)
        << r.output;
    r = RunText("open details 12\nanswer Yes\ntab 1\n");
    EXPECT_EQ(r.outcome, ExpectationFailed);
    EXPECT_NE(r.output.find("no message box asked for the queued answer"), std::string::npos)
        << r.output;

    // Names the window does not have, commands that do not exist, controls off the page.
    r = RunText("open search\nset txtManagedAreaNam oak\n");
    EXPECT_EQ(r.outcome, ScriptError);
    EXPECT_NE(r.output.find("txtManagedAreaName"), std::string::npos) << r.output;
    EXPECT_EQ(RunText("open search\nfrobnicate\n").outcome, ScriptError);
    EXPECT_EQ(RunText("set txtNorth 1\n").outcome, ScriptError);
    r = RunText("open details 12\nset txtNorth 401230N\n");
    EXPECT_EQ(r.outcome, ScriptError);
    EXPECT_NE(r.output.find("txtNorth is not on show"), std::string::npos) << r.output;
}

} // namespace
} // namespace zelk::script
