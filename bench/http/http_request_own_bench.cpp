// The routine's own share of a request: the same call as against the key endpoint, with
// the fake internet layer answering from memory, so no socket and no server is involved.

#include <benchmark/benchmark.h>

#include "tests/fakes/fake_internet.h"
#include "web/http_request.h"

namespace miravue {
namespace {

void BM_HttpRequestOwnShare(benchmark::State& state) {
    const fake::FakeResponse answer =
        fake::MakeResponse("HTTP/1.1 200 OK",
                           {"Content-Type: text/plain; charset=utf-8", "Content-Length: 30",
                            "Date: Mon, 01 Jan 2024 00:00:00 GMT", "Connection: close"},
                           "http://127.0.0.1:17380/play?u=");
    for (auto _ : state) {
        state.PauseTiming();
        fake::Internet().Reset();
        fake::Internet().responses.push_back(answer);
        state.ResumeTiming();
        Text body = HttpRequest("http://127.0.0.1:17380/key");
        benchmark::DoNotOptimize(body);
    }
}
BENCHMARK(BM_HttpRequestOwnShare)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace miravue

BENCHMARK_MAIN();
