-- Managed area database, SQLite dialect.
--
-- Column names follow the statements the managed area module sends (lower case with
-- underscores). Text that the module treats as empty is stored as NULL: the data service binds
-- '' as NULL, and the dialect translator turns the literal '' into NULL, as the module's home
-- database does. Dates are ISO text, 'YYYY-MM-DD HH:MM:SS'.
--
-- Every child row carries the four user stamps (rec_create_user, rec_create_date,
-- rec_last_mod_user, rec_last_mod_date). Audit triggers for ma, shape and the child tables
-- are generated from the catalogue after this script runs (see Schema.cpp), so a
-- column added here is audited without a second edit.

CREATE TABLE schema_version (
    version      INTEGER NOT NULL,
    applied_date TEXT    NOT NULL DEFAULT (datetime('now'))
);
INSERT INTO schema_version (version) VALUES (1);

---------------------------------------------------------------------------------------------
-- Organisation, users and roles
---------------------------------------------------------------------------------------------
CREATE TABLE org_unit (
    org_unit_id   INTEGER PRIMARY KEY,
    org_unit_code TEXT NOT NULL UNIQUE,
    org_unit_name TEXT NOT NULL
);

-- access_level: 'F' full, 'R' read-only. A user without a row reads only.
CREATE TABLE app_user (
    user_id      INTEGER PRIMARY KEY,
    user_name    TEXT NOT NULL UNIQUE COLLATE NOCASE,
    org_unit_id  INTEGER REFERENCES org_unit (org_unit_id),
    access_level TEXT NOT NULL DEFAULT 'F' CHECK (access_level IN ('F', 'R'))
);

-- Per-user options (saved searches, search defaults): an option belongs to a category and
-- to a user (the user ID the host hands its clients); its value is text, usually XML, kept
-- as written. Options are only stored under a category that exists, so the categories the
-- search uses are created here.
CREATE TABLE user_option_category (
    user_option_category_id INTEGER PRIMARY KEY,
    category_name           TEXT NOT NULL UNIQUE
);
INSERT INTO user_option_category (category_name)
VALUES ('$DEFAULT_FIND_PROPERTIES'), ('$DEFAULT_FIND_CRITERIA'), ('$USER_FIND_MANAGED_AREA');

CREATE TABLE user_option (
    user_option_id          INTEGER PRIMARY KEY,
    user_option_category_id INTEGER NOT NULL
                            REFERENCES user_option_category (user_option_category_id),
    user_id                 INTEGER NOT NULL,
    option_name             TEXT NOT NULL,
    option_value            TEXT,
    UNIQUE (user_option_category_id, user_id, option_name)
);

---------------------------------------------------------------------------------------------
-- Domains: an ID, display_value, display_order, and descriptive columns
---------------------------------------------------------------------------------------------
CREATE TABLE d_nation (
    nation_id     INTEGER PRIMARY KEY,
    display_value TEXT NOT NULL,
    display_order INTEGER,
    default_ind   TEXT DEFAULT 'N',
    nation_code   TEXT,
    nation_name   TEXT
);

CREATE TABLE d_state (
    d_state_id    INTEGER PRIMARY KEY,
    display_value TEXT NOT NULL,
    display_order INTEGER,
    default_ind   TEXT DEFAULT 'N',
    nation_id     INTEGER REFERENCES d_nation (nation_id),
    state_code    TEXT,
    state_name    TEXT,
    fips_code     TEXT
);
CREATE INDEX d_state_code_ix ON d_state (state_code);

-- d_county_id is the five-digit FIPS code (state * 1000 + county).
CREATE TABLE d_county (
    d_county_id   INTEGER PRIMARY KEY,
    display_value TEXT,
    display_order INTEGER,
    d_state_id    INTEGER REFERENCES d_state (d_state_id),
    county_name   TEXT NOT NULL,
    fips_code     TEXT,
    fips_class    TEXT
);
CREATE INDEX d_county_state_ix ON d_county (d_state_id);

CREATE TABLE d_local_jurisdiction (
    d_local_jurisdiction_id INTEGER PRIMARY KEY,
    display_value           TEXT,
    display_order           INTEGER,
    d_state_id              INTEGER REFERENCES d_state (d_state_id),
    local_jurisdiction_desc TEXT NOT NULL
);

CREATE TABLE d_mapsheet (
    d_mapsheet_id INTEGER PRIMARY KEY,
    display_value TEXT,
    display_order INTEGER,
    mapsheet_cd   TEXT NOT NULL,
    mapsheet_name TEXT,
    dot_num       TEXT,
    margin_num    TEXT,
    ten_ten       TEXT
);

-- The small coded domains of the pages and grids share one shape.
-- Owner types are ordered by their description, owner_type_desc, in the owners grid.
CREATE TABLE d_owner_type (d_owner_type_id INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, owner_type_desc TEXT);
CREATE TABLE d_protection_level (d_protection_level_id INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, description TEXT);
CREATE TABLE d_iucn_category (d_iucn_category_id INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, description TEXT);
CREATE TABLE d_public_access (d_public_access_id INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, description TEXT);
CREATE TABLE d_data_qc_status (d_data_qc_status_id INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, data_qc_status_desc TEXT);
CREATE TABLE d_map_qc_status (map_qc_status INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, description TEXT);
CREATE TABLE d_managed_area_type (d_managed_area_type_id INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, description TEXT);
CREATE TABLE d_managed_area_keyword (d_managed_area_keyword_id INTEGER PRIMARY KEY, display_value TEXT, display_order INTEGER, keyword_desc TEXT NOT NULL);
-- Who uses a keyword: the keyword list files each keyword under its users.
CREATE TABLE d_used_by (d_used_by_id INTEGER PRIMARY KEY, display_value TEXT, display_order INTEGER, used_by_desc TEXT NOT NULL);
CREATE TABLE ma_keyword_used_by (
    ma_keyword_used_by_id     INTEGER PRIMARY KEY,
    d_managed_area_keyword_id INTEGER NOT NULL REFERENCES d_managed_area_keyword (d_managed_area_keyword_id),
    d_used_by_id              INTEGER NOT NULL REFERENCES d_used_by (d_used_by_id),
    UNIQUE (d_managed_area_keyword_id, d_used_by_id)
);
CREATE TABLE d_origin (d_origin_id INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, description TEXT);
CREATE TABLE d_regularity (d_regularity_id INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, description TEXT);
CREATE TABLE d_dist_confidence (d_dist_confidence_id INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, description TEXT);
CREATE TABLE d_curr_presence_absence (d_curr_presence_absence_id INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, description TEXT);
CREATE TABLE d_population (d_population_id INTEGER PRIMARY KEY, display_value TEXT NOT NULL, display_order INTEGER, description TEXT);

---------------------------------------------------------------------------------------------
-- Other modules' records the managed area links to
---------------------------------------------------------------------------------------------
CREATE TABLE conservation_site (
    conservation_site_id INTEGER PRIMARY KEY,
    site_code            TEXT,
    site_name            TEXT NOT NULL,
    d_state_id           INTEGER REFERENCES d_state (d_state_id),
    site_desc            TEXT
);

CREATE TABLE reference (
    reference_id   INTEGER PRIMARY KEY,
    reference_code TEXT NOT NULL,
    full_citation  TEXT,
    short_citation TEXT,
    pub_year       INTEGER
);

-- Elements at the three levels: one scientific name each, a level rank and a common name.
CREATE TABLE scientific_name (
    scientific_name_id INTEGER PRIMARY KEY,
    scientific_name    TEXT NOT NULL
);
CREATE TABLE element_global (
    element_global_id     INTEGER PRIMARY KEY,
    gname_id              INTEGER NOT NULL REFERENCES scientific_name (scientific_name_id),
    g_primary_common_name TEXT,
    g_rank                TEXT
);
CREATE TABLE element_national (
    element_national_id   INTEGER PRIMARY KEY,
    element_global_id     INTEGER REFERENCES element_global (element_global_id),
    nation_id             INTEGER REFERENCES d_nation (nation_id),
    nname_id              INTEGER NOT NULL REFERENCES scientific_name (scientific_name_id),
    n_primary_common_name TEXT,
    n_rank                TEXT
);
CREATE TABLE element_subnational (
    element_subnational_id INTEGER PRIMARY KEY,
    element_national_id    INTEGER REFERENCES element_national (element_national_id),
    d_state_id             INTEGER REFERENCES d_state (d_state_id),
    sname_id               INTEGER NOT NULL REFERENCES scientific_name (scientific_name_id),
    s_primary_common_name  TEXT,
    s_rank                 TEXT
);

---------------------------------------------------------------------------------------------
-- The managed area record: its shape, the managed area row and the child tables
---------------------------------------------------------------------------------------------
CREATE TABLE shape (
    shape_id             INTEGER PRIMARY KEY,
    has_shape_ind        TEXT NOT NULL DEFAULT 'N' CHECK (has_shape_ind IN ('Y', 'N')),
    digital_mapping_by   TEXT,
    digital_mapping_date TEXT,
    map_qc_status        INTEGER REFERENCES d_map_qc_status (map_qc_status),
    map_qc_by            TEXT,
    qc_com               TEXT,
    org_unit_id          INTEGER REFERENCES org_unit (org_unit_id),
    rec_create_user      TEXT,
    rec_create_date      TEXT,
    rec_last_mod_user    TEXT,
    rec_last_mod_date    TEXT
);

-- Spatial attributes other than the managed area's own (perimeter, centroid, ...).
CREATE TABLE shape_attribute (
    shape_attribute_id INTEGER PRIMARY KEY,
    shape_id           INTEGER NOT NULL REFERENCES shape (shape_id),
    attribute_name     TEXT NOT NULL,
    attribute_value    TEXT
);
CREATE INDEX shape_attribute_shape_ix ON shape_attribute (shape_id);

CREATE TABLE ma (
    managed_area_id             INTEGER PRIMARY KEY,
    shape_id                    INTEGER NOT NULL REFERENCES shape (shape_id),
    macode_bcd                  TEXT,
    old_macode                  TEXT,
    managed_area_name           TEXT NOT NULL,
    managed_area_type           TEXT,
    equi_site_id                TEXT,
    equi_site_name              TEXT,
    major_ma_id                 INTEGER REFERENCES ma (managed_area_id) ON DELETE SET NULL,
    nation_id                   INTEGER REFERENCES d_nation (nation_id),
    d_state_id                  INTEGER REFERENCES d_state (d_state_id),
    latitude                    TEXT,
    longitude                   TEXT,
    north                       TEXT,
    south                       TEXT,
    east                        TEXT,
    west                        TEXT,
    managed_area_desc           TEXT,
    total_area_acres            REAL,
    total_area_hectares         REAL,
    area_in_state_acres         REAL,
    area_in_state_hectares      REAL,
    managed_area_com            TEXT,
    multi_juris_ind             TEXT,
    boundaries_mapped_ind       TEXT,
    contiguous_ind              TEXT,
    d_protection_level_id       INTEGER REFERENCES d_protection_level (d_protection_level_id),
    d_iucn_category_id          INTEGER REFERENCES d_iucn_category (d_iucn_category_id),
    legal_prot_com              TEXT,
    land_tenure_com             TEXT,
    manager                     TEXT,
    manager_institution         TEXT,
    manager_addr1               TEXT,
    manager_addr2               TEXT,
    manager_city                TEXT,
    manager_state_id            INTEGER REFERENCES d_state (d_state_id),
    manager_country             TEXT,
    manager_postal_cd           TEXT,
    manager_phone               TEXT,
    cooperating_institutions    TEXT,
    cooperating_institution_com TEXT,
    mgmt_plan_ind               TEXT,
    mgmt_plan_com               TEXT,
    mgmt_com                    TEXT,
    d_public_access_id          INTEGER REFERENCES d_public_access (d_public_access_id),
    public_access_com           TEXT,
    infrastructure              TEXT,
    additional_topics           TEXT,
    lead_resp                   TEXT,
    version_date                TEXT,
    version_author_name         TEXT,
    manual_file_note            TEXT,
    paper_mapping_by            TEXT,
    paper_mapping_date          TEXT,
    d_data_qc_status_id         INTEGER REFERENCES d_data_qc_status (d_data_qc_status_id),
    data_qc_by                  TEXT,
    org_unit_id                 INTEGER REFERENCES org_unit (org_unit_id),
    rec_create_user             TEXT,
    rec_create_date             TEXT,
    rec_last_mod_user           TEXT,
    rec_last_mod_date           TEXT
);
CREATE INDEX ma_shape_ix ON ma (shape_id);
CREATE INDEX ma_macode_ix ON ma (macode_bcd);
CREATE INDEX ma_equi_site_ix ON ma (equi_site_id);
CREATE INDEX ma_state_ix ON ma (d_state_id);

-- Child tables. Each references its managed area; the delete procedure removes them
-- explicitly (no cascade), so that every removed row is audited by the same path.
CREATE TABLE managed_area_owner (
    managed_area_owner_id INTEGER PRIMARY KEY,
    managed_area_id       INTEGER NOT NULL REFERENCES ma (managed_area_id),
    d_owner_type_id       INTEGER REFERENCES d_owner_type (d_owner_type_id),
    owner_name            TEXT,
    owner_note            TEXT,
    primary_owner_ind     TEXT,
    display_order         INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX managed_area_owner_ma_ix ON managed_area_owner (managed_area_id);

CREATE TABLE managed_area_alias (
    managed_area_alias_id INTEGER PRIMARY KEY,
    managed_area_id       INTEGER NOT NULL REFERENCES ma (managed_area_id),
    managed_area_alias    TEXT NOT NULL,
    display_order         INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX managed_area_alias_ma_ix ON managed_area_alias (managed_area_id);

CREATE TABLE managed_area_county (
    managed_area_county_id INTEGER PRIMARY KEY,
    managed_area_id        INTEGER NOT NULL REFERENCES ma (managed_area_id),
    d_county_id            INTEGER NOT NULL REFERENCES d_county (d_county_id),
    display_order          INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX managed_area_county_ma_ix ON managed_area_county (managed_area_id);

CREATE TABLE managed_area_local_juris (
    managed_area_local_juris_id INTEGER PRIMARY KEY,
    managed_area_id             INTEGER NOT NULL REFERENCES ma (managed_area_id),
    d_local_jurisdiction_id     INTEGER NOT NULL REFERENCES d_local_jurisdiction (d_local_jurisdiction_id),
    display_order               INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX managed_area_local_juris_ma_ix ON managed_area_local_juris (managed_area_id);

CREATE TABLE managed_area_mapsheet (
    managed_area_mapsheet_id INTEGER PRIMARY KEY,
    managed_area_id          INTEGER NOT NULL REFERENCES ma (managed_area_id),
    d_mapsheet_id            INTEGER NOT NULL REFERENCES d_mapsheet (d_mapsheet_id),
    display_order            INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX managed_area_mapsheet_ma_ix ON managed_area_mapsheet (managed_area_id);

CREATE TABLE managed_area_site (
    managed_area_site_id INTEGER PRIMARY KEY,
    managed_area_id      INTEGER NOT NULL REFERENCES ma (managed_area_id),
    conservation_site_id INTEGER NOT NULL REFERENCES conservation_site (conservation_site_id),
    display_order        INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX managed_area_site_ma_ix ON managed_area_site (managed_area_id);

CREATE TABLE managed_area_reference (
    managed_area_reference_id INTEGER PRIMARY KEY,
    managed_area_id           INTEGER NOT NULL REFERENCES ma (managed_area_id),
    reference_id              INTEGER NOT NULL REFERENCES reference (reference_id),
    display_order             INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX managed_area_reference_ma_ix ON managed_area_reference (managed_area_id);

-- Township / range / section.
CREATE TABLE managed_area_trs (
    managed_area_trs_id INTEGER PRIMARY KEY,
    managed_area_id     INTEGER NOT NULL REFERENCES ma (managed_area_id),
    town_range          TEXT,
    section             TEXT,
    meridian            TEXT,
    trs_note            TEXT,
    display_order       INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX managed_area_trs_ma_ix ON managed_area_trs (managed_area_id);

CREATE TABLE managed_area_legal (
    managed_area_legal_id INTEGER PRIMARY KEY,
    managed_area_id       INTEGER NOT NULL REFERENCES ma (managed_area_id),
    legal_date            TEXT,
    legal_act             TEXT,
    display_order         INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX managed_area_legal_ma_ix ON managed_area_legal (managed_area_id);

-- Year, management plan budget and staff.
CREATE TABLE managed_area_mgmt_year (
    managed_area_mgmt_year_id INTEGER PRIMARY KEY,
    managed_area_id           INTEGER NOT NULL REFERENCES ma (managed_area_id),
    managed_area_mgmt_year    INTEGER,
    managed_area_mgmt_budget  REAL,
    managed_area_mgmt_staff   REAL,
    display_order             INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX managed_area_mgmt_year_ma_ix ON managed_area_mgmt_year (managed_area_id);

CREATE TABLE managed_area_keyword (
    managed_area_keyword_id   INTEGER PRIMARY KEY,
    managed_area_id           INTEGER NOT NULL REFERENCES ma (managed_area_id),
    d_managed_area_keyword_id INTEGER NOT NULL REFERENCES d_managed_area_keyword (d_managed_area_keyword_id),
    display_order             INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX managed_area_keyword_ma_ix ON managed_area_keyword (managed_area_id);

-- Elements recorded in the managed area, at one of the three levels.
CREATE TABLE element_managed_area (
    element_managed_area_id    INTEGER PRIMARY KEY,
    managed_area_id            INTEGER NOT NULL REFERENCES ma (managed_area_id),
    element_global_id          INTEGER REFERENCES element_global (element_global_id),
    element_national_id        INTEGER REFERENCES element_national (element_national_id),
    element_subnational_id     INTEGER REFERENCES element_subnational (element_subnational_id),
    reference_id               INTEGER REFERENCES reference (reference_id),
    d_origin_id                INTEGER REFERENCES d_origin (d_origin_id),
    d_regularity_id            INTEGER REFERENCES d_regularity (d_regularity_id),
    d_dist_confidence_id       INTEGER REFERENCES d_dist_confidence (d_dist_confidence_id),
    d_curr_presence_absence_id INTEGER REFERENCES d_curr_presence_absence (d_curr_presence_absence_id),
    d_population_id            INTEGER REFERENCES d_population (d_population_id),
    status_in_ma               TEXT,
    ma_distribution_com        TEXT,
    display_order              INTEGER,
    rec_create_user TEXT, rec_create_date TEXT, rec_last_mod_user TEXT, rec_last_mod_date TEXT
);
CREATE INDEX element_managed_area_ma_ix ON element_managed_area (managed_area_id);

---------------------------------------------------------------------------------------------
-- Audit: one row per changed column of an update, one per inserted or deleted row.
-- table_kind is 'MA' for the managed area and its child tables, 'SHAPE' for the shape;
-- record_id is the managed area or shape the row belongs to; primary_key is the row's own ID.
---------------------------------------------------------------------------------------------
CREATE TABLE audit_log (
    audit_log_id INTEGER PRIMARY KEY,
    audit_date   TEXT NOT NULL DEFAULT (datetime('now')),
    user_name    TEXT,
    table_name   TEXT NOT NULL,
    table_kind   TEXT NOT NULL,
    action       TEXT NOT NULL CHECK (action IN ('I', 'U', 'D')),
    column_name  TEXT,
    old_value    TEXT,
    new_value    TEXT,
    comments     TEXT,
    primary_key  INTEGER,
    record_id    INTEGER,
    org_unit_id  INTEGER
);
CREATE INDEX audit_log_record_ix ON audit_log (table_kind, record_id);

-- Edits that the host's change recorder kept for a record, written when the record is saved:
-- which control of which component changed, from what to what.
CREATE TABLE change_journal (
    change_journal_id INTEGER PRIMARY KEY,
    change_date       TEXT NOT NULL DEFAULT (datetime('now')),
    user_id           INTEGER,
    component_name    TEXT NOT NULL,
    record_id         INTEGER,
    control_name      TEXT NOT NULL,
    old_value         TEXT,
    new_value         TEXT
);
CREATE INDEX change_journal_record_ix ON change_journal (component_name, record_id);

---------------------------------------------------------------------------------------------
-- Working-list views
---------------------------------------------------------------------------------------------
-- One row per managed area; id first, the search compares macode and state.
CREATE VIEW managed_area_wl_vw AS
SELECT ma.managed_area_id   AS id,
       ma.managed_area_name AS managed_area_name,
       ma.managed_area_desc AS managed_area_desc,
       ma.managed_area_type AS managed_area_type,
       ma.macode_bcd        AS macode,
       d_state.state_code   AS state,
       ma.shape_id          AS shape_id
  FROM ma LEFT JOIN d_state ON d_state.d_state_id = ma.d_state_id;

CREATE VIEW REFERENCE_WL_VW AS
SELECT reference.reference_id   AS id,
       reference.reference_code AS reference_code,
       reference.full_citation  AS full_citation
  FROM reference;

CREATE VIEW site_wl_vw AS
SELECT conservation_site.conservation_site_id AS id,
       conservation_site.site_code            AS site_code,
       conservation_site.site_name            AS site_name,
       d_state.state_code                     AS state
  FROM conservation_site LEFT JOIN d_state ON d_state.d_state_id = conservation_site.d_state_id;

CREATE VIEW element_wl_vw AS
SELECT element_global.element_global_id       AS id,
       scientific_name.scientific_name        AS scientific_name,
       element_global.g_primary_common_name   AS common_name,
       element_global.g_rank                  AS rank
  FROM element_global JOIN scientific_name ON scientific_name.scientific_name_id = element_global.gname_id;

---------------------------------------------------------------------------------------------
-- Version 2: every managed area record carries a row version. A save or delete names the
-- version it read and raises it by one; when another user saved in between, the version no
-- longer matches and nothing is written. Child rows are covered by their managed area's
-- version. Databases of version 1 get the column when first opened (see Schema.cpp).
---------------------------------------------------------------------------------------------
ALTER TABLE ma ADD COLUMN row_version INTEGER NOT NULL DEFAULT 1;
UPDATE schema_version SET version = 2;
