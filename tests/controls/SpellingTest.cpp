// The spelling check of a rich text field with the real dictionary and the database's names.
#include "controls/ControlsFixture.h"

#include "controls/RichTextControl.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/StdControls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace zelk::testing {
namespace {

using controls::RichTextControl;

class Spelling : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        host->Db()->Execute("INSERT INTO scientific_name (scientific_name_id, scientific_name) "
                            "VALUES (7001, 'Carex aquatilis')");
        box = AddControl<RichTextControl>("RichTextControlProject.RichTextControl", "ctlComment");
        ASSERT_TRUE(box);
    }
    // The dialog's word and suggestions, then the user's choice (a suggestion picked from the
    // list or a text typed) and button.
    void Answer(const char* button, std::string* word = nullptr,
                std::vector<std::string>* suggestions = nullptr, const char* pick = nullptr,
                const char* changeTo = nullptr) {
        ui->QueueModal("frmSpellCheck", [=](Form& f) {
            if (word) *word = f.Get<TextBox>("txtNotInDictionary").Text();
            auto& list = f.Get<ListBox>("lstSuggestions");
            for (int i = 0; i < list.ListCount(); ++i) {
                if (suggestions) suggestions->push_back(list.List(i));
                if (pick && list.List(i) == pick) list.UserPick(i);
            }
            if (changeTo) f.Get<TextBox>("txtChangeTo").UserType(changeTo);
            f.Get<CommandButton>(button).UserClick();
        });
    }
    std::shared_ptr<RichTextControl> box;
};

TEST_F(Spelling, UnknownWordsAreWalkedReplacedIgnoredOrCancelled) {
    // A misspelt word with a sensible suggestion; Replace changes that word alone, and the
    // database's scientific name is no unknown word.
    box->SetText("Sedge medow with Carex aquatilis; the medow floods.");
    std::string word;
    std::vector<std::string> suggestions;
    Answer("cmdReplace", &word, &suggestions, "meadow");
    Answer("cmdIgnore");
    EXPECT_EQ(CStr(box->Call("CheckSpelling")), "medow, medow");
    EXPECT_EQ(word, "medow");
    EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "meadow"), suggestions.end());
    EXPECT_EQ(box->Text(), "Sedge meadow with Carex aquatilis; the medow floods.");
    EXPECT_EQ(ui->Messages().back(), "The spelling check is complete.");

    // Replace All takes every later one too; the user may type the replacement.
    box->SetText("Teh marsh and teh fen and Teh bog");
    Answer("cmdReplaceAll", nullptr, nullptr, nullptr, "The");
    Answer("cmdReplaceAll", nullptr, nullptr, nullptr, "the");
    box->Call("CheckSpelling");
    EXPECT_EQ(box->Text(), "The marsh and the fen and The bog");

    // Cancel leaves the text as it was, even after a replacement.
    const std::string before = "Wet medow and dry uplnd";
    box->SetText(before);
    Answer("cmdReplace");
    Answer("cmdCancel", &word);
    box->Call("CheckSpelling");
    EXPECT_EQ(word, "uplnd");
    EXPECT_EQ(box->Text(), before);

    // Letters beyond ASCII stay whole: each word asked about is one of the text's own words,
    // and ignoring them leaves every byte as it was.
    const std::string accented = "Café near the cañon — très façade";
    box->SetText(accented);
    std::vector<std::string> asked;
    for (int i = 0; i < 4; ++i)
        ui->QueueModal("frmSpellCheck", [&](Form& f) {
            asked.push_back(f.Get<TextBox>("txtNotInDictionary").Text());
            f.Get<CommandButton>("cmdIgnoreAll").UserClick();
        });
    box->Call("CheckSpelling");
    ui->DropQueued();
    const std::vector<std::string> words = {"Café", "cañon", "très", "façade"};
    EXPECT_NE(std::find(asked.begin(), asked.end(), "cañon"), asked.end());
    for (const auto& w : asked)
        EXPECT_NE(std::find(words.begin(), words.end(), w), words.end()) << w;
    EXPECT_EQ(box->Text(), accented);

    // Without a dictionary the user hears that nothing was checked.
    setenv("ZELK_HUNSPELL_DICT", "/nonexistent/en_US", 1);
    box->Call("CheckSpelling");
    unsetenv("ZELK_HUNSPELL_DICT");
    EXPECT_NE(ui->LastMessage()->text.find("not checked"), std::string::npos);
}

TEST_F(Spelling, AnAddedWordIsTheUsersOwn) {
    // A database both users reach: a file on SQLite, the server's database on PostgreSQL.
    const std::string file = ::testing::TempDir() + "spelling-users.db";
    std::remove(file.c_str());
    auto as = [&](const char* user) {
        auto options = OnTestBackend(host::HostOptions{":memory:", user, 0, 1, false});
        if (options.dbPath == ":memory:") options.dbPath = file;
        return host::ReferenceHost::Open(options);
    };
    auto ann = as("ann");
    auto bob = as("bob");
    ann->Db()->Execute("INSERT INTO app_user (user_name, access_level) SELECT 'bob', 'F' WHERE "
                       "NOT EXISTS (SELECT 1 FROM app_user WHERE user_name = 'bob')");

    ann->MakeCurrent();
    box->SetText("Gorbyville vernal pool");
    Answer("cmdAddWord");
    EXPECT_EQ(CStr(box->Call("CheckSpelling")), "Gorbyville");
    box->SetText("Gorbyville again");
    EXPECT_EQ(CStr(box->Call("CheckSpelling")), "") << "not flagged again for ann";

    bob->MakeCurrent();
    std::string word;
    Answer("cmdIgnore", &word);
    EXPECT_EQ(CStr(box->Call("CheckSpelling")), "Gorbyville");
    EXPECT_EQ(word, "Gorbyville") << "flagged for bob";

    host->MakeCurrent();
    bob.reset();
    ann.reset();
    std::remove(file.c_str());
}

} // namespace
} // namespace zelk::testing
