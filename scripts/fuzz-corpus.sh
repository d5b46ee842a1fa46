# Shared by the test and long fuzzing scripts. Source this file.
#
# td_fuzz_corpus TARGET DIR: makes DIR the working corpus of fuzz target
# TARGET (a path to the executable), with the seeds of its folder copied in.
# Seeds live in fuzz/corpus/<first words of the target's name>: the folder
# "listing" seeds listing_parse_fuzz. Files already in DIR are kept, so a
# later run goes on from what an earlier one found.
td_fuzz_corpus() {
  local name seeds
  name="$(basename "$1")"
  mkdir -p "$2"
  for seeds in "$TD_ROOT"/fuzz/corpus/*/; do
    seeds="${seeds%/}"
    case "$name" in "$(basename "$seeds")"_*) cp -n "$seeds"/* "$2"/ 2>/dev/null || true ;; esac
  done
}
