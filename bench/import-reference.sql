-- The plain database's way of loading an import file, the reference of
-- `q7bom bom import` in bench/side-by-side.sh:
--
--   sqlite3 ACCOUNT -cmd ".import --csv FILE import_rows" < bench/import-reference.sql
--
-- The file's rows land in a scratch table (all texts, the header's names);
-- one INSERT … SELECT makes a BOM head per parent and version (bom_bom and
-- bom_parent, which the lines need for their BomId) and one INSERT … SELECT
-- writes every line into bom_opcomponent, with the account's triggers firing
-- as they do for any write. Nothing is checked (no voucher rules, no cycle
-- check, no versions ended) and the line options and remarks are not
-- written: this is the floor of what an import can cost, not an import.

BEGIN;

CREATE TEMP TABLE import_heads AS
SELECT s.cInvCode AS cInvCode, s.Version AS Version, min(s.VersionDesc) AS VersionDesc,
       min(s.VersionEffDate) AS VersionEffDate, min(s.ParentScrap) AS ParentScrap,
       (SELECT coalesce(max(BomId), 0) FROM bom_bom) + row_number() OVER (ORDER BY min(s.rowid)) AS BomId
FROM import_rows s
GROUP BY s.cInvCode, s.Version;

INSERT INTO bom_bom (BomId, BomType, Version, VersionDesc, VersionEffDate)
SELECT BomId, 1, CAST(Version AS INTEGER), VersionDesc, VersionEffDate FROM import_heads;

INSERT INTO bom_parent (BomId, ParentId, ParentScrap)
SELECT h.BomId, p.PartId, CAST(h.ParentScrap AS REAL)
FROM import_heads h JOIN bas_part p ON p.InvCode = h.cInvCode AND p.Free1 = '' AND p.Free2 = '';

INSERT INTO bom_opcomponent (BomId, ComponentId, SortSeq, OpSeq, BaseQtyN, BaseQtyD, CompScrap, FVFlag,
                             EffBegDate, EffEndDate, ByProductFlag)
SELECT h.BomId, c.PartId, CAST(s.DSortSeq AS INTEGER), nullif(s.DOpSeq, ''), CAST(s.DBaseQtyN AS REAL),
       CAST(s.DBaseQtyD AS REAL), CAST(s.DCompScrap AS REAL), CASE s.DFVFlag WHEN '固定' THEN 0 ELSE 1 END,
       s.DEffBegDate, s.DEffEndDate, CASE s.DByproductFlag WHEN '是' THEN 1 ELSE 0 END
FROM import_rows s
JOIN import_heads h ON h.cInvCode = s.cInvCode AND h.Version = s.Version
JOIN bas_part c ON c.InvCode = s.DInvCode AND c.Free1 = s.DInvFree_1 AND c.Free2 = s.DInvFree_2
ORDER BY s.rowid;

COMMIT;

SELECT count(*) || ' lines' FROM import_rows s JOIN import_heads h ON h.cInvCode = s.cInvCode AND h.Version = s.Version;
