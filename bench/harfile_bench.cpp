// Header Array throughput on a real array of 50 million values, full and sparse, with
// the time `cp` takes to copy the same file measured in the same run for comparison, and
// the peak memory a read adds over the dense array. Then one small header read from
// behind a 1 GB array, and the listing of that file, in both record framings.
// Files go to $YL_BENCH_DIR (default $TMPDIR, then /tmp).

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "harfile/har_file.h"
#include "platform/paths.h"

namespace {

constexpr std::int32_t kRows = 5000;
constexpr std::int32_t kCols = 10000;  // 50,000,000 values

std::string BenchDir() {
  for (const char* v : {"YL_BENCH_DIR", "TMPDIR"}) {
    const char* d = std::getenv(v);
    if (d && *d) return d;
  }
  return "/tmp";
}

std::string FilePath(const char* name) {
  return yl::JoinPath(BenchDir(), std::string("yl_bench_") + std::to_string(getpid()) + name);
}

double FileMB(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? double(st.st_size) / 1e6 : 0;
}

// A file of one 5000 x 10000 array; in the sparse one, one value in 20 is non-zero.
yl::HarFile MakeFile(bool sparse) {
  auto f = yl::NewHarFile("bench", "now", false);
  auto h = yl::CreateUnLabelledRE("BIG", "benchmark array", 2, {kRows, kCols, 1, 1, 1, 1, 1}, true);
  if (!f || !h) std::abort();
  for (std::int64_t i = 0; i < h->element_count; ++i) {
    if (!sparse || i % 20 == 0) h->values[i] = float(i % 1000) * 0.25f + 1.0f;
  }
  if (!yl::AddHeaderNil(*f, std::move(*h))) std::abort();
  return std::move(*f);
}

// Seconds that `cp` needs for the file (best of three), the bar to compare against. Our
// writes sync the finished file before it takes its name, so they are compared with `cp`
// followed by a sync of the copy (`sync FILE` syncs that file alone).
double CopySeconds(const std::string& path, bool synced = false) {
  std::string copy = path + ".cp";
  std::string cmd = "cp " + yl::ShellQuote(path) + " " + yl::ShellQuote(copy);
  if (synced) cmd += " && sync " + yl::ShellQuote(copy);
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    if (std::system(cmd.c_str()) != 0) std::abort();
    auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    std::remove(copy.c_str());
  }
  return best;
}

void Report(benchmark::State& state, const std::string& path, double seconds, bool synced = false) {
  double mb = FileMB(path);
  double per_iter = seconds / double(state.iterations());
  double cp = CopySeconds(path, synced);
  state.counters["file_MB"] = mb;
  state.counters["MB_per_s"] = mb / per_iter;
  state.counters["cp_MB_per_s"] = mb / cp;
  state.counters["time_vs_cp"] = per_iter / cp;
}

// Resets the peak resident size to the current one, so that the next getrusage reports
// the peak since now; the current size in bytes.
double ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return double(ru.ru_maxrss) * 1024;
}

double PeakBytes() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return double(ru.ru_maxrss) * 1024;
}

void BM_Write(benchmark::State& state) {
  bool sparse = state.range(0) != 0;
  yl::HarFile f = MakeFile(sparse);
  std::string path = FilePath(sparse ? "_w_sparse.har" : "_w_full.har");
  double seconds = 0;
  for (auto _ : state) {
    // Like cp, write where no file is: replacing one frees its pages only after the write.
    std::remove(path.c_str());
    auto t0 = std::chrono::steady_clock::now();
    if (!yl::WriteHarFile(path, "bench", "now", f, yl::HarWriteOptions{sparse})) std::abort();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  Report(state, path, seconds, true);
  std::remove(path.c_str());
}

void BM_Read(benchmark::State& state) {
  bool sparse = state.range(0) != 0;
  std::string path = FilePath(sparse ? "_r_sparse.har" : "_r_full.har");
  {
    yl::HarFile f = MakeFile(sparse);
    if (!yl::WriteHarFile(path, "bench", "now", f, yl::HarWriteOptions{sparse})) std::abort();
  }
  double seconds = 0;
  double added = 0;
  for (auto _ : state) {
    double before = ResetPeak();
    auto t0 = std::chrono::steady_clock::now();
    auto f = yl::ReadHarFile(path);
    if (!f || f->headers.size() != 1) std::abort();
    benchmark::DoNotOptimize(f->headers[0].values[12345]);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    added = std::max(added, PeakBytes() - before);
  }
  Report(state, path, seconds);
  double dense = double(kRows) * kCols * sizeof(float);
  state.counters["peak_MB"] = added / 1e6;
  state.counters["peak_vs_dense"] = added / dense;
  std::remove(path.c_str());
}

// A 1 GB array first, a small header last: reading that header and listing the file
// skip the array without reading it. Timed from a warm cache.
void BM_OneHeaderBehind1GB(benchmark::State& state) {
  bool fujitsu = state.range(0) != 0;
  char dir_template[] = "/tmp/yl_bench_har_XXXXXX";
  if (!mkdtemp(dir_template)) std::abort();
  std::string dir = dir_template;
  std::string path = yl::JoinPath(dir, "big.har");
  {
    auto f = yl::NewHarFile("bench", "now", false);
    auto big = yl::CreateUnLabelledRE("BIG", "1 GB array", 2, {10000, 25000, 1, 1, 1, 1, 1}, true);
    auto small = yl::CreateUnLabelledRE("SMAL", "small array", 1, {10, 1, 1, 1, 1, 1, 1}, true);
    if (!f || !big || !small) std::abort();
    for (std::int64_t i = 0; i < big->element_count; ++i) big->values[i] = float(i % 977) + 1.0f;
    for (int i = 0; i < 10; ++i) small->values[i] = float(i);
    if (!yl::AddHeaderNil(*f, std::move(*big)) || !yl::AddHeaderNil(*f, std::move(*small))) {
      std::abort();
    }
    f->fujitsu = fujitsu;
    if (!yl::WriteHarFile(path, "bench", "now", *f)) std::abort();
  }
  std::string warm = "cat " + yl::ShellQuote(path) + " > /dev/null";
  if (std::system(warm.c_str()) != 0) std::abort();
  double list_seconds = 0;
  for (auto _ : state) {
    auto h = yl::ReadHeaderFromHarFile(path, "smal");
    if (!h || !*h || (*h)->values[9] != 9.0f) std::abort();
    state.PauseTiming();
    auto t0 = std::chrono::steady_clock::now();
    auto list = yl::ListHarHeaders(path);
    list_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!list || list->size() != 5) std::abort();
    state.ResumeTiming();
  }
  state.counters["file_MB"] = FileMB(path);
  state.counters["list_ms"] = 1000 * list_seconds / double(state.iterations());
  std::remove(path.c_str());
  rmdir(dir.c_str());
}

BENCHMARK(BM_Write)->ArgName("sparse")->Arg(0)->Arg(1)->Iterations(3)->Unit(
    benchmark::kMillisecond);
BENCHMARK(BM_Read)->ArgName("sparse")->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneHeaderBehind1GB)
    ->ArgName("fujitsu")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

}  // namespace
