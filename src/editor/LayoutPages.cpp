// The controls of the eleven pages, in the order a user tabs through them.
#include "controls/DomainSelectGrid.h"
#include "controls/RichTextControl.h"
#include "controls/ZELKKeywordLB.h"
#include "controls/ctlMapsheet.h"
#include "controls/ctrlBindGrid.h"
#include "controls/ctrlDateSelect.h"
#include "editor/LayoutSupport.h"
#include "platform/ProgIdRegistry.h"

namespace zelk::editor {

using controls::ctrlBindGrid;
using controls::ctrlDateSelect;
using controls::DomainSelectGrid;
using controls::RichTextControl;
using controls::ZELKKeywordLB;

namespace {
long RowTop(int row) {
    return kPageTop + row * kRow;
}
CommandButton* Button(PagePlacer& p, const std::string& name, const std::string& caption, long left,
                      long top, long width = 330) {
    auto* b = p.Put<CommandButton>(name, left, top, width, 315);
    b->SetCaption(caption);
    return b;
}
} // namespace

void ManagedAreaDetails::CreateIdentifiersPage() {
    PagePlacer p(*this, tabManagedAreas, PageIdentifiers);
    txtMACodeBCD = p.Field<TextBox>("MA Code:", "txtMACodeBCD", kLeftCol, RowTop(0), 2000);
    txtOldMACode = p.Field<TextBox>("Old MA Code:", "txtOldMACode", kLeftCol, RowTop(1), 2000);
    p.Caption("lblManagedAreaIDCaption", "MA ID:", kRightCol, RowTop(0) + 30, 1000);
    lblManagedAreaID = p.Caption("lblManagedAreaID", "", kRightCol + 1700, RowTop(0) + 30, 1500);
    ctlMAName = p.Field<RichTextControl>("Name:", "ctlMAName", kLeftCol, RowTop(2), 9900);
    ctlMAType = p.Field<RichTextControl>("Type:", "ctlMAType", kLeftCol, RowTop(3), 4000);
    txtEquiSiteID = p.Field<TextBox>("Equi-Site:", "txtEquiSiteID", kLeftCol, RowTop(4), 1200);
    txtEquiSiteID->SetLocked(true);
    txtEquiSiteName = p.Put<TextBox>("txtEquiSiteName", kLeftCol + 2960, RowTop(4), 6900);
    txtEquiSiteName->SetLocked(true);
    cmdSelectEquiSite = Button(p, "cmdSelectEquiSite", "...", kLeftCol + 9900, RowTop(4));
    cmdClearEquiSite = Button(p, "cmdClearEquiSite", "X", kLeftCol + 10260, RowTop(4));
    txtMajorMAID = p.Field<TextBox>("Major MA:", "txtMajorMAID", kLeftCol, RowTop(5), 1200);
    txtMajorMAID->SetLocked(true);
    txtMajorMAName = p.Put<TextBox>("txtMajorMAName", kLeftCol + 2960, RowTop(5), 6900);
    txtMajorMAName->SetLocked(true);
    cmdSelectMajorMAID = Button(p, "cmdSelectMajorMAID", "...", kLeftCol + 9900, RowTop(5));
    cmdClearMajorMAID = Button(p, "cmdClearMajorMAID", "X", kLeftCol + 10260, RowTop(5));

    p.Caption("lblOwners", "Owners:", kLeftCol, RowTop(6) + 60, 1600);
    flexOwners = p.Put<ctrlBindGrid>("flexOwners", kLeftCol, RowTop(6) + 330, 6900, 2200);
    p.Caption("lblAliases", "Aliases:", kLeftCol + 7100, RowTop(6) + 60, 1600);
    flexMAAlias = p.Put<ctrlBindGrid>("flexMAAlias", kLeftCol + 7100, RowTop(6) + 330, 4500, 2200);
    p.Caption("lblSites", "Conservation Sites:", kLeftCol, RowTop(12) + 120, 2000);
    flexSites = p.Put<VSFlexGrid>("flexSites", kLeftCol, RowTop(12) + 390, 10900, 1500);
    cmdSelectSites = Button(p, "cmdSelectSites", "+", kLeftCol + 11000, RowTop(12) + 390);
    cmdSelectSites->SetToolTipText("Add Sites");
    cmdRemoveSite = Button(p, "cmdRemoveSite", "-", kLeftCol + 11000, RowTop(12) + 750);
    cmdRemoveSite->SetToolTipText("Remove Site");
    flexSites->SetCols(3);
    flexSites->SetFixedCols(0);
    flexSites->SetColWidth(0, 15);
    flexSites->SetColKey(1, "ConservationSiteID");
    flexSites->SetColWidth(1, 1335);
    flexSites->SetColKey(2, "SiteName");
    flexSites->SetColWidth(2, 7545);
}

void ManagedAreaDetails::CreateLocatorsPage() {
    PagePlacer p(*this, tabManagedAreas, PageLocators);
    cboNation = p.Field<DataCombo>("Nation:", "cboNation", kLeftCol, RowTop(0), 3500);
    cboState = p.Field<DataCombo>("State:", "cboState", kLeftCol, RowTop(1), 3500);
    txtLatitude = p.Field<TextBox>("Latitude:", "txtLatitude", kLeftCol, RowTop(2), 1500);
    txtLongitude = p.Field<TextBox>("Longitude:", "txtLongitude", kLeftCol, RowTop(3), 1500);
    txtNorth = p.Field<TextBox>("North:", "txtNorth", kRightCol, RowTop(0), 1500, 315, 1000);
    txtSouth = p.Field<TextBox>("South:", "txtSouth", kRightCol, RowTop(1), 1500, 315, 1000);
    txtEast = p.Field<TextBox>("East:", "txtEast", kRightCol, RowTop(2), 1500, 315, 1000);
    txtWest = p.Field<TextBox>("West:", "txtWest", kRightCol, RowTop(3), 1500, 315, 1000);
    ctlCounty = p.Put<DomainSelectGrid>("ctlCounty", kLeftCol, RowTop(4) + 60, 3700, 2600);
    ctlLocalJurisdiction = p.Put<DomainSelectGrid>("ctlLocalJurisdiction", kLeftCol + 3850,
                                                   RowTop(4) + 60, 3700, 2600);
    ctlMapsheet =
        p.Put<controls::ctlMapsheet>("ctlMapsheet", kLeftCol + 7700, RowTop(4) + 60, 3950, 2600);
    p.Caption("lblTownRangeSection", "Township / Range / Section:", kLeftCol, RowTop(11) + 60,
              3000);
    flexTownRangeSection =
        p.Put<ctrlBindGrid>("flexTownRangeSection", kLeftCol, RowTop(11) + 330, 11450, 1750);
}

void ManagedAreaDetails::CreateDescriptorsPage() {
    PagePlacer p(*this, tabManagedAreas, PageDescriptors);
    ctlDescription =
        p.Field<RichTextControl>("Description:", "ctlDescription", kLeftCol, RowTop(0), 9900, 1500);
    ctlDescription->SetMultiLine(true);
    txtTotalAcres = p.Field<TextBox>("Total Acres:", "txtTotalAcres", kLeftCol, RowTop(4), 1500);
    txtTotalHectares =
        p.Field<TextBox>("Total Hectares:", "txtTotalHectares", kRightCol, RowTop(4), 1500);
    txtStateAcres = p.Field<TextBox>("Acres in State:", "txtStateAcres", kLeftCol, RowTop(5), 1500);
    txtStateHectares =
        p.Field<TextBox>("Hectares in State:", "txtStateHectares", kRightCol, RowTop(5), 1500);
    chkMultiJuris = p.Put<CheckBox>("chkMultiJuris", kLeftCol, RowTop(6), 3200);
    chkMultiJuris->SetCaption("Multiple Jurisdictions");
    chkBoundariesMapped = p.Put<CheckBox>("chkBoundariesMapped", kLeftCol + 3400, RowTop(6), 3200);
    chkBoundariesMapped->SetCaption("Boundaries Mapped");
    chkContiguous = p.Put<CheckBox>("chkContiguous", kLeftCol + 6800, RowTop(6), 3200);
    chkContiguous->SetCaption("Contiguous");
    ctlMAComments =
        p.Field<RichTextControl>("Comments:", "ctlMAComments", kLeftCol, RowTop(7), 9900, 2400);
    ctlMAComments->SetMultiLine(true);
}

void ManagedAreaDetails::CreateLegalAndManagerPages() {
    PagePlacer p(*this, tabManagedAreas, PageLegalProtection);
    cboProtectionLevel =
        p.Field<DataCombo>("Protection Level:", "cboProtectionLevel", kLeftCol, RowTop(0), 3500);
    cboIUCNCategory =
        p.Field<DataCombo>("IUCN Category:", "cboIUCNCategory", kRightCol, RowTop(0), 3500);
    ctlLegalProtectionComment = p.Field<RichTextControl>(
        "Legal Protection:", "ctlLegalProtectionComment", kLeftCol, RowTop(1), 9900, 1100);
    ctlLegalProtectionComment->SetMultiLine(true);
    ctlLandTenure =
        p.Field<RichTextControl>("Land Tenure:", "ctlLandTenure", kLeftCol, RowTop(4), 9900, 1100);
    ctlLandTenure->SetMultiLine(true);
    p.Caption("lblLegal", "Legal Acts:", kLeftCol, RowTop(7) + 60, 2000);
    flexLegal = p.Put<ctrlBindGrid>("flexLegal", kLeftCol, RowTop(7) + 330, 11450, 2600);

    PagePlacer m(*this, tabManagedAreas, PageManager);
    ctlManager = m.Field<RichTextControl>("Manager:", "ctlManager", kLeftCol, RowTop(0), 9900);
    ctlManagerInstitution = m.Field<RichTextControl>("Institution:", "ctlManagerInstitution",
                                                     kLeftCol, RowTop(1), 9900);
    ctlManagerAddress1 =
        m.Field<RichTextControl>("Address:", "ctlManagerAddress1", kLeftCol, RowTop(2), 9900);
    ctlManagerAddress2 =
        m.Field<RichTextControl>("", "ctlManagerAddress2", kLeftCol, RowTop(3), 9900);
    ctlManagerCity = m.Field<RichTextControl>("City:", "ctlManagerCity", kLeftCol, RowTop(4), 3500);
    cboManagerState = m.Field<DataCombo>("State:", "cboManagerState", kRightCol, RowTop(4), 3500);
    txtManagerCountry =
        m.Field<TextBox>("Country:", "txtManagerCountry", kLeftCol, RowTop(5), 3500);
    ctlManagerZip =
        m.Field<RichTextControl>("Postal Code:", "ctlManagerZip", kRightCol, RowTop(5), 2000);
    ctlManagerPhone =
        m.Field<RichTextControl>("Phone:", "ctlManagerPhone", kLeftCol, RowTop(6), 3500);
    ctlCoopInst = m.Field<RichTextControl>("Cooperating Institutions:", "ctlCoopInst", kLeftCol,
                                           RowTop(7), 9900, 1100);
    ctlCoopInst->SetMultiLine(true);
    ctlCoopInstComment = m.Field<RichTextControl>("Cooperation Comments:", "ctlCoopInstComment",
                                                  kLeftCol, RowTop(10), 9900, 1100);
    ctlCoopInstComment->SetMultiLine(true);
}

void ManagedAreaDetails::CreateManagementAndElementsPages() {
    PagePlacer p(*this, tabManagedAreas, PageManagement);
    chkManagementPlan = p.Put<CheckBox>("chkManagementPlan", kLeftCol, RowTop(0), 3200);
    chkManagementPlan->SetCaption("Management Plan");
    ctlManagmentPlanComment = p.Field<RichTextControl>("Plan Comments:", "ctlManagmentPlanComment",
                                                       kLeftCol, RowTop(1), 9900, 1000);
    ctlManagmentPlanComment->SetMultiLine(true);
    ctlManagementComment = p.Field<RichTextControl>("Management:", "ctlManagementComment", kLeftCol,
                                                    RowTop(4), 9900, 1000);
    ctlManagementComment->SetMultiLine(true);
    cboPublicAccess =
        p.Field<DataCombo>("Public Access:", "cboPublicAccess", kLeftCol, RowTop(7), 3500);
    ctlPublicAccessComments = p.Field<RichTextControl>(
        "Access Comments:", "ctlPublicAccessComments", kLeftCol, RowTop(8), 9900, 800);
    ctlPublicAccessComments->SetMultiLine(true);
    p.Caption("lblYearPlanBudget", "Year / Budget / Staff:", kLeftCol, RowTop(10) + 60, 3000);
    flexYearPlanBudget =
        p.Put<ctrlBindGrid>("flexYearPlanBudget", kLeftCol, RowTop(10) + 330, 6000, 2000);

    // The element grid is its own control; it keeps its own size.
    ControlPtr element =
        ProgIdRegistry::Instance().IsRegistered("ZELK_ManagedArea.MA_ElementGrid")
            ? AddControl("ZELK_ManagedArea.MA_ElementGrid", "ctlElement", tabManagedAreas)
            : Add<Frame>("ctlElement", tabManagedAreas);
    element->SetTabPage(PageElements);
    element->Move(kLeftCol - 120, kPageTop - 60);
    ctlElement = element.get();
}

void ManagedAreaDetails::CreateTopicsReferencesPages() {
    PagePlacer p(*this, tabManagedAreas, PageAdditionalTopics);
    lstKeywords = p.Put<ZELKKeywordLB>("lstKeywords", kLeftCol, RowTop(0), 4800, 5600);
    ctlInfrastructure = p.Field<RichTextControl>("Infrastructure:", "ctlInfrastructure",
                                                 kLeftCol + 5000, RowTop(0), 4800, 2600, 1600);
    ctlInfrastructure->SetMultiLine(true);
    ctlAdditionalTopics = p.Field<RichTextControl>("Additional Topics:", "ctlAdditionalTopics",
                                                   kLeftCol + 5000, RowTop(7), 4800, 2600, 1600);
    ctlAdditionalTopics->SetMultiLine(true);

    PagePlacer r(*this, tabManagedAreas, PageReferences);
    flexReferences = r.Put<VSFlexGrid>("flexReferences", kLeftCol, RowTop(0), 11000, 6000);
    cmdSelectReferences = Button(r, "cmdSelectReferences", "+", kLeftCol + 11100, RowTop(0));
    cmdSelectReferences->SetToolTipText("Add References");
    cmdRemoveReferenceCode = Button(r, "cmdRemoveReferenceCode", "-", kLeftCol + 11100, RowTop(1));
    cmdRemoveReferenceCode->SetToolTipText("Remove Reference");
    flexReferences->SetCols(4);
    flexReferences->SetFixedCols(0);
    flexReferences->SetColWidth(0, 15);
    static const char* const keys[] = {"ReferenceID", "ReferenceCode", "FullCitation"};
    static const long widths[] = {960, 1500, 10005};
    for (int c = 1; c <= 3; ++c) {
        flexReferences->SetColKey(c, keys[c - 1]);
        flexReferences->SetColWidth(c, widths[c - 1]);
    }
    flexReferences->SetColHidden(1, true);
}

void ManagedAreaDetails::CreateVersionAndSpatialPages() {
    PagePlacer p(*this, tabManagedAreas, PageVersionQC);
    ctlLeadResponsibility = p.Field<RichTextControl>(
        "Lead Responsibility:", "ctlLeadResponsibility", kLeftCol, RowTop(0), 3500);
    ctlVersionDate =
        p.Field<ctrlDateSelect>("Version Date:", "ctlVersionDate", kRightCol, RowTop(0), 1600);
    ctlVersionAuthor =
        p.Field<RichTextControl>("Version Author:", "ctlVersionAuthor", kLeftCol, RowTop(1), 3500);
    ctlManualFileNote = p.Field<RichTextControl>("Manual File Note:", "ctlManualFileNote", kLeftCol,
                                                 RowTop(2), 9900);
    ctlPaperMappingBy = p.Field<RichTextControl>("Paper Mapping By:", "ctlPaperMappingBy", kLeftCol,
                                                 RowTop(3), 3500);
    ctlPaperMappingDate = p.Field<ctrlDateSelect>("Paper Mapping Date:", "ctlPaperMappingDate",
                                                  kRightCol, RowTop(3), 1600);
    cboDataQCStatus =
        p.Field<DataCombo>("Data QC Status:", "cboDataQCStatus", kLeftCol, RowTop(4), 3500);
    ctlDataQCBy =
        p.Field<RichTextControl>("Data QC By:", "ctlDataQCBy", kRightCol, RowTop(4), 3500);
    ctlDigitalMappingBy = p.Field<RichTextControl>("Digital Mapping By:", "ctlDigitalMappingBy",
                                                   kLeftCol, RowTop(6), 3500);
    ctlDigitalMappingDate = p.Field<ctrlDateSelect>(
        "Digital Mapping Date:", "ctlDigitalMappingDate", kRightCol, RowTop(6), 1600);
    cboMapQCStatus =
        p.Field<DataCombo>("Map QC Status:", "cboMapQCStatus", kLeftCol, RowTop(7), 3500);
    ctlMapQCBy = p.Field<RichTextControl>("Map QC By:", "ctlMapQCBy", kRightCol, RowTop(7), 3500);
    ctlQCComments =
        p.Field<RichTextControl>("QC Comments:", "ctlQCComments", kLeftCol, RowTop(8), 9900, 1800);
    ctlQCComments->SetMultiLine(true);

    PagePlacer s(*this, tabManagedAreas, PageOtherSpatialAttr);
    flexSpatialAttributes =
        s.Put<VSFlexGrid>("flexSpatialAttributes", kLeftCol, RowTop(0), 6000, 6000);
    flexSpatialAttributes->SetCols(2);
    flexSpatialAttributes->SetFixedCols(0);
    flexSpatialAttributes->SetColKey(0, "AttributeName");
    flexSpatialAttributes->SetColWidth(0, 3495);
    flexSpatialAttributes->SetColKey(1, "AttributeValue");
    flexSpatialAttributes->SetColWidth(1, 960);
    flexSpatialAttributes->SetTextMatrix(0, 0, "Attribute Name");
    flexSpatialAttributes->SetTextMatrix(0, 1, "Attribute Value");
}

} // namespace zelk::editor
