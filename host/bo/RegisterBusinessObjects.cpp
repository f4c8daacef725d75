#include "host/bo/RegisterBusinessObjects.h"

#include "host/bo/ShapeImpl.h"

namespace zelk::bo {

namespace {
const TableDef& KeywordDomainTable() {
    static const TableDef t{"d_managed_area_keyword",
                            "d_managed_area_keyword_id",
                            "",
                            {{"ID", "d_managed_area_keyword_id", FieldKind::Long, 0, "", ""},
                             {"KeywordDesc", "keyword_desc", FieldKind::Text, 255, "", ""},
                             {"UsedBy", "used_by", FieldKind::Text, 255, "", ""}},
                            false,
                            false};
    return t;
}
const TableDef& KeywordUsedByTable() {
    static const TableDef t{
        "ma_keyword_used_by",
        "ma_keyword_used_by_id",
        "",
        {{"ID", "ma_keyword_used_by_id", FieldKind::Long, 0, "", ""},
         {"DUsedById", "d_used_by_id", FieldKind::Long, 0, "", ""},
         {"DManagedAreaKeywordID", "d_managed_area_keyword_id", FieldKind::Long, 0, "", ""}},
        false,
        false};
    return t;
}
} // namespace

void RegisterBusinessObjects(ProgIdRegistry& registry, std::shared_ptr<SqlPort> port) {
    auto store = std::make_shared<Store>(std::move(port));
    registry.Register("ZELK_ManagedAreaClient.CShape",
                      [store] { return std::make_shared<ShapeImpl>(store); });
    registry.Register("ZELK_ManagedAreaClient.CManagedArea",
                      [store] { return std::make_shared<ManagedAreaImpl>(store); });
    auto child = [&](const char* progId, const TableDef& (*def)()) {
        std::string id(progId);
        registry.Register(id, [store, id, def] {
            auto item = std::make_shared<ChildItem>(id, def(), store);
            return item;
        });
    };
    child("ZELK_ManagedAreaClient.CElement",
          []() -> const TableDef& { return ChildTable(static_cast<int>(ChildList::Elements)); });
    child("ZELK_ManagedAreaClient.COwner",
          []() -> const TableDef& { return ChildTable(static_cast<int>(ChildList::Owners)); });
    child("ZELK_ManagedAreaClient.CKeyword",
          []() -> const TableDef& { return ChildTable(static_cast<int>(ChildList::Keywords)); });
    child("ZELK_ManagedAreaClient.CDLocalJuris", &LocalJurisdictionDomainTable);
    child("ZELK_ManagedAreaClient.CDMAKeyword", &KeywordDomainTable);
    child("ZELK_ManagedAreaClient.CMAKwUsedBy", &KeywordUsedByTable);
}

} // namespace zelk::bo
