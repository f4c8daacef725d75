#include "dialogs/frmGotoRecord.h"

#include "dialogs/RecordsetGrid.h"

namespace zelk::dialogs {

frmGotoRecord::frmGotoRecord() : Form("frmGotoRecord") {
    SetCaption("Goto Record");
    Move(0, 0, 7800, 5700);
    vsgRecords_ = Add<VSFlexGrid>("vsgRecords");
    vsgRecords_->Move(120, 120, 7440, 4440);
    vsgRecords_->SetSelectionMode(flex::SelByRow);
    vsgRecords_->SetRows(1);
    vsgRecords_->SetFixedRows(1);
    cmdOK_ = Add<CommandButton>("cmdOK");
    cmdOK_->SetCaption("OK");
    cmdOK_->SetDefault(true);
    cmdOK_->Move(5280, 4800, 1080, 360);
    cmdCancel_ = Add<CommandButton>("cmdCancel");
    cmdCancel_->SetCaption("Cancel");
    cmdCancel_->SetCancel(true);
    cmdCancel_->Move(6480, 4800, 1080, 360);

    cmdOK_->On("Click", [this](Args&) { Accept(); });
    vsgRecords_->On("DblClick", [this](Args&) { Accept(); });
    cmdCancel_->On("Click", [this](Args&) { Hide(); });
}

void frmGotoRecord::LoadRecordset(const RecordsetPtr& rs) {
    if (rs) ShowRecordset(*vsgRecords_, *rs);
    for (long c = 0; c < vsgRecords_->Cols(); ++c)
        vsgRecords_->SetTextMatrix(0, c, ReadableHeader(vsgRecords_->TextMatrix(0, c)));
}

void frmGotoRecord::Accept() {
    if (vsgRecords_->SelectedRows() > 0)
        position_ = static_cast<std::int32_t>(vsgRecords_->SelectedRow(0));
    Hide();
}

} // namespace zelk::dialogs
