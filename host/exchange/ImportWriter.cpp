// Checked records into the database through the business objects. On SQLite the records of
// a batch are written together, many rows to a statement; a batch that fails is rolled back
// and written again record by record, so that only a record that fails on its own is lost.
#include "host/exchange/ImportWriter.h"

#include "host/bo/BatchSqlPort.h"
#include "host/bo/DataServiceSqlPort.h"
#include "host/bo/ShapeImpl.h"
#include "host/data/DataService.h"
#include "host/gis/GeometryStore.h"
#include "platform/Conv.h"
#include "platform/Error.h"

#include <filesystem>
#include <optional>
#include <unordered_map>

namespace zelk::host::exchange {

namespace {

// Records per commit when each record is not a transaction of its own. Each commit writes
// again the index pages every batch touches, so fewer, larger batches write less.
constexpr std::size_t kBatchSize = 5000;

// On SQLite, settings of the connection for the import's time. Savepoint journals stay in
// memory; a page cache as large as the tables a big import grows spares re-reading their
// pages; the log is copied into the file every 64 MB instead of every 4 MB, which copies a
// page rewritten by several batches once. Durability is untouched.
class ImportConnection {
public:
    explicit ImportConnection(DataService& db)
        : db_(db), on_(db.Dialect() == sql::Dialect::SQLite && !db.InTransaction()) {
        if (!on_) return;
        try {
            db_.ExecScript("PRAGMA temp_store = MEMORY; PRAGMA cache_size = -262144; PRAGMA "
                           "wal_autocheckpoint = 16384;");
        } catch (const ComError&) {
            // Only speed depends on them; the import runs as well without.
            on_ = false;
        }
    }
    ~ImportConnection() {
        try {
            // The connection never sets either itself: back to SQLite's defaults.
            if (on_ && !db_.InTransaction())
                db_.ExecScript("PRAGMA temp_store = DEFAULT; PRAGMA cache_size = -2000; PRAGMA "
                               "wal_autocheckpoint = 1000;");
        } catch (const ComError&) {
            // Only settings of this connection: they end with it.
        }
    }
    ImportConnection(const ImportConnection&) = delete;
    ImportConnection& operator=(const ImportConnection&) = delete;

private:
    DataService& db_;
    bool on_;
};

struct Saved {
    const CheckedArea* area;
    long maId, shapeId;
};

class Writer {
public:
    Writer(const std::shared_ptr<DataService>& db, const ImportRequest& rq, Statement& codeLookup,
           ImportResult& r)
        : db_(db), rq_(rq), codeLookup_(codeLookup), r_(r),
          direct_(std::make_shared<bo::Store>(std::make_shared<bo::DataServiceSqlPort>(db))),
          comment_("Imported from " + std::filesystem::path(rq.path).filename().string()) {
        if (db->Dialect() == sql::Dialect::SQLite) {
            batchPort_ = std::make_shared<bo::BatchSqlPort>(db);
            batched_ = std::make_shared<bo::Store>(batchPort_);
        }
    }

    // False when the database refused to start (reported in the result).
    bool Start() {
        try {
            shapes_.emplace(*db_, gis::ShapeTable());
            if (rq_.atomic) db_->Begin();
            return true;
        } catch (const ComError& e) {
            r_.rejections.push_back(Reject(0, "", "MGA922", {e.Description()}, ""));
            r_.error = r_.rejections.back().message;
            return false;
        }
    }

    // One record into the open batch; false when an all-or-nothing import must stop.
    bool Add(const CheckedArea& a) {
        try {
            if (!batchOpen_) OpenBatch();
            if (batched_) {
                pending_.push_back(Save(batched_, a));
            } else {
                pending_.push_back(SaveInSavepoint(a));
            }
        } catch (const ComError& e) {
            ForgetCode(a);
            RejectRecord(a, e);
            if (rq_.atomic) return false;
        }
        if (pending_.size() >= kBatchSize) return CloseBatch();
        return true;
    }

    // Writes and commits what is open; false when an all-or-nothing import failed there.
    bool CloseBatch() {
        if (!batchOpen_) return true;
        batchOpen_ = false;
        try {
            if (batched_) {
                batchPort_->Flush();
                for (const Saved& s : pending_)
                    if (s.area->shape) shapes_->Write(s.shapeId, *s.area->shape);
                // The audit rows the batch wrote say where the records came from.
                db_->Execute("UPDATE audit_log SET comments = ? WHERE audit_log_id > ? AND "
                             "comments IS NULL AND action = 'I'",
                             {Variant(comment_), Variant(static_cast<int>(auditFrom_))});
            }
            if (!rq_.atomic) db_->Commit();
            done_.insert(done_.end(), pending_.begin(), pending_.end());
            pending_.clear();
            return true;
        } catch (const ComError& e) {
            if (batchPort_) batchPort_->Discard();
            std::vector<Saved> lost;
            lost.swap(pending_);
            for (const Saved& s : lost)
                ForgetCode(*s.area);
            if (rq_.atomic) {
                for (const Saved& s : lost)
                    RejectRecord(*s.area, e);
                return false;
            }
            RollbackQuietly();
            for (const Saved& s : lost)
                SaveAlone(*s.area);
            return true;
        }
    }

    // An all-or-nothing import: commits when `keep`, else rolls everything back.
    void EndAtomic(bool keep) {
        if (keep) {
            try {
                db_->Commit();
            } catch (const ComError& e) {
                keep = false;
                r_.rejections.push_back(Reject(0, "", "MGA922", {e.Description()}, ""));
                r_.error = r_.rejections.back().message;
            }
        }
        if (!keep) {
            RollbackQuietly();
            done_.clear();
        }
    }

    std::size_t Count() const { return done_.size() + pending_.size(); }

    std::vector<std::pair<long, const CheckedArea*>> Done() const {
        std::vector<std::pair<long, const CheckedArea*>> out;
        out.reserve(done_.size());
        for (const Saved& s : done_)
            out.emplace_back(s.maId, s.area);
        return out;
    }

private:
    void OpenBatch() {
        if (!rq_.atomic) db_->Begin();
        if (batched_) {
            // The batch's audit rows are the ones after this: it holds the write lock.
            try {
                auto rs = db_->Query("SELECT max(audit_log_id) FROM audit_log");
                const Variant& top = rs->GetFields().Item(std::size_t{0}).ValueRef();
                auditFrom_ = top.IsNull() ? 0 : static_cast<long>(CDbl(top));
            } catch (const ComError&) {
                if (!rq_.atomic) RollbackQuietly();
                throw;
            }
        }
        batchOpen_ = true;
    }

    void RollbackQuietly() {
        try {
            if (db_->InTransaction()) db_->Rollback();
        } catch (const ComError&) {
            // The connection rolls an open transaction back when it closes.
        }
    }

    // A record in a savepoint of its own, so that a failing one is rolled back alone; inside
    // no transaction, it is committed alone.
    Saved SaveInSavepoint(const CheckedArea& a) {
        Transaction t(*db_);
        Saved s = Save(direct_, a);
        Finish(s);
        t.Commit();
        return s;
    }

    // A record of a failed batch, again on its own and committed alone.
    void SaveAlone(const CheckedArea& a) {
        try {
            done_.push_back(SaveInSavepoint(a));
        } catch (const ComError& e) {
            ForgetCode(a);
            RejectRecord(a, e);
        }
    }

    void RejectRecord(const CheckedArea& a, const ComError& e) {
        const bool major = e.Description() == "MGA921";
        r_.rejections.push_back(
            major ? Reject(a.row, "MajorMaCode", "MGA921", {a.majorCode}, a.majorCode)
                  : Reject(a.row, "", "MGA008", {e.Description()}, ""));
        ++r_.rejected;
    }

    // The major area: saved earlier in this import, or already in the database.
    long MajorId(const std::string& code) {
        if (auto it = savedCodes_.find(code); it != savedCodes_.end()) return it->second;
        codeLookup_.Bind(1, Variant(code));
        auto rs = codeLookup_.Query();
        if (rs->EOF()) Raise(err::ProviderError, "MGA921", "Import");
        return CLng(rs->GetFields().Item(std::size_t{0}).ValueRef());
    }

    void ForgetCode(const CheckedArea& a) {
        if (!a.code.empty()) savedCodes_.erase(a.code);
    }

    // Everything of one record, written as the editor's save writes a new one.
    Saved Save(const std::shared_ptr<bo::Store>& store, const CheckedArea& a) {
        auto shape = std::make_shared<bo::ShapeImpl>(store);
        shape->NewRecord();
        shape->SetCreateUser(rq_.userName);
        shape->SetLastModUser(rq_.userName);
        shape->SetOrgUnitId(rq_.orgUnitId);
        auto ma = shape->ManagedArea(1);
        ma->SetProperty("RecCreateUser", Variant(rq_.userName));
        ma->SetProperty("RecLastModUser", Variant(rq_.userName));
        for (const auto& [name, v] : a.fields)
            ma->SetProperty(name, v);
        if (!a.majorCode.empty())
            ma->SetProperty("MajorMaId", Variant(static_cast<int>(MajorId(a.majorCode))));
        if (a.shape) shape->SetProperty("HasShapeInd", Variant("Y"));
        long order = 0;
        auto& counties = ma->Children(bo::ChildList::Counties);
        for (long id : a.counties) {
            auto c = counties.AddNew();
            c->SetProperty("DCountyId", Variant(static_cast<int>(id)));
            c->SetProperty("DisplayOrder", Variant(static_cast<int>(++order)));
        }
        order = 0;
        auto& owners = ma->Children(bo::ChildList::Owners);
        for (const auto& o : a.owners) {
            auto c = owners.AddNew();
            if (o.type) c->SetProperty("DOwnerTypeID", Variant(static_cast<int>(o.type)));
            if (!o.name.empty()) c->SetProperty("OwnerName", Variant(o.name));
            if (!o.note.empty()) c->SetProperty("OwnerNote", Variant(o.note));
            c->SetProperty("PrimaryOwnerInd", Variant(o.primary));
            c->SetProperty("DisplayOrder", Variant(static_cast<int>(++order)));
        }
        order = 0;
        auto& aliases = ma->Children(bo::ChildList::Aliases);
        for (const auto& alias : a.aliases) {
            auto c = aliases.AddNew();
            c->SetProperty("ManagedAreaAlias", Variant(alias));
            c->SetProperty("DisplayOrder", Variant(static_cast<int>(++order)));
        }
        order = 0;
        auto& budgets = ma->Children(bo::ChildList::YearBudgets);
        for (const auto& b : a.budgets) {
            auto c = budgets.AddNew();
            c->SetProperty("ManagedAreaMgmtYear", b.year);
            c->SetProperty("ManagedAreaMgmtBudget", b.budget);
            c->SetProperty("ManagedAreaMgmtStaff", b.staff);
            c->SetProperty("DisplayOrder", Variant(static_cast<int>(++order)));
        }
        if (!shape->Save()) Raise(err::ProviderError, shape->LastError(), "MGA008");
        Saved s{&a, ma->ManagedAreaId(), shape->ShapeId()};
        if (!a.code.empty()) savedCodes_[a.code] = s.maId;
        return s;
    }

    // What a record saved on its own writes after the business objects: its outline, and
    // where its audit rows came from.
    void Finish(const Saved& s) {
        if (s.area->shape) shapes_->Write(s.shapeId, *s.area->shape);
        db_->Execute(
            "UPDATE audit_log SET comments = ? WHERE comments IS NULL AND action = 'I' AND "
            "((table_kind = 'MA' AND record_id = ?) OR (table_kind = 'SHAPE' AND "
            "record_id = ?))",
            {Variant(comment_), Variant(static_cast<int>(s.maId)),
             Variant(static_cast<int>(s.shapeId))});
    }

    std::shared_ptr<DataService> db_;
    const ImportRequest& rq_;
    Statement& codeLookup_;
    ImportResult& r_;
    std::shared_ptr<bo::Store> direct_, batched_;
    std::shared_ptr<bo::BatchSqlPort> batchPort_;
    std::string comment_;
    std::optional<gis::GeometryWriter> shapes_;
    std::unordered_map<std::string, long> savedCodes_;
    std::vector<Saved> pending_, done_;
    bool batchOpen_ = false;
    long auditFrom_ = 0;
};

} // namespace

std::vector<std::pair<long, const CheckedArea*>>
SaveAccepted(const std::shared_ptr<DataService>& db, const ImportRequest& rq,
             const std::vector<CheckedArea>& accepted, Statement& codeLookup, ImportResult& r) {
    ImportConnection settings(*db);
    Writer w(db, rq, codeLookup, r);
    if (!w.Start()) {
        r.rejected = r.read;
        return {};
    }
    const long total = static_cast<long>(accepted.size());
    bool failed = false;
    for (const auto& a : accepted) {
        if (rq.progress && !rq.progress(static_cast<long>(w.Count()), total)) {
            r.cancelled = true;
            break;
        }
        if (!w.Add(a)) {
            failed = true;
            break;
        }
    }
    // An all-or-nothing import that failed or was cancelled is rolled back without writing
    // the rest.
    const bool dropped = rq.atomic && (failed || r.cancelled);
    if (!dropped && !w.CloseBatch()) failed = true;
    if (rq.atomic) w.EndAtomic(!failed && !r.cancelled && r.rejected == 0);
    return w.Done();
}

} // namespace zelk::host::exchange
