#!/usr/bin/env python3
"""Makes a folder tree of N empty files for the scan benchmark: one in ten a
bitmap (in mixed letter case), the rest other pictures and documents, spread
over folders four levels deep with about 50 files each."""
import os
import sys

root, total = sys.argv[1], int(sys.argv[2])
per_folder, fan_out = 50, 6
made = 0
folder_number = 0


def folder_path(number):
    parts = []
    for _ in range(4):
        parts.append("dir%d" % (number % fan_out))
        number //= fan_out
    parts.append("leaf%d" % number)
    return os.path.join(root, *parts)


while made < total:
    path = folder_path(folder_number)
    os.makedirs(path, exist_ok=True)
    for i in range(min(per_folder, total - made)):
        n = made + i
        ext = (".bmp", ".BMP", ".Bmp")[n % 3] if n % 10 == 0 else (".jpg", ".png", ".txt")[n % 3]
        open(os.path.join(path, "photo_%07d%s" % (n, ext)), "w").close()
    made += per_folder
    folder_number += 1
