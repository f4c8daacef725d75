#include "host/spelling/SpellChecker.h"

#include "host/data/DataService.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

#include <hunspell.hxx>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <unordered_set>

namespace zelk::host {

namespace {

constexpr const char* kCategory = "$SPELLING_WORDS";

// Dictionaries stay loaded for the process: reading one takes a noticeable moment and it never
// changes. The user interface thread is the only caller.
Hunspell* Dictionary() {
    static std::map<std::string, std::unique_ptr<Hunspell>> loaded;
    const char* env = std::getenv("ZELK_HUNSPELL_DICT");
    const std::string base = env && *env ? env : "/usr/share/hunspell/en_US";
    auto it = loaded.find(base);
    if (it == loaded.end()) {
        const std::string aff = base + ".aff", dic = base + ".dic";
        std::unique_ptr<Hunspell> dict;
        if (std::ifstream(aff) && std::ifstream(dic))
            dict = std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
        it = loaded.emplace(base, std::move(dict)).first;
    }
    return it->second.get();
}

bool IsWordByte(unsigned char c) {
    return std::isalpha(c) || c >= 0x80 || c == '\'';
}

// Lower case for the comparisons of names; letters beyond ASCII are compared as written.
std::string Folded(std::string_view word) {
    std::string out(word);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// What one host's checkers share: its database and the words it knows, read once.
struct KnownWords {
    std::shared_ptr<DataService> db;
    std::function<long()> userId;
    std::unordered_set<std::string> words;
    bool loaded = false;
};

class SpellChecker : public Dispatch {
public:
    explicit SpellChecker(std::shared_ptr<KnownWords> known)
        : Dispatch("SpellChecker"), state_(std::move(known)) {
        DefineProperty("Available", [](Args&) { return Variant(Dictionary() != nullptr); });
        DefineMethod("Check", [this](Args& a) { return Variant(Check(CStr(Arg(a, 0)))); });
        DefineMethod("Suggest", [this](Args& a) { return Variant(Suggest(CStr(Arg(a, 0)))); });
        DefineMethod("AddWord", [this](Args& a) { return AddWord(CStr(Arg(a, 0))), Variant(); });
    }

private:
    bool Check(const std::string& word) {
        Hunspell* dict = Dictionary();
        if (!dict) Raise(err::InvalidProcedureCall, "No dictionary is loaded");
        if (word.empty() || dict->spell(word)) return true;
        LoadKnownWords();
        return state_->words.count(Folded(word)) > 0;
    }

    std::string Suggest(const std::string& word) {
        Hunspell* dict = Dictionary();
        if (!dict) return "";
        return Join(dict->suggest(word), "\n");
    }

    void AddWord(const std::string& word) {
        if (word.empty() || word.size() > 255) Raise(err::InvalidArgument, "Not a word: " + word);
        LoadKnownWords();
        if (!state_->words.insert(Folded(word)).second) return;
        const Variant category = CategoryId();
        state_->db->Execute(
            "INSERT INTO user_option (user_option_category_id, user_id, option_name, "
            "option_value) SELECT ?, ?, ?, 'Y' WHERE NOT EXISTS (SELECT 1 FROM "
            "user_option WHERE user_option_category_id = ? AND user_id = ? AND "
            "option_name = ?)",
            {category, Variant(static_cast<int>(state_->userId())), Variant(word), category,
             Variant(static_cast<int>(state_->userId())), Variant(word)});
    }

    Variant CategoryId() {
        const std::string find =
            "SELECT user_option_category_id FROM user_option_category WHERE category_name = ?";
        auto rs = state_->db->Query(find, {Variant(std::string(kCategory))});
        if (rs->EOF()) {
            state_->db->Execute("INSERT INTO user_option_category (category_name) VALUES (?)",
                                {Variant(std::string(kCategory))});
            rs = state_->db->Query(find, {Variant(std::string(kCategory))});
        }
        return rs->Value("user_option_category_id");
    }

    // The names the database knows are words, and so are the user's own; read once.
    void LoadKnownWords() {
        if (state_->loaded) return;
        static const char* sources[] = {"SELECT scientific_name FROM scientific_name",
                                        "SELECT g_primary_common_name FROM element_global",
                                        "SELECT n_primary_common_name FROM element_national",
                                        "SELECT s_primary_common_name FROM element_subnational",
                                        "SELECT county_name FROM d_county",
                                        "SELECT state_name FROM d_state",
                                        "SELECT display_value FROM d_state",
                                        "SELECT managed_area_name FROM ma"};
        for (const char* sql : sources)
            AddWordsOf(state_->db->Query(sql));
        AddWordsOf(state_->db->Query(
            "SELECT o.option_name FROM user_option o JOIN user_option_category c ON "
            "c.user_option_category_id = o.user_option_category_id WHERE c.category_name = ? "
            "AND o.user_id = ?",
            {Variant(std::string(kCategory)), Variant(static_cast<int>(state_->userId()))}));
        state_->loaded = true;
    }

    void AddWordsOf(const RecordsetPtr& rs) {
        for (; !rs->EOF(); rs->MoveNext()) {
            const Variant v = rs->GetFields().Item(0).Value();
            if (v.IsNull()) continue;
            const std::string text = CStr(v);
            std::size_t i = 0;
            while (i < text.size()) {
                while (i < text.size() && !IsWordByte(static_cast<unsigned char>(text[i])))
                    ++i;
                std::size_t j = i;
                while (j < text.size() && IsWordByte(static_cast<unsigned char>(text[j])))
                    ++j;
                if (j > i) state_->words.insert(Folded(std::string_view(text).substr(i, j - i)));
                i = j;
            }
        }
    }

    std::shared_ptr<KnownWords> state_;
};

} // namespace

void RegisterSpellChecker(ProgIdRegistry& registry, std::shared_ptr<DataService> db,
                          std::function<long()> userId) {
    auto known = std::make_shared<KnownWords>();
    known->db = std::move(db);
    known->userId = std::move(userId);
    registry.Register("ZELK_Spelling.SpellChecker",
                      [known] { return std::make_shared<SpellChecker>(known); });
}

} // namespace zelk::host
