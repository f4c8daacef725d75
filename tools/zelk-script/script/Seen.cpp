#include "script/Seen.h"

#include "platform/Strings.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/VSFlexGrid.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace zelk::script {

namespace {

// "optState(1)" -> ("optState", 1); a plain name has index -1.
std::pair<std::string, int> SplitIndex(std::string_view name) {
    std::size_t open = name.find('(');
    if (open == std::string_view::npos || name.back() != ')') return {std::string(name), -1};
    std::string digits(name.substr(open + 1, name.size() - open - 2));
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return {std::string(name), -1};
    return {std::string(name.substr(0, open)), std::atoi(digits.c_str())};
}

// Every control of the form and of the user controls inside it, depth first.
void Walk(Form& form, std::vector<Control*>& out) {
    for (const ControlPtr& c : form.Controls()) {
        out.push_back(c.get());
        if (auto* inner = dynamic_cast<UserControl*>(c.get())) Walk(*inner, out);
    }
}

std::string Comparable(std::string_view caption) {
    std::string s = Trim(PlainCaption(caption));
    while (!s.empty() && s.back() == '.')
        s.pop_back();
    return LCase(Trim(s));
}

} // namespace

VSFlexGrid* GridOf(Control& c) {
    if (auto* g = dynamic_cast<VSFlexGrid*>(&c)) return g;
    if (auto* uc = dynamic_cast<UserControl*>(&c))
        for (const ControlPtr& inner : uc->Controls())
            if (auto* g = dynamic_cast<VSFlexGrid*>(inner.get())) return g;
    return nullptr;
}

std::string PlainCaption(std::string_view caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += caption[i];
    }
    return out;
}

Control* FindControl(Form& root, std::string_view name) {
    auto [base, index] = SplitIndex(name);
    if (Control* c = root.Find(base, index)) return c;
    std::vector<Control*> all;
    Walk(root, all);
    for (Control* c : all)
        if (IEquals(c->Name(), base) && c->Index() == index) return c;
    return nullptr;
}

Control* FindByCaption(Form& root, std::string_view caption) {
    std::string wanted = Comparable(caption);
    if (wanted.empty()) return nullptr;
    std::vector<Control*> all;
    Walk(root, all);
    Control* hidden = nullptr;
    for (Control* c : all) {
        bool clickable = dynamic_cast<CommandButton*>(c) || dynamic_cast<CheckBox*>(c) ||
                         dynamic_cast<OptionButton*>(c);
        if (!clickable) continue;
        if (Comparable(static_cast<CaptionedControl*>(c)->Caption()) != wanted) continue;
        if (c->IsShowing()) return c;
        if (!hidden) hidden = c;
    }
    return hidden;
}

Menu* FindMenu(Form& root, std::string_view path) {
    std::vector<std::string> parts;
    std::string_view rest = path;
    for (;;) {
        std::size_t gt = rest.find('>');
        parts.push_back(Comparable(rest.substr(0, gt)));
        if (gt == std::string_view::npos) break;
        rest = rest.substr(gt + 1);
    }
    std::vector<Control*> all;
    Walk(root, all);
    Control* parent = nullptr;
    for (const std::string& part : parts) {
        Menu* found = nullptr;
        for (Control* c : all) {
            auto* m = dynamic_cast<Menu*>(c);
            if (!m) continue;
            bool top = !dynamic_cast<Menu*>(m->Container());
            if (parent ? m->Container() != parent : !top) continue;
            if (Comparable(m->Caption()) != part) continue;
            // A visible item wins over a hidden namesake (a menu kept for pop-ups).
            if (!found || (!found->Visible() && m->Visible())) found = m;
        }
        if (!found) return nullptr;
        parent = found;
    }
    return dynamic_cast<Menu*>(parent);
}

std::string SeenText(Control& c) {
    if (auto* t = dynamic_cast<TextBox*>(&c)) return t->Text();
    if (auto* k = dynamic_cast<CheckBox*>(&c)) return std::to_string(k->Value());
    if (auto* o = dynamic_cast<OptionButton*>(&c)) return o->Value() ? "1" : "0";
    if (auto* l = dynamic_cast<CaptionedControl*>(&c)) return PlainCaption(l->Caption());
    if (auto* cb = dynamic_cast<ComboBox*>(&c)) return cb->Text();
    if (auto* lb = dynamic_cast<ListBox*>(&c)) return lb->Text();
    if (auto* d = dynamic_cast<DataCombo*>(&c)) return d->Text();
    if (auto* f = dynamic_cast<Form*>(&c)) return f->Caption();
    if (auto* tab = dynamic_cast<vaTabPro*>(&c))
        return tab->TabCount() > 0 ? PlainCaption(tab->TabCaption(tab->ActiveTab())) : "";
    if (auto* g = dynamic_cast<VSFlexGrid*>(&c))
        return g->Row() >= 0 && g->Col() >= 0 && g->Row() < g->Rows() && g->Col() < g->Cols()
                   ? g->DisplayText(g->Row(), g->Col())
                   : "";
    if (auto* p = dynamic_cast<PictureBox*>(&c)) return p->Picture();
    // The maker's controls answer late-bound.
    for (const char* member : {"Text", "Caption"})
        if (c.HasMember(member)) try {
                Variant v = c.Get(member);
                if (v.IsString()) return v.Str();
            } catch (...) {
                // Not readable in this state: nothing shown.
            }
    return "";
}

std::string States(Control& c) {
    std::string s;
    if (!c.IsShowing()) s += " hidden";
    if (!c.IsUsable() && c.IsShowing()) s += " disabled";
    if (c.Locked()) s += " locked";
    if (c.CanFocus() && c.HasFocus()) s += " focus";
    return s;
}

std::string Describe(Control& c) {
    std::ostringstream out;
    out << c.TypeName() << ' ' << c.Name();
    if (c.Index() >= 0) out << '(' << c.Index() << ')';
    out << States(c);
    if (auto* g = GridOf(c)) {
        long data = g->Rows() - g->FixedRows();
        out << ", " << data << (data == 1 ? " row" : " rows") << '\n';
        constexpr long kShown = 25;
        for (long r = 0; r < g->Rows() && r < g->FixedRows() + kShown; ++r) {
            if (g->RowHidden(r)) continue;
            bool fixed = r < g->FixedRows();
            bool chosen = !fixed && (g->IsSelected(r) || r == g->Row());
            out << "  " << r << (chosen ? " *" : "  ");
            for (long col = 0; col < g->Cols(); ++col) {
                if (g->ColHidden(col)) continue;
                // Header cells carry their column number, for expect cell.
                std::string text = g->DisplayText(r, col);
                if (fixed)
                    text = std::to_string(col) + ":" + text;
                else if (g->ColDataType(col) == flex::TypeBoolean)
                    text = text == "-1" || IEquals(text, "true") || text == "1" ? "[x]" : "[ ]";
                out << " | " << text;
            }
            out << '\n';
        }
        if (data > kShown) out << "  ... " << data - kShown << " more\n";
        return out.str();
    }
    if (auto* tab = dynamic_cast<vaTabPro*>(&c)) {
        out << '\n';
        for (int i = 0; i < tab->TabCount(); ++i) {
            if (!tab->TabVisible(i)) continue;
            out << "  " << i << (i == tab->ActiveTab() ? " * " : "   ")
                << PlainCaption(tab->TabCaption(i)) << (tab->TabEnabled(i) ? "" : " (disabled)")
                << '\n';
        }
        return out.str();
    }
    if (auto* tb = dynamic_cast<Toolbar*>(&c)) {
        out << '\n';
        for (int i = 0; i < tb->ButtonCount(); ++i) {
            ToolbarButton& b = tb->ButtonAt(i);
            if (!b.Visible()) continue;
            out << "  [" << b.Key() << ']' << (b.ToolTipText().empty() ? "" : " ")
                << b.ToolTipText() << (b.Enabled() ? "" : " (disabled)") << '\n';
        }
        return out.str();
    }
    out << " \"" << SeenText(c) << "\"\n";
    auto entries = [&](int n, auto text, int chosen) {
        for (int i = 0; i < n; ++i)
            out << "  " << (i == chosen ? "* " : "  ") << text(i) << '\n';
    };
    if (auto* l = dynamic_cast<ListControl*>(&c))
        entries(
            l->ListCount(), [l](int i) { return l->List(i); }, l->ListIndex());
    else if (auto* d = dynamic_cast<DataCombo*>(&c))
        entries(
            d->ListCount(), [d](int i) { return d->ListText(i); }, d->SelectedIndex());
    return out.str();
}

std::vector<std::string> SimilarNames(Form& root, std::string_view name) {
    std::vector<Control*> all;
    Walk(root, all);
    std::string prefix = LCase(name.substr(0, std::min<std::size_t>(name.size(), 3)));
    std::vector<std::string> out;
    for (Control* c : all)
        if (LCase(c->Name()).rfind(prefix, 0) == 0 &&
            std::find(out.begin(), out.end(), c->Name()) == out.end())
            out.push_back(c->Name());
    std::sort(out.begin(), out.end());
    if (out.size() > 12) out.resize(12);
    return out;
}

} // namespace zelk::script
