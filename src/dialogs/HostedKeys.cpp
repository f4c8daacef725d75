#include "dialogs/HostedKeys.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/UiDriver.h"

namespace zelk::dialogs {

namespace {
constexpr int kF1 = 112;
constexpr int kF9 = 120;
} // namespace

void HandleHostedKey(int keyCode, const ControlPtr& hosted, const ObjectPtr& app,
                     CommonDialog& help, const std::string& title) {
    try {
        if (!hosted || !app) return;
        if (keyCode == kF1) {
            help.SetHelpContext(0);
            Args args{Variant(hosted), Variant(0)};
            if (CBool(app->Invoke("GetHelpTopicID", CallKind::Method, args))) {
                help.SetHelpContext(CLng(args[1]));
                help.ShowHelp();
            }
        } else if (keyCode == kF9) {
            app->Call("DisplaySystemControlEntry", {Variant(hosted)});
        }
    } catch (const ComError& e) {
        Ui().MsgBox("An error occurred while handling a key.\n\n" + e.Description(),
                    vb::Exclamation, title);
    }
}

} // namespace zelk::dialogs
