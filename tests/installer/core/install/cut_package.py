#!/usr/bin/env python3
"""Writes the first half of a package blob: a package damaged part-way."""

import sys

with open(sys.argv[1], "rb") as whole:
    data = whole.read()
with open(sys.argv[2], "wb") as cut:
    cut.write(data[: len(data) // 2])
