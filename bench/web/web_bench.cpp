// Throughput of the byte-level routines on inputs up to 1 MiB. Each runs over 64 KiB .. 1 MiB
// and reports its fitted complexity, so a quadratic slip shows as a bad O(N) fit.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "web/codepage.h"
#include "web/text.h"
#include "web/url_encode.h"

namespace miravue {
namespace {

constexpr int64_t kMinSize = 64 << 10;
constexpr int64_t kMaxSize = 1 << 20;

// A clipboard-like address: ASCII with GBK characters and URL punctuation mixed in.
std::string GbkText(size_t size) {
    static const std::string kPiece = "http://v.example/\xB2\xA5\xB7\xC5 a_b~c.mp4?x=1&\xD6\xD0";
    std::string text;
    while (text.size() < size) {
        text += kPiece;
    }
    text.resize(size);
    return text;
}

// A response body: UTF-8 Chinese with ASCII markup in between.
Bytes Utf8Body(size_t size) {
    static const std::string kPiece = "<p>\xE4\xB8\xAD\xE6\x96\x87 caf\xC3\xA9 \xE2\x82\xAC</p>\n";
    Bytes body;
    while (body.size() < size) {
        body.insert(body.end(), kPiece.begin(), kPiece.end());
    }
    body.resize(size);
    return body;
}

void BM_UrlEncode(benchmark::State& state) {
    const std::string text = GbkText(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(UrlEncode(text));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_UrlEncode)->RangeMultiplier(2)->Range(kMinSize, kMaxSize)->Complexity(benchmark::oN);

void BM_Utf8ToGbk(benchmark::State& state) {
    const Bytes body = Utf8Body(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Utf8ToGbk(body));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Utf8ToGbk)->RangeMultiplier(2)->Range(kMinSize, kMaxSize)->Complexity(benchmark::oN);

// The sought text is absent, so every character start of the text is tried.
void BM_FindText(benchmark::State& state, bool nocase) {
    const std::string text = GbkText(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindText(text, "Content-Length:", 1, nocase));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK_CAPTURE(BM_FindText, exact, false)
    ->RangeMultiplier(2)
    ->Range(kMinSize, kMaxSize)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_FindText, nocase, true)
    ->RangeMultiplier(2)
    ->Range(kMinSize, kMaxSize)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace miravue
