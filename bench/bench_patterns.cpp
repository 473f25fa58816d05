// Pattern generation speed: random data must come at 1 GB/s or more per core, constant patterns
// near memset speed. Run: build/bench/bench_patterns
#include "engine/Algorithm.h"
#include "engine/PassStream.h"
#include "engine/Pattern.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kBlock = 1048576;

void fillPattern(benchmark::State& state, cv::Pattern pattern)
{
    std::vector<std::uint8_t> buffer(kBlock);
    for (auto _ : state) {
        pattern.fill(buffer);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBlock));
}

void BM_Memset(benchmark::State& state)
{
    std::vector<std::uint8_t> buffer(kBlock);
    for (auto _ : state) {
        std::memset(buffer.data(), 0x5A, buffer.size());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBlock));
}

void BM_RandomData(benchmark::State& state)
{
    fillPattern(state, cv::Pattern::random(cv::Pattern::Kind::RandomData));
}
// What a random pass writes now: the AES-256-CTR keystream of the pass (BM_RandomData is the
// CSPRNG draw the passes used before), side by side.
void BM_KeystreamData(benchmark::State& state)
{
    cv::PassStream stream(cv::Pattern::random(cv::Pattern::Kind::RandomData));
    std::vector<std::uint8_t> buffer(kBlock);
    for (auto _ : state) {
        stream.fill(buffer);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBlock));
}
void BM_RandomByte(benchmark::State& state)
{
    fillPattern(state, cv::Pattern::random(cv::Pattern::Kind::RandomByte));
}
void BM_RandomTriple(benchmark::State& state)
{
    fillPattern(state, cv::Pattern::random(cv::Pattern::Kind::RandomTriple));
}
void BM_ConstantByte(benchmark::State& state)
{
    fillPattern(state, cv::Pattern::byte(0x35));
}
void BM_ConstantWord(benchmark::State& state)
{
    fillPattern(state, cv::Pattern::word(0xBFFFFFFF));
}
void BM_ConstantTriple(benchmark::State& state)
{
    fillPattern(state, cv::Pattern::makeTriple(0x92, 0x49, 0x24));
}

// The method-level call that allocates a new block each time, as the catalogue's interface does.
void BM_GetDataForLength(benchmark::State& state)
{
    const cv::Algorithm gutmann(2, 35, "Gutmann", "");
    for (auto _ : state) {
        auto block = gutmann.getDataForLength(kBlock, 7);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBlock));
}

} // namespace

BENCHMARK(BM_Memset);
BENCHMARK(BM_RandomData);
BENCHMARK(BM_KeystreamData);
BENCHMARK(BM_RandomByte);
BENCHMARK(BM_RandomTriple);
BENCHMARK(BM_ConstantByte);
BENCHMARK(BM_ConstantWord);
BENCHMARK(BM_ConstantTriple);
BENCHMARK(BM_GetDataForLength);
