// The compiler over a generated medium of 2,000 files and 256 MiB in three packs that share most files,
// against one plain read of the same files, all with the page cache warm. The compiler reads every file
// once for its checksum, so it should cost little more than that read. Two pairs are measured: the
// setupc program against cat of every file to /dev/null, and, stricter, the compiler inside this
// process against a read of every file through one 1 MiB buffer.
//
// Apart from the files, the script itself: the compiler reads its keys one by one, so a script of
// 20,000 keys must cost ten times one of 2,000, not a hundred times. The cost per key at both sizes
// and their ratio are printed; near 1 means linear.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "bench/random_tree.h"
#include "bench/throughput_recorder.h"
#include "compiler/compile_script.h"
#include "platform/system.h"

namespace {

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 100;
constexpr std::uint64_t kTotalBytes = std::uint64_t{256} << 20;
constexpr int kFewKeys = 2000;
constexpr int kManyKeys = 20000;

struct Medium {
  std::filesystem::path root;
  std::vector<std::filesystem::path> files;
  std::uint64_t bytes = 0;
};

std::string KeysScript(int keys) {
  return "keys" + std::to_string(keys) + ".ini";
}

// A script whose Sources list names one small file under `keys` numbered keys, and whose one pack takes
// only the first and a folder of one file: the compiler reads every key and measures two files, so the
// script's reading is what costs.
void WriteKeysScript(const std::filesystem::path& folder, int keys) {
  std::ofstream script(folder / KeysScript(keys), std::ios::binary);
  script << "[Proginfo]\r\nProduct=Keys\r\nFilename=one.dat\r\n[Options]\r\nCheckCRC=1\r\n"
         << "[Bitmaps]\r\nBackground640x480=bg.bmp\r\n"
         << "[Sources]\r\nSrcDir=src\r\nSrcDirMisc=MISC\\\r\nDir1=D\\\r\n";
  for (int key = 1; key <= keys; ++key) {
    script << "File" << key << "=one.dat\r\n";
  }
  script << "[Pack1]\r\nTypename=Keys\r\nTypedesc=Bench\r\nFiles=File1\r\nDirs=Dir1\r\n";
}

const Medium& GeneratedMedium() {
  static const Medium medium = [] {
    Medium m;
    m.root = vtsetup::bench::FreshFolder("setupc-bench-");
    m.files =
        vtsetup::bench::WriteRandomTree(m.root / "src" / "DATA", kFolders, kFilesPerFolder, kTotalBytes);
    m.bytes = kTotalBytes;
    std::ofstream script(m.root / "setup.ini");
    script << "[Proginfo]\nProduct=Bench\nFilename=DATA\\PART0\\file0.dat\n[Options]\nCheckCRC=1\n"
           << "[Bitmaps]\nBackground640x480=bg.bmp\n[Sources]\nSrcDir=src\nSrcDirMisc=MISC\\\n"
           << "File1=DATA\\PART0\\file0.dat\nFile2=DATA\\PART1\\file1.dat\nDir1=DATA\\ /SUBDIRS\n";
    for (int pack = 1; pack <= 3; ++pack) {
      script << "[Pack" << pack << "]\nTypename=Pack " << pack << "\nTypedesc=Bench\nFiles=File1"
             << (pack > 1 ? ",File2" : "") << "\nDirs=Dir1\n";
    }
    std::filesystem::create_directories(m.root / "keys" / "src" / "D");
    std::ofstream(m.root / "keys" / "src" / "one.dat") << "one";
    std::ofstream(m.root / "keys" / "src" / "D" / "d.dat") << "d";
    for (const int keys : {kFewKeys, kManyKeys}) {
      WriteKeysScript(m.root / "keys", keys);
    }
    return m;
  }();
  return medium;
}

void BM_PlainRead(benchmark::State& state) {
  const Medium& medium = GeneratedMedium();
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    for (const auto& path : medium.files) {
      std::FILE* file = std::fopen(path.c_str(), "rb");
      while (std::fread(buffer.data(), 1, buffer.size(), file) == buffer.size()) {
      }
      std::fclose(file);
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * medium.bytes));
}

void BM_Compile(benchmark::State& state) {
  const Medium& medium = GeneratedMedium();
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(medium.root);
  vtsetup::platform::System& system = vtsetup::platform::TheSystem();
  for (auto _ : state) {
    std::unique_ptr<vtsetup::SetupInfo> info;
    if (vtsetup::CompileScript(system.Files(), system.Profiles(), "setup.ini", info) != vtsetup::COMPILE_OK) {
      state.SkipWithError("the generated script does not compile");
      break;
    }
  }
  std::filesystem::current_path(previous);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * medium.bytes));
}

void BM_CompileKeys(benchmark::State& state, int keys) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(GeneratedMedium().root / "keys");
  vtsetup::platform::System& system = vtsetup::platform::TheSystem();
  const std::string script = KeysScript(keys);
  for (auto _ : state) {
    std::unique_ptr<vtsetup::SetupInfo> info;
    if (vtsetup::CompileScript(system.Files(), system.Profiles(), script.c_str(), info) !=
            vtsetup::COMPILE_OK ||
        info->Packs.size() != 1) {
      state.SkipWithError("the generated script does not compile");
      break;
    }
  }
  std::filesystem::current_path(previous);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * keys);
}

// Runs a shell command in the medium's folder; the programs' own output is not wanted.
void BM_Command(benchmark::State& state, const std::string& command) {
  const Medium& medium = GeneratedMedium();
  const std::string line = "cd '" + medium.root.string() + "' && " + command + " >/dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(line.c_str()) != 0) {
      state.SkipWithError(("failed: " + command).c_str());
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * medium.bytes));
}

void BM_Cat(benchmark::State& state) {
  BM_Command(state, "find src -type f -print0 | xargs -0 cat");
}

void BM_Setupc(benchmark::State& state) {
  BM_Command(state, std::string("'") + SETUPC_PATH + "' setup.ini -o SETUP.INF");
}

BENCHMARK(BM_Cat)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Setupc)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Compile)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK_CAPTURE(BM_CompileKeys, few, kFewKeys)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK_CAPTURE(BM_CompileKeys, many, kManyKeys)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  GeneratedMedium();
  // The compiler reports every file on the standard output; the figures go to the standard error.
  std::fflush(stdout);
  std::FILE* const console = std::freopen("/dev/null", "w", stdout);
  benchmark::Initialize(&argc, argv);
  vtsetup::bench::ThroughputRecorder recorder;
  recorder.SetOutputStream(&std::cerr);
  recorder.SetErrorStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&recorder);
  benchmark::Shutdown();
  const double cat = recorder.BytesPerSecond("BM_Cat");
  const double setupc = recorder.BytesPerSecond("BM_Setupc");
  const double plain = recorder.BytesPerSecond("BM_PlainRead");
  const double compile = recorder.BytesPerSecond("BM_Compile");
  if (cat > 0.0 && setupc > 0.0) {
    std::fprintf(stderr, "time ratio setupc/cat: %.2f (target at most 1.25)\n", cat / setupc);
  }
  if (plain > 0.0 && compile > 0.0) {
    std::fprintf(stderr, "time ratio compiler/1 MiB-buffer read, in process: %.2f\n", plain / compile);
  }
  const double few_keys = recorder.ItemsPerSecond("BM_CompileKeys/few");
  const double many_keys = recorder.ItemsPerSecond("BM_CompileKeys/many");
  if (few_keys > 0.0 && many_keys > 0.0) {
    std::fprintf(stderr,
                 "time per script key: %.2f us at %d keys, %.2f us at %d keys; ratio %.2f (near 1: linear)\n",
                 1e6 / few_keys, kFewKeys, 1e6 / many_keys, kManyKeys, few_keys / many_keys);
  }
  std::filesystem::remove_all(GeneratedMedium().root);
  return console == nullptr ? EXIT_FAILURE : EXIT_SUCCESS;
}
