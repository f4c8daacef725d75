#pragma once

#include "zelk/ManagedAreaDetails.h"

#include <string>

namespace zelk::editor {

// Places the controls of one page of the editor's tab control, as a form designer would:
// positions are twips relative to the tab control, and each field gets its caption label.
class PagePlacer {
public:
    PagePlacer(ManagedAreaDetails& form, Control* tab, int page)
        : form_(form), tab_(tab), page_(page) {}

    template <class T>
    T* Put(const std::string& name, long left, long top, long width, long height = 315) {
        auto c = form_.Add<T>(name, tab_);
        c->SetTabPage(page_);
        c->Move(left, top, width, height);
        return c.get();
    }
    Label* Caption(const std::string& name, const std::string& caption, long left, long top,
                   long width);
    // A caption label left of the field; the label is named "lbl" + the field's name without
    // its three-letter kind prefix.
    template <class T>
    T* Field(const std::string& caption, const std::string& name, long left, long top, long width,
             long height = 315, long labelWidth = 1700) {
        Caption("lbl" + name.substr(3), caption, left, top + 30, labelWidth - 60);
        return Put<T>(name, left + labelWidth, top, width, height);
    }

private:
    ManagedAreaDetails& form_;
    Control* tab_;
    int page_;
};

// Layout constants shared by the pages.
constexpr long kRow = 400;       // distance between field rows
constexpr long kPageTop = 540;   // first row below the tab strip
constexpr long kLeftCol = 180;   // left column of captions
constexpr long kRightCol = 6060; // right column of captions

} // namespace zelk::editor
