# make test  - install what is missing, build, and run every test under Wine
# make run   - install what is missing, build, and run inkslip.exe
# make bench - install what is missing, build, and run the benchmarks
# make mutants - the seeded-fault check of the tests (slow; not run by CI)
.PHONY: test run bench mutants build clean

test:
	@scripts/run-tests.sh

run:
	@scripts/run.sh

bench:
	@scripts/run-bench.sh

mutants:
	@scripts/mutants.sh

build:
	@scripts/setup.sh && scripts/build.sh

clean:
	rm -rf build
