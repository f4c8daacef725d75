// Loading the element list, the grid layout, the domain combos and the detail panel.
#include "elementgrid/ElementColumns.h"
#include "elementgrid/ElementQuery.h"
#include "elementgrid/MA_ElementGrid.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zelk::elementgrid {

namespace {

// Turns drawing off for the life of the object, on again (buffered) however it ends.
class RedrawOff {
public:
    explicit RedrawOff(VSFlexGrid& g) : g_(g) { g_.SetRedraw(0); }
    ~RedrawOff() { g_.SetRedraw(2); }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    VSFlexGrid& g_;
};

std::string CellText(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? std::string() : CStr(v);
}

} // namespace

void MA_ElementGrid::Initialize(const ObjectPtr& elements, long managedAreaId,
                                const ObjectPtr& winMan, const ObjectPtr& appManager) {
    auto* typed = dynamic_cast<bo::IChildCollection*>(elements.get());
    if (!typed) Raise(err::TypeMismatch, "The element grid needs the element collection");
    if (!appManager) Raise(err::ObjectRequired, "The element grid needs the application manager");
    elementsObj_ = elements;
    elements_ = typed;
    managedAreaId_ = managedAreaId;
    winMan_ = winMan;
    appManager_ = appManager;
    removed_ = false;
    orderChanged_ = false;

    App("ApplySecurity",
        {Variant(shared_from_this()), Variant(), Variant(Name()), Variant(ControlsObject())});

    auto rs = std::dynamic_pointer_cast<Recordset>(
        RequireObject(App("CallGetQueryRSXML", {Variant(BuildElementQuery(managedAreaId))})));
    if (!rs) Raise(err::TypeMismatch, "The element query did not return a recordset");

    VSFlexGrid& g = *flexElement_;
    RedrawOff quiet(g);
    const long keepRow = g.Row();
    LayoutElementGrid();
    // Down to the header first, so no cell or state of the last load survives.
    g.SetRows(g.FixedRows());
    const long count = rs->State() == ad::StateOpen ? rs->RecordCount() : 0;
    g.SetRows(g.FixedRows() + count);
    if (count > 0) {
        // Each field fills the column of its name; fields without a column are left out.
        Fields fields = rs->GetFields();
        std::vector<std::pair<std::size_t, long>> map;
        for (long f = 0; f < fields.Count(); ++f) {
            long c = g.ColIndex(fields.Item(static_cast<std::size_t>(f)).Name());
            if (c >= 0) map.emplace_back(static_cast<std::size_t>(f), c);
        }
        long row = g.FixedRows();
        for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext(), ++row) {
            for (auto [f, c] : map)
                g.SetTextMatrix(row, c, CellText(fields.Item(f).Value()));
            SetRowState(row, rowstate::Unchanged);
        }
    }
    rs->Close();
    if (holding_) ShowHeldRows();
    AddBlankRow();

    g.SetRow(keepRow >= g.FixedRows() && keepRow < g.Rows() ? keepRow : g.FixedRows());

    for (const auto& a : kCodedAttributes) {
        auto& combo = Get<DataCombo>(a.combo);
        LoadDomainCombo(combo, std::string(a.domain), std::string(a.boundField),
                        std::string(a.listField), std::string(a.boundField));
    }
    ShowElementDetails();
    AutoSizeCodedColumns();
}

void MA_ElementGrid::LayoutElementGrid() {
    VSFlexGrid& g = *flexElement_;
    g.SetCols(static_cast<long>(kElementColumns.size()));
    if (g.Rows() < 1) g.SetRows(1);
    g.SetFixedRows(1);
    g.SetFixedCols(0);
    for (long c = 0; c < g.Cols(); ++c) {
        const ElementColumn& col = kElementColumns[static_cast<std::size_t>(c)];
        g.SetColKey(c, std::string(col.key));
        g.SetTextMatrix(
            0, c, col.label.empty() ? std::string(col.header) : Get<Label>(col.label).Caption());
        if (col.width > 0) g.SetColWidth(c, col.width);
        g.SetColHidden(c, col.hidden);
    }
}

bo::DomainPtr MA_ElementGrid::GetDomainList(const std::string& domainName) {
    Args args{Variant(domainName), Variant(), Variant(true)};
    ObjectPtr source;
    if (elements_->Count() < 1) {
        source = CreateObject("ZELK_ManagedAreaClient.CElement");
        source->Call("Connect", {App("GetServerName"), App("GetServerType")});
    } else {
        source = std::dynamic_pointer_cast<Object>(elements_->Item(1));
        if (!source) Raise(err::TypeMismatch, "The element cannot be asked for its domains");
    }
    auto domain = std::dynamic_pointer_cast<bo::IDomainList>(
        RequireObject(source->Call("GetDomain", std::move(args))));
    if (!domain) Raise(err::TypeMismatch, "The domain " + domainName + " is not a domain list");
    return domain;
}

void MA_ElementGrid::LoadDomainCombo(DataCombo& combo, const std::string& domainName,
                                     const std::string& boundField, const std::string& listField,
                                     const std::string& columnKey) {
    bo::DomainPtr domain = GetDomainList(domainName);
    domain->SortBy(listField);
    showing_ = true;
    try {
        domain->BindToCombo(std::static_pointer_cast<Object>(combo.shared_from_this()),
                            "this_parameter_is_not_used_yet_required!!!", boundField, listField);
    } catch (...) {
        showing_ = false;
        throw;
    }
    showing_ = false;
    std::string list;
    for (long i = 1; i <= domain->Count(); ++i) {
        if (i > 1) list += "|";
        list += "#" + CellText(domain->Value(boundField, i)) + ";" +
                CellText(domain->Value(listField, i));
    }
    flexElement_->SetColComboList(Col(columnKey), list);
}

void MA_ElementGrid::ShowElementDetails() {
    const long row = flexElement_->Row();
    const bool data = row >= FirstDataRow() && row < flexElement_->Rows();
    auto value = [&](std::string_view key) { return data ? Cell(row, key) : std::string(); };
    showing_ = true;
    struct Restore {
        bool& flag;
        ~Restore() { flag = false; }
    } restore{showing_};
    txtElementID_->SetText(value("element_id"));
    txtGeoLevel_->SetText(value("geo_level"));
    txtScientificName_->SetText(value("scientific_name"));
    txtCommonName_->SetText(value("common_name"));
    txtRank_->SetText(value("rank"));
    txtReferenceCode_->SetText(value("reference_code"));
    txtFullCitation_->SetText(value("full_citation"));
    cboOrigin_->SetBoundText(value("d_origin_id"));
    cboRegularity_->SetBoundText(value("d_regularity_id"));
    cboDistributionConfidence_->SetBoundText(value("d_dist_confidence_id"));
    cboCurrentPresenceAbsence_->SetBoundText(value("d_curr_presence_absence_id"));
    cboPopulation_->SetBoundText(value("d_population_id"));
    txtStatusInMA_->SetText(value("status_in_ma"));
    ctrDistributionComments_->SetText(value("ma_distribution_com"));
}

void MA_ElementGrid::RowChange(long oldRow, long /*oldCol*/, long newRow, long /*newCol*/) {
    if (reordering_ || flexElement_->Cols() != static_cast<long>(kElementColumns.size())) return;
    if (newRow != oldRow) ShowElementDetails();
    if (flexElement_->Row() == BlankRow() && IsLastRowUsed()) {
        const long row = BlankRow();
        // The next position, but never an order an existing row already has: after a
        // removal the row count lags behind the highest order in use.
        long order = flexElement_->Rows() - flexElement_->FixedRows();
        const long orderCol = Col("display_order");
        for (long r = FirstDataRow(); r < row; ++r) {
            const std::string_view t = flexElement_->CellRef(r, orderCol);
            if (auto n = ParseNumber(t); n && *n >= order) order = static_cast<long>(*n) + 1;
        }
        SetCell(row, "display_order", std::to_string(order));
        AddBlankRow();
    }
}

bool MA_ElementGrid::IsLastRowUsed() const {
    const VSFlexGrid& g = *flexElement_;
    const long row = g.Rows() - 1;
    if (row < g.FixedRows()) return false;
    for (long c = 0; c < g.Cols(); ++c) {
        if (g.ColHidden(c) || IEquals(g.ColKey(c), "display_order")) continue;
        if (!g.CellRef(row, c).empty()) return true;
    }
    return false;
}

void MA_ElementGrid::AddBlankRow() {
    long row = flexElement_->AddItem("");
    SetRowState(row, rowstate::New);
}

void MA_ElementGrid::AutoSizeCodedColumns() {
    for (const auto& col : kElementColumns)
        if (col.width < 0) flexElement_->AutoSize(Col(col.key));
}

void MA_ElementGrid::Clear() {
    flexElement_->Clear();
    showing_ = true;
    for (TextBox* t :
         {txtElementID_.get(), txtGeoLevel_.get(), txtScientificName_.get(), txtCommonName_.get(),
          txtRank_.get(), txtReferenceCode_.get(), txtStatusInMA_.get(),
          ctrDistributionComments_.get(), txtFullCitation_.get()})
        t->SetText("");
    for (DataCombo* c : {cboOrigin_.get(), cboRegularity_.get(), cboDistributionConfidence_.get(),
                         cboCurrentPresenceAbsence_.get(), cboPopulation_.get()})
        c->SetBoundText("");
    showing_ = false;
}

} // namespace zelk::elementgrid
