// Writing one record: shape, managed area and every child list in one transaction.
#include "host/bo/ShapeImpl.h"

#include "host/bo/Saver.h"
#include "host/data/DataService.h"
#include "platform/Conv.h"
#include "platform/Error.h"

namespace zelk::bo {

namespace {

constexpr const char* kSaveConflictCode = "MGA900";
constexpr const char* kDeleteConflictCode = "MGA901";
constexpr const char* kRefusedCode = "MGA902";
constexpr const char* kConflictText =
    "Another user changed or deleted this managed area after you opened it.";

// Raises the record's version from the one read at load; false when the database holds
// another (somebody saved in between) or the row is gone.
bool ClaimVersion(SqlPort& port, ManagedAreaImpl& ma) {
    if (ma.RowVersion().IsNull()) return false;
    return port.Execute(std::string("UPDATE ma SET ") + Store::kVersionColumn + " = " +
                            Store::kVersionColumn + " + 1 WHERE managed_area_id = ? AND " +
                            Store::kVersionColumn + " = ?",
                        {ma.Rec().At(0), ma.RowVersion()})
               .rowsChanged == 1;
}

Variant NextVersion(const Variant& v) {
    return Variant(static_cast<int>(CLng(v) + 1));
}

} // namespace

bool ShapeImpl::Save() {
    lastError_.clear();
    lastErrorCode_.clear();
    auto& port = store_->Port();
    try {
        CheckLengths(rec_);
        if (hasMa_) {
            CheckLengths(ma_->Rec());
            for (int l = 0; l < ChildListCount; ++l) {
                auto& list = ma_->List(static_cast<ChildList>(l));
                if (!list.Loaded()) continue;
                for (const auto& item : list.Items())
                    CheckLengths(item->Rec());
            }
        }
    } catch (const ComError& e) {
        lastError_ = e.Description();
        return false;
    }

    // Anything written for the record, child rows included, first claims its version, so
    // of two users who read the same version only the first to save gets through.
    const bool versioned = hasMa_ && !ma_->IsNew() && (rec_.Dirty() || HasChildChanges());
    bool conflict = false;
    Saver s(port);
    lastError_ = s.Commit([&] {
        if (versioned) {
            if (!ClaimVersion(port, *ma_)) {
                conflict = true;
                Raise(err::ProviderError, kConflictText, "DataService");
            }
            s.After([ma = ma_, v = NextVersion(ma_->RowVersion())] { ma->SetRowVersion(v); });
        }
        Variant shapeId = rec_.At(0);
        if (isNew_)
            shapeId = Variant(static_cast<int>(s.Insert(rec_, {})));
        else
            s.Update(rec_);
        if (hasMa_) {
            Variant maId = ma_->Rec().At(0);
            const bool maNew = ma_->IsNew();
            if (maNew)
                maId = Variant(static_cast<int>(s.Insert(ma_->Rec(), shapeId)));
            else
                s.Update(ma_->Rec());
            for (int l = 0; l < ChildListCount; ++l) {
                auto& list = ma_->List(static_cast<ChildList>(l));
                if (list.Loaded()) list.SaveItems(s, maId);
            }
            s.After([ma = ma_, maNew] {
                ma->SetSaved();
                // A new row starts at the column's default.
                if (maNew) ma->SetRowVersion(Variant(1));
            });
        }
    });
    if (s.FailureNumber() == host::kPermissionDenied) lastErrorCode_ = kRefusedCode;
    if (conflict) {
        lastErrorCode_ = kSaveConflictCode;
        lastError_ = std::string(kConflictText) +
                     " Your changes were not saved; reload the record to see the other "
                     "user's changes.";
    }
    if (!lastError_.empty()) return false;
    isNew_ = false;
    return true;
}

bool ShapeImpl::BecomeNewRecord() {
    if (!hasMa_ || claimOpen_) return false;
    lastError_.clear();
    lastErrorCode_.clear();
    const int id = Store::NextTempId();
    rec_.SetAt(0, Variant(id));
    // The drawing went with the old record.
    rec_.SetAt(rec_.Index("HasShapeInd"), Variant("N"));
    isNew_ = true;
    ma_->BecomeNew();
    ma_->Rec().SetAt(1, Variant(id));
    attrs_.Release();
    return true;
}

ShapeImpl::~ShapeImpl() {
    try {
        FinishDelete(false);
    } catch (...) {
        // The connection rolls back what is left open when it closes.
    }
}

bool ShapeImpl::ClaimForDelete() {
    lastError_.clear();
    lastErrorCode_.clear();
    if (!hasMa_ || ma_->IsNew()) return true;
    auto& port = store_->Port();
    if (claimOpen_) FinishDelete(false);
    // The claim and the delete that follows commit together: a delete that fails must not
    // leave the version raised, or the user's own next save would be refused as a conflict.
    port.Begin();
    bool claimed = false;
    try {
        claimed = ClaimVersion(port, *ma_);
    } catch (...) {
        port.Rollback();
        throw;
    }
    if (claimed) {
        claimOpen_ = true;
        return true;
    }
    port.Rollback();
    lastErrorCode_ = kDeleteConflictCode;
    lastError_ = std::string(kConflictText) +
                 " It was not deleted; reload the record and delete it again if it should go.";
    return false;
}

bool ShapeImpl::FinishDelete(bool deleted) {
    if (!claimOpen_) return deleted;
    claimOpen_ = false;
    auto& port = store_->Port();
    if (!deleted) {
        port.Rollback();
        return false;
    }
    try {
        port.Commit();
    } catch (...) {
        port.Rollback();
        throw;
    }
    ma_->SetRowVersion(NextVersion(ma_->RowVersion()));
    return true;
}

} // namespace zelk::bo
