#include "uninstaller/uninstall_run.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "app/messages.h"
#include "integration/windows_keys.h"
#include "uninstaller/destination_parents.h"
#include "uninstaller/dinstall_texts.h"
#include "uninstaller/install_log_reader.h"
#include "uninstaller/kept_list.h"
#include "uninstaller/path_parts.h"
#include "uninstaller/removal.h"
#include "uninstaller/removal_plan.h"

namespace vtsetup::uninstaller {
namespace {

using app::kMessageBufferSize;

const char* StateName(LogState state) {
  switch (state) {
    case LogState::Closed:
      return "complete";
    case LogState::Unclosed:
      return "never closed";
    case LogState::PartialRecord:
      return "cut short in its last record";
    case LogState::Damaged:
      return "damaged";
    case LogState::Unreadable:
      return "unreadable";
  }
  return "?";
}

// The folders that the system names and other programs expect to find, even empty.
std::vector<TextString> SystemFolders(const UninstallServices& services) {
  std::vector<TextString> folders{services.shell.FolderPath(platform::SpecialFolder::Programs),
                                  services.shell.FolderPath(platform::SpecialFolder::Desktop),
                                  services.files.TempFolder()};
  if (std::optional<TextString> program_files =
          windows_keys::RegisteredProgramFilesFolder(services.registry)) {
    folders.push_back(std::move(*program_files));
  }
  return folders;
}

// Whether the run took the game's folder itself away: the log named it and it is not among the kept.
bool DestinationGone(const std::vector<RemovalStep>& steps, const std::vector<KeptItem>& kept,
                     const TextString& destination) {
  const auto step = std::find_if(steps.begin(), steps.end(), [&](const RemovalStep& candidate) {
    return candidate.action == RemovalAction::RemoveFolder && candidate.target == destination;
  });
  return step != steps.end() && std::none_of(kept.begin(), kept.end(),
                                             [&](const KeptItem& item) { return item.shown == step->shown; });
}

TextString Entry(platform::UserInterface& ui, std::uint16_t id) {
  const std::optional<TextString> entry = ui.LoadStringResource(id, kMessageBufferSize);
  return entry ? *entry : TextString();
}

// The boxes of one run, titled with the uninstaller's own title.
class Dialogue {
 public:
  explicit Dialogue(platform::UserInterface& ui) : ui_(ui), messages_(ui, Entry(ui, MSG_TITLE).Data()) {}

  bool Agrees(std::uint16_t id, const TextString& insertion, std::uint32_t style) {
    return messages_.ShowMessage(id, insertion.Data(), style) == platform::ANSWER_YES;
  }
  void Tell(std::uint16_t id, const TextString& insertion, std::uint32_t style) {
    messages_.ShowMessage(id, insertion.Data(), style);
  }

  // The list fills what the buffer leaves beside the entry's own text and the program's name.
  void TellKept(const TextString& program_name, const std::vector<KeptItem>& kept) {
    TextString frame;
    frame.Format(Entry(ui_, MSG_SOME_KEPT).Data(), program_name.Data(), "");
    const std::uint32_t room =
        frame.Length() < kMessageBufferSize ? kMessageBufferSize - 1 - frame.Length() : 0;
    const KeptTexts texts{Entry(ui_, MSG_KEPT_IN_USE), Entry(ui_, MSG_KEPT_NOT_EMPTY),
                          Entry(ui_, MSG_KEPT_OUTSIDE), Entry(ui_, MSG_KEPT_FAILED),
                          Entry(ui_, MSG_KEPT_OTHERS)};
    messages_.ShowMessage(MSG_SOME_KEPT, program_name.Data(), KeptList(kept, texts, room).Data(),
                          kSomeKeptStyle);
  }

 private:
  platform::UserInterface& ui_;
  app::Messages messages_;
};

}  // namespace

std::int32_t RunUninstall(const UninstallServices& services, const TextString& log_path,
                          platform::UserInterface* ui) {
  const TextString full_log_path = services.files.FullPath(log_path.Data());
  const InstallLogRead read = ReadInstallLog(services.files, full_log_path.Data());
  const InstallLogContents& log = read.contents;
  DebugTrace(services.debug, "Install log %s is %s: %u records.%s%s", full_log_path.Data(),
             StateName(log.state), static_cast<unsigned>(log.records.size()), log.problem.empty() ? "" : " ",
             log.problem.c_str());
  std::optional<Dialogue> dialogue;
  if (ui != nullptr) {
    dialogue.emplace(*ui);
  }

  if (log.state == LogState::Unreadable) {
    if (dialogue) {
      dialogue->Tell(MSG_LOG_UNREADABLE, full_log_path, kUnreadableStyle);
    }
    return EXIT_LOG_UNUSABLE;
  }
  if (log.state == LogState::Damaged) {
    // Removing part of an installation needs someone's consent; a quiet run has nobody to give it.
    if (!dialogue) {
      return EXIT_LOG_UNUSABLE;
    }
    if (!dialogue->Agrees(MSG_LOG_DAMAGED, full_log_path, kDamagedStyle)) {
      return EXIT_DECLINED;
    }
  } else if (dialogue && !dialogue->Agrees(MSG_CONFIRM, log.program_name, kConfirmStyle)) {
    return EXIT_DECLINED;
  }

  const RemovalPlaces places{FolderOf(full_log_path), services.files.ModulePath(),
                             services.shell.FolderPath(platform::SpecialFolder::Programs)};
  const std::vector<RemovalStep> steps = PlanRemoval(log.records, places);
  const std::vector<KeptItem> kept =
      CarryOutRemoval(steps, {services.files, services.registry, services.processes, services.debug});
  if (DestinationGone(steps, kept, places.destination)) {
    RemoveEmptyFoldersAbove(places.destination, SystemFolders(services), services.files, services.debug);
  }

  if (dialogue) {
    if (kept.empty()) {
      dialogue->Tell(MSG_ALL_REMOVED, log.program_name, kAllRemovedStyle);
    } else {
      dialogue->TellKept(log.program_name, kept);
    }
  }
  return kept.empty() ? EXIT_ALL_REMOVED : EXIT_SOMETHING_KEPT;
}

std::int32_t ReportUnusableCommandLine(const TextString& unexpected, platform::UserInterface& ui) {
  Dialogue(ui).Tell(MSG_LOG_UNREADABLE, unexpected, kUnreadableStyle);
  return EXIT_LOG_UNUSABLE;
}

}  // namespace vtsetup::uninstaller
