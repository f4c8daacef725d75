#pragma once

#include "platform/Recordset.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"

#include <memory>
#include <string>

namespace zelk::dialogs {

// "Audit Log": the change history of one record, or of one of its columns, as the host's
// auditing answers it. Column-level entries take a comment, written back when the user
// presses OK. Typical use: caption and icon, LoadAuditData, Show(true), Unload.
class frmAuditLog : public Form {
public:
    frmAuditLog();
    ~frmAuditLog() override;

    // Table kind "MA" or "SHAPE"; an empty column name lists the whole record's history. An ID
    // beyond 32 bits is error 6 (Overflow). On any failure the dialog is unloaded before the
    // error reaches the caller.
    void LoadAuditData(const std::string& strTableKind, long lngID, const ObjectPtr& objAppManager,
                       const std::string& strColumnName);

    VSFlexGrid& fgAuditLog() { return *fgAuditLog_; }
    CheckBox& chkWordWrap() { return *chkWordWrap_; }
    CommandButton& cmdOk() { return *cmdOk_; }
    CommandButton& cmdCancel() { return *cmdCancel_; }
    // The audit-log objects of the comments edited so far; null when the history is empty.
    const ObjectPtr& CommentCollection() const { return comments_; }

private:
    void FormatGrid();
    std::string OrgUnitComboList();
    void BeforeEdit(Args& a);
    void AfterEdit(long row, long col);
    void FitRowHeights();
    void Ok();
    void Resized();
    void Release();

    std::shared_ptr<VSFlexGrid> fgAuditLog_;
    std::shared_ptr<CheckBox> chkWordWrap_;
    std::shared_ptr<CommandButton> cmdOk_, cmdCancel_;
    ObjectPtr app_;
    RecordsetPtr audit_;
    ObjectPtr comments_;
};

} // namespace zelk::dialogs
