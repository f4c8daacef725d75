#include "dialogs/frmAuditLog.h"

#include "dialogs/RecordsetGrid.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"

#include <algorithm>

namespace zelk::dialogs {

namespace {
constexpr const char* kFormat =
    "ID|Date|User|Table|Actn|Column|Old Value|Comments|Primary Key|Org Unit|Id|Column Id";
constexpr const char* kAuditLogClass = "ZELK_AuditLogClient.cAuditLog";
constexpr long kComments = 7;
constexpr long kOrgUnit = 9;
constexpr long kColumnId = 11;
constexpr long kGrey = 192 + 192 * 256 + 192 * 65536;
constexpr long kWhite = 255 + 255 * 256 + 255 * 65536;
constexpr long kMinWidth = 4000;
constexpr long kMinHeight = 1800;
constexpr long kMargin = 75;
} // namespace

frmAuditLog::frmAuditLog() : Form("frmAuditLog") {
    SetCaption("Audit Log");
    fgAuditLog_ = Add<VSFlexGrid>("fgAuditLog");
    fgAuditLog_->SetEditable(flex::EDKbdMouse);
    fgAuditLog_->SetAllowUserResizing(1);
    chkWordWrap_ = Add<CheckBox>("chkWordWrap");
    chkWordWrap_->SetCaption("&Word Wrap");
    chkWordWrap_->Move(150, 0, 1500, 300);
    cmdOk_ = Add<CommandButton>("cmdOk");
    cmdOk_->SetCaption("OK");
    cmdOk_->Move(0, 0, 1080, 360);
    cmdCancel_ = Add<CommandButton>("cmdCancel");
    cmdCancel_->SetCaption("Cancel");
    cmdCancel_->SetCancel(true);
    cmdCancel_->Move(0, 0, 1080, 360);
    Move(0, 0, 12000, 6000);

    fgAuditLog_->On("BeforeEdit", [this](Args& a) { BeforeEdit(a); });
    fgAuditLog_->On("AfterEdit", [this](Args& a) {
        try {
            AfterEdit(CLng(Arg(a, 0)), CLng(Arg(a, 1)));
        } catch (const ComError& e) {
            Ui().MsgBox("Unable to keep the comment: " + e.Description(), vb::Exclamation,
                        Caption());
        }
    });
    fgAuditLog_->On("AfterUserResize", [this](Args&) { FitRowHeights(); });
    chkWordWrap_->On("Click", [this](Args&) {
        fgAuditLog_->SetWordWrap(chkWordWrap_->Value() == 1);
        FitRowHeights();
    });
    cmdOk_->On("Click", [this](Args&) { Ok(); });
    cmdCancel_->On("Click", [this](Args&) { Hide(); });
    On("Resize", [this](Args&) { Resized(); });
    On("Unload", [this](Args&) { Release(); });
    Resized();
}

frmAuditLog::~frmAuditLog() = default;

void frmAuditLog::LoadAuditData(const std::string& strTableKind, long lngID,
                                const ObjectPtr& objAppManager, const std::string& strColumnName) {
    try {
        // The auditing service takes a 32-bit ID; a larger one is an overflow, not another
        // record's history.
        const Variant id(CLng(Variant(static_cast<double>(lngID))));
        app_ = objAppManager;
        if (!app_) Raise(err::ObjectNotSet, "Object variable or With block variable not set");
        Variant rs = app_->Call("Auditing", {Variant(strTableKind), id, Variant(strColumnName)});
        audit_ = rs.IsObject() ? std::dynamic_pointer_cast<Recordset>(rs.Obj()) : nullptr;
        if (!audit_) Raise(err::ObjectNotSet, "The auditing service answered no recordset");
        ShowRecordset(*fgAuditLog_, *audit_);
        FormatGrid();
        if (audit_->RecordCount() > 0) {
            comments_ = CreateObject("ClientFrameWork.ComponentCollection");
            comments_->Call("Initialize",
                            {Variant(std::string(kAuditLogClass)), app_->Call("GetServerName"),
                             app_->Call("GetServerType")});
            comments_->Call("Load", {Variant(std::string("Empty")), Variant(std::string())});
        }
    } catch (...) {
        // A half-loaded history is never shown: the dialog goes away and the caller is told.
        Release();
        Unload();
        throw;
    }
}

std::string frmAuditLog::OrgUnitComboList() {
    Variant v = app_->Call("CallGetQueryRSXML", {Variant(std::string("select * from org_unit"))});
    auto rs = v.IsObject() ? std::dynamic_pointer_cast<Recordset>(v.Obj()) : nullptr;
    if (!rs) return "";
    std::string list;
    if (rs->RecordCount() > 0) rs->MoveFirst();
    for (; !rs->EOF(); rs->MoveNext())
        list +=
            "#" + TextOf(rs->Value("org_unit_id")) + ";" + TextOf(rs->Value("org_unit_name")) + "|";
    rs->Close();
    return list;
}

void frmAuditLog::FormatGrid() {
    VSFlexGrid& g = *fgAuditLog_;
    const auto headers = Split(kFormat, "|");
    g.SetCols(static_cast<long>(headers.size()));
    if (g.Rows() < 1) g.SetRows(1);
    g.SetFixedRows(1);
    for (std::size_t c = 0; c < headers.size(); ++c)
        g.SetTextMatrix(0, static_cast<long>(c), headers[c]);
    g.SetColHidden(0, true);
    static const long widths[] = {2000, 1200, 2500, 500, 3000, 4500, 4500, 1000, 2200, 1000, 1000};
    for (long c = 1; c <= 11; ++c)
        g.SetColWidth(c, widths[c - 1]);
    g.SetAutoSizeMode(0);
    g.AutoSize(0, g.Cols() - 1);

    g.SetColComboList(kOrgUnit, OrgUnitComboList());

    if (g.Rows() > 1) {
        g.SetCell(flex::cpBackColor, 1, 1, g.Rows() - 1, g.Cols() - 1,
                  Variant(static_cast<int>(kGrey)));
        for (long r = 1; r < g.Rows(); ++r)
            if (!g.TextMatrix(r, kColumnId).empty())
                g.SetCell(flex::cpBackColor, r, kComments, r, kComments,
                          Variant(static_cast<int>(kWhite)));
    }
    // "Old Value" and "Comments" keep their widths; the others fit what they show.
    g.AutoSize(0, 5);
    g.AutoSize(8, 11);
    FitRowHeights();
}

void frmAuditLog::FitRowHeights() {
    VSFlexGrid& g = *fgAuditLog_;
    if (g.Cols() < 1) return;
    g.SetAutoSizeMode(1);
    g.AutoSize(0, g.Cols() - 1);
    g.SetAutoSizeMode(0);
}

void frmAuditLog::BeforeEdit(Args& a) {
    const long row = CLng(Arg(a, 0)), col = CLng(Arg(a, 1));
    VSFlexGrid& g = *fgAuditLog_;
    bool allowed = col == kComments && row >= g.FixedRows() && row < g.Rows() &&
                   g.Cols() > kColumnId && !g.TextMatrix(row, kColumnId).empty();
    if (!allowed && a.size() > 2) a[2] = Variant(true);
}

void frmAuditLog::AfterEdit(long row, long col) {
    (void)col;
    VSFlexGrid& g = *fgAuditLog_;
    const std::string key = g.TextMatrix(row, kColumnId);
    if (key.empty() || !comments_) return;
    const Variant comment(g.TextMatrix(row, kComments));
    Variant found = comments_->Call("Find", {Variant("AuditLogColumnId = " + key)});
    if (!found.IsObject() || !found.Obj()) {
        ObjectPtr entry = CreateObject(kAuditLogClass);
        entry->Call("Connect", {app_->Call("GetServerName"), app_->Call("GetServerType")});
        entry->Call("Load", {Variant(key)});
        entry->Let("Comments", comment);
        comments_->Call("Add", {Variant(entry), Variant(key)});
    } else {
        RequireObject(comments_->Call("Item", {Variant(key)}))->Let("Comments", comment);
    }
}

void frmAuditLog::Ok() {
    // A pending entry reaches its cell (and the comment its object) before the save.
    ValidateControls();
    try {
        if (comments_) comments_->Call("SaveAll");
    } catch (const ComError& e) {
        // The dialog stays open, so the user can retry or cancel.
        Ui().MsgBox("Unable to save changes: " + e.Description(), vb::Exclamation, Caption());
        return;
    }
    Hide();
}

void frmAuditLog::Resized() {
    if (Width() < kMinWidth) return SetWidth(kMinWidth);
    if (Height() < kMinHeight) return SetHeight(kMinHeight);
    fgAuditLog_->Move(kMargin, kMargin, Width() - 2 * kMargin,
                      Height() - cmdOk_->Height() - 3 * kMargin);
    const long top = Height() - kMargin - cmdCancel_->Height();
    cmdCancel_->Move(Width() - kMargin - cmdCancel_->Width(), top);
    cmdOk_->Move(cmdCancel_->Left() - kMargin - cmdOk_->Width(), top);
    chkWordWrap_->Move(150, top);
}

void frmAuditLog::Release() {
    if (comments_) {
        try {
            comments_->Call("Release");
        } catch (const ComError&) {
            // Dropping the list is all that is left to do.
        }
    }
    comments_.reset();
    audit_.reset();
    app_.reset();
}

} // namespace zelk::dialogs
