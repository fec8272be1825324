-- The account database of the BOM module on a PostgreSQL server: the tables,
-- columns, views and indexes of the embedded file's schema (schema.sql and
-- maintenance.sql). Codes compare without regard to case (citext), quantities
-- are double precision so that division never truncates, dates are texts
-- "yyyy-mm-dd". As in the embedded file, references between tables are not
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
  cInvCode      citext PRIMARY KEY,
  cInvAddCode   citext,
  cInvName      text,
  cInvStd       text,
  cComUnitName  text,
  InvAttr       bigint,            -- 1 purchased, 2 subcontracted, 3 made, 4 option class, 5 PTO, 7 planning item
  LeadTime      bigint,
  ReplaceDate   text,
  bConfigFree1 bigint NOT NULL DEFAULT 0, bConfigFree2 bigint NOT NULL DEFAULT 0,
  bConfigFree3 bigint NOT NULL DEFAULT 0, bConfigFree4 bigint NOT NULL DEFAULT 0,
  bConfigFree5 bigint NOT NULL DEFAULT 0, bConfigFree6 bigint NOT NULL DEFAULT 0,
  bConfigFree7 bigint NOT NULL DEFAULT 0, bConfigFree8 bigint NOT NULL DEFAULT 0,
  bConfigFree9 bigint NOT NULL DEFAULT 0, bConfigFree10 bigint NOT NULL DEFAULT 0,
  cInvDefine1 text, cInvDefine2 text, cInvDefine3 text, cInvDefine4 text, cInvDefine5 text, cInvDefine6 text,
  cInvDefine7 text, cInvDefine8 text, cInvDefine9 text, cInvDefine10 text, cInvDefine11 text, cInvDefine12 text,
  cInvDefine13 text, cInvDefine14 text, cInvDefine15 text, cInvDefine16 text
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
  InvCode citext NOT NULL,
  Free1 citext NOT NULL DEFAULT '', Free2 citext NOT NULL DEFAULT '',
  Free3 citext NOT NULL DEFAULT '', Free4 citext NOT NULL DEFAULT '',
  Free5 citext NOT NULL DEFAULT '', Free6 citext NOT NULL DEFAULT '',
  Free7 citext NOT NULL DEFAULT '', Free8 citext NOT NULL DEFAULT '',
  Free9 citext NOT NULL DEFAULT '', Free10 citext NOT NULL DEFAULT ''
);
CREATE INDEX bas_part_inv ON bas_part(InvCode);

CREATE TABLE ecn_ecnapply (
  ApplyId bigint PRIMARY KEY,
  DocCode citext
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
  VersionDesc    text,
  VersionEffDate text,
  VersionEndDate text,
  IdentCode      citext,
  IdentDesc      text,
  ApplyDId       bigint,
  CreateUser     text,
  Define1 text, Define2 text, Define3 text, Define4 text, Define5 text, Define6 text, Define7 text, Define8 text,
  Define9 text, Define10 text, Define11 text, Define12 text, Define13 text, Define14 text, Define15 text, Define16 text
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
  WhCode       citext,
  DrawDeptCode citext,
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
  OpSeq         text,
  BaseQtyN      double precision NOT NULL,
  BaseQtyD      double precision NOT NULL DEFAULT 1,
  CompScrap     double precision NOT NULL DEFAULT 0,
  FVFlag        bigint NOT NULL DEFAULT 1,  -- 0 fixed, 1 variable
  EffBegDate    text NOT NULL DEFAULT '2000-01-01',
  EffEndDate    text NOT NULL DEFAULT '2099-12-31',
  ByProductFlag bigint NOT NULL DEFAULT 0
);
CREATE INDEX bom_opcomponent_bom ON bom_opcomponent(BomId);
CREATE INDEX bom_opcomponent_component ON bom_opcomponent(ComponentId);

CREATE TABLE bom_opcomponentsub (
  OpComponentId bigint NOT NULL,
  PartId        bigint NOT NULL,
  Factor        double precision,
  EffBegDate    text,
  EffEndDate    text,
  Sequence      bigint,
  ReplaceFlag   bigint
);
CREATE INDEX bom_opcomponentsub_line ON bom_opcomponentsub(OpComponentId);

CREATE TABLE bom_opcomponentrmk (
  OpComponentId bigint PRIMARY KEY,
  Remark        text
);

-- Location designators, one row per designator.
CREATE TABLE bom_opcomponentloc (
  OpComponentId bigint NOT NULL,
  SortSeq       bigint NOT NULL,
  Loc           text
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
  cWhCode citext PRIMARY KEY,
  cWhName text
);
CREATE TABLE Department (
  cDepCode citext PRIMARY KEY,
  cDepName text
);

-- User definitions: rows 20, 21 and 28 to 35 name free items 1 to 10.
CREATE TABLE UserDef (
  cID       bigint PRIMARY KEY,
  cItem     text,
  cItemName text
);

-- Routings: a part's operations, valid at date D when EffBegDate <= D < EffEndDate.
CREATE TABLE sfc_prouting (
  PRoutingId  bigint PRIMARY KEY,
  PartId      bigint NOT NULL,
  Description text,
  EffBegDate  text NOT NULL DEFAULT '2000-01-01',
  EffEndDate  text NOT NULL DEFAULT '2099-12-31'
);
CREATE INDEX sfc_prouting_part ON sfc_prouting(PartId);
CREATE TABLE sfc_proutingdetail (
  PRoutingId  bigint NOT NULL,
  OpSeq       text NOT NULL,
  Description text,
  PRIMARY KEY (PRoutingId, OpSeq)
);

-- Tables of the BOM maintenance operations.

-- Low-level code of each part: the deepest level at which it is a component
-- of the BOMs in force on EffDate (0 for a part that is no one's component).
CREATE TABLE bas_part_llc (
  PartId       bigint PRIMARY KEY,
  LowLevelCode bigint NOT NULL,
  EffDate      text NOT NULL
);

-- One row per run of a maintenance operation that changed the account.
CREATE TABLE q7_maint_run (
  RunId      bigint PRIMARY KEY,
  Operation  text NOT NULL,
  UserName   text NOT NULL,
  RunAt      text NOT NULL,
  Parameters text,
  Summary    text,
  Changes    bigint NOT NULL DEFAULT 0,
  UndoneBy   text,
  UndoneAt   text
);

-- Every row a run changed, as it was before and after (JSON objects of the
-- row's columns with its rowid; no Before for an inserted row, no After for a deleted one).
CREATE TABLE q7_maint_change (
  RunId     bigint NOT NULL REFERENCES q7_maint_run(RunId),
  Seq       bigint NOT NULL,
  TableName text NOT NULL,
  RowKey    bigint NOT NULL,
  Before    text,
  After     text,
  PRIMARY KEY (RunId, Seq)
);

-- The condition values of each maintenance form's last run.
CREATE TABLE q7_process_condition (
  MenuKey citext NOT NULL,
  Name    citext NOT NULL,
  Value   text,
  PRIMARY KEY (MenuKey, Name)
);
