#include "dialogs/frmMerge.h"

namespace zelk::dialogs {

namespace {
constexpr const char* kMine = "Mine";
constexpr const char* kTheirs = "Theirs";
} // namespace

frmMerge::frmMerge() : Form("frmMerge") {
    SetCaption("Merge Changes");
    Move(0, 0, 12000, 6000);
    flexConflicts_ = Add<VSFlexGrid>("flexConflicts");
    flexConflicts_->Move(120, 120, 11760, 4680);
    flexConflicts_->SetSelectionMode(flex::SelByRow);
    flexConflicts_->SetCols(Cols);
    flexConflicts_->SetRows(1);
    flexConflicts_->SetFixedRows(1);
    flexConflicts_->SetFixedCols(0);
    static const char* const headers[Cols] = {"Page",   "Field or Row", "Loaded",     "Yours",
                                              "Theirs", "Changed By",   "Changed On", "Keep"};
    // Every column in view at once, so yours and theirs are read side by side.
    static const long widths[Cols] = {1100, 1900, 1900, 1900, 1900, 1000, 1400, 600};
    for (int c = 0; c < Cols; ++c) {
        flexConflicts_->SetTextMatrix(0, c, headers[c]);
        flexConflicts_->SetColWidth(c, widths[c]);
    }
    auto button = [this](const char* name, const char* caption, long left) {
        auto b = Add<CommandButton>(name);
        b->SetCaption(caption);
        b->Move(left, 5040, 1320, 360);
        return b;
    };
    cmdMine_ = button("cmdMine", "Keep &Mine", 120);
    cmdTheirs_ = button("cmdTheirs", "Keep &Theirs", 1560);
    cmdAllMine_ = button("cmdAllMine", "&All Mine", 3000);
    cmdAllTheirs_ = button("cmdAllTheirs", "All T&heirs", 4440);
    cmdOK_ = button("cmdOK", "OK", 9120);
    cmdOK_->SetDefault(true);
    cmdCancel_ = button("cmdCancel", "Cancel", 10560);
    cmdCancel_->SetCancel(true);

    cmdMine_->On("Click", [this](Args&) { Choose(flexConflicts_->Row(), false); });
    cmdTheirs_->On("Click", [this](Args&) { Choose(flexConflicts_->Row(), true); });
    cmdAllMine_->On("Click", [this](Args&) { ChooseAll(false); });
    cmdAllTheirs_->On("Click", [this](Args&) { ChooseAll(true); });
    cmdOK_->On("Click", [this](Args&) { Accept(); });
    cmdCancel_->On("Click", [this](Args&) { Hide(); });
}

void frmMerge::LoadConflicts(std::vector<MergeRow> rows) {
    rows_ = std::move(rows);
    theirs_.assign(rows_.size(), false);
    VSFlexGrid& g = *flexConflicts_;
    g.SetRows(static_cast<long>(rows_.size()) + 1);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const auto& r = rows_[i];
        const auto& c = *r.conflict;
        const long row = static_cast<long>(i) + 1;
        theirs_[i] = c.takeTheirs;
        const std::string cells[Cols] = {
            r.page,   r.item,      c.loaded,    c.mine,
            c.theirs, c.changedBy, c.changedOn, c.takeTheirs ? kTheirs : kMine};
        for (int col = 0; col < Cols; ++col)
            g.SetTextMatrix(row, col, cells[col]);
    }
    if (!rows_.empty()) g.SetRow(1);
}

void frmMerge::Choose(long row, bool theirs) {
    if (row < 1 || row > static_cast<long>(rows_.size())) return;
    theirs_[static_cast<std::size_t>(row - 1)] = theirs;
    flexConflicts_->SetTextMatrix(row, ColKeep, theirs ? kTheirs : kMine);
}

void frmMerge::ChooseAll(bool theirs) {
    for (long row = 1; row <= static_cast<long>(rows_.size()); ++row)
        Choose(row, theirs);
}

void frmMerge::Accept() {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        rows_[i].conflict->takeTheirs = theirs_[i];
    accepted_ = true;
    Hide();
}

} // namespace zelk::dialogs
