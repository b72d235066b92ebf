#!/bin/sh
# Makes sure clang can link libFuzzer. Its runtime comes in a Debian package named after clang's
# version (libclang-rt-14-dev on Debian 12, libclang-rt-19-dev on 13), so the name is taken from
# the installed compiler. Exits 1 with one line when nothing provides it: the fuzz runs are skipped.
set -u
dir=$(dirname "$0")
probe() {
  echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer - -o /dev/null >/dev/null 2>&1
}
probe && exit 0
major=$(clang++ -dumpversion 2>/dev/null | cut -d. -f1)
package=libclang-rt-$major-dev
if [ -n "$major" ] && apt-cache show "$package" >/dev/null 2>&1; then
  "$dir/install-deps.sh" "$package" >&2 || true
  probe && exit 0
fi
echo "Skipping the fuzz runs: clang ${major:-(not installed)} has no libFuzzer runtime here."
exit 1
