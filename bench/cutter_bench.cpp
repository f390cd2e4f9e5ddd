// The two reply cutters on recorded replies: a feed of about 2.6 KB, the same feed grown to
// 64 KB by a long description before its forecast elements, and the place-search replies.

#include "feed/FeedCutter.h"
#include "search/PlaceReplyCutter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

using namespace brisora;

namespace {

std::string fixture(const std::string& name)
{
    std::ifstream in(std::string(BRISORA_FIXTURES_DIR) + "/" + name, std::ios::binary);
    if (!in) {
        std::cerr << "missing fixture " << name << '\n';
        std::exit(1);
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// The imperial feed with its description padded to `size` bytes in all: the cutter has to
/// walk all of it to reach the forecast elements.
std::string grownFeed(std::size_t size)
{
    std::string reply = fixture("feed-imperial.txt");
    const std::size_t at = reply.find("<br />\n<a href=");
    const std::string line = "Sun - Scattered Snow Showers. High: 19 Low: 7<br />\n";
    std::string padding;
    while (reply.size() + padding.size() + line.size() <= size)
        padding += line;
    reply.insert(at, padding);
    return reply;
}

void cutFeedReply(benchmark::State& state, const std::string& reply)
{
    if (!cutFeed(reply, 0).complete()) {
        state.SkipWithError("the reply does not cut completely");
        return;
    }
    for (auto _ : state) {
        FeedCut cut = cutFeed(reply, 0);
        benchmark::DoNotOptimize(cut);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * reply.size()));
    state.counters["bytes"] = static_cast<double>(reply.size());
}

void cutPlace(benchmark::State& state, const std::string& reply)
{
    for (auto _ : state) {
        PlaceCut cut = cutPlaceReply(reply);
        benchmark::DoNotOptimize(cut);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * reply.size()));
    state.counters["bytes"] = static_cast<double>(reply.size());
}

void BM_CutFeed_Imperial(benchmark::State& state)
{
    static const std::string reply = fixture("feed-imperial.txt");
    cutFeedReply(state, reply);
}

void BM_CutFeed_MetricUtf8(benchmark::State& state)
{
    static const std::string reply = fixture("feed-metric.txt");
    cutFeedReply(state, reply);
}

void BM_CutFeed_64KB(benchmark::State& state)
{
    static const std::string reply = grownFeed(64 * 1024);
    cutFeedReply(state, reply);
}

void BM_CutPlaceReply_One(benchmark::State& state)
{
    static const std::string reply = fixture("search-one.txt");
    cutPlace(state, reply);
}

void BM_CutPlaceReply_Several(benchmark::State& state)
{
    static const std::string reply = fixture("search-several.txt");
    cutPlace(state, reply);
}

} // namespace

BENCHMARK(BM_CutFeed_Imperial);
BENCHMARK(BM_CutFeed_MetricUtf8);
BENCHMARK(BM_CutFeed_64KB);
BENCHMARK(BM_CutPlaceReply_One);
BENCHMARK(BM_CutPlaceReply_Several);

BENCHMARK_MAIN();
