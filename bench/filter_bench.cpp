// Applying the filter "PID=7" to 100,000 records held in memory, against the
// memory-read limit: the same loop that copies each record's fixed part into
// the filter buffer and tests PID directly, without a filter. The table layer
// applies filters exactly so (read record i into the filter buffer, evaluate),
// so the ratio is the cost the filter engine adds. Target: ratio <= 2.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "tomedb/filter/FilterParser.h"
#include "tomedb/filter/MemoryRecordSource.h"

namespace {

using namespace tomedb;

constexpr size_t kRecords = 100000;

// A manuscript-like table: the fixed parts of its records back to back.
struct TDocsTable {
    TMemoryRecordSource records;
    int pid = -1;

    TDocsTable() {
        records.AddField("ID", ftAutoInc);
        pid = records.AddField("PID", ftInteger);
        const int name = records.AddField("DocName", ftString, 255);
        records.AddField("DocSize", ftInteger);
        records.AddField("DocCDate", ftDate);
        records.AddField("DocMDate", ftDate);
        records.AddField("cnCount", ftInteger);
        records.AddField("enCount", ftInteger);
        records.AddField("PicCount", ftInteger);
        records.AddField("MarkCount", ftInteger);
        records.AddField("Publish", ftString, 50);
        records.AddField("Money", ftInteger);
        records.AddField("Txt", ftMemo);
        for (size_t i = 0; i < kRecords; ++i) {
            const size_t r = records.AddRecord();
            records.SetInteger(r, 0, static_cast<int64_t>(i) + 1);
            records.SetInteger(r, pid, static_cast<int64_t>(i % 100));
            records.SetText(r, name, "\xD0\xC2\xBD\xA8\xB8\xE5\xBC\xFE");
        }
    }
};

TDocsTable& Table() {
    static TDocsTable table;
    return table;
}

// The table's view of its filter buffer: one record's fixed part.
class TBufferSource : public TFilterRecordSource {
public:
    TBufferSource(TMemoryRecordSource& layout, std::vector<uint8_t>& buffer) : fLayout(layout), fBuffer(buffer) {}
    int FindField(std::string_view name) const override { return fLayout.FindField(name); }
    TFieldType GetFieldType(int index) const override { return fLayout.GetFieldType(index); }
    TFieldData GetFieldData(int index) override {
        return {fBuffer.data() + fLayout.FieldOffset(index), fLayout.FieldWidth(index), false};
    }

private:
    TMemoryRecordSource& fLayout;
    std::vector<uint8_t>& fBuffer;
};

// Copies every fixed part into the buffer and tests PID = 7 in place.
size_t ReadOnlyPass(const TDocsTable& table, std::vector<uint8_t>& buffer) {
    size_t passed = 0;
    const size_t size = table.records.RecordSize();
    for (size_t r = 0; r < kRecords; ++r) {
        std::memcpy(buffer.data(), table.records.FixedPart(r), size);
        int32_t pid;
        std::memcpy(&pid, buffer.data() + table.records.FieldOffset(table.pid), sizeof pid);
        passed += pid == 7;
        benchmark::DoNotOptimize(buffer.data());
    }
    return passed;
}

// The same copies, each record then evaluated by the parsed filter.
size_t FilterPass(const TDocsTable& table, std::vector<uint8_t>& buffer, TFilterParser& parser) {
    size_t passed = 0;
    const size_t size = table.records.RecordSize();
    for (size_t r = 0; r < kRecords; ++r) {
        std::memcpy(buffer.data(), table.records.FixedPart(r), size);
        passed += parser.Evaluate(0);
        benchmark::DoNotOptimize(buffer.data());
    }
    return passed;
}

void BM_ReadFixedParts(benchmark::State& state) {
    TDocsTable& table = Table();
    std::vector<uint8_t> buffer(table.records.RecordSize());
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadOnlyPass(table, buffer));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRecords));
}

void BM_FilterPid7(benchmark::State& state) {
    TDocsTable& table = Table();
    std::vector<uint8_t> buffer(table.records.RecordSize());
    TBufferSource source(table.records, buffer);
    TFilterParser parser(&source);
    parser.Parse("PID=7");
    for (auto _ : state)
        benchmark::DoNotOptimize(FilterPass(table, buffer, parser));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRecords));
}

// Both passes in one run, alternating, so that they share the machine's state;
// reports their times and the ratio filter / read.
void BM_FilterVsReadRatio(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    TDocsTable& table = Table();
    std::vector<uint8_t> buffer(table.records.RecordSize());
    TBufferSource source(table.records, buffer);
    TFilterParser parser(&source);
    parser.Parse("PID=7");
    double readSeconds = 0, filterSeconds = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const size_t a = ReadOnlyPass(table, buffer);
        const auto t1 = Clock::now();
        const size_t b = FilterPass(table, buffer, parser);
        const auto t2 = Clock::now();
        if (a != b)
            state.SkipWithError("filter and direct test disagree");
        readSeconds += std::chrono::duration<double>(t1 - t0).count();
        filterSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["read_ms"] = readSeconds / n * 1e3;
    state.counters["filter_ms"] = filterSeconds / n * 1e3;
    state.counters["ratio"] = filterSeconds / readSeconds;
}

BENCHMARK(BM_ReadFixedParts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterPid7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterVsReadRatio)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
