// A hostile radio: the fuzzer's bytes are the radio's answers to one machine of the
// program (hostile_script.h tells how). On every input: no crash or sanitizer report,
// an end within bounded virtual time, exactly one completion with a known code, nothing
// written after it, no block write outside what the machine may write, and no packet
// outside the image or other than the image's bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "hostile_radio_device.h"
#include "hostile_script.h"
#include "machine_run.h"

namespace {

[[noreturn]] void Violation(const char* what, const CHostileStart& start, const CMachineOutcome& outcome) {
    std::fprintf(stderr, "hostile radio: %s (machine %d, result 0x%08X, completions %zu, writes %zu, %u virtual ms)\n",
                 what, int(start.machine), unsigned(outcome.result), outcome.completions, outcome.writes,
                 unsigned(outcome.virtualMs));
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string error;
    if (!CMachineRun::Prepare(error)) {
        std::fprintf(stderr, "hostile radio: %s\n", error.c_str());
        std::exit(1);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    CHostileScript script(data, size);
    CMachineRun run;
    const CMachineOutcome outcome = run.Run(
        script.Start(),
        [&](CMachineRun::WriteObserver observer) {
            return std::make_unique<CHostileRadioDevice>(script, std::move(observer));
        },
        [&] { return script.Exhausted(); });

    if (std::getenv("ZR8_HOSTILE_VERBOSE"))
        std::fprintf(stderr, "hostile radio: machine %d, result 0x%08X, completions %zu, writes %zu, %u virtual ms\n",
                     int(script.Start().machine), unsigned(outcome.result), outcome.completions, outcome.writes,
                     unsigned(outcome.virtualMs));
    if (!outcome.violation.empty()) {
        std::fprintf(stderr, "hostile radio: %s\n", outcome.violation.c_str());
        Violation("a forbidden write", script.Start(), outcome);
    }
    if (!outcome.finishedInTime) Violation("no completion within the time bound", script.Start(), outcome);
    if (outcome.completions != 1) Violation("not exactly one completion", script.Start(), outcome);
    if (!IsKnownResult(outcome.result)) Violation("a result with no text", script.Start(), outcome);
    if (outcome.writesAfterEnd != 0) Violation("writes after the completion", script.Start(), outcome);
    return 0;
}
