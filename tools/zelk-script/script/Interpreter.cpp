#include "script/Interpreter.h"

#include "host/ReferenceHost.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ReportDocument.h"
#include "platform/Strings.h"
#include "platform/ui/ControlTree.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/VSFlexGrid.h"
#include "script/Desk.h"
#include "script/Keys.h"
#include "script/ScriptUi.h"
#include "script/Seen.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <sstream>

namespace zelk::script {

namespace {

// Stops the command; the outcome tells whether the script or the program is at fault.
struct Stop {
    Outcome outcome;
    std::string text;
};

[[noreturn]] void ScriptFault(const std::string& text) {
    throw Stop{ScriptError, text};
}
[[noreturn]] void Failed(const std::string& text) {
    throw Stop{ExpectationFailed, text};
}

struct Word {
    std::string text;
    std::size_t start = 0; // where the word starts in the line
};

// Words separated by blanks; "double quotes" keep blanks inside one word.
std::vector<Word> Split(const std::string& line) {
    std::vector<Word> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size()) break;
        Word w{"", i};
        if (line[i] == '"') {
            std::size_t close = line.find('"', i + 1);
            if (close == std::string::npos) ScriptFault("a quote is not closed");
            w.text = line.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                w.text += line[i++];
        }
        out.push_back(std::move(w));
    }
    return out;
}

std::string Unquote(std::string s) {
    s = Trim(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return s;
}

long Number(const std::string& text, const char* what) {
    if (text.empty() || text.find_first_not_of("-0123456789") != std::string::npos ||
        text.find('-', 1) != std::string::npos)
        ScriptFault(std::string(what) + " must be a number, not \"" + text + "\"");
    return std::stol(text);
}

// "1-3", "2", "1,4-5" -> the rows named.
std::vector<long> Rows(const std::string& spec) {
    std::vector<long> rows;
    std::stringstream parts(spec);
    std::string part;
    while (std::getline(parts, part, ',')) {
        std::size_t dash = part.find('-', 1);
        long from = Number(part.substr(0, dash), "a row");
        long to = dash == std::string::npos ? from : Number(part.substr(dash + 1), "a row");
        if (to < from) ScriptFault("rows " + part + " run backwards");
        for (long r = from; r <= to; ++r)
            rows.push_back(r);
    }
    if (rows.empty()) ScriptFault("no rows given");
    return rows;
}

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

} // namespace

struct Interpreter::Impl {
    Impl(std::ostream& o, const Options& options) : out(o), writePdf(options.writePdf) {
        ui = std::make_shared<ScriptUi>();
        ui->SetFailureHandler([this](const std::string& what) { unanswered.push_back(what); });
        previousUi = CurrentUiDriver();
        SetUiDriver(ui);
        host::HostOptions h;
        h.dbPath = options.dbPath;
        h.userName = options.user;
        h.sampleAreas = options.sampleAreas;
        host = host::ReferenceHost::Open(h);
        tap = std::make_shared<MessageTap>(host->App(), *ui);
        ui->SetOnShown([this](const ScriptUi::Shown& b) {
            Say("message" + (b.code.empty() ? std::string() : " " + b.code) + ": " +
                Replace(b.text, "\n", " / ") +
                ((b.flags & 7) != vb::OKOnly ? "  -> " + AnswerName(b.answer) : std::string()));
        });
        desk = std::make_unique<Desk>(*host, tap, [this](const std::string& n) {
            Say(n);
            // A window that has just opened has been announced with its caption.
            if (n.rfind("window opened: ", 0) == 0) {
                lastWindow = desk ? desk->Current() : nullptr;
                lastCaption = n.substr(15);
            }
        });
        listCount = ListCount();
    }
    ~Impl() {
        desk.reset();
        tap.reset();
        host.reset();
        SetUiDriver(previousUi);
        Screen::Instance().SetMousePointer(mouse::Default);
    }

    Outcome Line(const std::string& raw);
    void Execute(const std::vector<Word>& w, const std::string& line);
    void Report();
    void CheckAnswersUsed(const std::string& line);

    // The window commands act on; a script fault when none is open.
    DeskWindow& Window() {
        DeskWindow* w = desk->Current();
        if (!w) ScriptFault("no window is open (open search, open details ID or open new)");
        return *w;
    }
    Form& Root() { return dynamic_cast<Form&>(*Window().control); }
    Control& Find(const std::string& name) {
        if (Control* c = FindControl(Root(), name)) return *c;
        std::string hint;
        for (const std::string& n : SimilarNames(Root(), name))
            hint += (hint.empty() ? "; names like it: " : ", ") + n;
        ScriptFault("the window has no control named " + name + hint);
    }
    VSFlexGrid& Grid(const std::string& name) {
        if (VSFlexGrid* g = GridOf(Find(name))) return *g;
        ScriptFault(name + " is not a grid");
    }
    template <class T> T& FindAs(const std::string& name, const char* kind) {
        auto* t = dynamic_cast<T*>(&Find(name));
        if (!t) ScriptFault(name + " is not " + kind);
        return *t;
    }
    static void MustBeShowing(Control& c) {
        if (!c.IsShowing()) ScriptFault(c.Name() + " is not on show");
    }
    static void MustBeUsable(Control& c) {
        MustBeShowing(c);
        if (!c.IsUsable()) Failed(c.Name() + " is disabled");
    }
    // After a gesture that should have put the focus on `c`.
    void FocusOutcome(Control& c) {
        if (!c.CanFocus() || c.HasFocus()) return;
        Control* f = Root().FocusedControl();
        Say("focus stays on " + (f ? f->Name() : std::string("nothing")));
    }
    void Say(const std::string& s) { out << "  " << s << '\n'; }
    long ListCount() {
        const RecordsetPtr& list = host->WorkingList();
        return list ? list->RecordCount() : 0;
    }

    void Open(const std::vector<Word>& w);
    void Set(Control& c, const std::string& text);
    void Click(const std::string& what);
    void Select(const std::vector<Word>& w);
    void Tab(const std::vector<Word>& w);
    void Leave();
    void Key(const std::string& keys);
    void MenuCommand(const std::string& path);
    void Expect(const std::vector<Word>& w, const std::string& line);
    void Print(const std::vector<Word>& w, const std::string& line);
    void PrintPdf(const std::string& path);

    std::ostream& out;
    std::shared_ptr<UiDriver> previousUi;
    std::shared_ptr<ScriptUi> ui;
    std::unique_ptr<host::ReferenceHost> host;
    std::shared_ptr<MessageTap> tap;
    std::unique_ptr<Desk> desk;
    std::vector<std::string> unanswered;
    std::size_t actionFirst = 0; // first message box of the last action
    std::size_t answersBefore = 0;
    long listCount = 0;
    DeskWindow* lastWindow = nullptr;
    std::string lastCaption;
    PdfWriter writePdf;
};

Interpreter::Interpreter(std::ostream& out, const Options& options)
    : impl_(std::make_unique<Impl>(out, options)) {}

Interpreter::~Interpreter() = default;

Outcome Interpreter::Run(std::istream& script) {
    std::string line;
    while (std::getline(script, line)) {
        Outcome o = RunLine(line);
        if (o != Passed) return o;
    }
    return Passed;
}

Outcome Interpreter::RunLine(const std::string& line) {
    return impl_->Line(line);
}

Outcome Interpreter::Impl::Line(const std::string& raw) {
    std::string line = Trim(raw);
    if (!line.empty() && line.back() == '\r') line = Trim(line.substr(0, line.size() - 1));
    if (line.empty() || line[0] == '#') return Passed;
    out << "> " << line << '\n';
    try {
        std::vector<Word> w = Split(line);
        std::string verb = LCase(w[0].text);
        bool action = verb != "expect" && verb != "print" && verb != "answer" && verb != "input";
        if (action) {
            actionFirst = ui->Boxes().size();
            answersBefore = ui->PendingAnswers();
        }
        try {
            Execute(w, line);
        } catch (const ComError& e) {
            desk->Settle();
            Report();
            Failed("run-time error " + std::to_string(e.Number()) +
                   " reached the host: " + e.Description());
        }
        desk->Settle();
        Report();
        if (!unanswered.empty()) {
            std::string what = unanswered.front();
            unanswered.clear();
            ScriptFault(what + " (queue it with answer or input before the command)");
        }
        if (action) CheckAnswersUsed(line);
        return Passed;
    } catch (const Stop& s) {
        out << (s.outcome == ExpectationFailed ? "FAILED: " : "SCRIPT ERROR: ") << s.text << '\n';
        return s.outcome;
    }
}

void Interpreter::Impl::CheckAnswersUsed(const std::string& line) {
    // Answers queued before an action are for that action's message boxes.
    if (answersBefore > 0 && ui->PendingAnswers() > 0)
        Failed("no message box asked for the queued answer during: " + line);
}

void Interpreter::Impl::Report() {
    long count = ListCount();
    if (count != listCount) {
        Say("working list: " + std::to_string(count) + (count == 1 ? " row" : " rows"));
        listCount = count;
    }
    DeskWindow* w = desk->Current();
    std::string caption = w ? w->Caption() : std::string();
    if (w && (w != lastWindow || caption != lastCaption)) Say("window: " + caption);
    lastWindow = w;
    lastCaption = caption;
}

void Interpreter::Impl::Execute(const std::vector<Word>& w, const std::string& line) {
    std::string verb = LCase(w[0].text);
    auto rest = [&](std::size_t from) {
        if (from >= w.size()) ScriptFault(verb + " needs more words");
        return Unquote(line.substr(w[from].start));
    };
    auto need = [&](std::size_t n) {
        if (w.size() < n) ScriptFault(verb + " needs " + std::to_string(n - 1) + " words after it");
    };

    if (verb == "open") {
        Open(w);
    } else if (verb == "window") {
        need(2);
        std::vector<DeskWindow*> open = desk->Windows();
        long n = Number(w[1].text, "a window number");
        if (n < 1 || n > static_cast<long>(open.size()))
            ScriptFault("there are " + std::to_string(open.size()) + " windows");
        desk->SetCurrent(open[static_cast<std::size_t>(n - 1)]);
    } else if (verb == "close") {
        desk->Close(Window());
    } else if (verb == "exit") {
        if (!desk->CloseAll()) Say("the program stays open");
    } else if (verb == "set") {
        need(3);
        Control& c = Find(w[1].text);
        Set(c, rest(2));
    } else if (verb == "click") {
        Click(rest(1));
    } else if (verb == "dblclick") {
        need(2);
        Control& c = Find(w[1].text);
        MustBeUsable(c);
        if (auto* g = GridOf(c); g && w.size() >= 3)
            g->UserDblClickCell(Number(w[2].text, "a row"), std::max(g->Col(), g->FixedCols()));
        else
            c.UserDblClick();
    } else if (verb == "select") {
        Select(w);
    } else if (verb == "edit") {
        need(5);
        auto& g = Grid(w[1].text);
        MustBeUsable(g);
        long row = Number(w[2].text, "a row"), col = Number(w[3].text, "a column");
        if (row < 0 || row >= g.Rows() || col < 0 || col >= g.Cols())
            ScriptFault("the grid has no cell " + w[2].text + " " + w[3].text);
        if (!g.UserEdit(row, col, rest(4))) Say("the grid did not take the edit");
    } else if (verb == "tab") {
        Tab(w);
    } else if (verb == "leave") {
        Leave();
    } else if (verb == "key") {
        Key(rest(1));
    } else if (verb == "menu") {
        MenuCommand(rest(1));
    } else if (verb == "answer") {
        need(2);
        int code = AnswerCode(w[1].text);
        if (!code) ScriptFault("answer Yes, No, Cancel, OK, Abort, Retry or Ignore");
        ui->QueueAnswer(code);
    } else if (verb == "input") {
        ui->QueueInput(w.size() > 1 ? rest(1) : std::string());
    } else if (verb == "expect") {
        Expect(w, line);
    } else if (verb == "print") {
        Print(w, line);
    } else {
        ScriptFault("unknown command " + w[0].text);
    }
}

void Interpreter::Impl::Open(const std::vector<Word>& w) {
    std::string what = w.size() > 1 ? LCase(w[1].text) : "";
    DeskWindow* opened = nullptr;
    if (what == "search") {
        opened = desk->OpenSearch();
    } else if (what == "details" && w.size() > 2) {
        opened = desk->OpenDetails(Number(w[2].text, "a managed area ID"));
    } else if (what == "new") {
        opened = desk->NewDetails();
    } else {
        ScriptFault("open search, open details ID or open new");
    }
    if (!opened) Failed("the window did not open");
}

void Interpreter::Impl::Set(Control& c, const std::string& text) {
    MustBeUsable(c);
    bool took = true;
    if (auto* t = dynamic_cast<TextBox*>(&c)) {
        took = t->UserType(text);
    } else if (auto* k = dynamic_cast<CheckBox*>(&c)) {
        std::string v = LCase(text);
        bool on = v == "1" || v == "y" || v == "yes" || v == "on" || v == "checked";
        bool off = v == "0" || v == "n" || v == "no" || v == "off" || v == "unchecked";
        if (!on && !off) ScriptFault("a check box is set to 1 or 0");
        if ((k->Value() == 1) != on) k->UserClick();
    } else if (auto* o = dynamic_cast<OptionButton*>(&c)) {
        o->UserClick();
    } else if (auto* l = dynamic_cast<ListControl*>(&c)) {
        int i = l->FindText(text);
        auto* combo = dynamic_cast<ComboBox*>(&c);
        if (i >= 0)
            took = l->UserPick(i);
        else if (combo && combo->Style() == 0)
            took = combo->UserType(text);
        else
            Failed(c.Name() + " offers no entry " + Quoted(text));
    } else if (auto* d = dynamic_cast<DataCombo*>(&c)) {
        int found = -1;
        for (int i = 0; i < d->ListCount() && found < 0; ++i)
            if (IEquals(d->ListText(i), text)) found = i;
        if (found >= 0)
            took = d->UserPick(found);
        else if (text.empty() || d->Style() == 0)
            took = d->UserType(text);
        else
            Failed(c.Name() + " offers no entry " + Quoted(text));
    } else {
        ScriptFault(c.Name() + " (" + c.TypeName() + ") takes no text");
    }
    if (!took) Say(c.Name() + " did not take the text");
    FocusOutcome(c);
}

void Interpreter::Impl::Click(const std::string& what) {
    Form& root = Root();
    Control* c = FindControl(root, what);
    if (!c) c = FindByCaption(root, what);
    if (!c) {
        // A toolbar button, by its key: "click tbManagedAreas Save".
        std::size_t blank = what.find(' ');
        if (blank != std::string::npos)
            if (auto* tb = dynamic_cast<Toolbar*>(FindControl(root, what.substr(0, blank)))) {
                std::string key = Trim(what.substr(blank + 1));
                if (!tb->FindButton(key)) ScriptFault(tb->Name() + " has no button " + key);
                MustBeUsable(*tb);
                if (!tb->UserClickButton(key)) Failed("the button " + key + " is disabled");
                return;
            }
        ScriptFault("nothing in the window is named or captioned " + Quoted(what));
    }
    if (auto* m = dynamic_cast<Menu*>(c)) {
        if (!m->IsActionable()) Failed("the menu item " + what + " is disabled");
        m->UserClick();
        return;
    }
    MustBeUsable(*c);
    // The click may close the window; the control is looked at only while it is there.
    std::weak_ptr<Object> alive = c->weak_from_this();
    c->UserClick();
    if (!alive.expired() && desk->Current() && FindControl(Root(), c->Name()) == c)
        FocusOutcome(*c);
}

void Interpreter::Impl::Select(const std::vector<Word>& w) {
    if (w.size() < 3) ScriptFault("select GRID ROWS, select GRID ROW COL or select LIST TEXT");
    Control& c = Find(w[1].text);
    MustBeUsable(c);
    if (auto* g = GridOf(c)) {
        if (w.size() >= 4) {
            long row = Number(w[2].text, "a row"), col = Number(w[3].text, "a column");
            if (row < 0 || row >= g->Rows() || col < 0 || col >= g->Cols())
                ScriptFault("the grid has no cell " + w[2].text + " " + w[3].text);
            g->UserSelect(row, col);
        } else {
            std::vector<long> rows = Rows(w[2].text);
            for (long r : rows)
                if (r < g->FixedRows() || r >= g->Rows())
                    ScriptFault("the grid's rows are " + std::to_string(g->FixedRows()) + " to " +
                                std::to_string(g->Rows() - 1));
            g->UserSelectRows(rows);
        }
        FocusOutcome(c);
        return;
    }
    Set(c, Unquote(w[2].text));
}

void Interpreter::Impl::Tab(const std::vector<Word>& w) {
    if (w.size() < 2) ScriptFault("tab N, tab CAPTION or tab CONTROL N");
    vaTabPro* tab = nullptr;
    std::string page = w[1].text;
    if (w.size() >= 3) {
        tab = &FindAs<vaTabPro>(w[1].text, "a tab control");
        page = w[2].text;
    } else {
        std::vector<vaTabPro*> shown;
        std::vector<Form*> forms{&Root()};
        for (std::size_t i = 0; i < forms.size(); ++i)
            for (const ControlPtr& c : forms[i]->Controls()) {
                if (auto* t = dynamic_cast<vaTabPro*>(c.get()); t && t->IsShowing())
                    shown.push_back(t);
                if (auto* uc = dynamic_cast<UserControl*>(c.get())) forms.push_back(uc);
            }
        if (shown.empty()) ScriptFault("the window shows no tab control");
        tab = shown.front();
    }
    MustBeUsable(*tab);
    int index = -1;
    if (page.find_first_not_of("0123456789") == std::string::npos) {
        index = static_cast<int>(Number(page, "a page"));
    } else {
        for (int i = 0; i < tab->TabCount() && index < 0; ++i)
            if (IEquals(PlainCaption(tab->TabCaption(i)), page)) index = i;
    }
    if (index < 0 || index >= tab->TabCount()) ScriptFault(tab->Name() + " has no page " + page);
    if (!tab->UserSelectTab(index)) Say("the page did not change");
    Say("page: " + PlainCaption(tab->TabCaption(tab->ActiveTab())));
}

void Interpreter::Impl::Leave() {
    Form& root = Root();
    Control* from = root.FocusedControl();
    if (!from) ScriptFault("no control has the focus");
    // The next control in tab order of the same form, as the Tab key moves.
    Form* owner = from->Owner();
    std::vector<Control*> stops;
    for (const ControlPtr& c : owner->Controls())
        if (c.get() == from ||
            (c->CanFocus() && c->TabStop() && c->IsUsable() && !dynamic_cast<Menu*>(c.get())))
            stops.push_back(c.get());
    std::stable_sort(stops.begin(), stops.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    auto at = std::find(stops.begin(), stops.end(), from);
    Control* next = nullptr;
    for (std::size_t k = 1; k < stops.size() && !next; ++k)
        next = stops[(static_cast<std::size_t>(at - stops.begin()) + k) % stops.size()];
    if (!next) ScriptFault("there is nowhere to move the focus to from " + from->Name());
    if (next->SetFocus())
        Say("focus: " + next->Name());
    else
        Say("focus stays on " + from->Name());
}

void Interpreter::Impl::Key(const std::string& keys) {
    KeyStroke k = ParseKey(keys);
    if (!k.code) ScriptFault("unknown key " + keys);
    Form& root = Root();
    if (RunShortcut(root, k.code, k.shift)) return;
    root.UserKeyDownFocused(k.code, k.shift);
}

void Interpreter::Impl::MenuCommand(const std::string& path) {
    Menu* m = FindMenu(Root(), path);
    if (!m) ScriptFault("the window has no menu " + path);
    if (!m->IsActionable()) Failed("the menu item " + path + " is disabled");
    m->UserClick();
}

void Interpreter::Impl::Expect(const std::vector<Word>& w, const std::string& line) {
    if (w.size() < 2) ScriptFault("expect what?");
    std::string what = LCase(w[1].text);
    auto need = [&](std::size_t n) {
        if (w.size() < n) ScriptFault("expect " + what + " needs more words");
    };
    auto compare = [&](const std::string& seen, const std::string& wanted, const std::string& of) {
        if (seen != wanted) Failed(of + " shows " + Quoted(seen) + ", not " + Quoted(wanted));
        Say("ok: " + of + " shows " + Quoted(seen));
    };
    const auto& boxes = ui->Boxes();
    if (what == "message") {
        need(3);
        std::string wanted = Unquote(line.substr(w[2].start));
        for (std::size_t i = actionFirst; i < boxes.size(); ++i)
            if (IEquals(boxes[i].code, wanted) ||
                (!wanted.empty() && wanted.size() > 6 &&
                 boxes[i].text.find(wanted) != std::string::npos)) {
                Say("ok: message " + wanted);
                return;
            }
        std::string seen;
        for (std::size_t i = actionFirst; i < boxes.size(); ++i)
            seen += "\n    " + (boxes[i].code.empty() ? std::string() : boxes[i].code + ": ") +
                    boxes[i].text;
        Failed("no message " + wanted + " was shown by the last action" +
               (seen.empty() ? std::string(" (it showed none)") : "; it showed:" + seen));
    } else if (what == "no" && w.size() >= 3 && LCase(w[2].text) == "message") {
        if (actionFirst < boxes.size())
            Failed("the last action showed " + boxes[actionFirst].code + " " +
                   Quoted(boxes[actionFirst].text));
        Say("ok: no message");
    } else if (what == "cell") {
        need(6);
        auto& g = Grid(w[2].text);
        long row = Number(w[3].text, "a row"), col = Number(w[4].text, "a column");
        if (row < 0 || row >= g.Rows() || col < 0 || col >= g.Cols())
            Failed(g.Name() + " has " + std::to_string(g.Rows()) + " rows and " +
                   std::to_string(g.Cols()) + " columns: no cell " + w[3].text + " " + w[4].text);
        compare(g.DisplayText(row, col), w[5].text,
                w[2].text + " cell " + w[3].text + " " + w[4].text);
    } else if (what == "text") {
        need(4);
        Control& c = Find(w[2].text);
        // What is not on show is not seen (a page that was never shown is not even filled).
        if (!c.IsShowing()) Failed(c.Name() + " is not on show");
        compare(SeenText(c), w[3].text, c.Name());
    } else if (what == "caption") {
        need(3);
        compare(Window().Caption(), w[2].text, "the window caption");
    } else if (what == "focus") {
        need(3);
        Control* f = Root().FocusedControl();
        std::string name = f ? f->Name() : "nothing";
        if (!IEquals(name, w[2].text)) Failed("the focus is on " + name + ", not " + w[2].text);
        Say("ok: focus on " + name);
    } else if (what == "rows") {
        need(4);
        auto& g = Grid(w[2].text);
        compare(std::to_string(g.Rows() - g.FixedRows()), w[3].text, g.Name() + " row count");
    } else if (what == "list" && w.size() >= 4) {
        // The name the working list shows for a record.
        long id = Number(w[2].text, "a managed area ID");
        const RecordsetPtr& list = host->WorkingList();
        std::string name = "<not listed>";
        if (list && list->RecordCount() > 0) {
            RecordsetPtr look = list->Clone();
            look->MoveFirst();
            look->Find("ID=" + std::to_string(id));
            if (!look->EOF()) name = CStr(look->Value("managed_area_name"));
        }
        compare(name, w[3].text, "the working list's row " + w[2].text);
    } else if (what == "list") {
        need(3);
        compare(std::to_string(ListCount()), w[2].text, "the working list's row count");
    } else if (what == "windows") {
        need(3);
        compare(std::to_string(desk->Windows().size()), w[2].text, "the count of windows");
    } else if (what == "enabled" || what == "disabled") {
        need(3);
        Control& c = Find(w[2].text);
        bool on = c.IsUsable();
        if (on != (what == "enabled"))
            Failed(c.Name() + " is " + (on ? "enabled" : "disabled") + States(c));
        Say("ok: " + c.Name() + " is " + what);
    } else {
        ScriptFault("expect message, no message, cell, text, caption, focus, rows, list, "
                    "windows, enabled or disabled");
    }
}

void Interpreter::Impl::PrintPdf(const std::string& path) {
    if (path.empty()) ScriptFault("print pdf needs a file name");
    if (!writePdf) ScriptFault("this zelk-script was built without PDF output");
    Menu* print = FindMenu(Root(), "File>Print");
    if (!print) ScriptFault("the window has nothing to print (no File>Print)");
    if (!print->IsActionable()) Failed("the menu item File>Print is disabled");
    auto prints = [this] {
        return std::count_if(ui->Log().begin(), ui->Log().end(),
                             [](const ScriptedUiDriver::Entry& e) { return e.kind == "Print"; });
    };
    const auto before = prints();
    print->UserClick();
    desk->Settle();
    const ReportDocument* report = ui->LastReport();
    if (!report || prints() == before) Failed("File>Print printed nothing");
    const std::string why = writePdf(*report, path, host->Db());
    if (!why.empty()) Failed("the PDF " + path + " could not be written: " + why);
    Say("printed \"" + report->title + "\" to " + path);
}

void Interpreter::Impl::Print(const std::vector<Word>& w, const std::string& line) {
    std::string what = w.size() > 1 ? w[1].text : "";
    if (IEquals(what, "pdf")) {
        PrintPdf(w.size() > 2 ? Unquote(line.substr(w[2].start)) : std::string());
    } else if (what.empty()) {
        out << DescribeTree(*Window().window);
    } else if (IEquals(what, "windows")) {
        std::vector<DeskWindow*> open = desk->Windows();
        for (std::size_t i = 0; i < open.size(); ++i)
            out << "  " << i + 1 << (open[i] == desk->Current() ? " * " : "   ")
                << open[i]->Caption() << '\n';
    } else if (IEquals(what, "list")) {
        const RecordsetPtr& list = host->WorkingList();
        out << "  working list, " << ListCount() << " rows\n";
        if (list && list->RecordCount() > 0) {
            // The host's cursor is the host's: it is put back where it was.
            Variant bookmark = list->Bookmark();
            for (list->MoveFirst(); !list->EOF(); list->MoveNext())
                out << "  " << CStr(list->Value("ID")) << " | "
                    << CStr(list->Value("managed_area_name")) << '\n';
            list->SetBookmark(bookmark);
        }
    } else {
        out << "  " << Describe(Find(what));
    }
}

} // namespace zelk::script
