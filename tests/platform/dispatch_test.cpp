#include "platform/Collection.h"
#include "platform/Conv.h"
#include "platform/Dispatch.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"

#include <gtest/gtest.h>

using namespace zelk;

namespace {

class Counter : public Dispatch {
public:
    Counter() : Dispatch("Counter") {
        DefineProperty(
            "Value", [this](Args&) { return Variant(value); },
            [this](const Variant& v, Args&) { value = CLng(v); });
        DefineMethod("Bump", [this](Args& a) {
            value += a.empty() ? 1 : CLng(a[0]);
            Args ev{Variant(value), Variant(false)};
            RaiseEvent("Bumped", ev);
            return Variant(ev[1]); // a sink may set the flag
        });
        DefineProperty("ReadOnly", [](Args&) { return Variant("r"); });
    }
    int value = 0;
};

int ErrorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const ComError& e) {
        return e.Number();
    }
    return 0;
}

} // namespace

TEST(Dispatch, MembersByNameIgnoreCaseAndUnknownMembersFail) {
    auto c = std::make_shared<Counter>();
    c->Let("value", 41);
    EXPECT_EQ(CLng(c->Get("VALUE")), 41);
    c->Call("bump");
    EXPECT_EQ(c->value, 42);
    EXPECT_EQ(ErrorNumber([&] { c->Call("Nope"); }), err::MemberNotFound);
    EXPECT_EQ(ErrorNumber([&] { c->Let("ReadOnly", 1); }), err::MemberNotFound);
    EXPECT_EQ(ErrorNumber([] { CallByName(Variant::Nothing(), "x", CallKind::Method); }),
              err::ObjectNotSet);
    EXPECT_EQ(ErrorNumber([] { CallByName(Variant(3), "x", CallKind::Method); }),
              err::ObjectRequired);
}

TEST(Dispatch, EventsReachEverySinkByReferenceAndSinksMayUnadvise) {
    auto c = std::make_shared<Counter>();
    std::vector<std::string> seen;
    int second = 0;
    c->Advise([&](std::string_view name, Args& a) {
        seen.push_back(std::string(name) + "=" + CStr(a[0]));
        a[1] = true;
    });
    second = c->Advise([&](std::string_view, Args&) {
        seen.push_back("second");
        c->Unadvise(second);
    });
    EXPECT_TRUE(CBool(c->Call("Bump", {Variant(2)})));
    c->Call("Bump");
    EXPECT_EQ(seen, (std::vector<std::string>{"Bumped=2", "second", "Bumped=3"}));
}

TEST(Collection, PositionsKeysAndErrors) {
    Collection col;
    col.Add(Variant("a"), "KeyA");
    col.Add(Variant("c"));
    col.Add(Variant("b"), "keyB", Variant(2));      // before position 2
    col.Add(Variant("z"), "", {}, Variant("keya")); // after key, case-insensitive
    ASSERT_EQ(col.Count(), 4);
    std::string order;
    for (const auto& v : col)
        order += CStr(v);
    EXPECT_EQ(order, "azbc");
    EXPECT_EQ(CStr(col.Item(Variant("KEYB"))), "b");
    EXPECT_EQ(ErrorNumber([&] { col.Add(Variant("dup"), "keyb"); }), 457);
    EXPECT_EQ(ErrorNumber([&] { col.Item(Variant(0)); }), err::SubscriptOutOfRange);
    EXPECT_EQ(ErrorNumber([&] { col.Item(Variant(5)); }), err::SubscriptOutOfRange);
    EXPECT_EQ(ErrorNumber([&] { col.Item(Variant("missing")); }), err::InvalidProcedureCall);
    col.Remove(Variant("keyA"));
    EXPECT_EQ(CStr(col.Item(Variant(1))), "z");
    EXPECT_FALSE(col.Exists("keya"));
    // Late-bound use, as host code and scripts reach it.
    col.Call("Add", {Variant("late"), Variant("L")});
    EXPECT_EQ(CLng(col.Get("Count")), 4);
}

TEST(ProgIdRegistry, CaseInsensitiveIdentifiersAndUnknownOnes) {
    auto& reg = ProgIdRegistry::Instance();
    reg.Register("ClientFramework.TestCounter", [] { return std::make_shared<Counter>(); });
    ObjectPtr a = CreateObject("ClientFrameWork.testcounter");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->TypeName(), "Counter");
    EXPECT_NE(a, CreateObject("ClientFramework.TestCounter")); // a new object per call
    reg.Unregister("clientframework.testcounter");
    EXPECT_EQ(ErrorNumber([] { CreateObject("ClientFramework.TestCounter"); }),
              err::CannotCreateObject);
}
