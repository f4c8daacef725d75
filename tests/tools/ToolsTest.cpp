// The command-line tools run as a user runs them: by path, in a folder of their own, with
// their standard output and error read back.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zelk::testing {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every tool of tools/ by its name.
std::map<std::string, std::string> Tools() {
    std::map<std::string, std::string> tools;
    std::stringstream all(ZELK_TOOLS);
    for (std::string path; std::getline(all, path, '|');)
        tools[fs::path(path).filename().string()] = path;
    return tools;
}

class ToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("zelk-tools-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "run");
    }
    void TearDown() override { fs::remove_all(root); }

    Outcome Run(const std::string& tool, const std::vector<std::string>& args) {
        auto tools = Tools();
        EXPECT_TRUE(tools.count(tool)) << tool;
        std::string cmd = "cd " + Quote((root / "run").string()) + " && " + Quote(tools[tool]);
        for (const std::string& a : args)
            cmd += " " + Quote(a);
        cmd += " </dev/null >" + Quote((root / "out").string()) + " 2>" +
               Quote((root / "err").string());
        const int raw = std::system(cmd.c_str());
        Outcome o;
        o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        o.out = ReadFile(root / "out");
        o.err = ReadFile(root / "err");
        return o;
    }

    // A refused command line: status 2, one line on stderr naming the argument, nothing
    // written to stdout or to the folder the tool ran in.
    void ExpectRefused(const std::string& tool, const std::vector<std::string>& args,
                       const std::string& named) {
        std::string shown = tool;
        for (const std::string& a : args)
            shown += " " + a;
        const Outcome o = Run(tool, args);
        EXPECT_EQ(o.status, 2) << shown;
        EXPECT_EQ(o.out, "") << shown;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << shown << "\n" << o.err;
        EXPECT_EQ(o.err.rfind(tool + ": " + named + ": ", 0), 0u) << shown << "\n" << o.err;
        EXPECT_TRUE(fs::is_empty(root / "run")) << shown;
    }

    fs::path root;
};

TEST_F(ToolsTest, EveryToolAnswersHelpAndRefusesUnknownOptions) {
    const auto tools = Tools();
    ASSERT_GE(tools.size(), 3u);
    for (const auto& [name, path] : tools) {
        for (const char* help : {"--help", "-h"}) {
            const Outcome o = Run(name, {help});
            EXPECT_EQ(o.status, 0) << name << " " << help << "\n" << o.err;
            EXPECT_EQ(o.out.rfind("usage: " + name, 0), 0u) << name << "\n" << o.out;
            EXPECT_EQ(o.err, "") << name;
        }
        ExpectRefused(name, {"--no-such-option"}, "--no-such-option");
        ExpectRefused(name, {"--no-such=1"}, "--no-such");
    }
}

TEST_F(ToolsTest, SampleDbRefusesBadValuesAndWritesNothing) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--areas", "-5"}, "--areas"},
        {{"--areas", "abc"}, "--areas"},
        {{"--areas", "99999999999"}, "--areas"},
        {{"--areas", "100000001"}, "--areas"},
        {{"--areas", ""}, "--areas"},
        {{"--out", "x.db", "--areas"}, "--areas"},
        {{"--seed", "1.5"}, "--seed"},
        {{"--seed", "4294967296"}, "--seed"},
        {{"--areas", "1", "--out", "/no-such-folder/x.db"}, "--out"},
        {{"--areas", "1", "--out", "."}, "--out"},
        {{"--areas", "1", "--out", ""}, "--out"},
        {{"--db", "mysql://localhost/x"}, "--db"},
        {{"--force=yes"}, "--force"},
        {{"--areas", "1", "extra.db"}, "extra.db"},
    };
    for (const auto& [args, named] : cases)
        ExpectRefused("zelk-sampledb", args, named);

    // An existing file is kept unless --force says otherwise.
    const fs::path taken = root / "run" / "taken.db";
    std::ofstream(taken) << "keep";
    const Outcome kept = Run("zelk-sampledb", {"--areas", "1", "--out", "taken.db"});
    EXPECT_EQ(kept.status, 2);
    EXPECT_EQ(kept.err.rfind("zelk-sampledb: --out: ", 0), 0u) << kept.err;
    EXPECT_EQ(ReadFile(taken), "keep");
    fs::remove(taken);

    const Outcome made = Run("zelk-sampledb", {"--areas=2", "--seed", "3", "--out", "s.db"});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out.rfind("s.db: 2 managed areas (seed 3)", 0), 0u) << made.out;
    EXPECT_GT(fs::file_size(root / "run" / "s.db"), 0u);
}

TEST_F(ToolsTest, DemoAndScriptRefuseBadArgumentsAndWriteNothing) {
    ExpectRefused("zelk-demo", {"abc"}, "ID");
    ExpectRefused("zelk-demo", {"-5"}, "ID");
    ExpectRefused("zelk-demo", {"0"}, "ID");
    ExpectRefused("zelk-demo", {"99999999999"}, "ID");
    ExpectRefused("zelk-demo", {"1", "2"}, "2");

    ExpectRefused("zelk-script", {}, "SCRIPT");
    ExpectRefused("zelk-script", {"--db"}, "--db");
    ExpectRefused("zelk-script", {"-", "--user"}, "--user");
    ExpectRefused("zelk-script", {"--db=", "-"}, "--db");
    ExpectRefused("zelk-script", {"no-such.zs"}, "no-such.zs");
    ExpectRefused("zelk-script", {"-", "second.zs"}, "second.zs");

    // Good arguments still run.
    const Outcome demo = Run("zelk-demo", {"1"});
    EXPECT_EQ(demo.status, 0) << demo.err;
    EXPECT_NE(demo.out.find("=== "), std::string::npos);
    const Outcome script = Run("zelk-script", {"--user", "ann", "-"});
    EXPECT_EQ(script.status, 0) << script.err;
}

// What a reader finds in a PDF, through poppler's own tools.
std::string PopplerOutput(const std::string& command, const fs::path& pdf, const fs::path& out,
                          const std::string& tail = "") {
    const std::string cmd =
        command + " " + Quote(pdf.string()) + tail + " >" + Quote(out.string()) + " 2>/dev/null";
    return std::system(cmd.c_str()) == 0 ? ReadFile(out) : "<" + command + " failed>";
}

TEST_F(ToolsTest, ScriptPrintsTheRecordToAPdfFile) {
    std::ofstream(root / "print.zs") << "open details 2\nset ctlMAName \"Printed Marsh\"\n"
                                        "print pdf record.pdf\nanswer No\nclose\n";
    const Outcome printed = Run("zelk-script", {"--user", "ann", (root / "print.zs").string()});
    if (printed.out.find("built without PDF output") != std::string::npos)
        GTEST_SKIP() << "zelk-script built without the workbench";
    ASSERT_EQ(printed.status, 0) << printed.out << printed.err;
    EXPECT_NE(printed.out.find("Printed Marsh (Managed Area)\" to record.pdf"), std::string::npos)
        << printed.out;
    const fs::path pdf = root / "run" / "record.pdf";
    ASSERT_TRUE(fs::exists(pdf));
    const std::string text = PopplerOutput("pdftotext", pdf, root / "text", " -");
    for (const char* expected : {"Printed Marsh", "Unsaved changes", "Printed by ann",
                                 "Identifiers", "Locators", "Legal Protection"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    // The sample's second area has a boundary: the Locators page shows its map.
    const std::string images = PopplerOutput("pdfimages -list", pdf, root / "images");
    EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 3) << images;

    // A window without File>Print, or a folder for a file, is told and writes nothing.
    fs::remove(pdf);
    std::ofstream(root / "search.zs") << "open search\nprint pdf search.pdf\n";
    const Outcome search = Run("zelk-script", {(root / "search.zs").string()});
    EXPECT_EQ(search.status, 2);
    EXPECT_NE(search.out.find("nothing to print"), std::string::npos) << search.out;
    std::ofstream(root / "folder.zs") << "open details 1\nprint pdf .\n";
    const Outcome folder = Run("zelk-script", {(root / "folder.zs").string()});
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.out.find("could not be written: it is a folder"), std::string::npos)
        << folder.out;
    EXPECT_TRUE(fs::is_empty(root / "run"));
}

} // namespace
} // namespace zelk::testing
