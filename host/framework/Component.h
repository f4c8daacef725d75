#pragma once

#include "host/bo/Record.h"
#include "host/bo/Store.h"
#include "platform/Dispatch.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk::bo {
class Saver;
}

namespace zelk::host {

class Component;
using ComponentPtr = std::shared_ptr<Component>;

// A business component of the framework: one row of one table, its fields read and written
// late bound by property name (unknown names 438, wrong types 13), saved by itself or by
// the component collection that holds it. Text longer than its column is refused at the
// save, never cut.
//
// Members: every field as a property; ID (the first field); Connect(server name, server
// type); Init(server name, server type, ID) - an ID below 0 starts a new record, any other
// loads it; Load(ID); IsNew; HasChanges; Save -> Boolean (LastError says why not).
class Component : public Object {
public:
    Component(std::string progId, const bo::TableDef& def, bo::StorePtr store);
    ~Component() override;

    std::string TypeName() const override { return progId_; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override;

    Variant GetProperty(std::string_view name) const;
    virtual void SetProperty(std::string_view name, const Variant& value);
    virtual bool HasProperty(std::string_view name) const;
    bool IsNew() const { return isNew_; }
    virtual bool HasChanges() const { return isNew_ || rec_.Dirty(); }
    Variant Id() const { return rec_.At(0); }

    void Connect(const std::string& serverName, int serverType);
    // Error 3021 when there is no such record.
    virtual void Load(const Variant& id);
    bool Save();
    const std::string& LastError() const { return lastError_; }

    // The rows a named query of the class finds, as new objects of the same class; "Empty"
    // finds none. An unknown query or a wrong number of parameters raises 5.
    virtual std::vector<ComponentPtr> Fetch(const std::string& query,
                                            const std::vector<std::string>& params) = 0;
    // Refuses text that does not fit, before anything is written.
    virtual void CheckLengths() const;
    // Part of a save: the row, under parentId when the class has a parent column (Empty keeps
    // its own), then anything the component owns. Returns the row's ID (new rows: the new one).
    virtual Variant WriteTo(bo::Saver& s, const Variant& parentId);
    virtual void WriteDelete(bo::Saver& s);

protected:
    // A new object of the same class for a row the store read.
    virtual ComponentPtr MakeSibling() const = 0;
    std::vector<ComponentPtr> FetchWhere(const std::string& where, const std::vector<Variant>& p,
                                         const std::string& orderBy = "");
    void LoadRow(const std::vector<Variant>& row);
    // Properties a caller may set; all stored fields but the ID unless a class says otherwise.
    virtual bool Writable(const bo::FieldDef& f) const;

    bo::Record rec_;
    bo::StorePtr store_;

private:
    std::string progId_;
    bool isNew_ = true;
    std::string server_;
    int serverType_ = 0;
    std::string lastError_;
};

// Named-query parameters as callers write them: literal texts as they would stand between
// quotes in SQL, so a doubled quote stands for one.
std::string Unquote(const std::string& literal);
// A user or record ID given as text; error 13 when it is not a whole number.
Variant WholeNumber(const std::string& text, const std::string& what);

} // namespace zelk::host
