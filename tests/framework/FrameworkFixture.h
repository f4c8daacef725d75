#pragma once

#include "host/data/DataService.h"
#include "host/framework/RegisterFrameworkClasses.h"
#include "platform/Collection.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace zelk::host::test {

// The host schema in a database of its own with the framework classes registered on it.
class FrameworkFixture : public ::testing::Test {
protected:
    void SetUp() override {
        db = zelk::testing::NewTestDataService();
        RegisterFrameworkClasses(registry, db);
    }

public:
    ObjectPtr Create(const char* progId) { return registry.Create(progId); }
    // A component collection initialised as the module's callers do it.
    ObjectPtr NewCollection(const char* itemClass) {
        auto c = Create("ClientFramework.ComponentCollection");
        c->Call("Initialize", {Variant(itemClass), Variant("local"), Variant(1)});
        return c;
    }
    static Variant Texts(std::initializer_list<const char*> items) {
        auto c = std::make_shared<Collection>();
        for (const char* s : items)
            c->Add(Variant(s));
        return Variant(c);
    }
    // The next statements run normally; the nth from now fails.
    void FailAt(int n) {
        zelk::testing::SetStatementHook(*db, [this, n](const std::string&) {
            if (++seen_ == n) Raise(err::ProviderError, "Injected failure", "DataService");
        });
        seen_ = 0;
    }
    void NoFailure() { zelk::testing::SetStatementHook(*db, nullptr); }

    std::string Dump() {
        std::string out;
        auto t = db->Query("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
        for (; !t->EOF(); t->MoveNext()) {
            std::string name = CStr(t->Value("name"));
            auto rs = db->Query("SELECT * FROM " + name + " ORDER BY 1");
            out += name + ":";
            for (; !rs->EOF(); rs->MoveNext()) {
                for (long c = 0; c < rs->GetFields().Count(); ++c) {
                    Variant v = rs->GetFields().Item(static_cast<std::size_t>(c)).Value();
                    out += (v.IsNull() ? "<null>" : CStr(v)) + "|";
                }
                out += "\n";
            }
        }
        return out;
    }
    Variant Scalar(const std::string& sql) {
        auto rs = db->Query(sql);
        return rs->GetFields().Item(std::size_t{0}).Value();
    }
    static int ErrorOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const ComError& e) {
            return e.Number();
        }
        return 0;
    }

    std::shared_ptr<DataService> db;
    ProgIdRegistry registry;

private:
    int seen_ = 0;
};

} // namespace zelk::host::test
