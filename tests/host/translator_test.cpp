#include "host/sql/OracleTranslator.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <string>

namespace zelk::host::sql {
namespace {

std::string Tr(const std::string& sql, Dialect d = Dialect::SQLite) {
    OracleTranslator t;
    return t.Translate(sql, d);
}

// The refusal's text, or "" when the statement was accepted.
std::string Refusal(const std::string& sql) {
    try {
        Tr(sql);
    } catch (const ComError& e) {
        return e.Description();
    }
    return "";
}

TEST(OracleTranslator, OuterJoinsBecomeLeftJoinsInDependencyOrder) {
    // The search for a name with a county: two chained outer joins, ordinary conditions kept.
    EXPECT_EQ(Tr("SELECT UNIQUE managed_area_wl_vw.* FROM managed_area_wl_vw, managed_area_county, "
                 "d_county WHERE (managed_area_wl_vw.id = managed_area_county.managed_area_id(+) "
                 "AND managed_area_county.D_COUNTY_ID = d_county.D_COUNTY_ID(+)) AND "
                 "(UPPER(managed_area_wl_vw.managed_area_name) LIKE '%OAK%' AND "
                 "UPPER(d_county.county_name) LIKE 'LA%') order by managed_area_wl_vw.id"),
              "SELECT DISTINCT managed_area_wl_vw.* FROM managed_area_wl_vw LEFT JOIN "
              "managed_area_county ON managed_area_wl_vw.id = managed_area_county.managed_area_id "
              "LEFT JOIN d_county ON managed_area_county.D_COUNTY_ID = d_county.D_COUNTY_ID WHERE "
              "UPPER(managed_area_wl_vw.managed_area_name) LIKE '%OAK%' AND "
              "UPPER(d_county.county_name) LIKE 'LA%' order by managed_area_wl_vw.id");

    // (+) on the left, a blank before it, the outer tables listed first and in reverse order,
    // an inner table beside them and a condition with a constant.
    EXPECT_EQ(Tr("select a.x from c, b, a, d where c.k (+) = b.k and b.id(+)=a.id and "
                 "a.id = d.id and c.kind(+) = 'P' and a.n > 2"),
              "select a.x from a, d LEFT JOIN b ON b.id=a.id LEFT JOIN c ON c.k = b.k AND "
              "c.kind = 'P' where a.id = d.id AND a.n > 2");
    // A backslash in a pattern matches itself on PostgreSQL too. UPPER folds there by ICU's
    // root rule, whatever the database's locale, and its result compares under the database's
    // own collation.
    EXPECT_EQ(Tr("select * from ma where UPPER(ma.manager) LIKE '%A\\B%'", Dialect::PostgreSQL),
              "select * from ma where UPPER((ma.manager) COLLATE \"und-x-icu\") COLLATE "
              "\"default\" LIKE '%A\\B%' ESCAPE ''");
    EXPECT_EQ(Tr("select upper(nvl(a.x, upper(a.y))) u from a", Dialect::PostgreSQL),
              "select upper((COALESCE(a.x, upper((a.y) COLLATE \"und-x-icu\") COLLATE "
              "\"default\")) COLLATE \"und-x-icu\") COLLATE \"default\" u from a");
    // On PostgreSQL a comma binds looser than JOIN: the ON may only name a table joined by JOIN.
    EXPECT_EQ(Tr("select a.x from c, b, a, d where c.k (+) = b.k and b.id(+)=a.id and "
                 "a.id = d.id and c.kind(+) = 'P' and a.n > 2",
                 Dialect::PostgreSQL),
              "select a.x from a CROSS JOIN d LEFT JOIN b ON b.id=a.id LEFT JOIN c ON c.k = b.k "
              "AND c.kind = 'P' where a.id = d.id AND a.n > 2");

    // The state-name search: an inner join to ma, an outer one from ma, aliases.
    EXPECT_EQ(
        Tr("SELECT v.* FROM managed_area_wl_vw v, ma, d_state s WHERE (v.id = "
           "ma.managed_area_id and ma.d_state_id = s.d_state_id (+)) AND (UPPER(s.state_name) "
           "LIKE 'N%' OR v.id = 1)"),
        "SELECT v.* FROM managed_area_wl_vw v, ma LEFT JOIN d_state s ON ma.d_state_id = "
        "s.d_state_id WHERE v.id = ma.managed_area_id AND (UPPER(s.state_name) LIKE 'N%' OR "
        "v.id = 1)");

    // Every member of a UNION on its own; the ORDER BY stays with the whole.
    EXPECT_EQ(Tr("Select e.id from e, r Where e.m = 5 AND e.r = r.r(+) UNION ALL Select e.id "
                 "from e, r Where e.r = r.r(+) order by id"),
              "Select e.id from e LEFT JOIN r ON e.r = r.r Where e.m = 5 UNION ALL Select e.id "
              "from e LEFT JOIN r ON e.r = r.r order by id");
}

TEST(OracleTranslator, RewritesOracleExpressions) {
    // '' is NULL: a comparison with it is never true, also in an UPDATE.
    EXPECT_EQ(Tr("Select ma.managed_area_id as ID from MA where ma.equi_site_id = '' and "
                 "ma.managed_area_id <> 4"),
              "Select ma.managed_area_id as ID from MA where ma.equi_site_id = NULL and "
              "ma.managed_area_id <> 4");
    EXPECT_EQ(Tr("UPDATE ma SET manager = '', mgmt_com = 'It''s' WHERE managed_area_id = 3"),
              "UPDATE ma SET manager = NULL, mgmt_com = 'It''s' WHERE managed_area_id = 3");
    EXPECT_EQ(Tr("select NVL(manager, 'none'), sysdate from ma"),
              "select COALESCE(manager, 'none'), datetime('now', 'localtime') from ma");
    EXPECT_EQ(Tr("select NVL(manager, 'none'), sysdate from ma", Dialect::PostgreSQL),
              "select COALESCE(manager, 'none'), to_char(localtimestamp, 'YYYY-MM-DD "
              "HH24:MI:SS') from ma");
    // || skips NULL operands as Oracle does, in a call and in parentheses too.
    EXPECT_EQ(Tr("select a.x || ' - ' || UPPER(a.y) from a where (a.p || a.q) = 'z'"),
              "select NULLIF(COALESCE(a.x, '') || COALESCE(' - ', '') || COALESCE(UPPER(a.y), "
              "''), '') from a where (NULLIF(COALESCE(a.p, '') || COALESCE(a.q, ''), '')) = 'z'");
    // Text values pass through untouched, whatever they hold; a NUL is built with char(0).
    EXPECT_EQ(Tr("select 1 from ma where manager = 'x''; DELETE FROM ma; -- \\ (+) '' sysdate'"),
              "select 1 from ma where manager = 'x''; DELETE FROM ma; -- \\ (+) '' sysdate'");
    EXPECT_EQ(Tr(std::string("select 1 from ma where manager = 'a\0b'", 38)),
              "select 1 from ma where manager = ('a'||char(0)||'b')");
    EXPECT_EQ(Tr("SELECT UNIQUE * FROM managed_area_wl_vw ORDER BY managed_area_wl_vw.id;"),
              "SELECT DISTINCT * FROM managed_area_wl_vw ORDER BY managed_area_wl_vw.id");

    // Whole numbers divide as in Oracle, with their fraction.
    EXPECT_EQ(Tr("select a.n / 2, (a.x + 1)/a.y / 3 from a"),
              "select a.n * 1.0 / 2, (a.x + 1)*1.0/a.y * 1.0 / 3 from a");

    OracleTranslator cached;
    const std::string sql = "select * from MANAGED_AREA_WL_VW WHERE ID=7";
    EXPECT_EQ(cached.Translate(sql), sql);
    EXPECT_EQ(cached.Translate(sql), sql);
    EXPECT_EQ(cached.CachedCount(), 1u);
}

TEST(OracleTranslator, EveryLikePatternMatchesABackslashOnPostgreSQL) {
    const auto pg = Dialect::PostgreSQL;
    EXPECT_EQ(Tr("select 1 from a where a.x NOT LIKE '%\\%' and a.y LIKE a.p", pg),
              "select 1 from a where a.x NOT LIKE '%\\%' ESCAPE '' and a.y LIKE a.p ESCAPE ''");
    EXPECT_EQ(Tr("select 1 from a where UPPER(a.x) LIKE '%' || UPPER(a.p) || '%' order by 1", pg),
              "select 1 from a where UPPER((a.x) COLLATE \"und-x-icu\") COLLATE \"default\" "
              "LIKE NULLIF(COALESCE('%', '') || COALESCE(UPPER((a.p) COLLATE \"und-x-icu\") "
              "COLLATE \"default\", '') || COALESCE('%', ''), '') ESCAPE '' order by 1");
    EXPECT_EQ(Tr("select 1 from a where (a.x LIKE UPPER(a.p)) or a.y LIKE CASE WHEN a.k = 1 "
                 "THEN 'x%' ELSE a.q END",
                 pg),
              "select 1 from a where (a.x LIKE UPPER((a.p) COLLATE \"und-x-icu\") COLLATE "
              "\"default\" ESCAPE '') or a.y LIKE CASE WHEN a.k = 1 THEN 'x%' ELSE a.q END "
              "ESCAPE ''");
    // After an outer join is rewritten; a pattern with its own escape keeps it.
    EXPECT_EQ(Tr("select 1 from a, b where a.i = b.i(+) and b.n LIKE 'N%' and a.x LIKE "
                 "'a!%' ESCAPE '!'",
                 pg),
              "select 1 from a LEFT JOIN b ON a.i = b.i where b.n LIKE 'N%' ESCAPE '' AND a.x "
              "LIKE 'a!%' ESCAPE '!'");
    // SQLite has no escape character unless one is named.
    EXPECT_EQ(Tr("select 1 from a where a.x NOT LIKE a.p"),
              "select 1 from a where a.x NOT LIKE a.p");
}

TEST(OracleTranslator, RefusesWhatItDoesNotTranslate) {
    const std::pair<const char*, const char*> cases[] = {
        {"select 1 from ma where rownum < 5", "Unsupported SQL: ROWNUM."},
        {"select id from t connect by prior id = pid", "Unsupported SQL: CONNECT BY."},
        {"select decode(a, 1, 'x') from t", "Unsupported SQL: the function DECODE."},
        {"select to_char(sysdate, 'YYYY') from t", "Unsupported SQL: the function TO_CHAR."},
        {"select 1 from t where d = to_date('2001', 'YYYY')",
         "Unsupported SQL: the function TO_DATE."},
        {"select sysdate from dual", "Unsupported SQL: DUAL."},
        {"select a from t minus select a from u", "Unsupported SQL: MINUS."},
        {"select nvl(a, b, c) from t", "Unsupported SQL: NVL without exactly two values."},
        {"select a.x from a, b where a.id = b.id(+) or a.y = 1",
         "Unsupported SQL: (+) in a condition joined with OR."},
        {"select b.x(+) from a, b where a.id = b.id",
         "Unsupported SQL: (+) outside the WHERE clause."},
        {"select 1 from a, b where a.id > b.id(+)",
         "Unsupported SQL: (+) in a condition other than an equality."},
        {"select 1 from a, b where a.id(+) = b.id(+)",
         "Unsupported SQL: (+) on both sides of a comparison."},
        {"select 1 from a, b where a.id = b.id(+) and b.k = a.k(+)",
         "Unsupported SQL: (+) on every table of the FROM clause."},
        {"select 1 from a, b, c where a.i = b.i and b.k = c.k(+) and c.j = b.j(+)",
         "Unsupported SQL: (+) outer joins that form a cycle."},
        {"select 1 from a, b where a.id = c.id(+)",
         "Unsupported SQL: (+) with c, which is not a table of the FROM clause."},
        {"select 1 from a, b where a.id = b.id(+) + 1",
         "Unsupported SQL: (+) in a comparison with an expression."},
        {"select 1 from a where exists (select 1 from b, c where b.i = c.i(+))",
         "Unsupported SQL: (+) inside a subquery."},
        {"select 1 from a join b on a.i = b.i where a.i = b.j(+)",
         "Unsupported SQL: (+) together with JOIN."},
        {"select 1 from a, b where a.id = UPPER(b.id)(+)",
         "Unsupported SQL: (+) after something other than a qualified column."},
        {"update a set x = 1 where a.i = b.i(+)", "Unsupported SQL: (+) outside a query."},
        {"select a || b + 1 from t", "Unsupported SQL: || next to + - * / without parentheses."},
        {"select 1 from ma; delete from ma", "Unsupported SQL: several statements in one text."},
        {"select 1 from ma -- x", "Unsupported SQL: comments (--)."},
        {"select \"x\" from ma", "Unsupported SQL: quoted identifiers."},
        {"select 1 from ma where id = :id", "Unsupported SQL: bind variables."},
        {"drop table ma", "Unsupported SQL: the statement DROP."},
        {"pragma writable_schema = 1", "Unsupported SQL: the statement PRAGMA."},
        {"select 1 from ma where x = q'[it's]'", "Unsupported SQL: q'...' text values."},
        {"select 1 from ma where x = Q'!a!'", "Unsupported SQL: q'...' text values."},
        {"select 1 from ma where x = nq'<a>'", "Unsupported SQL: q'...' text values."},
        {"select 1 from ma where x = N'abc'", "Unsupported SQL: N'...' text values."},
        {"select 1 from ma where x = n''", "Unsupported SQL: N'...' text values."},
        {"select 1 from ma where x = 'open",
         "Invalid SQL: a text value without its closing quote."},
        {"select (1 from ma", "Invalid SQL: an opening parenthesis without its closing one."},
    };
    for (const auto& [sql, text] : cases)
        EXPECT_EQ(Refusal(sql), text) << sql;
}

} // namespace
} // namespace zelk::host::sql
