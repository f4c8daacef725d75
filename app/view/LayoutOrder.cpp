#include "view/LayoutOrder.h"

#include "platform/ui/Control.h"
#include "platform/ui/Form.h"

#include <algorithm>

namespace zelk::view {

namespace {

std::vector<Control*> ChildrenOf(const Form& form, const Control* container) {
    std::vector<Control*> out;
    for (const ControlPtr& c : form.Controls()) {
        const Control* in = c->Container();
        if (in == container || (container == &form && !in)) out.push_back(c.get());
    }
    return out;
}

// Rows: a control starts a new row unless its top lies within half a height of the row's
// first control (boxes and their captions are rarely aligned to the twip).
void SortByRows(std::vector<Control*>& controls) {
    std::stable_sort(controls.begin(), controls.end(), [](Control* a, Control* b) {
        if (a->TabPage() != b->TabPage()) return a->TabPage() < b->TabPage();
        return a->Top() < b->Top();
    });
    std::vector<Control*> sorted;
    for (std::size_t i = 0; i < controls.size();) {
        Control* first = controls[i];
        const long reach = first->Top() + std::max(first->Height() / 2, 1L);
        std::size_t end = i + 1;
        while (end < controls.size() && controls[end]->TabPage() == first->TabPage() &&
               controls[end]->Top() < reach)
            ++end;
        std::stable_sort(controls.begin() + static_cast<std::ptrdiff_t>(i),
                         controls.begin() + static_cast<std::ptrdiff_t>(end),
                         [](Control* a, Control* b) { return a->Left() < b->Left(); });
        i = end;
    }
}

void Collect(const Form& form, const Control* container, std::vector<Control*>& out) {
    std::vector<Control*> children = ChildrenOf(form, container);
    SortByRows(children);
    for (Control* c : children) {
        if (auto* inner = dynamic_cast<const Form*>(c)) {
            const std::size_t before = out.size();
            Collect(*inner, inner, out);
            if (out.size() == before && c->CanFocus() && c->TabStop()) out.push_back(c);
            continue;
        }
        if (c->CanFocus() && c->TabStop()) out.push_back(c);
        Collect(form, c, out);
    }
}

} // namespace

std::vector<Control*> TabStopsByLayout(const Form& form) {
    std::vector<Control*> out;
    Collect(form, &form, out);
    return out;
}

} // namespace zelk::view
