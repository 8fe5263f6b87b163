# make test  - install what is missing, build, and run every test under Wine
# make run   - install what is missing, build, and run inkslip.exe
# make bench - install what is missing, build, and run the benchmarks
.PHONY: test run bench build clean

test:
	@scripts/run-tests.sh

run:
	@scripts/run.sh

bench:
	@scripts/run-bench.sh

build:
	@scripts/setup.sh && scripts/build.sh

clean:
	rm -rf build
