#!/usr/bin/env bash
# Which program lines does each test run? A guard for merging and trimming tests.
#
#   scripts/coverage.sh [OUT]                 OUT defaults to /tmp/brisolt-coverage-$USER
#   scripts/coverage.sh OUT BEFORE/lines.txt  also lists the lines BEFORE ran and OUT does not
#
# Builds the working tree with clang's source coverage in OUT/build, runs every ctest test on
# its own with its own profile (programs the test starts, such as brisolt-cli, write theirs
# beside it), and writes:
#   OUT/lines.txt   every program line some test runs, as "file:line"
#   OUT/unique.txt  for each test, the lines no other test runs
# Lines of tests/ and of generated files are left out. Debian's clang 14 cannot build the tests
# (they capture structured bindings in lambdas), so this uses clang 16 and installs it if missing.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-${TMPDIR:-/tmp}/brisolt-coverage-${USER:-$(id -un)}}
before=${2:-}

if ! command -v clang++-16 >/dev/null || ! command -v llvm-cov-16 >/dev/null ||
    [ ! -e /usr/lib/llvm-16/lib/clang/16/lib/linux/libclang_rt.profile-x86_64.a ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get install -y -qq --no-install-recommends clang-16 llvm-16 libclang-rt-16-dev
fi

mkdir -p "$out"
flags="-fprofile-instr-generate -fcoverage-mapping"
cmake -S "$repo" -B "$out/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRISOLT_MIMALLOC=OFF \
    -DCMAKE_C_COMPILER=clang-16 -DCMAKE_CXX_COMPILER=clang++-16 -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" >"$out/configure.log"
cmake --build "$out/build" >"$out/build.log"
ctest --test-dir "$out/build" --show-only=json-v1 >"$out/tests.json"
rm -rf "$out/profiles"

python3 - "$repo/" "$out" "$before" <<'EOF'
import collections, concurrent.futures, glob, json, os, subprocess, sys

repo, out, before = sys.argv[1:4]
build = out + "/build"
tests = json.load(open(out + "/tests.json"))["tests"]
programs = [build + "/cli/brisolt-cli", build + "/app/brisolt"]


def lines_of(index):
    test = tests[index]
    folder = f"{out}/profiles/{index}"
    os.makedirs(folder)
    env, cwd = dict(os.environ), None
    for prop in test.get("properties", []):
        if prop["name"] == "ENVIRONMENT":
            env.update(item.split("=", 1) for item in prop["value"])
        elif prop["name"] == "WORKING_DIRECTORY":
            cwd = prop["value"]
    env["LLVM_PROFILE_FILE"] = folder + "/%p-%m.profraw"
    passed = subprocess.run(test["command"], cwd=cwd, env=env, capture_output=True).returncode == 0
    # A process killed on purpose (the crash tests) leaves a profile that cannot be read.
    raws = [raw for raw in glob.glob(folder + "/*.profraw")
            if subprocess.run(["llvm-profdata-16", "show", raw], capture_output=True).returncode == 0]
    if not raws:
        return test["name"], passed, set()
    subprocess.run(["llvm-profdata-16", "merge", "-sparse", "-o", folder + ".profdata", *raws], check=True)
    objects = [path for path in [test["command"][0], *programs] if not path.endswith(".sh")]
    report = subprocess.run(["llvm-cov-16", "export", "-format=lcov", "-skip-functions",
                             "-instr-profile", folder + ".profdata", objects[0],
                             *[arg for path in objects[1:] for arg in ("-object", path)]],
                            capture_output=True, text=True).stdout
    lines, source = set(), None
    for row in report.splitlines():
        if row.startswith("SF:"):
            path = row[3:]
            keep = path.startswith(repo) and not path.startswith(repo + "tests/")
            source = path[len(repo):] if keep else None
        elif row.startswith("DA:") and source:
            number, count = row[3:].split(",")[:2]
            if int(count) > 0:
                lines.add(f"{source}:{number}")
    return test["name"], passed, lines


with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
    results = list(pool.map(lines_of, range(len(tests))))
runs = collections.Counter(line for _, _, lines in results for line in lines)
every = sorted(runs, key=lambda line: (line.rsplit(":", 1)[0], int(line.rsplit(":", 1)[1])))
open(out + "/lines.txt", "w").write("".join(line + "\n" for line in every))
with open(out + "/unique.txt", "w") as unique:
    for name, passed, lines in sorted(results):
        own = sorted(line for line in lines if runs[line] == 1)
        unique.write(f"{name}: {len(own)} of {len(lines)} lines its own{'' if passed else ', FAILED'}\n")
        unique.writelines(f"    {line}\n" for line in own)
failed = [name for name, passed, _ in results if not passed]
print(f"{len(tests)} tests, {len(failed)} failed {failed}; {len(every)} program lines run")
if before:
    lost = sorted(set(open(before).read().split()) - set(every))
    print(f"{len(lost)} lines run before and not now")
    for line in lost:
        path, number = line.rsplit(":", 1)
        # A line number past the end of the file as it is now: the program changed since.
        text = (open(repo + path).read().splitlines()[int(number) - 1:] or ["(past the end)"])[0]
        print(f"    {line}: {text.strip()}")
EOF
