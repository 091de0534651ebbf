#!/usr/bin/env bash
# Fails when the workbook code builds an SQL statement out of values instead of binding them:
# quoting helpers, SQL text joined with '+' to anything, raw SQLite calls outside the classes
# that prepare statements. A line that joins fixed names only says so with "// fixed names".
#   tests/workbook/check-sql-text.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"
files=(workbook/*.cpp workbook/*.h pgn/PgnImport.cpp pgn/PgnExport.cpp cli/WorkbookCommands.cpp)
keywords='\b(select|insert|update|delete|where|values|limit|offset|from|set)\b'
status=0
report() { # FILE:LINE:TEXT lines on stdin, with the reason
    while IFS= read -r line; do
        echo "SQL built from values ($1): $line"
        status=1
    done
}
report "quoting helper" < <(grep -nHP 'strQuote\s*\(' "${files[@]}" || true)
report "SQL text joined with +" < <(grep -nHiP "\"[^\"]*$keywords[^\"]*\"" "${files[@]}" |
    grep -P '"\s*\+|\+\s*"' | grep -v '// fixed names' || true)
report "raw SQLite call" < <(grep -nHP 'sqlite3_(exec|prepare\w*|get_table)\s*\(' "${files[@]}" |
    grep -vP '^workbook/(Sql(Connection|Statement))\.cpp:' || true)
[ $status = 0 ] && echo "SQL text check: ${#files[@]} files, every value bound"
exit $status
