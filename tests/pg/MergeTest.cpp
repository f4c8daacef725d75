// A save refused because another user saved first, merged with what that user saved.
#include "pg/TwoDesks.h"

#include "dialogs/frmMerge.h"
#include "elementgrid/MA_ElementGrid.h"
#include "platform/ui/UiDriver.h"

#include <functional>
#include <map>
#include <vector>

namespace zelk::testing {
namespace {

using dialogs::frmMerge;

class Merge : public TwoDesks {
protected:
    // Everything the user sees on the editor: texts, captions, check boxes and grid cells.
    static std::map<std::string, std::string> Seen(editor::ManagedAreaDetails& ed) {
        std::map<std::string, std::string> out;
        std::function<void(Control&, const std::string&)> walk = [&](Control& c,
                                                                     const std::string& path) {
            const std::string name = path + c.Name();
            if (auto* t = dynamic_cast<TextBox*>(&c)) out[name] = t->Text();
            if (auto* l = dynamic_cast<Label*>(&c)) out[name] = l->Caption();
            if (auto* k = dynamic_cast<CheckBox*>(&c)) out[name] = std::to_string(k->Value());
            if (auto* r = dynamic_cast<controls::RichTextControl*>(&c)) out[name] = r->Text();
            if (auto* d = dynamic_cast<DataCombo*>(&c)) out[name] = d->BoundText();
            auto grid = [&](VSFlexGrid& g, const std::string& at) {
                for (long row = 0; row < g.Rows(); ++row)
                    for (long col = 0; col < g.Cols(); ++col)
                        out[at + "(" + std::to_string(row) + "," + std::to_string(col) + ")"] =
                            g.TextMatrix(row, col);
            };
            if (auto* g = dynamic_cast<VSFlexGrid*>(&c)) grid(*g, name);
            if (auto* b = dynamic_cast<controls::ctrlBindGrid*>(&c)) grid(b->Grid(), name);
            if (auto* f = dynamic_cast<Form*>(&c))
                for (const auto& child : f->Controls())
                    walk(*child, name + ".");
        };
        for (const auto& c : ed.Controls())
            walk(*c, "");
        for (int p = 0; p < editor::PageCount; ++p)
            out["tab" + std::to_string(p)] = ed.tabManagedAreas->TabCaption(p);
        return out;
    }
    // True when closing would ask to save: the record still counts as changed.
    bool AsksToSave(Desk& d) {
        d.host->MakeCurrent();
        const std::size_t before = ui->Messages().size();
        ui->QueueAnswer(vb::Cancel);
        const bool closes = d.editor->CanClose();
        const bool asked =
            ui->Messages().size() > before && ui->Messages().back() == Text("MGA001");
        if (!asked) ui->DropQueued();
        return asked && !closes;
    }
    // The merge window, as the next save shows it, handed to `act`.
    void OnMergeWindow(std::function<void(frmMerge&)> act) {
        ui->QueueModal("frmMerge", [act](Form& f) { act(dynamic_cast<frmMerge&>(f)); });
    }
    static std::string Cell(frmMerge& m, long row, int col) {
        return m.flexConflicts().TextMatrix(row, col);
    }
    static std::string Cell(controls::ctrlBindGrid& g, long row, const char* col) {
        return g.Grid().TextMatrix(row, g.Grid().ColIndex(col));
    }
    static long RowWith(controls::ctrlBindGrid& g, const char* col, const std::string& text) {
        for (long row = 0; row < g.Grid().Rows(); ++row)
            if (Cell(g, row, col) == text) return row;
        return -1;
    }
};

TEST_P(Merge, DisjointEditsMergeWithoutTheWindowAndTheSaveHoldsBoth) {
    OpenDesks();
    const long id = FirstId();
    const std::string oldCode = Stored(id, "old_macode");
    ann->Load(id);
    bob->Load(id);
    ann->editor->ctlMAName->UserType("Alder Marsh");
    ann->Save();
    ASSERT_TRUE(ui->Messages().empty()) << ui->Messages().front();

    bob->editor->txtOldMACode->UserType("OLD-7");
    ui->QueueAnswer(vb::Yes);
    bob->Save(); // a merge window here would have no answer queued and fail the test
    EXPECT_EQ(ui->Messages(), std::vector<std::string>{Text("MGA900")});
    EXPECT_EQ(Stored(id, "old_macode"), oldCode) << "nothing saved by the merge";
    EXPECT_EQ(bob->editor->ctlMAName->Text(), "Alder Marsh");
    EXPECT_EQ(bob->editor->txtSummaryMAName->Text(), "Alder Marsh");
    EXPECT_EQ(bob->editor->txtOldMACode->Text(), "OLD-7");
    EXPECT_TRUE(AsksToSave(*bob));

    ui->ClearLog();
    bob->Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    EXPECT_EQ(Stored(id, "managed_area_name"), "Alder Marsh");
    EXPECT_EQ(Stored(id, "old_macode"), "OLD-7");
    EXPECT_FALSE(AsksToSave(*bob));
}

TEST_P(Merge, AConflictingFieldIsListedAndKeptAsChosen) {
    OpenDesks();
    const long id = FirstId();
    const std::string loaded = Stored(id, "managed_area_name");
    ann->Load(id);
    bob->Load(id);
    ann->editor->ctlMAName->UserType("Alder Marsh");
    ann->Save();

    // Bob keeps his own name.
    bob->editor->ctlMAName->UserType("Birch Marsh");
    ui->QueueAnswer(vb::Yes);
    bool shown = false;
    OnMergeWindow([&](frmMerge& m) {
        shown = true;
        EXPECT_EQ(m.Caption(), "Merge Changes");
        ASSERT_EQ(m.flexConflicts().Rows(), 2) << "one conflict under the header";
        EXPECT_EQ(Cell(m, 1, frmMerge::ColPage), "Identifiers");
        EXPECT_EQ(Cell(m, 1, frmMerge::ColItem), "Name");
        EXPECT_EQ(Cell(m, 1, frmMerge::ColLoaded), loaded);
        EXPECT_EQ(Cell(m, 1, frmMerge::ColMine), "Birch Marsh");
        EXPECT_EQ(Cell(m, 1, frmMerge::ColTheirs), "Alder Marsh");
        EXPECT_EQ(Cell(m, 1, frmMerge::ColBy), "ann");
        EXPECT_FALSE(Cell(m, 1, frmMerge::ColOn).empty());
        EXPECT_EQ(Cell(m, 1, frmMerge::ColKeep), "Mine");
        // All theirs, then back to his own for the row.
        m.cmdAllTheirs().UserClick();
        EXPECT_EQ(Cell(m, 1, frmMerge::ColKeep), "Theirs");
        m.cmdMine().UserClick();
        EXPECT_EQ(Cell(m, 1, frmMerge::ColKeep), "Mine");
        m.cmdOK().UserClick();
    });
    bob->Save();
    EXPECT_TRUE(shown);
    EXPECT_EQ(bob->editor->ctlMAName->Text(), "Birch Marsh");
    EXPECT_EQ(Stored(id, "managed_area_name"), "Alder Marsh");
    bob->Save();
    EXPECT_EQ(Stored(id, "managed_area_name"), "Birch Marsh");

    // Ann, still on her own version, changes the name again and takes Bob's.
    ann->editor->ctlMAName->UserType("Cedar Marsh");
    ui->QueueAnswer(vb::Yes);
    OnMergeWindow([&](frmMerge& m) {
        ASSERT_EQ(m.flexConflicts().Rows(), 2);
        EXPECT_EQ(Cell(m, 1, frmMerge::ColLoaded), "Alder Marsh");
        EXPECT_EQ(Cell(m, 1, frmMerge::ColMine), "Cedar Marsh");
        EXPECT_EQ(Cell(m, 1, frmMerge::ColTheirs), "Birch Marsh");
        EXPECT_EQ(Cell(m, 1, frmMerge::ColBy), "bob");
        m.flexConflicts().UserSelect(1, frmMerge::ColTheirs);
        m.cmdTheirs().UserClick();
        EXPECT_EQ(Cell(m, 1, frmMerge::ColKeep), "Theirs");
        m.cmdOK().UserClick();
    });
    ann->Save();
    EXPECT_EQ(ann->editor->ctlMAName->Text(), "Birch Marsh");
    EXPECT_EQ(ann->Name(), "Birch Marsh");
    ui->ClearLog();
    ann->Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    EXPECT_EQ(Stored(id, "managed_area_name"), "Birch Marsh");
}

TEST_P(Merge, RowsAddedOnBothSidesStayAndARowRemovedAndEditedIsAConflict) {
    OpenDesks();
    const long id = FirstId("SELECT MIN(managed_area_id) AS id FROM managed_area_owner o WHERE "
                            "(SELECT COUNT(*) FROM managed_area_owner p WHERE p.managed_area_id = "
                            "o.managed_area_id) >= 2");
    ann->Load(id);
    bob->Load(id);
    auto& annOwners = *ann->editor->flexOwners;
    auto& bobOwners = *bob->editor->flexOwners;
    const std::string firstOwner = Cell(annOwners, 1, "OwnerName");
    const std::string secondOwner = Cell(annOwners, 2, "OwnerName");
    ASSERT_NE(firstOwner, secondOwner);

    // Ann adds an alias and removes the first owner.
    auto& annAliases = ann->editor->flexMAAlias->Grid();
    ann->host->MakeCurrent();
    ASSERT_TRUE(annAliases.UserEdit(annAliases.Rows() - 1, annAliases.ColIndex("ManagedAreaAlias"),
                                    "Ann's Alias"));
    annOwners.Grid().UserSelect(1, annOwners.Grid().ColIndex("OwnerName"));
    annOwners.Grid().UserKeyDown(key::Delete);
    ann->Save();
    ASSERT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    ASSERT_EQ(Count("SELECT COUNT(*) AS n FROM managed_area_owner WHERE owner_name = '" +
                    firstOwner + "'"),
              0);

    // Bob adds an alias, renames the owner Ann removed and changes the second one's note.
    auto& bobAliases = bob->editor->flexMAAlias->Grid();
    bob->host->MakeCurrent();
    ASSERT_TRUE(bobAliases.UserEdit(bobAliases.Rows() - 1, bobAliases.ColIndex("ManagedAreaAlias"),
                                    "Bob's Alias"));
    ASSERT_TRUE(
        bobOwners.Grid().UserEdit(1, bobOwners.Grid().ColIndex("OwnerName"), "Bob's Owner"));
    ASSERT_TRUE(bobOwners.Grid().UserEdit(2, bobOwners.Grid().ColIndex("OwnerNote"), "noted"));
    ui->QueueAnswer(vb::Yes);
    OnMergeWindow([&](frmMerge& m) {
        ASSERT_EQ(m.flexConflicts().Rows(), 2) << "only the owner both touched";
        EXPECT_EQ(Cell(m, 1, frmMerge::ColPage), "Identifiers");
        EXPECT_EQ(Cell(m, 1, frmMerge::ColItem).rfind("Owners: ", 0), 0u)
            << Cell(m, 1, frmMerge::ColItem);
        EXPECT_NE(Cell(m, 1, frmMerge::ColMine).find("Bob's Owner"), std::string::npos);
        EXPECT_NE(Cell(m, 1, frmMerge::ColLoaded).find(firstOwner), std::string::npos);
        EXPECT_EQ(Cell(m, 1, frmMerge::ColTheirs), "(removed)");
        EXPECT_EQ(Cell(m, 1, frmMerge::ColBy), "ann");
        m.cmdOK().UserClick(); // his row stays
    });
    bob->Save();
    EXPECT_GE(RowWith(*bob->editor->flexMAAlias, "ManagedAreaAlias", "Ann's Alias"), 0);
    EXPECT_GE(RowWith(*bob->editor->flexMAAlias, "ManagedAreaAlias", "Bob's Alias"), 0);
    EXPECT_GE(RowWith(bobOwners, "OwnerName", "Bob's Owner"), 0);
    const long second = RowWith(bobOwners, "OwnerName", secondOwner);
    ASSERT_GE(second, 0);
    EXPECT_EQ(Cell(bobOwners, second, "OwnerNote"), "noted");
    EXPECT_TRUE(AsksToSave(*bob));

    ui->ClearLog();
    bob->Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    const std::string ofThisOne = " AND managed_area_id = " + std::to_string(id);
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM managed_area_alias WHERE managed_area_alias IN "
                    "('Ann''s Alias', 'Bob''s Alias')" +
                    ofThisOne),
              2);
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM managed_area_owner WHERE owner_name = 'Bob''s "
                    "Owner'" +
                    ofThisOne),
              1);
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM managed_area_owner WHERE owner_note = 'noted'" +
                    ofThisOne),
              1);

    // Ann, on her version, edits the owner Bob brought back; Bob's side wins by her choice.
    ann->host->MakeCurrent();
    ASSERT_TRUE(annOwners.Grid().UserEdit(1, annOwners.Grid().ColIndex("OwnerNote"), "ann's"));
    ui->QueueAnswer(vb::Yes);
    OnMergeWindow([&](frmMerge& m) {
        ASSERT_EQ(m.flexConflicts().Rows(), 2) << "the note both changed";
        m.cmdAllTheirs().UserClick();
        m.cmdOK().UserClick();
    });
    ann->Save();
    EXPECT_GE(RowWith(annOwners, "OwnerName", "Bob's Owner"), 0);
    EXPECT_EQ(Cell(annOwners, RowWith(annOwners, "OwnerName", secondOwner), "OwnerNote"), "noted");
}

TEST_P(Merge, CancelLeavesTheEditorAsItWas) {
    OpenDesks();
    const long id = FirstId("SELECT MIN(managed_area_id) AS id FROM managed_area_owner");
    ann->Load(id);
    bob->Load(id);
    ann->editor->ctlMAName->UserType("Alder Marsh");
    ann->editor->txtOldMACode->UserType("ANN-1");
    ann->Save();

    bob->editor->ctlMAName->UserType("Birch Marsh");
    auto& owners = bob->editor->flexOwners->Grid();
    bob->host->MakeCurrent();
    ASSERT_TRUE(owners.UserEdit(1, owners.ColIndex("OwnerNote"), "bob's note"));
    bob->ShowPage(editor::PageDescriptors);
    bob->ShowPage(editor::PageIdentifiers);
    const auto before = Seen(*bob->editor);
    ui->QueueAnswer(vb::Yes);
    OnMergeWindow([](frmMerge& m) {
        m.cmdAllTheirs().UserClick();
        m.cmdCancel().UserClick();
    });
    bob->Save();
    EXPECT_EQ(Seen(*bob->editor), before);
    EXPECT_EQ(bob->editor->tabManagedAreas->ActiveTab(), editor::PageIdentifiers);
    EXPECT_EQ(bob->Name(), "Birch Marsh");
    EXPECT_TRUE(AsksToSave(*bob));
    EXPECT_EQ(Stored(id, "managed_area_name"), "Alder Marsh");

    // Nothing of the merge stays behind: the next save is refused as before, and merges.
    ui->QueueAnswer(vb::Yes);
    OnMergeWindow([](frmMerge& m) { m.cmdOK().UserClick(); });
    bob->Save();
    EXPECT_EQ(bob->editor->txtOldMACode->Text(), "ANN-1");
    EXPECT_EQ(bob->editor->ctlMAName->Text(), "Birch Marsh");
    ui->ClearLog();
    bob->Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    EXPECT_EQ(Stored(id, "managed_area_name"), "Birch Marsh");
    EXPECT_EQ(Stored(id, "old_macode"), "ANN-1");
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM managed_area_owner WHERE owner_note = 'bob''s "
                    "note' AND managed_area_id = " +
                    std::to_string(id)),
              1);
}

TEST_P(Merge, AThirdSaveDuringTheMergeIsRefusedAgainAndMergesAgain) {
    OpenDesks(true, true);
    const long id = FirstId();
    ann->Load(id);
    bob->Load(id);
    ann->editor->ctlMAName->UserType("Alder Marsh");
    ann->Save();

    bob->editor->ctlMAName->UserType("Birch Marsh");
    ui->QueueAnswer(vb::Yes);
    OnMergeWindow([&](frmMerge& m) {
        // While Bob decides, Carl reads the record and saves a change of his own.
        carl->Load(id);
        carl->editor->ctlMAType->UserType("Carl's Type");
        carl->Save();
        bob->host->MakeCurrent();
        m.cmdOK().UserClick();
    });
    bob->Save();
    EXPECT_EQ(Stored(id, "managed_area_type"), "Carl's Type");
    EXPECT_EQ(Stored(id, "managed_area_name"), "Alder Marsh");

    // Bob's merged record is of the version before Carl's save.
    ui->ClearLog();
    ui->QueueAnswer(vb::Yes);
    bob->Save();
    EXPECT_EQ(ui->Messages(), std::vector<std::string>{Text("MGA900")});
    EXPECT_EQ(Stored(id, "managed_area_name"), "Alder Marsh");
    EXPECT_EQ(bob->editor->ctlMAType->Text(), "Carl's Type");
    ui->ClearLog();
    bob->Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    EXPECT_EQ(Stored(id, "managed_area_name"), "Birch Marsh");
    EXPECT_EQ(Stored(id, "managed_area_type"), "Carl's Type");
}

TEST_P(Merge, ARecordDeletedMeanwhileIsKeptAsANewOneOrDiscarded) {
    OpenDesks();
    ann->host->Db()->Execute("UPDATE shape SET has_shape_ind = 'N'");
    const long id = FirstId("SELECT MIN(managed_area_id) AS id FROM managed_area_owner");
    const long other = FirstId("SELECT MAX(managed_area_id) AS id FROM ma");
    ASSERT_NE(id, other);
    const long owners = Count("SELECT COUNT(*) AS n FROM managed_area_owner WHERE "
                              "managed_area_id = " +
                              std::to_string(id));
    ann->Load(id);
    bob->Load(id);
    ui->QueueAnswer(vb::Yes);
    ann->Delete();
    ASSERT_EQ(Stored(id, "managed_area_name"), "<gone>");
    ui->ClearLog();

    // Bob keeps his version, owners included, as a new record.
    bob->editor->ctlMAName->UserType("Birch Marsh");
    ui->QueueAnswer(vb::Yes);
    ui->QueueAnswer(vb::Yes);
    bob->Save();
    EXPECT_EQ(ui->Messages(), (std::vector<std::string>{Text("MGA900"), Text("MGA903")}));
    EXPECT_TRUE(bob->editor->lblNewRecord->Visible());
    EXPECT_EQ(bob->editor->ctlMAName->Text(), "Birch Marsh");
    EXPECT_EQ(bob->editor->flexOwners->Grid().Rows() - 2, owners) << "header and blank row";
    ui->ClearLog();
    bob->Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    const long kept = bob->editor->GetID();
    EXPECT_GT(kept, 0);
    EXPECT_NE(kept, id);
    EXPECT_EQ(Stored(kept, "managed_area_name"), "Birch Marsh");
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM managed_area_owner WHERE managed_area_id = " +
                    std::to_string(kept)),
              owners);
    EXPECT_FALSE(bob->editor->lblNewRecord->Visible());

    // Another record goes the same way, and Bob drops his edit of it.
    ann->Load(other);
    bob->Load(other);
    ui->QueueAnswer(vb::Yes);
    ann->Delete();
    bob->editor->ctlMAName->UserType("Dropped Marsh");
    ui->ClearLog();
    ui->QueueAnswer(vb::Yes);
    ui->QueueAnswer(vb::No);
    bob->Save();
    EXPECT_EQ(ui->Messages(), (std::vector<std::string>{Text("MGA900"), Text("MGA903")}));
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM ma WHERE managed_area_name = 'Dropped Marsh'"), 0);
    EXPECT_FALSE(AsksToSave(*bob));
}

TEST_P(Merge, TheElementGridShowsTheMergedElements) {
    OpenDesks();
    const long id = FirstId("SELECT MIN(managed_area_id) AS id FROM element_managed_area e WHERE "
                            "(SELECT COUNT(*) FROM element_managed_area f WHERE "
                            "f.managed_area_id = e.managed_area_id) >= 3");
    ann->Load(id);
    bob->Load(id);
    ann->ShowPage(editor::PageElements);
    bob->ShowPage(editor::PageElements);
    auto& annGrid = dynamic_cast<elementgrid::MA_ElementGrid&>(*ann->editor->ctlElement);
    auto& bobGrid = dynamic_cast<elementgrid::MA_ElementGrid&>(*bob->editor->ctlElement);
    auto cell = [](elementgrid::MA_ElementGrid& g, long row, const char* key) {
        return g.Grid().TextMatrix(row, g.Grid().ColIndex(key));
    };
    auto status = [](elementgrid::MA_ElementGrid& g, long row, const std::string& text) {
        g.Grid().UserSelect(row, 6);
        g.Get<TextBox>("txtStatusInMA").UserType(text);
        g.Grid().UserSelect(row == 1 ? 2 : 1, 6);
    };
    const long rows = annGrid.Grid().Rows();
    const std::string third = cell(annGrid, 3, "element_managed_area_id");

    // Ann changes the first element and removes the third.
    ann->host->MakeCurrent();
    status(annGrid, 1, "Ann's status");
    annGrid.Grid().UserSelect(3, 6);
    annGrid.Get<CommandButton>("cmdRemove").UserClick();
    ann->Save();
    ASSERT_TRUE(ui->Messages().empty()) << ui->Messages().front();

    // Bob changes the second.
    bob->host->MakeCurrent();
    status(bobGrid, 2, "Bob's status");
    ui->QueueAnswer(vb::Yes);
    bob->Save();
    EXPECT_EQ(bob->editor->tabManagedAreas->ActiveTab(), editor::PageElements);
    EXPECT_EQ(bobGrid.Grid().Rows(), rows - 1);
    EXPECT_EQ(cell(bobGrid, 1, "status_in_ma"), "Ann's status");
    EXPECT_EQ(cell(bobGrid, 2, "status_in_ma"), "Bob's status");
    for (long row = 1; row < bobGrid.Grid().Rows(); ++row)
        EXPECT_NE(cell(bobGrid, row, "element_managed_area_id"), third);
    EXPECT_TRUE(AsksToSave(*bob));

    ui->ClearLog();
    bob->Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    const std::string ofThisOne = " AND managed_area_id = " + std::to_string(id);
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM element_managed_area WHERE status_in_ma IN "
                    "('Ann''s status', 'Bob''s status')" +
                    ofThisOne),
              2);
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM element_managed_area WHERE element_managed_area_id "
                    "= " +
                    third),
              0);
}

TEST_P(Merge, ARecordKeptAsANewOneTakesEveryElementOnScreen) {
    OpenDesks();
    ann->host->Db()->Execute("UPDATE shape SET has_shape_ind = 'N'");
    const long id = FirstId("SELECT MIN(managed_area_id) AS id FROM element_managed_area e WHERE "
                            "(SELECT COUNT(*) FROM element_managed_area f WHERE "
                            "f.managed_area_id = e.managed_area_id) >= 2");
    const long elements = Count("SELECT COUNT(*) AS n FROM element_managed_area WHERE "
                                "managed_area_id = " +
                                std::to_string(id));
    bob->Load(id);
    bob->ShowPage(editor::PageElements);
    auto& grid = dynamic_cast<elementgrid::MA_ElementGrid&>(*bob->editor->ctlElement);
    auto status = [&](long row, const std::string& text) {
        grid.Grid().UserSelect(row, 6);
        grid.Get<TextBox>("txtStatusInMA").UserType(text);
        grid.Grid().UserSelect(row == 1 ? 2 : 1, 6);
    };
    // A first save, after which the grid's collection holds none of the saved rows.
    status(1, "first");
    bob->Save();
    ASSERT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    ann->Load(id);
    ui->QueueAnswer(vb::Yes);
    ann->Delete();
    ASSERT_EQ(Stored(id, "managed_area_name"), "<gone>");

    bob->host->MakeCurrent();
    status(2, "second");
    ui->ClearLog();
    ui->QueueAnswer(vb::Yes);
    ui->QueueAnswer(vb::Yes);
    bob->Save();
    EXPECT_EQ(ui->Messages(), (std::vector<std::string>{Text("MGA900"), Text("MGA903")}));
    EXPECT_EQ(grid.Grid().Rows() - 2, elements) << "header and blank row";
    ui->ClearLog();
    bob->Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    const std::string kept = std::to_string(bob->editor->GetID());
    EXPECT_EQ(
        Count("SELECT COUNT(*) AS n FROM element_managed_area WHERE managed_area_id = " + kept),
        elements);
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM element_managed_area WHERE managed_area_id = " +
                    kept + " AND status_in_ma IN ('first', 'second')"),
              2);
}

INSTANTIATE_TEST_SUITE_P(Backends, Merge, ::testing::Values(false, true), BackendName);

} // namespace
} // namespace zelk::testing
