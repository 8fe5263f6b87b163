#!/bin/bash
# The seeded-fault check: puts each fault listed in scripts/mutants.txt into the
# program's sources, one at a time, rebuilds, runs the tests that could catch
# it and says whether they did; the sources are put back after each. Ends with
# "N caught, M missed". Slow (a build and a test run per fault), so CI does not
# run it. Arguments: the ids of the faults to try (default: all); --check
# first only checks that each fault can be put in (no build, no tests).
# MUTANTS_BUILD_DIR chooses the build tree (default: build/mutants).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
list=$root/scripts/mutants.txt

. "$root/scripts/wine-session.sh"
tree=${MUTANTS_BUILD_DIR:-$root/build/mutants}

# The faults: ids, files, test labels, descriptions, and the text each
# replaces and its replacement (in files of their own, so any text goes).
work=$(mktemp -d /tmp/inkslip-mutants.XXXXXX)
ids=()
parse() {
    local line id= part=
    while IFS= read -r line || [ -n "$line" ]; do
        if [[ $line == '== '* ]]; then
            read -r _ id label file <<<"$line"
            ids+=("$id")
            echo "$label" >"$work/$id.label"
            echo "$file" >"$work/$id.file"
            : >"$work/$id.old"
            : >"$work/$id.new"
            part=description
        elif [ -z "$id" ] || [[ $line == '#'* && $part == description ]]; then
            continue
        elif [ "$line" = '---' ]; then
            part=old
        elif [ "$line" = '+++' ]; then
            part=new
        elif [ "$part" = description ]; then
            echo "$line" >>"$work/$id.description"
        else
            printf '%s\n' "$line" >>"$work/$id.$part"
        fi
    done <"$list"
}
parse

check_only=
if [ "${1:-}" = --check ]; then
    check_only=1
    shift
fi
selected=("$@")
[ ${#selected[@]} -gt 0 ] || selected=("${ids[@]}")

restore=
cleanup() {
    [ -n "$restore" ] && cp "$work/original" "$root/$restore"
    wine_session_stop
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The file with the fault put in; fails when the text to replace is not
# found exactly once.
mutate() {
    local id=$1 file=$2
    perl -0777 -e '
        my ($file, $old, $new) = @ARGV;
        local $/;
        open(my $in, "<", $file) or die "$file: $!";
        my $text = <$in>;
        open($in, "<", $old) or die; my $find = <$in>;
        open($in, "<", $new) or die; my $put = <$in>;
        my $count = () = $text =~ /\Q$find\E/g;
        exit 3 if $count != 1;
        $text =~ s/\Q$find\E/$put/;
        open(my $out, ">", $file) or die; print $out $text;
    ' "$root/$file" "$work/$id.old" "$work/$id.new"
}

if [ -z "$check_only" ]; then
    BUILD_DIR=$tree ARCH=$INKSLIP_TEST_ARCH "$root/scripts/build.sh" >/dev/null || exit 1
    wine_template_prefix "$tree/wine-template" || exit 1
    wine_session_start "$tree/wine-template" || exit 1
fi

caught=0
missed=0
broken=0
for id in "${selected[@]}"; do
    [ -f "$work/$id.file" ] || { echo "mutants: no fault $id in $list" >&2; exit 2; }
    file=$(cat "$work/$id.file")
    label=$(cat "$work/$id.label")
    description=$(head -n1 "$work/$id.description" 2>/dev/null)
    cp "$root/$file" "$work/original"
    restore=$file
    if ! mutate "$id" "$file"; then
        echo "fault $id: NOT APPLIED ($file does not hold its text exactly once): $description"
        broken=$((broken + 1))
    elif [ -n "$check_only" ]; then
        :
    elif ! cmake --build "$tree" --target $(printf '%s_tests ' ${label//|/ }) >"$work/build.log" 2>&1; then
        echo "fault $id: DOES NOT BUILD: $description"
        tail -n 5 "$work/build.log"
        broken=$((broken + 1))
    elif (cd "$tree" && ctest -L "^($label)\$" --timeout 120 >"$work/test.log" 2>&1); then
        echo "fault $id: missed by the $label tests: $description"
        missed=$((missed + 1))
    else
        failed=$(grep -c '(Failed)\|(Timeout)\|(SEGFAULT)\|(Exception)' "$work/test.log")
        echo "fault $id: caught by the $label tests ($failed failing): $description"
        caught=$((caught + 1))
    fi
    cp "$work/original" "$root/$file"
    restore=
done
if [ -n "$check_only" ]; then
    [ $broken = 0 ] && echo "all ${#selected[@]} faults can be put in"
    exit $((broken > 0))
fi
[ $broken -gt 0 ] && echo "$broken faults could not be tried"
echo "$caught caught, $missed missed"
[ $missed -eq 0 ] && [ $broken -eq 0 ]
