#pragma once

#include <QRect>
#include <QSize>

#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zelk {
class Control;
class Form;
} // namespace zelk

namespace zelk::view {

// Where each control of a form goes when its window gives the form more room than it was laid
// out for. The model keeps its fixed sizes; only the widgets move. In each container the room
// is shared out along the stretches that wide fields, grids and lists cover: they grow,
// captions and buttons keep their size and move with what is beside them, so nothing that did
// not overlap comes to overlap.
class Growth {
public:
    Growth(const Form& root, const std::vector<const Control*>& controls)
        : root_(root), controls_(controls) {}

    // The room the root's client area has now; the layout is worked out again.
    void SetRoom(QSize room);
    // The controls or their model geometry changed.
    void Invalidate();
    bool Grown() const { return grown_; }
    // The control's rectangle in its container's child area.
    QRect Place(const Control& c);

private:
    // A piecewise map of one axis: the room is shared out along the covered stretches.
    struct Axis {
        std::vector<std::pair<int, int>> covered; // merged, sorted
        int total = 0;
        int Map(int v, int extra) const;
    };
    struct Mapping {
        Axis x, y;
    };
    bool Stretches(const Control& c, bool horizontal);
    QSize Extra(const Control& container);
    const Mapping& MappingOf(const Control& container, int page);

    const Form& root_;
    const std::vector<const Control*>& controls_;
    QSize room_;
    bool grown_ = false;
    std::map<std::pair<const Control*, int>, Mapping> mappings_;
    std::unordered_map<const Control*, std::pair<bool, bool>> stretches_;
    std::unordered_map<const Control*, QRect> placed_;
};

} // namespace zelk::view
