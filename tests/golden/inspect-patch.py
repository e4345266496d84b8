#!/usr/bin/env python3
"""Prints what a patch file covers as the lines of a golden manifest: its format version,
the payload methods and block coders it uses and the predictor version of each predicted
payload. Usage: inspect-patch.py PATCH"""
import sys

import patch_layout

data = open(sys.argv[1], "rb").read()
layout = patch_layout.Layout(data)
methods, coders, predicted = set(), set(), []
for entry in layout.entries:
    if entry.kind == "delete":
        continue
    methods.add(entry.method)
    if entry.method == "blocks":
        predictor, used = patch_layout.block_payload(data, entry)
        coders |= used
        if predictor is not None:
            predicted.append((entry.name.replace("\\", "/"), predictor))
print("format %d" % layout.version)
for method in sorted(methods):
    print("method " + method)
for coder in sorted(coders):
    print("coder " + coder)
for name, predictor in predicted:
    print("predicted %s %d" % (name, predictor))
