-- Tables of the BOM maintenance operations, created on first use in any account.

-- Low-level code of each part: the deepest level at which it is a component
-- of the BOMs in force on EffDate (0 for a part that is no one's component).
CREATE TABLE IF NOT EXISTS bas_part_llc (
  PartId       INTEGER PRIMARY KEY REFERENCES bas_part(PartId),
  LowLevelCode INTEGER NOT NULL,
  EffDate      TEXT NOT NULL
);

-- One row per run of a maintenance operation that changed the account.
CREATE TABLE IF NOT EXISTS q7_maint_run (
  RunId      INTEGER PRIMARY KEY,
  Operation  TEXT NOT NULL,
  UserName   TEXT NOT NULL,
  RunAt      TEXT NOT NULL,
  Parameters TEXT,
  Summary    TEXT,
  Changes    INTEGER NOT NULL DEFAULT 0,
  UndoneBy   TEXT,
  UndoneAt   TEXT
);

-- Every row a run changed, as it was before and after (JSON objects of the
-- row's columns with its rowid; no Before for an inserted row, no After for a deleted one).
CREATE TABLE IF NOT EXISTS q7_maint_change (
  RunId     INTEGER NOT NULL REFERENCES q7_maint_run(RunId),
  Seq       INTEGER NOT NULL,
  TableName TEXT NOT NULL,
  RowKey    INTEGER NOT NULL,
  Before    TEXT,
  After     TEXT,
  PRIMARY KEY (RunId, Seq)
);

-- Each BOM's change counter (no row: 0), moved on by every change of its
-- head or lines; a save claims the count it loaded (see BomChanges.h).
CREATE TABLE IF NOT EXISTS q7_bom_change (
  BomId       INTEGER PRIMARY KEY,
  ChangeCount INTEGER NOT NULL
);

-- The condition values of each maintenance form's last run.
CREATE TABLE IF NOT EXISTS q7_process_condition (
  MenuKey TEXT COLLATE NOCASE NOT NULL,
  Name    TEXT COLLATE NOCASE NOT NULL,
  Value   TEXT,
  PRIMARY KEY (MenuKey, Name)
);
