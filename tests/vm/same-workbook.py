#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Whether two .xls workbooks hold the same sheets and cells, apart from the download time that the
sheet about the meter states (the two downloads ended at different moments). Exit status 0 when
they do; otherwise the first difference is printed and the status is 1."""
import re
import sys

import xlrd

TIME = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$")


def cells(path):
    book = xlrd.open_workbook(path, formatting_info=True)
    for sheet in book.sheets():
        for row in range(sheet.nrows):
            for column in range(sheet.ncols):
                cell = sheet.cell(row, column)
                value = cell.value
                if isinstance(value, str) and TIME.match(value):
                    value = "<time>"
                yield sheet.name, row, column, cell.ctype, value, cell.xf_index


expected, got = list(cells(sys.argv[1])), list(cells(sys.argv[2]))
for a, b in zip(expected, got):
    if a != b:
        print(f"first difference: {a} vs {b}")
        sys.exit(1)
if len(expected) != len(got):
    print(f"{len(expected)} cells vs {len(got)}")
    sys.exit(1)
