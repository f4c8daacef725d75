#pragma once

#include "host/data/DataService.h"
#include "platform/Dispatch.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk::host {

// The framework's edit recorder: a control that edits records registers with it, tells it
// which record is open, and the host's components inside that control record the edits the
// user makes there (RecordChange). The recorder keeps the net change per control - an edit
// changed back is no change - and writes them into the change journal when the record has
// been saved.
//
// Operations, in the order a control uses them; the Dispatch members have the same names:
//   Init(user ID, application manager)
//   Register(controls collection, control name, control)
//   RecordOpened(controls collection, control name, control, record ID): forgets what was
//       recorded for the previous record
//   HasChanges() -> Boolean
//   ChangesSaved(controls collection, control name, control, record ID) -> Boolean: writes the
//       pending edits under that record ID in one transaction; False keeps them (LastError)
//   Reset(): forgets the pending edits
// and for the components: RecordChange(control name, old value, new value), PendingCount,
// LastError.
class ChangeRecorder : public Dispatch {
public:
    explicit ChangeRecorder(DataServicePtr db);

    // Error 13 when the user ID is not a whole number.
    void Init(const Variant& userId, const ObjectPtr& appManager);
    // Error 5 for an empty name.
    void Register(const ObjectPtr& controls, const std::string& name, const ObjectPtr& control);
    // Error 5 when that control did not register.
    void RecordOpened(const ObjectPtr& controls, const std::string& name, const ObjectPtr& control,
                      long recordId);
    bool HasChanges() const { return !pending_.empty(); }
    bool ChangesSaved(const ObjectPtr& controls, const std::string& name, const ObjectPtr& control,
                      long recordId);
    void Reset();

    // Error 5 while no record is open.
    void RecordChange(const std::string& controlName, const Variant& oldValue,
                      const Variant& newValue);
    long PendingCount() const { return static_cast<long>(pending_.size()); }
    const std::string& LastError() const { return lastError_; }

private:
    struct Edit {
        std::string control;
        Variant oldValue;
        Variant newValue;
    };
    void RequireRegistered(const std::string& name, const ObjectPtr& control) const;
    void DefineMembers();

    DataServicePtr db_;
    Variant userId_ = Variant::Null();
    std::weak_ptr<Object> appManager_;
    std::weak_ptr<Object> control_;
    std::string name_;
    bool open_ = false;
    long recordId_ = -1;
    std::vector<Edit> pending_;
    std::string lastError_;
};

} // namespace zelk::host
