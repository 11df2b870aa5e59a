# Counting checks for the packaging scripts, sourced after `work` is set.
# check DESCRIPTION COMMAND...: runs the command, counts and reports it; a
# failure shows the end of what it printed.
passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@" >"$work/output" 2>&1; then
        passed=$((passed + 1))
        echo "ok: $what"
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
        sed 's/^/    /' "$work/output" | tail -n 40
    fi
}

# summary NAME: the counts, and the exit status for them.
summary() {
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
