#!/usr/bin/env python3
"""Prints the Debian mirrors this machine's apt already uses for a release, so the package test
makes its clean root from them instead of an address written into the tree.

    apt-mirrors.py [--release bookworm] [--root /]

Each line is "main URI" (an archive carrying the release itself) or "security URI" (one carrying
RELEASE-security), in the order apt lists them, each URI once. Reads /etc/apt/sources.list and
/etc/apt/sources.list.d/*.list (one-line form) and /etc/apt/sources.list.d/*.sources (deb822
form); disabled entries, deb-src lines and files with other endings are left out.
"""
import argparse
import glob
import os
import sys


def one_line_entries(text):
    """(uri, suite) of each 'deb' line; options in [brackets] are skipped."""
    for line in text.splitlines():
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        words = line.split()
        if words[0] != "deb":
            continue
        words = words[1:]
        if words and words[0].startswith("["):
            while words and not words[0].endswith("]"):
                words = words[1:]
            words = words[1:]
        if len(words) >= 2:
            yield words[0], words[1]


def deb822_entries(text):
    """(uri, suite) of each enabled stanza of Types: deb; fields may continue on indented lines."""
    stanzas, fields, key = [], {}, None
    for raw in text.splitlines() + [""]:
        if raw.lstrip().startswith("#"):
            continue
        if not raw.strip():
            if fields:
                stanzas.append(fields)
            fields, key = {}, None
            continue
        if raw[0] in " \t" and key:
            fields[key] += " " + raw.strip()
        elif ":" in raw:
            key, value = raw.split(":", 1)
            key = key.strip().lower()
            fields[key] = value.strip()
    for stanza in stanzas:
        if stanza.get("enabled", "yes").lower() == "no":
            continue
        if "deb" not in stanza.get("types", "").split():
            continue
        for uri in stanza.get("uris", "").split():
            for suite in stanza.get("suites", "").split():
                yield uri, suite


def read(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()
    except OSError:
        return ""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--release", default="bookworm")
    parser.add_argument("--root", default="/")
    args = parser.parse_args()
    apt = os.path.join(args.root, "etc/apt")
    entries = list(one_line_entries(read(os.path.join(apt, "sources.list"))))
    for path in sorted(glob.glob(os.path.join(apt, "sources.list.d", "*"))):
        if path.endswith(".list"):
            entries += one_line_entries(read(path))
        elif path.endswith(".sources"):
            entries += deb822_entries(read(path))
    seen = set()
    for uri, suite in entries:
        uri = uri.rstrip("/")
        kind = {args.release: "main", args.release + "-security": "security"}.get(suite)
        if kind and (kind, uri) not in seen:
            seen.add((kind, uri))
            print(kind, uri)
    return 0


if __name__ == "__main__":
    sys.exit(main())
