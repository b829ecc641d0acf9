// DevEnumerate over a scripted platform with 1,000 HID interfaces, and the platform calls one
// 256-byte block read or write costs (reported as counters: the protocol's minimum is the
// header reports plus the data reports, or the header reports plus one feature request).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "dev_internal.h"
#include "platform/fake/fake_platform.h"

namespace quillpad {
namespace {

// 1,000 interfaces: every tenth a keypad's configuration interface (the table keeps the
// first 32), the others foreign devices or further interfaces of those keypads.
void FillPlatform(FakePlatform& fake, int interfaces) {
    for (int i = 0; i < interfaces; ++i) {
        std::string path("hid#");
        path.append(std::to_string(i));
        const DevNode grandparent = static_cast<DevNode>(1 + i / 10);
        if (i % 10 == 0) {
            fake.Add(FakePlatform::KeypadInterface(path, grandparent));
        } else if (i % 10 == 1) {
            fake.Add(FakePlatform::Interface(path, grandparent, kKeypadVendorId, kKeypadProductId,
                                             kKeypadUsagePage, 0x06));
        } else {
            fake.Add(FakePlatform::Interface(path, 100000 + i, 0x046D, 0xC077, 0x01, 0x02));
        }
    }
}

void BM_DevEnumerate(benchmark::State& state) {
    FakePlatform fake;
    fake.SetRecording(false);
    FillPlatform(fake, static_cast<int>(state.range(0)));
    DevSetPlatform(&fake);
    int count = 0;
    for (auto _ : state) {
        count = DevEnumerate(nullptr);
        benchmark::DoNotOptimize(count);
    }
    state.counters["devices"] = count;
    state.counters["calls_per_walk"] =
        static_cast<double>(fake.TotalCalls()) / static_cast<double>(state.iterations());
    DevSetPlatform(nullptr);
}
BENCHMARK(BM_DevEnumerate)->Arg(1000)->Unit(benchmark::kMicrosecond);

// One keypad with output reports of state.range(0) bytes.
template <bool kWrite>
void BM_BlockTransfer(benchmark::State& state) {
    FakePlatform fake;
    fake.SetRecording(false);
    fake.Add(FakePlatform::KeypadInterface("pad", 1, static_cast<std::uint16_t>(state.range(0))));
    DevSetPlatform(&fake);
    if (DevEnumerate(nullptr) != 1) {
        state.SkipWithError("keypad not found");
        return;
    }
    DevSelect(0);
    std::vector<std::uint8_t> block(256, 0x5A);
    fake.ClearCalls();
    for (auto _ : state) {
        const int ok =
            kWrite ? DevWriteBlock(block.data(), 0, 256) : DevReadBlock(block.data(), 0, 256);
        if (ok != 1) {
            state.SkipWithError("transfer failed");
            break;
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["platform_calls"] = fake.TotalCalls() / n;
    state.counters["reports"] = fake.Count(FakeOp::kWriteReport) / n;
    state.counters["feature_requests"] = fake.Count(FakeOp::kGetFeature) / n;
    DevSetPlatform(nullptr);
}
BENCHMARK_TEMPLATE(BM_BlockTransfer, true)->Name("BM_Write256")->Arg(9)->Arg(65);
BENCHMARK_TEMPLATE(BM_BlockTransfer, false)->Name("BM_Read256")->Arg(9)->Arg(65);

}  // namespace
}  // namespace quillpad
