#include "platform/ui/ControlTree.h"

#include "platform/ui/DataCombo.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/VSFlexGrid.h"

#include <algorithm>
#include <sstream>

namespace zelk {

namespace {

std::string Shown(Control& c) {
    if (auto* t = dynamic_cast<TextBox*>(&c)) return t->Text();
    if (auto* l = dynamic_cast<CaptionedControl*>(&c)) {
        std::string s = l->Caption();
        if (auto* k = dynamic_cast<CheckBox*>(&c))
            s += k->Value() == 1 ? " [x]" : k->Value() == 2 ? " [-]" : " [ ]";
        if (auto* o = dynamic_cast<OptionButton*>(&c)) s += o->Value() ? " (o)" : " ( )";
        return s;
    }
    if (auto* cb = dynamic_cast<ComboBox*>(&c)) return cb->Text();
    if (auto* d = dynamic_cast<DataCombo*>(&c)) return d->Text();
    if (auto* f = dynamic_cast<Form*>(&c)) return f->Caption();
    if (auto* tab = dynamic_cast<vaTabPro*>(&c)) {
        std::string s;
        for (int i = 0; i < tab->TabCount(); ++i)
            s += (i ? " | " : "") + std::string(i == tab->ActiveTab() ? "*" : "") +
                 tab->TabCaption(i);
        return s;
    }
    if (auto* tb = dynamic_cast<Toolbar*>(&c)) {
        std::string s;
        for (int i = 0; i < tb->ButtonCount(); ++i) {
            auto& b = tb->ButtonAt(i);
            s += (i ? " " : "") + std::string("[") + b.Key() + (b.Enabled() ? "" : " off") + "]";
        }
        return s;
    }
    if (auto* g = dynamic_cast<VSFlexGrid*>(&c)) {
        // Size, then the first rows as the user reads them.
        std::string s = std::to_string(g->Rows()) + "x" + std::to_string(g->Cols());
        for (long r = 0; r < std::min(g->Rows(), 3L); ++r) {
            s += r == 0 ? ": " : " / ";
            for (long col = 0; col < g->Cols(); ++col)
                s += (col ? "|" : "") + g->DisplayText(r, col);
        }
        return s;
    }
    if (auto* p = dynamic_cast<PictureBox*>(&c)) return p->Picture();
    // Kinds without a typed face here (grids, the maker's controls) answer late-bound.
    for (const char* member : {"Text", "Caption"})
        if (c.HasMember(member)) try {
                Variant v = c.Get(member);
                if (v.IsString()) return v.Str();
            } catch (...) {
                // Not readable in this state; show nothing.
            }
    return "";
}

void Describe(Form& form, Control* container, int depth, std::ostringstream& out) {
    for (Control* c : form.ChildrenOf(container)) {
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << c->TypeName() << ' '
            << c->Name();
        if (c->Index() >= 0) out << '(' << c->Index() << ')';
        std::string text = Shown(*c);
        if (!text.empty()) out << " \"" << text << '"';
        if (c->TabPage() >= 0) out << " page=" << c->TabPage();
        if (!c->Visible()) out << " hidden";
        if (!c->Enabled()) out << " disabled";
        if (c->Locked()) out << " locked";
        if (c->HasFocus()) out << " focus";
        out << '\n';
        if (auto* uc = dynamic_cast<UserControl*>(c))
            Describe(*uc, uc, depth + 1, out);
        else
            Describe(form, c, depth + 1, out);
    }
}

} // namespace

std::string DescribeTree(Form& form) {
    std::ostringstream out;
    out << form.TypeName() << ' ' << form.Name();
    if (!form.Caption().empty()) out << " \"" << form.Caption() << '"';
    out << '\n';
    Describe(form, &form, 1, out);
    return out.str();
}

} // namespace zelk
