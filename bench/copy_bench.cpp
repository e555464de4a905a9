// The copy engine installing a generated pack of 2,000 files and 256 MiB, checksums on and the copying
// dialog open, against `cp -r` of the same tree, page cache warm. The engine reads and writes every
// file once in 200000-byte blocks and sums each block while it is still in cache, so it should cost
// little more than the plain copy. Printed: the time ratio engine/cp and the process's peak resident
// memory, which the engine's one block buffer keeps small.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "app/messages.h"
#include "bench/random_tree.h"
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

// Each copy starts with nothing waiting to be written back, so neither pays for the other's writes.
// Both copies of a round go to folders never used before, and nothing is removed until the end: the
// file system makes new files more slowly while recently freed ones are about, so a removal between
// rounds would charge whichever copy follows it. The order alternates from round to round for the same
// reason.
class Rounds {
 public:
  explicit Rounds(const Tree& tree) : tree_(tree) {}

  fs::path UnusedDestination() {
    const fs::path destination = tree_.root / "rounds" / std::to_string(next_++);
    fs::create_directories(destination);
    return destination;
  }

  void Add(double engine_seconds, double cp_seconds) {
    engine_seconds_ += engine_seconds;
    cp_seconds_ += cp_seconds;
  }
  // Zero until a round has run.
  double Ratio() const { return cp_seconds_ > 0.0 ? engine_seconds_ / cp_seconds_ : 0.0; }
  bool Alternate() { return (next_ / 2) % 2 == 1; }

 private:
  const Tree& tree_;
  int next_ = 0;
  double engine_seconds_ = 0.0;
  double cp_seconds_ = 0.0;
};

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Seconds that `cp -r` takes for the tree; negative when it fails.
double TimeCpR(const Tree& tree, const fs::path& destination) {
  const std::string command =
      "cp -r '" + (tree.root / "src" / "DATA").string() + "' '" + destination.string() + "/'";
  ::sync();
  const Clock::time_point start = Clock::now();
  return std::system(command.c_str()) == 0 ? SecondsSince(start) : -1.0;
}

struct Engine {
  vtsetup::platform::System& system;
  vtsetup::platform::UserInterface& ui;
  vtsetup::app::Messages messages;
  vtsetup::platform::Window dialog;
};

// Seconds that the engine takes to install the tree, log included; negative when it fails.
double TimeEngine(Engine& engine, const Tree& tree, const fs::path& destination_folder) {
  vtsetup::platform::FileSystem& files = engine.system.Files();
  const TextString source = files.FullPath((tree.root / "src").c_str());
  const TextString destination = files.FullPath(destination_folder.c_str());
  vtsetup::PackInfo pack = tree.pack;  // the copy clears what it handled
  vtsetup::InstallLog log(files, engine.system.Debug());
  log.LogOpen((destination + "\\dinstall.log").Data(), "Bench", true);
  ::sync();
  const Clock::time_point start = Clock::now();
  vtsetup::CopyContext context(destination.Data(), source.Data(), static_cast<std::uint32_t>(kTotalBytes),
                               engine.dialog, kProgressBar);
  const vtsetup::CopyServices services{files, engine.ui, engine.messages, log, engine.system.Debug()};
  const bool done = vtsetup::CopyDirectory(services, context, pack, "") == vtsetup::STATUS_DONE &&
                    context.CopiedFileCount == tree.pack.Files.size();
  log.LogClose();
  return done ? SecondsSince(start) : -1.0;
}

// Each round copies the tree with both; the engine's time is the benchmark's, cp's a counter beside it.
void BM_CopyEngineAgainstCpR(benchmark::State& state, const Tree& tree, Rounds& rounds) {
  vtsetup::platform::System& system = vtsetup::platform::TheSystem();
  vtsetup::platform::UserInterface* ui = system.Ui();
  if (ui == nullptr) {
    state.SkipWithError(system.UiProblem().c_str());
    return;
  }
  Engine engine{system, *ui, vtsetup::app::Messages(*ui),
                ui->CreateDialogWindow(kCopyingDialog, nullptr, nullptr, nullptr)};
  double cp_total = 0.0;
  for (auto _ : state) {
    const bool cp_first = rounds.Alternate();
    const fs::path cp_destination = rounds.UnusedDestination();
    const fs::path engine_destination = rounds.UnusedDestination();
    double cp = cp_first ? TimeCpR(tree, cp_destination) : 0.0;
    const double copied = TimeEngine(engine, tree, engine_destination);
    if (!cp_first) {
      cp = TimeCpR(tree, cp_destination);
    }
    if (copied < 0.0 || cp < 0.0) {
      state.SkipWithError(copied < 0.0 ? "the copy did not install every file" : "cp -r failed");
      break;
    }
    state.SetIterationTime(copied);
    rounds.Add(copied, cp);
    cp_total += cp;
  }
  ui->DestroyWindow(engine.dialog);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotalBytes));
  state.counters["cp_r_ms"] = benchmark::Counter(cp_total * 1000.0, benchmark::Counter::kAvgIterations);
}

}  // namespace

int main(int argc, char** argv) {
  const Tree& tree = GeneratedTree();
  Rounds rounds(tree);
  benchmark::RegisterBenchmark("BM_CopyEngineAgainstCpR", BM_CopyEngineAgainstCpR, std::cref(tree),
                               std::ref(rounds))
      ->Unit(benchmark::kMillisecond)
      ->UseManualTime();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return EXIT_FAILURE;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (rounds.Ratio() > 0.0) {
    std::printf("time ratio copy engine/cp -r: %.2f (target at most 1.3)\n", rounds.Ratio());
  }
  rusage usage{};
  if (::getrusage(RUSAGE_SELF, &usage) == 0) {
    std::printf("peak resident memory of the process: %.1f MiB (target under 16)\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
  }
  fs::remove_all(tree.root);
  return EXIT_SUCCESS;
}
