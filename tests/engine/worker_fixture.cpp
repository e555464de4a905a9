#include "tests/engine/worker_fixture.h"

#include <algorithm>
#include <filesystem>

#include "platform/host/ui/answers_driver.h"
#include "platform/host/ui/answers_file.h"
#include "resources/resource_types.h"
#include "tests/support/bitmap_layout.h"
#include "tests/support/random_bytes.h"
#include "tests/support/reference_crc.h"

namespace vtsetup::testing {

namespace fs = std::filesystem;

namespace {

constexpr char kMachine[] =
    "[Drive C]\nFolder = drive_c\nType = fixed\n"
    "[Drive D]\nFolder = drive_d\nType = fixed\nFreeBytes = 100000000\nClusterSize = 512\n";

// A 24-bit picture of one colour, rows bottom-up as usual.
Bytes SolidPicture(std::int32_t width, std::int32_t height, std::uint32_t colour) {
  Layout layout;
  layout.Append(Info({.width = width, .height = height, .bits = 24}));
  for (std::int32_t y = 0; y < height; ++y) {
    layout.Append(Row24(std::vector<std::uint32_t>(static_cast<std::size_t>(width), colour)));
  }
  return WithFileHeader(layout.Data(), 54);
}

}  // namespace

void NappingProcesses::Sleep(std::uint32_t milliseconds) {
  if (std::this_thread::get_id() != pumping_thread_) {
    std::size_t count = 0;
    {
      const std::lock_guard<std::mutex> hold(mutex_);
      naps_.push_back({milliseconds, billboard_width_()});
      count = naps_.size();
    }
    if (on_nap) {
      on_nap(count);
    }
  }
  real_.Sleep(milliseconds);
}

std::vector<Nap> NappingProcesses::Naps() const {
  const std::lock_guard<std::mutex> hold(mutex_);
  return naps_;
}

WorkerFixture::WorkerFixture()
    : machine_(kMachine, true),
      processes_(machine_.System().Programs(), [this] { return BillboardWidth(); }) {
  info_.Options.SplashDelay = 5;
  info_.Options.BitmapDir = "BILDER";
  info_.Packs.emplace_back();
  fs::create_directories(Host("C:\\SRC\\BILDER"));
  fs::create_directories(Host("C:\\LOG"));
  fs::create_directories(Host("D:\\GAME"));
  WriteBytes(Host("C:\\back.bmp"), SolidPicture(kBackgroundWidth, kBackgroundHeight, kBackgroundColour));
}

WorkerFixture::~WorkerFixture() {
  // Workers first: they use everything below.
  workers_.reset();
  if (ui_ != nullptr && progress_ != nullptr) {
    ui_->DestroyWindow(progress_);
  }
}

void WorkerFixture::Prepare(const std::string& answers, int threads_allowed) {
  platform::host::AnswersRead read = platform::host::ParseAnswers(answers, "answers.txt");
  ASSERT_EQ(read.error, "");
  ui_ = std::make_unique<platform::host::HostUserInterface>(
      machine_.Machine(), platform::host::UiResources{resources::DialogTemplates(), resources::StringTable()},
      std::make_unique<platform::host::AnswersDriver>(std::move(read.lines), machine_.Machine().Record(),
                                                      errors_),
      snapshots_.Path().string());
  platform::host::HostSystem& system = machine_.System();
  picture_ = std::make_unique<app::Dib>(system.Files(), system.Pictures());
  ASSERT_TRUE(picture_->LoadDib("C:\\back.bmp"));
  background_ = std::make_unique<app::BackgroundWindow>(*ui_, *picture_);
  ASSERT_TRUE(background_->CreateBackgroundWindow(kBackgroundWidth, kBackgroundHeight));
  background_->PumpPendingMessages();
  messages_ = std::make_unique<app::Messages>(*ui_);
  messages_->SetOwner(background_->Window());
  log_ = std::make_unique<InstallLog>(system.Files(), trace_);
  ASSERT_EQ(log_->LogOpen("C:\\LOG\\dinstall.log", "dinstall.exe", true), LogResult::LOG_OK);
  progress_ = ui_->CreateDialogWindow(108, background_->Window(), nullptr, nullptr);
  ASSERT_NE(progress_, nullptr);
  threads_ = std::make_unique<RationedThreads>(system.Threads(), threads_allowed);
  workers_ = std::make_unique<Workers>(WorkerServices{system.Files(), *ui_, *messages_, *log_, trace_,
                                                      system.Pictures(), processes_, *threads_},
                                       *background_);
}

void WorkerFixture::WriteBillboard(std::uint32_t number, std::int32_t width, std::uint32_t colour) {
  WriteBytes(Host("C:\\SRC\\BILDER\\" + std::string(BillboardName(number).Data())),
             SolidPicture(width, 2, colour));
}

void WorkerFixture::AddFile(const std::string& path, std::uint32_t size) {
  const fs::path host(Host(kSource + path));
  fs::create_directories(host.parent_path());
  const Bytes bytes = RandomBytes(size, static_cast<std::uint32_t>(info_.Packs[0].Files.size() + 7));
  WriteBytes(host.string(), bytes);
  FileEntry entry;
  entry.Path = path.c_str();
  entry.FileSize = size;
  entry.Crc = BitwiseCrc(0xFFFFFFFFu, bytes.data(), bytes.size());
  info_.Packs[0].Files.push_back(entry);
  info_.Packs[0].PackSizes[0] += size;
}

void WorkerFixture::AddDir(const std::string& path) {
  PackDir dir;
  dir.Path = path.c_str();
  info_.Packs[0].Dirs.push_back(dir);
}

std::int32_t WorkerFixture::BillboardWidth() {
  std::int32_t width = -1;
  if (background_ != nullptr) {
    background_->Billboard().WithBillboard([&](app::Dib* billboard) {
      if (billboard != nullptr) {
        width = billboard->DibWidth();
      }
    });
  }
  return width;
}

std::vector<std::string> WorkerFixture::Snapshots() const {
  std::vector<std::string> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(snapshots_.Path())) {
    files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::uint32_t WorkerFixture::LastSnapshotBillboardCorner() const {
  const std::vector<std::string> files = Snapshots();
  EXPECT_FALSE(files.empty());
  return files.empty() ? 0 : SnapshotPixel(ReadBytes(files.back()), app::kBillboardLeft, app::kBillboardTop);
}

std::vector<std::string> WorkerFixture::TranscriptWith(const std::string& part) const {
  std::vector<std::string> lines;
  for (const std::string& line : machine_.TranscriptLines()) {
    if (line.find(part) != std::string::npos) {
      lines.push_back(line);
    }
  }
  return lines;
}

std::vector<std::string> WorkerFixture::TraceLines() const {
  std::vector<std::string> lines;
  for (const std::string& line : trace_.lines) {
    lines.push_back(line.substr(0, line.size() - 2));
  }
  return lines;
}

}  // namespace vtsetup::testing
