#pragma once

#include "common/bo/Merge.h"
#include "host/bo/ShapeImpl.h"

#include <memory>
#include <vector>

namespace zelk::bo {

// The three-way merge of one record: the shape and managed area field by field, each list
// row by row, matched by key (the looked-up value for the lists that pick from a domain, the
// row's own ID for the others). Reading the database's version is all the constructor does to
// the world; Apply rebuilds the objects in hand.
class RecordMerge : public IRecordMerge {
public:
    explicit RecordMerge(std::shared_ptr<ShapeImpl> mine);

    bool RecordExists() const override { return exists_; }
    std::vector<MergeConflict>& Conflicts() override { return conflicts_; }
    void Apply() override;

private:
    enum class Do { KeepMine, TakeTheirs, Drop, DeleteTheirs, Conflict };
    struct FieldPlan {
        Record* rec;
        int field;
        Variant value; // the settled value, or the user's in a conflict
        Variant theirs;
        int conflict = -1;
    };
    struct RowPlan {
        std::shared_ptr<ChildItem> mine, theirs; // null where the side has no such row
        Do action = Do::Drop;
        int conflict = -1;
    };
    struct ListPlan {
        ChildList which;
        std::vector<RowPlan> rows; // the database's rows in order, then the user's new ones
    };

    void PlanFields(Record& mine, const Record& theirs, MergeConflict::Kind kind);
    void PlanList(ChildList which);
    void AddConflict(MergeConflict c, const std::string& table, const Variant& key,
                     const std::string& column);
    void ApplyList(const ListPlan& plan);
    Do Resolve(const RowPlan& r) const;

    std::shared_ptr<ShapeImpl> mine_;
    std::shared_ptr<ShapeImpl> theirs_;
    bool exists_ = false;
    Variant theirVersion_;
    std::vector<FieldPlan> fields_;
    std::vector<std::pair<Record*, std::vector<Variant>>> rebase_;
    std::vector<ListPlan> lists_;
    std::vector<MergeConflict> conflicts_;
};

} // namespace zelk::bo
