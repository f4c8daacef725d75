#pragma once

#include "platform/Collection.h"
#include "platform/Recordset.h"
#include "platform/ui/Form.h"
#include "platform/ui/TabControl.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zelk::search {

// A modal window around any module's search control, created by programmatic identifier, so
// that a caller can pick records with it. The chosen rows arrive in the caller's recordset
// when the search was told to use it and the user pressed OK.
//
// Typical use: InitDialog, UseSelectedRecordset(true), SetSingleSelect when one record is
// wanted, Show(true), read the recordset, Unload.
class frmModalSearch : public Form {
public:
    frmModalSearch();
    ~frmModalSearch() override;

    // Creates the control under the name "ModalSearch", sizes the window around it and starts
    // it in modal mode with the caller's recordset; rsTemp receives the recordset the control
    // leaves in that argument. False, after telling the user why, when anything fails.
    bool InitDialog(const std::string& strProgId, const ObjectPtr& objAppManager,
                    RecordsetPtr& rsTemp, const std::string& strExtraInfo);

    // Forwarded to the hosted control; its errors reach the caller, except for SetSingleSelect,
    // which a control without that member simply ignores.
    void UseSelectedRecordset(bool blnUseRecordset);
    Variant SetSelectedItems(std::shared_ptr<Collection>& aCollection);
    void SetSingleSelect();
    Variant SetMutliSelect(bool blnMultiSelect);
    bool GetMutliSelect();
    // With an empty string only the number and the flag are passed on.
    Variant SetNameType(std::int16_t intNameType, bool blnValue, const std::string& strValue);
    Variant SetIdEnabled(bool blnEnabled);

    // The control added by InitDialog; null before and after unload.
    const ControlPtr& HostedControl() const { return hosted_; }
    CommonDialog& CommonDialog1() { return *commonDialog1_; }
    long ServerType() const { return serverType_; }
    const std::string& ServerName() const { return serverName_; }

private:
    Variant Forward(std::string_view member, Args args);
    void OnHostedEvent(std::string_view event);
    void OnKeyDown(Args& a);
    void OnQueryUnload(Args& a);
    void Release();

    std::shared_ptr<CommonDialog> commonDialog1_;
    ObjectPtr app_;
    long serverType_ = 0;
    std::string serverName_;
    ControlPtr hosted_;
    int cookie_ = 0;
    // The control stays alive while it is still raising the event that closed the window.
    ControlPtr retired_;
    int eventDepth_ = 0;
};

} // namespace zelk::search
