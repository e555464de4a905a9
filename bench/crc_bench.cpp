#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/throughput_recorder.h"
#include "setupdb/crc32.h"

namespace {

constexpr std::size_t kBufferSize = std::size_t{64} << 20;

const std::vector<unsigned char>& Buffer() {
  static const std::vector<unsigned char> buffer = [] {
    std::vector<unsigned char> bytes(kBufferSize);
    std::mt19937_64 gen(20240601);
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
      const std::uint64_t word = gen();
      std::memcpy(bytes.data() + i, &word, sizeof word);
    }
    return bytes;
  }();
  return buffer;
}

std::uint32_t Ours(const std::vector<unsigned char>& b) {
  return vtsetup::CrcEnd(vtsetup::CrcUpdate(vtsetup::CrcBegin(), b.data(), b.size()));
}

std::uint32_t OursTableOnly(const std::vector<unsigned char>& b) {
  return vtsetup::CrcEnd(
      vtsetup::detail::CrcUpdateBy(vtsetup::detail::CrcPath::Table, vtsetup::CrcBegin(), b.data(), b.size()));
}

std::uint32_t Zlib(const std::vector<unsigned char>& b) {
  return static_cast<std::uint32_t>(crc32(0L, b.data(), static_cast<uInt>(b.size())));
}

template <std::uint32_t (*Checksum)(const std::vector<unsigned char>&)>
void BM_Checksum(benchmark::State& state) {
  const auto& buffer = Buffer();
  for (auto _ : state) {
    std::uint32_t crc = Checksum(buffer);
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(buffer.size()));
}

void BM_Ours(benchmark::State& state) {
  BM_Checksum<Ours>(state);
}
void BM_OursTableOnly(benchmark::State& state) {
  BM_Checksum<OursTableOnly>(state);
}
void BM_Zlib(benchmark::State& state) {
  BM_Checksum<Zlib>(state);
}

BENCHMARK(BM_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursTableOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zlib)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  const auto& buffer = Buffer();
  const std::uint32_t ours = Ours(buffer);
  const std::uint32_t zlib_complemented = ~Zlib(buffer);
  if (ours != zlib_complemented || OursTableOnly(buffer) != ours) {
    std::fprintf(stderr, "crc_bench: checksums disagree (ours %08X, table only %08X, ~zlib %08X)\n",
                 static_cast<unsigned>(ours), static_cast<unsigned>(OursTableOnly(buffer)),
                 static_cast<unsigned>(zlib_complemented));
    return EXIT_FAILURE;
  }
  std::printf("checksum of the %zu MiB buffer: %08X (folding %s)\n", buffer.size() >> 20,
              static_cast<unsigned>(ours),
              vtsetup::detail::CrcPathAvailable(vtsetup::detail::CrcPath::Fold64)   ? "over 64-byte lanes"
              : vtsetup::detail::CrcPathAvailable(vtsetup::detail::CrcPath::Fold16) ? "over 16-byte lanes"
                                                                                    : "unavailable");

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return EXIT_FAILURE;
  }
  vtsetup::bench::ThroughputRecorder recorder;
  benchmark::RunSpecifiedBenchmarks(&recorder);
  benchmark::Shutdown();

  const double ours_rate = recorder.BytesPerSecond("BM_Ours");
  const double table_rate = recorder.BytesPerSecond("BM_OursTableOnly");
  const double zlib_rate = recorder.BytesPerSecond("BM_Zlib");
  std::printf("MB/s (10^6 bytes): ours %.0f, ours table only %.0f, zlib %.0f\n", ours_rate / 1e6,
              table_rate / 1e6, zlib_rate / 1e6);
  if (ours_rate > 0.0 && zlib_rate > 0.0) {
    std::printf("ratio ours/zlib throughput: %.2f\n", ours_rate / zlib_rate);
  } else {
    std::printf("ratio ours/zlib throughput: not measured (a benchmark was filtered out)\n");
  }
  return EXIT_SUCCESS;
}
