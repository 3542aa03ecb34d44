#!/usr/bin/env bash
# Syntax check, with the MinGW-w64 cross compiler, of the Windows-only COM host and of the Qt-free
# export headers it is built with. --all checks the other Qt-free export sources as well.
# Exits 77 (skipped) when there is no cross compiler.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cxx="${MINGW_CXX:-x86_64-w64-mingw32-g++}"
if ! command -v "$cxx" >/dev/null 2>&1; then
    echo "skipped: $cxx not found"
    exit 77
fi
flags=(-std=c++20 -fsyntax-only -Wall -Wextra -I"$root/src")
headers=(export/com_host.h export/automation.h export/chart_export.h export/excel_operation.h
         export/excel_options.h export/worksheet_address.h export/workbook_host.h
         export/workbook_model.h export/text_export.h common/text_number.h)
sources=(src/export/com_host_win.cpp)
if [ "${1:-}" = "--all" ]; then
    sources+=(src/export/automation.cpp src/export/excel_operation.cpp src/export/worksheet_address.cpp
              src/export/excel_options.cpp src/export/chart_export.cpp src/export/workbook_host.cpp
              src/export/text_export.cpp src/common/number_text.cpp)
fi
status=0
# All headers in one translation unit: a compiler run per header would be slow.
if printf '#include "%s"\n' "${headers[@]}" | "$cxx" "${flags[@]}" -x c++ -; then
    echo "ok: ${#headers[@]} headers"
else
    echo "FAILED: headers"
    status=1
fi
for f in "${sources[@]}"; do
    if "$cxx" "${flags[@]}" "$root/$f"; then
        echo "ok: $f"
    else
        echo "FAILED: $f"
        status=1
    fi
done
exit $status
