#include "host/framework/Component.h"

#include "host/bo/Saver.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::host {

Component::Component(std::string progId, const bo::TableDef& def, bo::StorePtr store)
    : rec_(def), store_(std::move(store)), progId_(std::move(progId)) {
    rec_.SetAt(0, Variant(bo::Store::NextTempId()));
    rec_.MarkClean();
}

Component::~Component() = default;

Variant Component::GetProperty(std::string_view name) const {
    if (IEquals(name, "ID") && rec_.Def().IndexOf("ID") < 0) return rec_.At(0);
    return rec_.Get(name);
}

bool Component::Writable(const bo::FieldDef& f) const {
    return f.lookupTable.empty() && f.column != rec_.Def().idColumn;
}

void Component::SetProperty(std::string_view name, const Variant& value) {
    const auto& f = rec_.Def().fields[static_cast<std::size_t>(rec_.Index(name))];
    if (!Writable(f)) Raise(err::InvalidProcedureCall, f.property + " cannot be set", progId_);
    rec_.Set(name, value);
}

bool Component::HasProperty(std::string_view name) const {
    return IEquals(name, "ID") || rec_.Def().IndexOf(name) >= 0;
}

void Component::Connect(const std::string& serverName, int serverType) {
    // One data service serves every server; kept for the callers that ask.
    server_ = serverName;
    serverType_ = serverType;
}

void Component::LoadRow(const std::vector<Variant>& row) {
    rec_.Load(row);
    isNew_ = false;
}

void Component::Load(const Variant& id) {
    Variant key = WholeNumber(CStr(id), "ID");
    auto rows = store_->LoadRows(rec_.Def(), rec_.Def().idColumn, key);
    if (rows.empty())
        Raise(err::NoCurrentRecord, "No " + rec_.Def().table + " record with ID " + CStr(id),
              progId_);
    LoadRow(rows.front());
}

std::vector<ComponentPtr> Component::FetchWhere(const std::string& where,
                                                const std::vector<Variant>& p,
                                                const std::string& orderBy) {
    std::vector<ComponentPtr> out;
    for (const auto& row : store_->LoadRowsWhere(rec_.Def(), where, p, orderBy)) {
        auto c = MakeSibling();
        c->Connect(server_, serverType_);
        c->LoadRow(row);
        out.push_back(std::move(c));
    }
    return out;
}

void Component::CheckLengths() const {
    bo::CheckLengths(rec_);
}

Variant Component::WriteTo(bo::Saver& s, const Variant& parentId) {
    if (isNew_) {
        const auto& t = rec_.Def();
        Variant parent = parentId;
        if (parent.IsEmpty() && !t.parentColumn.empty())
            for (const auto& f : t.fields)
                if (f.column == t.parentColumn) parent = rec_.Get(f.property);
        auto id = s.Insert(rec_, parent);
        s.After([this] { isNew_ = false; });
        return Variant(static_cast<int>(id));
    }
    s.Update(rec_);
    return rec_.At(0);
}

void Component::WriteDelete(bo::Saver& s) {
    if (!isNew_) s.Delete(rec_);
}

bool Component::Save() {
    lastError_.clear();
    try {
        CheckLengths();
    } catch (const ComError& e) {
        lastError_ = e.Description();
        return false;
    }
    bo::Saver s(store_->Port());
    lastError_ = s.Commit([&] { WriteTo(s, {}); });
    return lastError_.empty();
}

Variant Component::Invoke(std::string_view name, CallKind kind, Args& args) {
    if (kind == CallKind::PropertyGet && HasProperty(name)) return GetProperty(name);
    if (kind == CallKind::PropertyLet && HasProperty(name)) {
        SetProperty(name, args.empty() ? Variant() : args.back());
        return {};
    }
    if (IEquals(name, "SetProperty")) {
        SetProperty(CStr(Arg(args, 0)), Arg(args, 1));
        return {};
    }
    if (IEquals(name, "GetProperty")) return GetProperty(CStr(Arg(args, 0)));
    if (IEquals(name, "Connect")) {
        Connect(CStr(Arg(args, 0)), Arg(args, 1).IsEmpty() ? 0 : CLng(Arg(args, 1)));
        return {};
    }
    if (IEquals(name, "Init")) {
        Connect(CStr(Arg(args, 0)), Arg(args, 1).IsEmpty() ? 0 : CLng(Arg(args, 1)));
        const Variant& id = Arg(args, 2);
        if (!id.IsEmpty() && !(IsNumeric(id) && CDbl(id) < 0)) Load(id);
        return {};
    }
    if (IEquals(name, "Load")) {
        Load(Arg(args, 0));
        return {};
    }
    if (IEquals(name, "IsNew")) return Variant(IsNew());
    if (IEquals(name, "IsDirty") || IEquals(name, "HasChanges")) return Variant(HasChanges());
    if (IEquals(name, "Save")) return Variant(Save());
    if (IEquals(name, "LastError")) return Variant(lastError_);
    return Object::Invoke(name, kind, args);
}

std::string Unquote(const std::string& literal) {
    std::string out;
    out.reserve(literal.size());
    for (std::size_t i = 0; i < literal.size(); ++i) {
        out += literal[i];
        if (literal[i] == '\'' && i + 1 < literal.size() && literal[i + 1] == '\'') ++i;
    }
    return out;
}

Variant WholeNumber(const std::string& text, const std::string& what) {
    auto n = ParseNumber(Trim(text));
    if (!n || *n != static_cast<double>(static_cast<long long>(*n)) || *n > 2147483647.0 ||
        *n < -2147483648.0)
        Raise(err::TypeMismatch,
              "Type mismatch: " + what + " must be a whole number, not '" + text + "'");
    return Variant(static_cast<int>(*n));
}

} // namespace zelk::host
