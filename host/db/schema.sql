-- The account database of the BOM module, in the embedded database's dialect.
-- Codes compare without regard to case (COLLATE NOCASE), quantities are REAL
-- so that division never truncates, dates are texts "yyyy-mm-dd".

CREATE TABLE Inventory (
  cInvCode      TEXT COLLATE NOCASE PRIMARY KEY,
  cInvAddCode   TEXT COLLATE NOCASE,
  cInvName      TEXT,
  cInvStd       TEXT,
  cComUnitName  TEXT,
  InvAttr       INTEGER,            -- 1 purchased, 2 subcontracted, 3 made, 4 option class, 5 PTO, 7 planning item
  LeadTime      INTEGER,
  ReplaceDate   TEXT,
  bConfigFree1 INTEGER NOT NULL DEFAULT 0, bConfigFree2 INTEGER NOT NULL DEFAULT 0,
  bConfigFree3 INTEGER NOT NULL DEFAULT 0, bConfigFree4 INTEGER NOT NULL DEFAULT 0,
  bConfigFree5 INTEGER NOT NULL DEFAULT 0, bConfigFree6 INTEGER NOT NULL DEFAULT 0,
  bConfigFree7 INTEGER NOT NULL DEFAULT 0, bConfigFree8 INTEGER NOT NULL DEFAULT 0,
  bConfigFree9 INTEGER NOT NULL DEFAULT 0, bConfigFree10 INTEGER NOT NULL DEFAULT 0,
  cInvDefine1 TEXT, cInvDefine2 TEXT, cInvDefine3 TEXT, cInvDefine4 TEXT, cInvDefine5 TEXT, cInvDefine6 TEXT,
  cInvDefine7 TEXT, cInvDefine8 TEXT, cInvDefine9 TEXT, cInvDefine10 TEXT, cInvDefine11 TEXT, cInvDefine12 TEXT,
  cInvDefine13 TEXT, cInvDefine14 TEXT, cInvDefine15 TEXT, cInvDefine16 TEXT
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
  PartId  INTEGER PRIMARY KEY,
  InvCode TEXT COLLATE NOCASE NOT NULL REFERENCES Inventory(cInvCode),
  Free1 TEXT COLLATE NOCASE NOT NULL DEFAULT '', Free2 TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  Free3 TEXT COLLATE NOCASE NOT NULL DEFAULT '', Free4 TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  Free5 TEXT COLLATE NOCASE NOT NULL DEFAULT '', Free6 TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  Free7 TEXT COLLATE NOCASE NOT NULL DEFAULT '', Free8 TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  Free9 TEXT COLLATE NOCASE NOT NULL DEFAULT '', Free10 TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);
CREATE INDEX bas_part_inv ON bas_part(InvCode);

CREATE TABLE ecn_ecnapply (
  ApplyId INTEGER PRIMARY KEY,
  DocCode TEXT COLLATE NOCASE
);
CREATE TABLE ecn_ecnapplydetail (
  ApplyDId INTEGER PRIMARY KEY,
  ApplyId  INTEGER REFERENCES ecn_ecnapply(ApplyId),
  SortSeq  INTEGER
);

-- One row per BOM: BomType 1 main, 2 substitute.
CREATE TABLE bom_bom (
  BomId          INTEGER PRIMARY KEY,
  BomType        INTEGER NOT NULL,
  Version        INTEGER,
  VersionDesc    TEXT,
  VersionEffDate TEXT,
  VersionEndDate TEXT,
  IdentCode      TEXT COLLATE NOCASE,
  IdentDesc      TEXT,
  ApplyDId       INTEGER REFERENCES ecn_ecnapplydetail(ApplyDId),
  CreateUser     TEXT,
  Define1 TEXT, Define2 TEXT, Define3 TEXT, Define4 TEXT, Define5 TEXT, Define6 TEXT, Define7 TEXT, Define8 TEXT,
  Define9 TEXT, Define10 TEXT, Define11 TEXT, Define12 TEXT, Define13 TEXT, Define14 TEXT, Define15 TEXT, Define16 TEXT
);

-- The BOM's parent; SharingPartId is set on the row of an item that uses another part's BOM.
CREATE TABLE bom_parent (
  BomId         INTEGER NOT NULL REFERENCES bom_bom(BomId),
  ParentId      INTEGER NOT NULL REFERENCES bas_part(PartId),
  ParentScrap   REAL NOT NULL DEFAULT 0,
  SharingPartId INTEGER REFERENCES bas_part(PartId)
);
CREATE INDEX bom_parent_bom ON bom_parent(BomId);
CREATE INDEX bom_parent_parent ON bom_parent(ParentId);

CREATE TABLE bom_opcomponentopt (
  OptionsId    INTEGER PRIMARY KEY,
  WhCode       TEXT COLLATE NOCASE,
  DrawDeptCode TEXT COLLATE NOCASE,
  WIPType      INTEGER,            -- 1 backflush at receipt, 2 at operation, 3 issue, 4 phantom
  Offset       INTEGER,
  PlanFactor   REAL,               -- percent; NULL counts as 100
  AccuCostFlag INTEGER,
  OptionalFlag INTEGER,
  MutexRule    INTEGER             -- 1 exactly one, 2 all, 3 any, 4 at least one
);

-- BOM lines: valid at date D when EffBegDate <= D < EffEndDate.
CREATE TABLE bom_opcomponent (
  OpComponentId INTEGER PRIMARY KEY,
  BomId         INTEGER NOT NULL REFERENCES bom_bom(BomId),
  ComponentId   INTEGER NOT NULL REFERENCES bas_part(PartId),
  OptionsId     INTEGER REFERENCES bom_opcomponentopt(OptionsId),
  SortSeq       INTEGER,
  OpSeq         TEXT,
  BaseQtyN      REAL NOT NULL,
  BaseQtyD      REAL NOT NULL DEFAULT 1,
  CompScrap     REAL NOT NULL DEFAULT 0,
  FVFlag        INTEGER NOT NULL DEFAULT 1,  -- 0 fixed, 1 variable
  EffBegDate    TEXT NOT NULL DEFAULT '2000-01-01',
  EffEndDate    TEXT NOT NULL DEFAULT '2099-12-31',
  ByProductFlag INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX bom_opcomponent_bom ON bom_opcomponent(BomId);
CREATE INDEX bom_opcomponent_component ON bom_opcomponent(ComponentId);

CREATE TABLE bom_opcomponentsub (
  OpComponentId INTEGER NOT NULL REFERENCES bom_opcomponent(OpComponentId),
  PartId        INTEGER NOT NULL REFERENCES bas_part(PartId),
  Factor        REAL,
  EffBegDate    TEXT,
  EffEndDate    TEXT,
  Sequence      INTEGER,
  ReplaceFlag   INTEGER
);
CREATE INDEX bom_opcomponentsub_line ON bom_opcomponentsub(OpComponentId);

CREATE TABLE bom_opcomponentrmk (
  OpComponentId INTEGER PRIMARY KEY REFERENCES bom_opcomponent(OpComponentId),
  Remark        TEXT
);

-- Location designators, one row per designator.
CREATE TABLE bom_opcomponentloc (
  OpComponentId INTEGER NOT NULL REFERENCES bom_opcomponent(OpComponentId),
  SortSeq       INTEGER NOT NULL,
  Loc           TEXT
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
  cWhCode TEXT COLLATE NOCASE PRIMARY KEY,
  cWhName TEXT
);
CREATE TABLE Department (
  cDepCode TEXT COLLATE NOCASE PRIMARY KEY,
  cDepName TEXT
);

-- User definitions: rows 20, 21 and 28 to 35 name free items 1 to 10.
CREATE TABLE UserDef (
  cID       INTEGER PRIMARY KEY,
  cItem     TEXT,
  cItemName TEXT
);

-- Routings: a part's operations, valid at date D when EffBegDate <= D < EffEndDate.
CREATE TABLE sfc_prouting (
  PRoutingId  INTEGER PRIMARY KEY,
  PartId      INTEGER NOT NULL REFERENCES bas_part(PartId),
  Description TEXT,
  EffBegDate  TEXT NOT NULL DEFAULT '2000-01-01',
  EffEndDate  TEXT NOT NULL DEFAULT '2099-12-31'
);
CREATE INDEX sfc_prouting_part ON sfc_prouting(PartId);
CREATE TABLE sfc_proutingdetail (
  PRoutingId  INTEGER NOT NULL REFERENCES sfc_prouting(PRoutingId),
  OpSeq       TEXT NOT NULL,
  Description TEXT,
  PRIMARY KEY (PRoutingId, OpSeq)
);
