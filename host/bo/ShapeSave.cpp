// Writing one record: shape, managed area and every child list in one transaction.
#include "host/bo/ShapeImpl.h"

#include "host/bo/Saver.h"
#include "platform/Error.h"

namespace zelk::bo {

bool ShapeImpl::Save() {
    lastError_.clear();
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

    Saver s(port);
    lastError_ = s.Commit([&] {
        Variant shapeId = rec_.At(0);
        if (isNew_)
            shapeId = Variant(static_cast<int>(s.Insert(rec_, {})));
        else
            s.Update(rec_);
        if (hasMa_) {
            Variant maId = ma_->Rec().At(0);
            if (ma_->IsNew())
                maId = Variant(static_cast<int>(s.Insert(ma_->Rec(), shapeId)));
            else
                s.Update(ma_->Rec());
            for (int l = 0; l < ChildListCount; ++l) {
                auto& list = ma_->List(static_cast<ChildList>(l));
                if (list.Loaded()) list.SaveItems(s, maId);
            }
            s.After([ma = ma_] { ma->SetSaved(); });
        }
    });
    if (!lastError_.empty()) return false;
    isNew_ = false;
    return true;
}

} // namespace zelk::bo
