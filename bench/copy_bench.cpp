// The copy engine installing a generated pack of 2,000 files and 256 MiB, checksums on and the copying
// dialog open, against `cp -r` of the same tree, page cache warm. The engine reads and writes every
// file once in 200000-byte blocks and sums each block while it is still in cache, so it should cost
// little more than the plain copy. Printed: the time ratio engine/cp and the process's peak resident
// memory, which the engine's one block buffer keeps small.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "app/messages.h"
#include "bench/random_tree.h"
#include "bench/throughput_recorder.h"
#include "engine/copy_directory.h"
#include "integration/install_log.h"
#include "platform/system.h"
#include "setupdb/crc32.h"

namespace {

namespace fs = std::filesystem;
using vtsetup::TextString;

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 100;
constexpr std::uint64_t kTotalBytes = std::uint64_t{256} << 20;
constexpr std::uint16_t kCopyingDialog = 108;
constexpr std::uint16_t kProgressBar = 1008;

struct Tree {
  fs::path root;
  vtsetup::PackInfo pack;  // the tree as the database lists it, checksums included
};

std::uint32_t Checksum(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  return vtsetup::CrcEnd(vtsetup::CrcUpdate(vtsetup::CrcBegin(), bytes.data(), bytes.size()));
}

const Tree& GeneratedTree() {
  static const Tree tree = [] {
    Tree t;
    t.root = vtsetup::bench::FreshFolder("copy-bench-");
    const fs::path source = t.root / "src";
    const std::vector<fs::path> files =
        vtsetup::bench::WriteRandomTree(source / "DATA", kFolders, kFilesPerFolder, kTotalBytes);
    vtsetup::PackDir data;
    data.Path = "DATA\\";
    t.pack.Dirs.push_back(data);
    for (int f = 0; f < kFolders; ++f) {
      vtsetup::PackDir part;
      part.Path = ("DATA\\PART" + std::to_string(f) + "\\").c_str();
      t.pack.Dirs.push_back(part);
    }
    for (const fs::path& file : files) {
      vtsetup::FileEntry entry;
      entry.Path =
          ("DATA\\" + file.parent_path().filename().string() + "\\" + file.filename().string()).c_str();
      entry.FileSize = static_cast<std::uint32_t>(fs::file_size(file));
      entry.Crc = Checksum(file);
      t.pack.Files.push_back(entry);
    }
    return t;
  }();
  return tree;
}

// A fresh destination for each round, made before the clock runs.
fs::path FreshDestination(const Tree& tree) {
  const fs::path destination = tree.root / "dest";
  fs::remove_all(destination);
  fs::create_directories(destination);
  return destination;
}

void BM_CopyEngine(benchmark::State& state) {
  const Tree& tree = GeneratedTree();
  vtsetup::platform::System& system = vtsetup::platform::TheSystem();
  vtsetup::platform::UserInterface* ui = system.Ui();
  if (ui == nullptr) {
    state.SkipWithError(system.UiProblem().c_str());
    return;
  }
  vtsetup::platform::FileSystem& files = system.Files();
  vtsetup::app::Messages messages(*ui);
  const vtsetup::platform::Window dialog = ui->CreateDialogWindow(kCopyingDialog, nullptr, nullptr, nullptr);
  const TextString source = files.FullPath((tree.root / "src").c_str());
  for (auto _ : state) {
    state.PauseTiming();
    const TextString destination = files.FullPath(FreshDestination(tree).c_str());
    vtsetup::PackInfo pack = tree.pack;  // the copy clears what it handled
    vtsetup::InstallLog log(files, system.Debug());
    log.LogOpen((destination + "\\dinstall.log").Data(), "Bench", true);
    state.ResumeTiming();
    vtsetup::CopyContext context(destination.Data(), source.Data(), static_cast<std::uint32_t>(kTotalBytes),
                                 dialog, kProgressBar);
    const vtsetup::CopyServices services{files, *ui, messages, log, system.Debug()};
    if (vtsetup::CopyDirectory(services, context, pack, "") != vtsetup::STATUS_DONE ||
        context.CopiedFileCount != tree.pack.Files.size()) {
      state.SkipWithError("the copy did not install every file");
      break;
    }
    log.LogClose();
  }
  ui->DestroyWindow(dialog);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotalBytes));
}

void BM_CpR(benchmark::State& state) {
  const Tree& tree = GeneratedTree();
  const std::string command =
      "cp -r '" + (tree.root / "src" / "DATA").string() + "' '" + (tree.root / "dest").string() + "/'";
  for (auto _ : state) {
    state.PauseTiming();
    FreshDestination(tree);
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("cp -r failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotalBytes));
}

BENCHMARK(BM_CpR)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyEngine)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  GeneratedTree();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return EXIT_FAILURE;
  }
  vtsetup::bench::ThroughputRecorder recorder;
  benchmark::RunSpecifiedBenchmarks(&recorder);
  benchmark::Shutdown();
  const double cp = recorder.BytesPerSecond("BM_CpR");
  const double engine = recorder.BytesPerSecond("BM_CopyEngine");
  if (cp > 0.0 && engine > 0.0) {
    std::printf("time ratio copy engine/cp -r: %.2f (target at most 1.3)\n", cp / engine);
  }
  rusage usage{};
  if (::getrusage(RUSAGE_SELF, &usage) == 0) {
    std::printf("peak resident memory of the process: %.1f MiB (target under 16)\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
  }
  fs::remove_all(GeneratedTree().root);
  return EXIT_SUCCESS;
}
