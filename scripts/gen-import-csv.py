#!/usr/bin/env python3
"""Writes a `q7bom bom import` file for the demo account: LINES BOM lines as
new main BOM versions of several parents, each version taking over from a
later date than the one before, its lines drawn from the account's purchased
items (a component often on several lines of one BOM), some lines ended, some
remarks with commas and quotes. The columns are those `q7bom bom export`
writes. Deterministic for a seed.

    scripts/gen-import-csv.py 100000 > /tmp/boms.csv
"""

import argparse
import csv
import datetime
import random
import sys

COLUMNS = ("cInvCode,InvFree_1,InvFree_2,BomType,Version,VersionDesc,VersionEffDate,IdentCode,IdentDesc,ParentScrap,"
           "DSortSeq,DInvCode,DInvFree_1,DInvFree_2,DOpSeq,DBaseQtyN,DBaseQtyD,DCompScrap,DFVFlag,DWIPType,DPlanRate,"
           "DByproductFlag,DAccuCostFlag,DOptionalFlag,DMutexRule,DWhCode,DDeptCode,DEffBegDate,DEffEndDate,DOffset,DRemark").split(",")

# Parents (made items of the demo account, some with a version 1 already) and
# purchased components none of which leads back to a parent.
PARENTS = ["BS-200", "PC-300", "MT-200", "WH-200", "FR-210", "RM-310", "HB-220", "SW-320"]
COMPONENTS = ["ST-400", "CP-400", "SP-320", "SP-321", "TY-330", "TY-331", "BL-200", "BL-210", "PT-220", "CW-300", "SW-310", "CH-900"]
REMARKS = ["", "", "", "", "前后各一", "按图纸, 见附件", '标注"加厚"的批次', "替代料可用"]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("lines", type=int, help="BOM lines to write")
    parser.add_argument("--lines-per-bom", type=int, default=100)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    out = csv.writer(sys.stdout, lineterminator="\n")
    out.writerow(COLUMNS)
    written = 0
    bom = 0
    start = datetime.date(2026, 1, 1)
    while written < args.lines:
        parent = PARENTS[bom % len(PARENTS)]
        round_ = bom // len(PARENTS)
        version = 2 + round_
        effective = start + datetime.timedelta(days=7 * round_)
        scrap = rng.choice(["0", "0", "2", "5"])
        count = min(args.lines_per_bom, args.lines - written)
        for n in range(count):
            component = rng.choice(COMPONENTS)
            ended = rng.random() < 0.1
            begin = effective if rng.random() < 0.8 else effective + datetime.timedelta(days=rng.randint(1, 30))
            end = begin + datetime.timedelta(days=rng.randint(1, 365)) if ended else datetime.date(2099, 12, 31)
            row = {
                "cInvCode": parent, "InvFree_1": "", "InvFree_2": "", "BomType": "主BOM", "Version": str(version),
                "VersionDesc": f"{effective:%Y}年第{round_ + 1}版", "VersionEffDate": effective.isoformat(), "IdentCode": "",
                "IdentDesc": "", "ParentScrap": scrap, "DSortSeq": str((n + 1) * 10), "DInvCode": component,
                "DInvFree_1": "", "DInvFree_2": "", "DOpSeq": "", "DBaseQtyN": rng.choice(["1", "2", "4", "0.5", "1.25", "12"]),
                "DBaseQtyD": rng.choice(["1", "1", "1", "10"]), "DCompScrap": rng.choice(["0", "0", "1", "3.5"]),
                "DFVFlag": rng.choice(["变动", "变动", "固定"]), "DWIPType": rng.choice(["领用", "领用", "入库倒冲", "工序倒冲"]),
                "DPlanRate": rng.choice(["", "100", "100", "50"]), "DByproductFlag": "否", "DAccuCostFlag": "是",
                "DOptionalFlag": "否", "DMutexRule": "", "DWhCode": rng.choice(["01", "01", "02", ""]),
                "DDeptCode": rng.choice(["01", "02", "03", ""]), "DEffBegDate": begin.isoformat(), "DEffEndDate": end.isoformat(),
                "DOffset": rng.choice(["0", "0", "1", "2"]), "DRemark": rng.choice(REMARKS),
            }
            out.writerow([row[c] for c in COLUMNS])
        written += count
        bom += 1


if __name__ == "__main__":
    main()
