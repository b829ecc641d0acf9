// Encode and decode of the configuration block: a figure to watch, not a test.
#include <benchmark/benchmark.h>

#include "config_block.h"
#include "key_naming.h"

namespace quillpad {
namespace {

void BM_EncodeConfigBlock(benchmark::State& state) {
    KeyAssignments keys{};
    for (int n = 1; n <= kKeyCount; ++n) {
        KeyByNumber(keys, n) =
            KeyAssignment{static_cast<std::uint8_t>(0x40 + n), kModCtrl, kMouseLeft, 0};
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeConfigBlock(keys));
    }
}
BENCHMARK(BM_EncodeConfigBlock);

void BM_DecodeConfigBlock(benchmark::State& state) {
    ConfigBlock block{};
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i * 7);
    KeyAssignments keys{};
    for (auto _ : state) {
        DecodeConfigBlock(block, keys);
        benchmark::DoNotOptimize(keys);
    }
}
BENCHMARK(BM_DecodeConfigBlock);

void BM_ShowAssignmentText(benchmark::State& state) {
    const KeyAssignment a{0x51, 0x0F, 0x07, 0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(NormalizeKeyText(FormatAssignment(a, false)));
    }
}
BENCHMARK(BM_ShowAssignmentText);

}  // namespace
}  // namespace quillpad
