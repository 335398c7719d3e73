#!/usr/bin/env python3
"""Copies a UTF-8 text file as Windows-1251 (the skins' Russian names).

usage: to_cp1251.py SOURCE TARGET
"""
import sys


def main(source, target):
    with open(source, "r", encoding="utf-8") as f:
        text = f.read()
    with open(target, "wb") as f:
        f.write(text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp1251"))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
