#pragma once

#include "platform/Dispatch.h"
#include "platform/ui/ScriptedUiDriver.h"

#include <functional>
#include <string>
#include <vector>

namespace zelk::script {

// The person of a script: answers as queued (ScriptedUiDriver) and keeps every message box
// with the message code it was shown for, when it came through the application manager.
class ScriptUi : public ScriptedUiDriver {
public:
    struct Shown {
        std::string code; // "" for a message box the module showed itself
        std::string text;
        int flags = 0;
        int answer = 0;
    };

    int MsgBox(const std::string& prompt, int flags, const std::string& title) override;
    const std::vector<Shown>& Boxes() const { return boxes_; }
    void SetNextCode(std::string code) { code_ = std::move(code); }
    // Hears each message box once it has been answered.
    void SetOnShown(std::function<void(const Shown&)> f) { onShown_ = std::move(f); }

private:
    std::vector<Shown> boxes_;
    std::string code_;
    std::function<void(const Shown&)> onShown_;
};

// Stands between the controls and the application manager, telling the script's person the
// code of each coded message before it is shown. Everything else passes through.
class MessageTap : public Object {
public:
    MessageTap(ObjectPtr app, ScriptUi& ui) : app_(std::move(app)), ui_(ui) {}
    std::string TypeName() const override { return app_->TypeName(); }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override;

private:
    ObjectPtr app_;
    ScriptUi& ui_;
};

// The name of a message box answer ("Yes") and back (0 when unknown).
std::string AnswerName(int answer);
int AnswerCode(const std::string& name);

} // namespace zelk::script
