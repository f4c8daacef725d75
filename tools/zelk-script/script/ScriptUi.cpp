#include "script/ScriptUi.h"

#include "platform/Conv.h"
#include "platform/Strings.h"

#include <utility>

namespace zelk::script {

namespace {
constexpr std::pair<int, const char*> kAnswers[] = {
    {vb::OK, "OK"},         {vb::Cancel, "Cancel"}, {vb::Abort, "Abort"}, {vb::Retry, "Retry"},
    {vb::Ignore, "Ignore"}, {vb::Yes, "Yes"},       {vb::No, "No"}};
}

int ScriptUi::MsgBox(const std::string& prompt, int flags, const std::string& title) {
    std::string code = std::exchange(code_, {});
    int answer = ScriptedUiDriver::MsgBox(prompt, flags, title);
    boxes_.push_back({code, prompt, flags, answer});
    if (onShown_) onShown_(boxes_.back());
    return answer;
}

Variant MessageTap::Invoke(std::string_view name, CallKind kind, Args& args) {
    if (!IEquals(name, "Message") || args.empty()) return app_->Invoke(name, kind, args);
    struct Clear {
        ScriptUi& ui;
        ~Clear() { ui.SetNextCode({}); }
    } clear{ui_};
    ui_.SetNextCode(CStr(args[0]));
    return app_->Invoke(name, kind, args);
}

std::string AnswerName(int answer) {
    for (auto [code, name] : kAnswers)
        if (code == answer) return name;
    return std::to_string(answer);
}

int AnswerCode(const std::string& name) {
    for (auto [code, text] : kAnswers)
        if (IEquals(text, name)) return code;
    return 0;
}

} // namespace zelk::script
