// Catalogue speed, against plain baselines measured in the same run:
//   load      vs reading the file into memory and summing its bytes
//   search    vs a memmem scan over the same titles, held as plain text
// The large file is $KAVUNO_BENCH_CATALOGUE, or a generated one of
// $KAVUNO_BENCH_RECORDS (default 1,000,000) records in the temp directory;
// the small one (loads only) $KAVUNO_BENCH_SMALL_CATALOGUE, or a generated one
// of 10,000 records. tests/bench/run-benchmarks.sh checks the ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "player/catalogue/catalogue_file.h"
#include "player/catalogue/list_rows.h"
#include "tests/bench/catalogue_generator.h"

namespace {

namespace fs = std::filesystem;
using kavuno::catalogue::LoadCatalogue;
using kavuno::catalogue::RecordArray;

// 天 (GBK CC EC): a one-character search, the commonest kind.
const std::string kNeedle = "\xCC\xEC";

fs::path Generated(std::size_t records) {
    fs::path p = fs::temp_directory_path() / ("kavuno-bench-" + std::to_string(records) + ".dat");
    if (!fs::exists(p)) {
        std::FILE* out = std::fopen(p.c_str(), "wb");
        if (!out || !kavuno::bench::WriteGeneratedCatalogue(records, out) || std::fclose(out) != 0) std::abort();
    }
    return p;
}

const fs::path& CataloguePath() {
    static const fs::path path = [] {
        if (const char* given = std::getenv("KAVUNO_BENCH_CATALOGUE")) return fs::path(given);
        const char* count = std::getenv("KAVUNO_BENCH_RECORDS");
        return Generated(count ? std::strtoull(count, nullptr, 10) : 1000000);
    }();
    return path;
}

const fs::path& SmallCataloguePath() {
    static const fs::path path = [] {
        if (const char* given = std::getenv("KAVUNO_BENCH_SMALL_CATALOGUE")) return fs::path(given);
        return Generated(10000);
    }();
    return path;
}

const fs::path& PathFor(const benchmark::State& state) {
    return state.range(0) == 0 ? CataloguePath() : SmallCataloguePath();
}

// Range 0: the large file, 1: the small one.
void BM_ReadAndSumFile(benchmark::State& state) {
    const std::uintmax_t size = fs::file_size(PathFor(state));
    for (auto _ : state) {
        std::unique_ptr<unsigned char[]> bytes(new unsigned char[size]);
        std::FILE* f = std::fopen(PathFor(state).c_str(), "rb");
        const std::size_t got = std::fread(bytes.get(), 1, size, f);
        std::fclose(f);
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < got; ++i) sum += bytes[i];
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_LoadCatalogue(benchmark::State& state) {
    const std::uintmax_t size = fs::file_size(PathFor(state));
    std::size_t records = 0;
    for (auto _ : state) {
        auto array = std::make_unique<RecordArray>();
        if (!LoadCatalogue(PathFor(state), *array).ok()) std::abort();
        records = array->size();
        state.PauseTiming();
        array.reset();
        state.ResumeTiming();
    }
    state.counters["records"] = static_cast<double>(records);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

const RecordArray& Loaded() {
    static const RecordArray* records = [] {
        auto* array = new RecordArray;
        if (!LoadCatalogue(CataloguePath(), *array).ok()) std::abort();
        return array;
    }();
    return *records;
}

// The plain titles, one after the other in one block, as a plain program would
// hold them.
void BM_MemmemTitles(benchmark::State& state) {
    const RecordArray& records = Loaded();
    std::string block;
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const std::string title = records[i].title();
        spans.emplace_back(block.size(), title.size());
        block += title;
    }
    std::vector<std::string_view> titles;
    for (const auto& [at, length] : spans) titles.emplace_back(block.data() + at, length);
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (std::string_view t : titles) hits += memmem(t.data(), t.size(), kNeedle.data(), kNeedle.size()) != nullptr;
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = static_cast<double>(hits);
}

void BM_SearchTitles(benchmark::State& state) {
    const RecordArray& records = Loaded();
    std::size_t hits = 0;
    for (auto _ : state) {
        const auto rows = kavuno::catalogue::SearchRows(records, kNeedle, kavuno::catalogue::SearchField::Title);
        hits = rows.size();
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["hits"] = static_cast<double>(hits);
}

BENCHMARK(BM_ReadAndSumFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadCatalogue)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_MemmemTitles)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SearchTitles)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
