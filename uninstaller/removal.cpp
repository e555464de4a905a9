#include "uninstaller/removal.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "integration/joined_path.h"
#include "uninstaller/key_removal.h"
#include "uninstaller/path_parts.h"

namespace vtsetup::uninstaller {
namespace {

using platform::SystemError;

const char* Noun(ItemKind kind) {
  switch (kind) {
    case ItemKind::File:
      return "file";
    case ItemKind::Folder:
      return "folder";
    case ItemKind::Key:
      return "key";
    case ItemKind::Group:
      return "group";
  }
  return "item";
}

bool IsMissing(SystemError error) {
  return error == platform::ERR_FILE_NOT_FOUND || error == platform::ERR_PATH_NOT_FOUND;
}

class Removal {
 public:
  explicit Removal(const RemovalServices& services) : services_(services) {}

  void Take(const RemovalStep& step) {
    switch (step.action) {
      case RemovalAction::DeleteFile:
        Settle(step, Retried([&] { return services_.files.Delete(step.target.Data()); }));
        break;
      case RemovalAction::RemoveOwnProgram:
        if (Settle(step, services_.processes.RemoveOwnProgramFile())) {
          own_program_ = step.target;
        }
        break;
      case RemovalAction::RemoveFolder: {
        const SystemError error = Retried([&] { return services_.files.RemoveFolder(step.target.Data()); });
        if (error == platform::ERR_DIR_NOT_EMPTY && HoldsOnlyTheOwnProgram(step.target)) {
          // Where the system keeps the program's file until its next start, the folder goes after it.
          DebugTrace(services_.debug, "Removed %s %s: it goes with this program's own file.", Noun(step.kind),
                     step.shown.Data());
          break;
        }
        Settle(step, error);
        break;
      }
      case RemovalAction::DeleteKeyTree:
        if (Settle(step, DeleteRecordedKey(services_.registry, step.target.Data()))) {
          DeleteEmptyParents(services_.registry, step.target.Data(), services_.debug);
        }
        break;
      case RemovalAction::Skip:
        DebugTrace(services_.debug, "Skipped %s %s: not a thing an installation of ours makes.",
                   Noun(step.kind), step.shown.Data());
        kept_.push_back({step.shown, KeptReason::Outside});
        break;
      case RemovalAction::Unreachable:
        // Not "gone already": we could not even look, so the person must hear of it.
        DebugTrace(services_.debug, "Kept %s %s: its folder is unknown.", Noun(step.kind), step.shown.Data());
        kept_.push_back({step.shown, KeptReason::Failed, platform::ERR_PATH_NOT_FOUND});
        break;
    }
  }

  std::vector<KeptItem> TakeKept() { return std::move(kept_); }

 private:
  // A file that someone still holds is often let go of a moment later.
  SystemError Retried(const std::function<SystemError()>& attempt) {
    SystemError error = attempt();
    for (int tries = 1; error == platform::ERR_SHARING_VIOLATION && tries < kInUseTries; ++tries) {
      services_.processes.Sleep(kInUsePauseMilliseconds);
      error = attempt();
    }
    return error;
  }

  // Whether the folder holds nothing but the program's own file, whose removal was arranged.
  bool HoldsOnlyTheOwnProgram(const TextString& folder) {
    if (own_program_.IsEmpty() ||
        CompareNoCase(FolderOf(own_program_).Data(), WithoutClosingSeparators(folder).Data()) != 0) {
      return false;
    }
    std::vector<platform::FoundFile> found;
    if (services_.files.FindFiles(JoinedPath(folder, "*.*").Data(), found) != platform::ERR_NONE) {
      return false;
    }
    return std::all_of(found.begin(), found.end(), [&](const platform::FoundFile& entry) {
      return entry.name == "." || entry.name == ".." ||
             CompareNoCase(JoinedPath(FolderOf(own_program_), entry.name.Data()).Data(),
                           own_program_.Data()) == 0;
    });
  }

  // Notes the outcome; true when the item is gone, by us or before.
  bool Settle(const RemovalStep& step, SystemError error) {
    const char* noun = Noun(step.kind);
    if (error == platform::ERR_NONE) {
      DebugTrace(services_.debug, "Removed %s %s.", noun, step.shown.Data());
      return true;
    }
    if (IsMissing(error)) {
      DebugTrace(services_.debug, "Removed %s %s: it was gone already.", noun, step.shown.Data());
      return true;
    }
    if (error == platform::ERR_SHARING_VIOLATION) {
      DebugTrace(services_.debug, "Kept %s %s: in use.", noun, step.shown.Data());
      kept_.push_back({step.shown, KeptReason::InUse});
    } else if (error == platform::ERR_DIR_NOT_EMPTY) {
      DebugTrace(services_.debug, "Kept %s %s: not empty.", noun, step.shown.Data());
      kept_.push_back({step.shown, KeptReason::NotEmpty});
    } else {
      DebugTrace(services_.debug, "Kept %s %s: error %u.", noun, step.shown.Data(), error);
      kept_.push_back({step.shown, KeptReason::Failed, error});
    }
    return false;
  }

  const RemovalServices& services_;
  std::vector<KeptItem> kept_;
  TextString own_program_;  // the program's own file once its removal is done or arranged
};

}  // namespace

std::vector<KeptItem> CarryOutRemoval(std::span<const RemovalStep> steps, const RemovalServices& services) {
  Removal removal(services);
  for (const RemovalStep& step : steps) {
    removal.Take(step);
  }
  return removal.TakeKept();
}

}  // namespace vtsetup::uninstaller
