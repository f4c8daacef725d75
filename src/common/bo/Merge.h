#pragma once

#include "common/bo/ManagedArea.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk::bo {

// One place where the user and another user changed the same thing differently: a field of
// the managed area or of its shape, or a row of one of its lists.
struct MergeConflict {
    enum class Kind { ManagedAreaField, ShapeField, Row };
    Kind kind = Kind::ManagedAreaField;
    std::string field;                  // the property, for a field
    ChildList list = ChildList::Owners; // for a row
    std::string row;                    // for a row: its values as the user would read them
    // The value (or row) as loaded, as the user has it, as the database holds it; a row that
    // is not there reads "(removed)".
    std::string loaded, mine, theirs;
    // The other user's last change of it, from the audit trail ("" when it has none).
    std::string changedBy, changedOn;
    bool takeTheirs = false; // the user's choice; the user's own value unless told otherwise
};

// A record compared, as loaded, as the user has it and as the database holds it now. Nothing
// in the record changes until Apply, so dropping the merge leaves the record as it was.
class IRecordMerge {
public:
    virtual ~IRecordMerge() = default;
    // False when the other user deleted the record: there is nothing to merge with.
    virtual bool RecordExists() const = 0;
    virtual std::vector<MergeConflict>& Conflicts() = 0;
    // Puts the merged record into the objects, each conflict as chosen. From then on the
    // record counts from the database's version: it shows as changed where it differs from
    // what the database holds, and a save goes ahead unless somebody saved again meanwhile.
    virtual void Apply() = 0;
};
using MergePtr = std::shared_ptr<IRecordMerge>;

} // namespace zelk::bo
