#include "host/framework/ChangeRecorder.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::host {

namespace {
const char* const kSource = "ChangeRecorder";

// Values are journaled as text, as the audit trail keeps them.
Variant AsText(const Variant& v) {
    if (v.IsNull() || v.IsEmpty()) return Variant::Null();
    if (v.IsObject()) Raise(err::TypeMismatch, "An object cannot be recorded as a value", kSource);
    return Variant(CStr(v));
}

bool SameValue(const Variant& a, const Variant& b) {
    return a.IsNull() == b.IsNull() && (a.IsNull() || a.Str() == b.Str());
}
} // namespace

ChangeRecorder::ChangeRecorder(DataServicePtr db) : Dispatch("ChangeRecorder"), db_(std::move(db)) {
    if (!db_) Raise(err::ObjectRequired, "Object required: the data service", kSource);
    DefineMembers();
}

void ChangeRecorder::Init(const Variant& userId, const ObjectPtr& appManager) {
    if (userId.IsNull() || userId.IsEmpty() || !IsNumeric(userId) ||
        CDbl(userId) != static_cast<double>(CLng(userId)))
        Raise(err::TypeMismatch, "Type mismatch: the user ID must be a whole number", kSource);
    userId_ = Variant(static_cast<int>(CLng(userId)));
    appManager_ = appManager;
}

void ChangeRecorder::Register(const ObjectPtr&, const std::string& name, const ObjectPtr& control) {
    if (Trim(name).empty())
        Raise(err::InvalidProcedureCall, "A control registers with its name", kSource);
    name_ = name;
    control_ = control;
    open_ = false;
    pending_.clear();
}

void ChangeRecorder::RequireRegistered(const std::string& name, const ObjectPtr& control) const {
    if (name_.empty() || !IEquals(name, name_) || control_.lock() != control)
        Raise(err::InvalidProcedureCall, "The control '" + name + "' is not registered", kSource);
}

void ChangeRecorder::RecordOpened(const ObjectPtr&, const std::string& name,
                                  const ObjectPtr& control, long recordId) {
    RequireRegistered(name, control);
    open_ = true;
    recordId_ = recordId;
    pending_.clear();
    lastError_.clear();
}

void ChangeRecorder::RecordChange(const std::string& controlName, const Variant& oldValue,
                                  const Variant& newValue) {
    if (!open_) Raise(err::InvalidProcedureCall, "No record is open to record a change", kSource);
    if (Trim(controlName).empty())
        Raise(err::InvalidProcedureCall, "A change is recorded with its control's name", kSource);
    Variant before = AsText(oldValue), after = AsText(newValue);
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
        if (!IEquals(it->control, controlName)) continue;
        it->newValue = after;
        if (SameValue(it->oldValue, it->newValue)) pending_.erase(it);
        return;
    }
    if (!SameValue(before, after)) pending_.push_back({controlName, before, after});
}

bool ChangeRecorder::ChangesSaved(const ObjectPtr&, const std::string& name,
                                  const ObjectPtr& control, long recordId) {
    RequireRegistered(name, control);
    lastError_.clear();
    try {
        Transaction t(*db_);
        for (const auto& e : pending_)
            db_->Execute("INSERT INTO change_journal (user_id, component_name, record_id, "
                         "control_name, old_value, new_value) VALUES (?, ?, ?, ?, ?, ?)",
                         {userId_, Variant(name_), Variant(static_cast<int>(recordId)),
                          Variant(e.control), e.oldValue, e.newValue});
        t.Commit();
    } catch (const ComError& e) {
        lastError_ = e.Description();
        return false;
    }
    recordId_ = recordId;
    pending_.clear();
    return true;
}

void ChangeRecorder::Reset() {
    pending_.clear();
    lastError_.clear();
}

void ChangeRecorder::DefineMembers() {
    auto objectArg = [](const Args& a, std::size_t i) {
        const Variant& v = Arg(a, i);
        return v.IsObject() ? v.Obj() : ObjectPtr();
    };
    DefineMethod("Init", [this, objectArg](Args& a) {
        Init(Arg(a, 0), objectArg(a, 1));
        return Variant();
    });
    DefineMethod("Register", [this, objectArg](Args& a) {
        Register(objectArg(a, 0), CStr(Arg(a, 1)), objectArg(a, 2));
        return Variant();
    });
    DefineMethod("RecordOpened", [this, objectArg](Args& a) {
        RecordOpened(objectArg(a, 0), CStr(Arg(a, 1)), objectArg(a, 2), CLng(Arg(a, 3)));
        return Variant();
    });
    DefineMethod("HasChanges", [this](Args&) { return Variant(HasChanges()); });
    DefineMethod("ChangesSaved", [this, objectArg](Args& a) {
        return Variant(
            ChangesSaved(objectArg(a, 0), CStr(Arg(a, 1)), objectArg(a, 2), CLng(Arg(a, 3))));
    });
    DefineMethod("Reset", [this](Args&) {
        Reset();
        return Variant();
    });
    DefineMethod("RecordChange", [this](Args& a) {
        RecordChange(CStr(Arg(a, 0)), Arg(a, 1), Arg(a, 2));
        return Variant();
    });
    DefineProperty("PendingCount",
                   [this](Args&) { return Variant(static_cast<int>(PendingCount())); });
    DefineProperty("LastError", [this](Args&) { return Variant(lastError_); });
}

} // namespace zelk::host
