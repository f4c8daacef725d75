#include "view/Growth.h"

#include "platform/ui/Form.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/VSFlexGrid.h"
#include "view/Convert.h"

#include <algorithm>

namespace zelk::view {

namespace {

// Narrower fields (codes, dates, numbers) keep their width; so do short lists.
constexpr int kWideField = 150;
constexpr int kTallList = 60;

int PageOf(const Control& c) {
    return dynamic_cast<const vaTabPro*>(c.Container()) ? c.TabPage() : -1;
}

} // namespace

int Growth::Axis::Map(int v, int extra) const {
    if (total <= 0 || extra <= 0) return v;
    int before = 0;
    for (const auto& [from, to] : covered) {
        if (v <= from) break;
        before += std::min(v, to) - from;
    }
    return v + static_cast<int>(static_cast<long long>(extra) * before / total);
}

void Growth::SetRoom(QSize room) {
    room_ = room;
    Invalidate();
    const QSize laidOut(Px(root_.Width()), Px(root_.Height()));
    grown_ = room.width() > laidOut.width() || room.height() > laidOut.height();
}

void Growth::Invalidate() {
    mappings_.clear();
    stretches_.clear();
    placed_.clear();
}

bool Growth::Stretches(const Control& c, bool horizontal) {
    auto it = stretches_.find(&c);
    if (it == stretches_.end()) {
        bool x = false, y = false, container = false;
        for (const Control* child : controls_) {
            if (child->Container() != &c || child == &c) continue;
            container = true;
            x = x || Stretches(*child, true);
            y = y || Stretches(*child, false);
        }
        if (dynamic_cast<const Frame*>(&c) || dynamic_cast<const PictureBox*>(&c) ||
            dynamic_cast<const vaTabPro*>(&c) || dynamic_cast<const Form*>(&c)) {
            // A container grows as far as what it holds.
        } else if (dynamic_cast<const Label*>(&c) || dynamic_cast<const CommandButton*>(&c) ||
                   dynamic_cast<const CheckBox*>(&c) || dynamic_cast<const OptionButton*>(&c) ||
                   dynamic_cast<const Menu*>(&c)) {
            x = y = false;
        } else if (!container) {
            x = Px(c.Width()) >= kWideField;
            const auto* text = dynamic_cast<const TextBox*>(&c);
            y = (dynamic_cast<const VSFlexGrid*>(&c) || dynamic_cast<const ListBox*>(&c) ||
                 (text && text->MultiLine())) &&
                Px(c.Height()) >= kTallList;
        }
        it = stretches_.emplace(&c, std::make_pair(x, y)).first;
    }
    return horizontal ? it->second.first : it->second.second;
}

QSize Growth::Extra(const Control& container) {
    if (&container == &root_)
        return QSize(std::max(0, room_.width() - Px(root_.Width())),
                     std::max(0, room_.height() - Px(root_.Height())));
    const QSize now = Place(container).size();
    return QSize(std::max(0, now.width() - Px(container.Width())),
                 std::max(0, now.height() - Px(container.Height())));
}

const Growth::Mapping& Growth::MappingOf(const Control& container, int page) {
    const auto key = std::make_pair(&container, page);
    auto it = mappings_.find(key);
    if (it != mappings_.end()) return it->second;
    std::vector<std::pair<int, int>> xs, ys;
    for (const Control* c : controls_) {
        if (c->Container() != &container || c == &container) continue;
        if (page >= 0 && c->TabPage() >= 0 && c->TabPage() != page) continue;
        const QRect r = GeometryOf(*c);
        if (Stretches(*c, true)) xs.emplace_back(r.left(), r.left() + r.width());
        if (Stretches(*c, false)) ys.emplace_back(r.top(), r.top() + r.height());
    }
    auto merge = [](std::vector<std::pair<int, int>> spans) {
        Axis a;
        std::sort(spans.begin(), spans.end());
        for (const auto& s : spans) {
            if (s.second <= s.first) continue;
            if (!a.covered.empty() && s.first <= a.covered.back().second)
                a.covered.back().second = std::max(a.covered.back().second, s.second);
            else
                a.covered.push_back(s);
        }
        for (const auto& [from, to] : a.covered)
            a.total += to - from;
        return a;
    };
    return mappings_.emplace(key, Mapping{merge(std::move(xs)), merge(std::move(ys))})
        .first->second;
}

QRect Growth::Place(const Control& c) {
    const QRect laidOut = GeometryOf(c);
    const Control* container = c.Container();
    if (!grown_ || !container || &c == &root_) return laidOut;
    if (auto it = placed_.find(&c); it != placed_.end()) return it->second;
    const QSize extra = Extra(*container);
    const Mapping& m = MappingOf(*container, PageOf(c));
    const int left = m.x.Map(laidOut.left(), extra.width());
    const int top = m.y.Map(laidOut.top(), extra.height());
    const int width = Stretches(c, true)
                          ? m.x.Map(laidOut.left() + laidOut.width(), extra.width()) - left
                          : laidOut.width();
    const int height = Stretches(c, false)
                           ? m.y.Map(laidOut.top() + laidOut.height(), extra.height()) - top
                           : laidOut.height();
    return placed_.emplace(&c, QRect(left, top, width, height)).first->second;
}

} // namespace zelk::view
