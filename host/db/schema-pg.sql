-- The account database of the BOM module on a PostgreSQL server: the tables,
-- columns, views and indexes of the embedded file's schema (schema.sql and
-- maintenance.sql). Codes compare without regard to case (citext), quantities
-- are double precision so that division never truncates, dates are texts
-- "yyyy-mm-dd". Texts sort by their bytes (COLLATE "C"), as in the embedded file,
-- whatever the database's locale. As in the embedded file, references between tables are not
-- enforced by the database. OFFSET is a reserved word here: that column is "offset".

CREATE EXTENSION IF NOT EXISTS citext;

-- Texts joined with +, as the statements of the component write it.
CREATE FUNCTION q7_join(a text, b text) RETURNS text LANGUAGE sql IMMUTABLE AS 'SELECT a || b';
CREATE OPERATOR + (LEFTARG = text, RIGHTARG = text, FUNCTION = q7_join);

-- The account's mark: the schema version, written in the transaction that completes the account.
CREATE TABLE q7_account (
  Mark bigint NOT NULL
);

CREATE TABLE Inventory (
  cInvCode      citext COLLATE "C" PRIMARY KEY,
  cInvAddCode   citext COLLATE "C",
  cInvName      text COLLATE "C",
  cInvStd       text COLLATE "C",
  cComUnitName  text COLLATE "C",
  InvAttr       bigint,            -- 1 purchased, 2 subcontracted, 3 made, 4 option class, 5 PTO, 7 planning item
  LeadTime      bigint,
  ReplaceDate   text COLLATE "C",
  bConfigFree1 bigint NOT NULL DEFAULT 0, bConfigFree2 bigint NOT NULL DEFAULT 0,
  bConfigFree3 bigint NOT NULL DEFAULT 0, bConfigFree4 bigint NOT NULL DEFAULT 0,
  bConfigFree5 bigint NOT NULL DEFAULT 0, bConfigFree6 bigint NOT NULL DEFAULT 0,
  bConfigFree7 bigint NOT NULL DEFAULT 0, bConfigFree8 bigint NOT NULL DEFAULT 0,
  bConfigFree9 bigint NOT NULL DEFAULT 0, bConfigFree10 bigint NOT NULL DEFAULT 0,
  cInvDefine1 text COLLATE "C", cInvDefine2 text COLLATE "C", cInvDefine3 text COLLATE "C", cInvDefine4 text COLLATE "C", cInvDefine5 text COLLATE "C", cInvDefine6 text COLLATE "C",
  cInvDefine7 text COLLATE "C", cInvDefine8 text COLLATE "C", cInvDefine9 text COLLATE "C", cInvDefine10 text COLLATE "C", cInvDefine11 text COLLATE "C", cInvDefine12 text COLLATE "C",
  cInvDefine13 text COLLATE "C", cInvDefine14 text COLLATE "C", cInvDefine15 text COLLATE "C", cInvDefine16 text COLLATE "C"
);

CREATE VIEW v_bas_inventory AS
SELECT cInvCode AS InvCode, cInvAddCode AS InvAddCode, cInvName AS InvName, cInvStd AS InvStd,
       cComUnitName AS ComUnitName, InvAttr, LeadTime, ReplaceDate,
       cInvDefine1 AS Invdefine1, cInvDefine2 AS Invdefine2, cInvDefine3 AS Invdefine3, cInvDefine4 AS Invdefine4,
       cInvDefine5 AS Invdefine5, cInvDefine6 AS Invdefine6, cInvDefine7 AS Invdefine7, cInvDefine8 AS Invdefine8,
       cInvDefine9 AS Invdefine9, cInvDefine10 AS Invdefine10, cInvDefine11 AS Invdefine11, cInvDefine12 AS Invdefine12,
       cInvDefine13 AS Invdefine13, cInvDefine14 AS Invdefine14, cInvDefine15 AS Invdefine15, cInvDefine16 AS Invdefine16
FROM Inventory;

-- A part: an item with the values of its free items.
CREATE TABLE bas_part (
  PartId  bigint PRIMARY KEY,
  InvCode citext COLLATE "C" NOT NULL,
  Free1 citext COLLATE "C" NOT NULL DEFAULT '', Free2 citext COLLATE "C" NOT NULL DEFAULT '',
  Free3 citext COLLATE "C" NOT NULL DEFAULT '', Free4 citext COLLATE "C" NOT NULL DEFAULT '',
  Free5 citext COLLATE "C" NOT NULL DEFAULT '', Free6 citext COLLATE "C" NOT NULL DEFAULT '',
  Free7 citext COLLATE "C" NOT NULL DEFAULT '', Free8 citext COLLATE "C" NOT NULL DEFAULT '',
  Free9 citext COLLATE "C" NOT NULL DEFAULT '', Free10 citext COLLATE "C" NOT NULL DEFAULT ''
);
CREATE INDEX bas_part_inv ON bas_part(InvCode);

CREATE TABLE ecn_ecnapply (
  ApplyId bigint PRIMARY KEY,
  DocCode citext COLLATE "C"
);
CREATE TABLE ecn_ecnapplydetail (
  ApplyDId bigint PRIMARY KEY,
  ApplyId  bigint,
  SortSeq  bigint
);

-- One row per BOM: BomType 1 main, 2 substitute.
CREATE TABLE bom_bom (
  BomId          bigint PRIMARY KEY,
  BomType        bigint NOT NULL,
  Version        bigint,
  VersionDesc    text COLLATE "C",
  VersionEffDate text COLLATE "C",
  VersionEndDate text COLLATE "C",
  IdentCode      citext COLLATE "C",
  IdentDesc      text COLLATE "C",
  ApplyDId       bigint,
  CreateUser     text COLLATE "C",
  Define1 text COLLATE "C", Define2 text COLLATE "C", Define3 text COLLATE "C", Define4 text COLLATE "C", Define5 text COLLATE "C", Define6 text COLLATE "C", Define7 text COLLATE "C", Define8 text COLLATE "C",
  Define9 text COLLATE "C", Define10 text COLLATE "C", Define11 text COLLATE "C", Define12 text COLLATE "C", Define13 text COLLATE "C", Define14 text COLLATE "C", Define15 text COLLATE "C", Define16 text COLLATE "C"
);

-- The BOM's parent; SharingPartId is set on the row of an item that uses another part's BOM.
CREATE TABLE bom_parent (
  BomId         bigint NOT NULL,
  ParentId      bigint NOT NULL,
  ParentScrap   double precision NOT NULL DEFAULT 0,
  SharingPartId bigint
);
CREATE INDEX bom_parent_bom ON bom_parent(BomId);
CREATE INDEX bom_parent_parent ON bom_parent(ParentId);

CREATE TABLE bom_opcomponentopt (
  OptionsId    bigint PRIMARY KEY,
  WhCode       citext COLLATE "C",
  DrawDeptCode citext COLLATE "C",
  WIPType      bigint,            -- 1 backflush at receipt, 2 at operation, 3 issue, 4 phantom
  "offset"       bigint,
  PlanFactor   double precision,               -- percent; NULL counts as 100
  AccuCostFlag bigint,
  OptionalFlag bigint,
  MutexRule    bigint             -- 1 exactly one, 2 all, 3 any, 4 at least one
);

-- BOM lines: valid at date D when EffBegDate <= D < EffEndDate.
CREATE TABLE bom_opcomponent (
  OpComponentId bigint PRIMARY KEY,
  BomId         bigint NOT NULL,
  ComponentId   bigint NOT NULL,
  OptionsId     bigint,
  SortSeq       bigint,
  OpSeq         text COLLATE "C",
  BaseQtyN      double precision NOT NULL,
  BaseQtyD      double precision NOT NULL DEFAULT 1,
  CompScrap     double precision NOT NULL DEFAULT 0,
  FVFlag        bigint NOT NULL DEFAULT 1,  -- 0 fixed, 1 variable
  EffBegDate    text COLLATE "C" NOT NULL DEFAULT '2000-01-01',
  EffEndDate    text COLLATE "C" NOT NULL DEFAULT '2099-12-31',
  ByProductFlag bigint NOT NULL DEFAULT 0
);
CREATE INDEX bom_opcomponent_bom ON bom_opcomponent(BomId);
CREATE INDEX bom_opcomponent_component ON bom_opcomponent(ComponentId);

-- rowid: the row's own number (the embedded file's rowid), by which the
-- maintenance journal finds a row of a table that has no key of its own.
CREATE TABLE bom_opcomponentsub (
  rowid         bigint GENERATED BY DEFAULT AS IDENTITY UNIQUE,
  OpComponentId bigint NOT NULL,
  PartId        bigint NOT NULL,
  Factor        double precision,
  EffBegDate    text COLLATE "C",
  EffEndDate    text COLLATE "C",
  Sequence      bigint,
  ReplaceFlag   bigint
);
CREATE INDEX bom_opcomponentsub_line ON bom_opcomponentsub(OpComponentId);

CREATE TABLE bom_opcomponentrmk (
  OpComponentId bigint PRIMARY KEY,
  Remark        text COLLATE "C"
);

-- Location designators, one row per designator.
CREATE TABLE bom_opcomponentloc (
  rowid         bigint GENERATED BY DEFAULT AS IDENTITY UNIQUE,
  OpComponentId bigint NOT NULL,
  SortSeq       bigint NOT NULL,
  Loc           text COLLATE "C"
);

CREATE VIEW v_bom_opcomponentloc AS
SELECT OpComponentId,
  max(CASE SortSeq WHEN 1 THEN Loc END) AS Loc1, max(CASE SortSeq WHEN 2 THEN Loc END) AS Loc2,
  max(CASE SortSeq WHEN 3 THEN Loc END) AS Loc3, max(CASE SortSeq WHEN 4 THEN Loc END) AS Loc4,
  max(CASE SortSeq WHEN 5 THEN Loc END) AS Loc5, max(CASE SortSeq WHEN 6 THEN Loc END) AS Loc6,
  max(CASE SortSeq WHEN 7 THEN Loc END) AS Loc7, max(CASE SortSeq WHEN 8 THEN Loc END) AS Loc8,
  max(CASE SortSeq WHEN 9 THEN Loc END) AS Loc9, max(CASE SortSeq WHEN 10 THEN Loc END) AS Loc10
FROM bom_opcomponentloc GROUP BY OpComponentId;

CREATE VIEW v_bom_parent_rpt AS
SELECT t.BomId, t.ParentId, p.InvCode, p.Free1, p.Free2, p.Free3, p.Free4, p.Free5,
       p.Free6, p.Free7, p.Free8, p.Free9, p.Free10, b.BomType, b.Version, b.IdentCode
FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId JOIN bom_bom b ON b.BomId = t.BomId;

CREATE TABLE WareHouse (
  cWhCode citext COLLATE "C" PRIMARY KEY,
  cWhName text COLLATE "C"
);
CREATE TABLE Department (
  cDepCode citext COLLATE "C" PRIMARY KEY,
  cDepName text COLLATE "C"
);

-- User definitions: rows 20, 21 and 28 to 35 name free items 1 to 10.
CREATE TABLE UserDef (
  cID       bigint PRIMARY KEY,
  cItem     text COLLATE "C",
  cItemName text COLLATE "C"
);

-- Routings: a part's operations, valid at date D when EffBegDate <= D < EffEndDate.
CREATE TABLE sfc_prouting (
  PRoutingId  bigint PRIMARY KEY,
  PartId      bigint NOT NULL,
  Description text COLLATE "C",
  EffBegDate  text COLLATE "C" NOT NULL DEFAULT '2000-01-01',
  EffEndDate  text COLLATE "C" NOT NULL DEFAULT '2099-12-31'
);
CREATE INDEX sfc_prouting_part ON sfc_prouting(PartId);
CREATE TABLE sfc_proutingdetail (
  PRoutingId  bigint NOT NULL,
  OpSeq       text COLLATE "C" NOT NULL,
  Description text COLLATE "C",
  PRIMARY KEY (PRoutingId, OpSeq)
);

-- Tables of the BOM maintenance operations.

-- Low-level code of each part: the deepest level at which it is a component
-- of the BOMs in force on EffDate (0 for a part that is no one's component).
CREATE TABLE bas_part_llc (
  PartId       bigint PRIMARY KEY,
  LowLevelCode bigint NOT NULL,
  EffDate      text COLLATE "C" NOT NULL
);

-- One row per run of a maintenance operation that changed the account.
CREATE TABLE q7_maint_run (
  RunId      bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
  Operation  text COLLATE "C" NOT NULL,
  UserName   text COLLATE "C" NOT NULL,
  RunAt      text COLLATE "C" NOT NULL,
  Parameters text COLLATE "C",
  Summary    text COLLATE "C",
  Changes    bigint NOT NULL DEFAULT 0,
  UndoneBy   text COLLATE "C",
  UndoneAt   text COLLATE "C"
);

-- Every row a run changed, as it was before and after (JSON objects of the
-- row's columns with its rowid; no Before for an inserted row, no After for a deleted one).
CREATE TABLE q7_maint_change (
  RunId     bigint NOT NULL REFERENCES q7_maint_run(RunId),
  Seq       bigint NOT NULL,
  TableName text COLLATE "C" NOT NULL,
  RowKey    bigint NOT NULL,
  Before    text COLLATE "C",
  After     text COLLATE "C",
  PRIMARY KEY (RunId, Seq)
);

-- Each BOM's change counter (no row: 0), moved on by every change of its
-- head or lines; a save claims the count it loaded (see BomChanges.h).
CREATE TABLE q7_bom_change (
  BomId       bigint PRIMARY KEY,
  ChangeCount bigint NOT NULL
);

-- The condition values of each maintenance form's last run.
CREATE TABLE q7_process_condition (
  MenuKey citext COLLATE "C" NOT NULL,
  Name    citext COLLATE "C" NOT NULL,
  Value   text COLLATE "C",
  PRIMARY KEY (MenuKey, Name)
);
