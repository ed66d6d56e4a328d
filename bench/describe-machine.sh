#!/usr/bin/env bash
# Records what the figures were measured on: the day, the machine, the
# compiler, Qt, and the commit of the code measured (with whether the
# program's sources had uncommitted changes).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

record date "$(date -u +%Y-%m-%d)"
record processors "$(nproc)"
record cpu "$(sed -n '/^model name/{s/^model name[[:space:]]*: //p;q}' /proc/cpuinfo)"
record memory-kib "$(awk '/^MemTotal/ { print $2 }' /proc/meminfo)"
record kernel "$(uname -sr)"
record compiler "$(c++ --version | head -1)"
record qt "$(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo unknown)"
record commit "$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)"
changes=$(git -C "$root" status --porcelain engine cli platform app network 2>/dev/null || true)
record uncommitted "$([ -n "$changes" ] && echo yes || echo no)"
