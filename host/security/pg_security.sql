-- Rights on a PostgreSQL managed area database, enforced by the server.
--
-- Three group roles per database, named after it and kept in security_role: readers may
-- read everything and keep their own search options; editors may also change the records
-- and run the delete and copy procedures; administrators may also manage users. Users are
-- login roles that are members of one group; app_user keeps their organisation unit.
-- Identifiers are always quoted by the server (format %I), never by the client.
--
-- Run by whoever creates the database (superuser or a role with CREATEROLE that owns the
-- database); that role becomes the first administrator.

CREATE TABLE IF NOT EXISTS security_role (
    access_level TEXT PRIMARY KEY CHECK (access_level IN ('R', 'E', 'A')),
    role_name    TEXT NOT NULL UNIQUE
);

DO $zelk$
DECLARE
    g record;
    r text;
BEGIN
    FOR g IN SELECT * FROM (VALUES ('R', 'reader'), ('E', 'editor'), ('A', 'admin')) AS v(lvl, suffix)
    LOOP
        CONTINUE WHEN EXISTS (SELECT 1 FROM security_role WHERE access_level = g.lvl);
        -- Role names are cluster-wide; the database name keeps two databases' groups apart.
        r := left(current_database(), 48) || '_' || g.suffix;
        IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = r AND (rolcanlogin OR rolsuper)) THEN
            RAISE EXCEPTION 'The role % exists and is not a group role.', r;
        END IF;
        IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = r) THEN
            EXECUTE format('CREATE ROLE %I NOLOGIN', r);
        END IF;
        INSERT INTO security_role (access_level, role_name) VALUES (g.lvl, r);
    END LOOP;
END
$zelk$;

CREATE OR REPLACE FUNCTION zelk_role(p_level text) RETURNS text LANGUAGE sql STABLE AS
$$ SELECT role_name FROM security_role WHERE access_level = p_level $$;

-- 'A' administer, 'E' edit, 'R' read, 'N' none; superusers administer.
CREATE OR REPLACE FUNCTION zelk_access(p_user text) RETURNS text LANGUAGE sql STABLE AS $$
SELECT CASE
         WHEN NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = (p_user COLLATE "C")) THEN 'N'
         WHEN pg_has_role(p_user, zelk_role('A'), 'MEMBER') THEN 'A'
         WHEN pg_has_role(p_user, zelk_role('E'), 'MEMBER') THEN 'E'
         WHEN pg_has_role(p_user, zelk_role('R'), 'MEMBER') THEN 'R'
         ELSE 'N'
       END $$;

-- The audit trail names the server's session user, whatever the client says.
CREATE OR REPLACE FUNCTION zelk_user() RETURNS text LANGUAGE sql STABLE AS
$$ SELECT session_user::text $$;
CREATE OR REPLACE FUNCTION zelk_org_unit() RETURNS integer LANGUAGE sql STABLE AS $$
SELECT COALESCE((SELECT org_unit_id FROM app_user WHERE user_name = session_user::text COLLATE nocase),
                (SELECT MIN(org_unit_id) FROM org_unit))::integer $$;

---------------------------------------------------------------------------------------------
-- The server procedures the host calls for Delete and Copy. They run with the caller's
-- rights, and only editors may call them.
---------------------------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION zelk_referencing(p_parent text)
RETURNS TABLE (tbl text, col text) LANGUAGE sql STABLE AS $$
  SELECT m.name, f."from" FROM sqlite_master m, pragma_foreign_key_list(m.name) f
   WHERE m.type = 'table' AND lower(f."table") = p_parent ORDER BY m.name $$;

CREATE OR REPLACE FUNCTION delete_ma_data(p_id bigint) RETURNS boolean LANGUAGE plpgsql AS $zelk$
DECLARE
    s bigint;
    r record;
BEGIN
    SELECT shape_id INTO s FROM ma WHERE managed_area_id = p_id;
    IF NOT FOUND THEN
        RETURN false;
    END IF;
    FOR r IN SELECT * FROM zelk_referencing('ma') LOOP
        IF r.tbl = 'ma' THEN
            EXECUTE format('UPDATE ma SET %I = NULL WHERE %I = $1', r.col, r.col) USING p_id;
        ELSE
            EXECUTE format('DELETE FROM %I WHERE %I = $1', r.tbl, r.col) USING p_id;
        END IF;
    END LOOP;
    DELETE FROM ma WHERE managed_area_id = p_id;
    IF NOT EXISTS (SELECT 1 FROM ma WHERE shape_id = s) THEN
        FOR r IN SELECT * FROM zelk_referencing('shape') WHERE tbl <> 'ma' LOOP
            EXECUTE format('DELETE FROM %I WHERE %I = $1', r.tbl, r.col) USING s;
        END LOOP;
        DELETE FROM shape WHERE shape_id = s;
    END IF;
    RETURN true;
END
$zelk$;

-- Copies of the source's child rows in one table that the target lacks, after the target's
-- own in display order.
CREATE OR REPLACE FUNCTION zelk_copy_children(t text, m text, p_source bigint, p_target bigint,
                                              who text, stamp text)
RETURNS void LANGUAGE plpgsql AS $zelk$
DECLARE
    c record;
    key_col text;
    has_order boolean := false;
    has_stamps boolean := false;
    data text[] := '{}';
    same text[];
    cols text;
    vals text;
    ord text;
    match text := '';
BEGIN
    FOR c IN SELECT p.name AS column_name, p.pk AS is_key FROM pragma_table_info(t) p ORDER BY p.cid LOOP
        IF c.is_key > 0 THEN
            key_col := c.column_name;
        ELSIF c.column_name = m THEN
            NULL;
        ELSIF c.column_name = 'display_order' THEN
            has_order := true;
        ELSIF c.column_name IN ('rec_create_user', 'rec_create_date', 'rec_last_mod_user',
                                'rec_last_mod_date') THEN
            has_stamps := true;
        ELSE
            data := data || c.column_name;
        END IF;
    END LOOP;
    same := CASE t
              WHEN 'element_managed_area'
                THEN ARRAY['element_global_id', 'element_national_id', 'element_subnational_id']
              WHEN 'managed_area_owner' THEN ARRAY['owner_name']
              WHEN 'managed_area_mgmt_year' THEN ARRAY['managed_area_mgmt_year']
              ELSE data
            END;
    cols := quote_ident(m);
    vals := '$1';
    FOR i IN 1 .. COALESCE(array_length(data, 1), 0) LOOP
        cols := cols || ', ' || quote_ident(data[i]);
        vals := vals || ', s.' || quote_ident(data[i]);
    END LOOP;
    ord := CASE WHEN has_order THEN 's.display_order, ' ELSE '' END || 's.' || quote_ident(key_col);
    IF has_order THEN
        cols := cols || ', display_order';
        vals := vals || format(', (SELECT COALESCE(MAX(display_order), 0) FROM %I WHERE %I = $1)'
                               ' + ROW_NUMBER() OVER (ORDER BY %s)', t, m, ord);
    END IF;
    IF has_stamps THEN
        cols := cols || ', rec_create_user, rec_create_date, rec_last_mod_user, rec_last_mod_date';
        vals := vals || ', $3, $4, $3, $4';
    END IF;
    FOR i IN 1 .. COALESCE(array_length(same, 1), 0) LOOP
        match := match || format(' AND x.%I IS NOT DISTINCT FROM s.%I', same[i], same[i]);
    END LOOP;
    EXECUTE format('INSERT INTO %I (%s) SELECT %s FROM %I s WHERE s.%I = $2 AND NOT EXISTS '
                   '(SELECT 1 FROM %I x WHERE x.%I = $1%s) ORDER BY %s',
                   t, cols, vals, t, m, t, m, match, ord)
        USING p_target, p_source, who, stamp;
END
$zelk$;

CREATE OR REPLACE FUNCTION copy_ma(p_source bigint, p_target bigint) RETURNS boolean
LANGUAGE plpgsql AS $zelk$
DECLARE
    c record;
    r record;
    names text := '';
    vals text := '';
    src text;
    who text := session_user::text;
    stamp text := datetime('now', 'localtime');
BEGIN
    IF p_source = p_target THEN
        RAISE EXCEPTION 'A managed area cannot be copied onto itself.';
    END IF;
    IF NOT EXISTS (SELECT 1 FROM ma WHERE managed_area_id = p_source)
       OR NOT EXISTS (SELECT 1 FROM ma WHERE managed_area_id = p_target) THEN
        RETURN false;
    END IF;
    -- The target keeps its identity and history; it takes the source's other values.
    FOR c IN SELECT p.name AS column_name FROM pragma_table_info('ma') p ORDER BY p.cid LOOP
        CONTINUE WHEN c.column_name IN ('managed_area_id', 'shape_id', 'managed_area_name',
                                        'macode_bcd', 'old_macode', 'equi_site_id',
                                        'equi_site_name', 'org_unit_id', 'row_version',
                                        'rec_create_user', 'rec_create_date',
                                        'rec_last_mod_user', 'rec_last_mod_date');
        -- A major managed area equal to the target would make the area contain itself.
        src := CASE WHEN c.column_name = 'major_ma_id' THEN 'NULLIF(s.major_ma_id, $2)'
                    ELSE 's.' || quote_ident(c.column_name) END;
        names := names || CASE WHEN names = '' THEN '' ELSE ', ' END || quote_ident(c.column_name);
        vals := vals || CASE WHEN vals = '' THEN '' ELSE ', ' END
                || format('COALESCE(%s, ma.%I)', src, c.column_name);
    END LOOP;
    EXECUTE format('UPDATE ma SET (%s, rec_last_mod_user, rec_last_mod_date) = (SELECT %s, $3, $4 '
                   'FROM ma s WHERE s.managed_area_id = $1), row_version = row_version + 1 '
                   'WHERE managed_area_id = $2', names, vals)
        USING p_source, p_target, who, stamp;
    FOR r IN SELECT * FROM zelk_referencing('ma') WHERE tbl <> 'ma' LOOP
        PERFORM zelk_copy_children(r.tbl, r.col, p_source, p_target, who, stamp);
    END LOOP;
    RETURN true;
END
$zelk$;

---------------------------------------------------------------------------------------------
-- User administration, for administrators only. These run with the rights of the database's
-- creator, so each one checks what it is asked to touch: only users of this database, never
-- a superuser, a group role or the caller's own administration.
---------------------------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION zelk_check_user(p_name text, p_existing boolean) RETURNS void
LANGUAGE plpgsql AS $zelk$
DECLARE
    r record;
BEGIN
    IF p_name IS NULL OR btrim(p_name) = '' THEN
        RAISE EXCEPTION 'A user needs a name.';
    END IF;
    IF octet_length(p_name) > 63 THEN
        RAISE EXCEPTION 'The name is too long: the server allows 63 bytes, it has %.',
            octet_length(p_name);
    END IF;
    IF p_name ~ '[[:cntrl:]]' THEN
        RAISE EXCEPTION 'A user name cannot hold control characters.';
    END IF;
    IF p_name LIKE 'pg\_%' OR EXISTS (SELECT 1 FROM security_role WHERE role_name = p_name) THEN
        RAISE EXCEPTION 'The name % is reserved.', quote_ident(p_name);
    END IF;
    SELECT * INTO r FROM pg_roles WHERE rolname = p_name;
    IF FOUND AND (r.rolsuper OR NOT r.rolcanlogin) THEN
        RAISE EXCEPTION 'The role % is not an ordinary login and cannot be a user here.',
            quote_ident(p_name);
    END IF;
    IF p_existing AND NOT EXISTS (SELECT 1 FROM app_user WHERE user_name = p_name COLLATE nocase) THEN
        RAISE EXCEPTION 'There is no user % in this database.', quote_ident(p_name);
    END IF;
END
$zelk$;

CREATE OR REPLACE FUNCTION zelk_org_unit_of(p_org text) RETURNS bigint LANGUAGE plpgsql AS $zelk$
DECLARE
    o bigint;
BEGIN
    IF p_org IS NULL THEN
        RETURN (SELECT MIN(org_unit_id) FROM org_unit);
    END IF;
    SELECT org_unit_id INTO o FROM org_unit WHERE org_unit_code = p_org;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'There is no organisation unit %.', quote_literal(p_org);
    END IF;
    RETURN o;
END
$zelk$;

CREATE OR REPLACE FUNCTION zelk_grant_access(p_name text, p_access text) RETURNS void
LANGUAGE plpgsql AS $zelk$
DECLARE
    g record;
BEGIN
    IF zelk_role(p_access) IS NULL THEN
        RAISE EXCEPTION 'The access must be read, edit or admin.';
    END IF;
    FOR g IN SELECT role_name FROM security_role LOOP
        IF g.role_name <> zelk_role(p_access) AND pg_has_role(p_name, g.role_name, 'MEMBER')
           AND EXISTS (SELECT 1 FROM pg_auth_members a WHERE a.roleid = to_regrole(quote_ident(g.role_name))
                       AND a.member = to_regrole(quote_ident(p_name))) THEN
            EXECUTE format('REVOKE %I FROM %I', g.role_name, p_name);
        END IF;
    END LOOP;
    EXECUTE format('GRANT %I TO %I', zelk_role(p_access), p_name);
    UPDATE app_user SET access_level = CASE p_access WHEN 'R' THEN 'R' ELSE 'F' END
     WHERE user_name = p_name COLLATE nocase;
END
$zelk$;

-- p_password is the verifier libpq made of the password (never the password itself); NULL
-- keeps the role's password, or leaves a new role to peer or certificate sign-in.
CREATE OR REPLACE FUNCTION zelk_add_user(p_name text, p_access text, p_org text, p_password text)
RETURNS void LANGUAGE plpgsql SECURITY DEFINER AS $zelk$
DECLARE
    o bigint;
BEGIN
    PERFORM zelk_check_user(p_name, false);
    IF EXISTS (SELECT 1 FROM app_user WHERE user_name = p_name COLLATE nocase) THEN
        RAISE EXCEPTION 'The user % exists already.', quote_ident(p_name);
    END IF;
    o := zelk_org_unit_of(p_org);
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = p_name) THEN
        -- A login of the same server (another database's user) gets rights here too; its
        -- password is its own.
        IF p_password IS NOT NULL THEN
            RAISE EXCEPTION 'The login % exists on the server already; its password stays as it is.',
                quote_ident(p_name);
        END IF;
    ELSE
        EXECUTE format('CREATE ROLE %I LOGIN', p_name);
    END IF;
    IF p_password IS NOT NULL THEN
        EXECUTE format('ALTER ROLE %I PASSWORD %L', p_name, p_password);
    END IF;
    INSERT INTO app_user (user_name, org_unit_id, access_level) VALUES (p_name, o, 'R');
    PERFORM zelk_grant_access(p_name, p_access);
END
$zelk$;

-- NULL arguments keep what the user has.
CREATE OR REPLACE FUNCTION zelk_set_user(p_name text, p_access text, p_org text, p_password text)
RETURNS void LANGUAGE plpgsql SECURITY DEFINER AS $zelk$
BEGIN
    PERFORM zelk_check_user(p_name, true);
    IF p_access IS NOT NULL THEN
        IF p_name = session_user::text AND p_access <> 'A' THEN
            RAISE EXCEPTION 'You cannot take away your own administration; another administrator can.';
        END IF;
        PERFORM zelk_grant_access(p_name, p_access);
    END IF;
    IF p_org IS NOT NULL THEN
        UPDATE app_user SET org_unit_id = zelk_org_unit_of(p_org) WHERE user_name = p_name COLLATE nocase;
    END IF;
    IF p_password IS NOT NULL THEN
        EXECUTE format('ALTER ROLE %I PASSWORD %L', p_name, p_password);
    END IF;
END
$zelk$;

-- The login goes too, unless it owns objects or holds rights elsewhere on the server; it
-- then keeps no rights here and cannot connect to this database.
CREATE OR REPLACE FUNCTION zelk_remove_user(p_name text) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER AS $zelk$
DECLARE
    g record;
BEGIN
    PERFORM zelk_check_user(p_name, true);
    IF p_name = session_user::text THEN
        RAISE EXCEPTION 'You cannot remove yourself; another administrator can.';
    END IF;
    DELETE FROM app_user WHERE user_name = p_name COLLATE nocase;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = p_name) THEN
        RETURN;
    END IF;
    FOR g IN SELECT role_name FROM security_role LOOP
        IF EXISTS (SELECT 1 FROM pg_auth_members a WHERE a.roleid = to_regrole(quote_ident(g.role_name))
                   AND a.member = to_regrole(quote_ident(p_name))) THEN
            EXECUTE format('REVOKE %I FROM %I', g.role_name, p_name);
        END IF;
    END LOOP;
    BEGIN
        EXECUTE format('DROP ROLE %I', p_name);
    EXCEPTION WHEN dependent_objects_still_exist THEN
        NULL;
    END;
END
$zelk$;

---------------------------------------------------------------------------------------------
-- The grants. Run again after the schema changes (new tables, columns or procedures).
---------------------------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION zelk_apply_grants() RETURNS void LANGUAGE plpgsql AS $zelk$
DECLARE
    rd text := zelk_role('R');
    ed text := zelk_role('E');
    ad text := zelk_role('A');
    sch text := current_schema();
    t record;
BEGIN
    EXECUTE format('GRANT %I TO %I', rd, ed);
    EXECUTE format('GRANT %I TO %I', ed, ad);
    EXECUTE format('GRANT USAGE ON SCHEMA %I TO %I', sch, rd);
    EXECUTE format('REVOKE ALL ON ALL TABLES IN SCHEMA %I FROM PUBLIC', sch);
    EXECUTE format('GRANT SELECT ON ALL TABLES IN SCHEMA %I TO %I', sch, rd);
    EXECUTE format('GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA %I TO %I', sch, rd);
    -- Readers keep their own search defaults and saved searches.
    EXECUTE format('GRANT INSERT, UPDATE, DELETE ON user_option TO %I', rd);
    FOR t IN SELECT c.relname FROM pg_class c
              WHERE c.relnamespace = to_regnamespace(quote_ident(sch)) AND c.relkind = 'r'
                AND c.relname NOT IN ('app_user', 'org_unit', 'schema_version', 'security_role',
                                      'audit_log', 'user_option_category', 'user_option')
    LOOP
        EXECUTE format('GRANT INSERT, UPDATE, DELETE ON %I TO %I', t.relname, ed);
    END LOOP;
    -- The audit trail is written by its triggers; editors only comment on it.
    EXECUTE format('GRANT UPDATE (comments) ON audit_log TO %I', ed);
    EXECUTE format('GRANT INSERT, UPDATE, DELETE ON app_user, org_unit, user_option_category TO %I', ad);

    REVOKE ALL ON FUNCTION delete_ma_data(bigint), copy_ma(bigint, bigint),
        zelk_copy_children(text, text, bigint, bigint, text, text) FROM PUBLIC;
    EXECUTE format('GRANT EXECUTE ON FUNCTION delete_ma_data(bigint), copy_ma(bigint, bigint), '
                   'zelk_copy_children(text, text, bigint, bigint, text, text) TO %I', ed);
    REVOKE ALL ON FUNCTION zelk_add_user(text, text, text, text),
        zelk_set_user(text, text, text, text), zelk_remove_user(text) FROM PUBLIC;
    EXECUTE format('GRANT EXECUTE ON FUNCTION zelk_add_user(text, text, text, text), '
                   'zelk_set_user(text, text, text, text), zelk_remove_user(text) TO %I', ad);
    -- Everyone reads every option row (saved searches are shared), but writes only their own;
    -- administrators write anyone's.
    ALTER TABLE user_option ENABLE ROW LEVEL SECURITY;
    DROP POLICY IF EXISTS user_option_read ON user_option;
    DROP POLICY IF EXISTS user_option_own ON user_option;
    CREATE POLICY user_option_read ON user_option FOR SELECT USING (true);
    EXECUTE format($p$CREATE POLICY user_option_own ON user_option USING (%1$s) WITH CHECK (%1$s)$p$,
                   format($c$user_id = (SELECT u.user_id FROM app_user u WHERE u.user_name = session_user COLLATE nocase) OR pg_has_role(session_user, %L, 'MEMBER')$c$, ad));
    -- Only members may connect, when the creator owns the database and can say so.
    IF pg_has_role((SELECT datdba FROM pg_database WHERE datname = current_database()), 'MEMBER') THEN
        EXECUTE format('REVOKE CONNECT ON DATABASE %I FROM PUBLIC', current_database());
        EXECUTE format('GRANT CONNECT ON DATABASE %I TO %I', current_database(), rd);
    END IF;
END
$zelk$;
SELECT zelk_apply_grants();

-- Whoever creates the database administers it.
DO $zelk$
BEGIN
    IF NOT (SELECT rolsuper FROM pg_roles WHERE rolname = session_user) THEN
        EXECUTE format('GRANT %I TO %I', zelk_role('A'), session_user);
    END IF;
END
$zelk$;

-- Functions that run with the creator's rights find only this schema's objects.
DO $zelk$
DECLARE
    f text;
BEGIN
    FOREACH f IN ARRAY ARRAY['zelk_add_user(text, text, text, text)',
                             'zelk_set_user(text, text, text, text)', 'zelk_remove_user(text)']
    LOOP
        EXECUTE format('ALTER FUNCTION %s SET search_path = %I, pg_temp', f, current_schema());
    END LOOP;
    FOREACH f IN ARRAY ARRAY['zelk_check_user(text, boolean)', 'zelk_org_unit_of(text)',
                             'zelk_grant_access(text, text)', 'zelk_apply_grants()']
    LOOP
        EXECUTE format('REVOKE ALL ON FUNCTION %s FROM PUBLIC', f);
    END LOOP;
END
$zelk$;
