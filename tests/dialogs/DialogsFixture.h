#pragma once

#include "support/ScriptedUi.h"

#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/Form.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk::testing {

// One late-bound call a hosted control received.
struct RecordedCall {
    std::string member;
    Args args;
};

// A hosted control that records every call and answers as the test tells it; it stands for
// another module's search or details control.
class RecordingControl : public UserControl {
public:
    RecordingControl(long width, long height, std::vector<std::string> members)
        : UserControl("ctlRecording", "RecordingControl") {
        SetFixedSize(width, height);
        for (const auto& m : members)
            DefineMethod(m, [this, m](Args& a) {
                calls.push_back({m, a});
                if (IEquals(m, "CanClose")) return Variant(canClose);
                if (IEquals(m, "GetMultiSelect")) return Variant(multiSelect);
                if (IEquals(m, "NewData")) return Variant(newId);
                if (IEquals(m, "SetSelectedItems") && !replaceCollection.IsEmpty())
                    a[0] = replaceCollection;
                if (IEquals(m, "InitModalSearch") && !replaceRecordset.IsEmpty())
                    a[1] = replaceRecordset;
                if (failOn == m) Raise(err::InvalidProcedureCall, "The control refused " + m);
                return Variant();
            });
    }
    // The calls of one member, in order.
    std::vector<RecordedCall> CallsOf(std::string_view member) const {
        std::vector<RecordedCall> out;
        for (const auto& c : calls)
            if (IEquals(c.member, member)) out.push_back(c);
        return out;
    }

    std::vector<RecordedCall> calls;
    bool canClose = true;
    Variant multiSelect = Variant(1);
    Variant newId = Variant(-7.0);
    Variant replaceCollection, replaceRecordset;
    std::string failOn;
};

// A stand-in application manager: server, help and system-control members, recording calls.
class RecordingAppManager : public Dispatch {
public:
    RecordingAppManager() : Dispatch("AppManager") {
        DefineMethod("GetServerType", [](Args&) { return Variant(2); });
        DefineMethod("GetServerName", [](Args&) { return Variant("wayfold-test"); });
        DefineProperty("HelpFile", [](Args&) { return Variant("wayfold.hlp"); });
        DefineMethod("GetHelpTopicID", [this](Args& a) {
            helpAsks.push_back(a.size());
            if (helpTopic > 0 && a.size() > 1) a[1] = Variant(helpTopic);
            return Variant(helpTopic > 0);
        });
        DefineMethod("DisplaySystemControlEntry", [this](Args& a) {
            systemEntries.push_back(Arg(a, 0).IsObject() ? Arg(a, 0).Obj().get() : nullptr);
            return Variant();
        });
    }
    int helpTopic = 0;
    std::vector<std::size_t> helpAsks;
    std::vector<Object*> systemEntries; // not owned: the controls record this manager
};

// Registers a recording control under a test ProgID for the test's lifetime.
class DialogsTest : public ScriptedUiTest {
protected:
    void RegisterControl(const std::string& progId, long width, long height,
                         std::vector<std::string> members) {
        ProgIdRegistry::Instance().Register(progId, [this, width, height, members] {
            auto c = std::make_shared<RecordingControl>(width, height, members);
            created.push_back(c);
            return c;
        });
        registered.push_back(progId);
    }
    void TearDown() override {
        for (const auto& p : registered)
            ProgIdRegistry::Instance().Unregister(p);
        ScriptedUiTest::TearDown();
    }
    RecordingControl& Last() { return *created.back(); }

    std::shared_ptr<RecordingAppManager> app = std::make_shared<RecordingAppManager>();
    std::vector<std::shared_ptr<RecordingControl>> created;
    std::vector<std::string> registered;
};

} // namespace zelk::testing
