#include "wizard/rich_text_page.h"

#include "wizard/medium_folders.h"
#include "wizard/memory_file.h"

namespace vtsetup::wizard {
namespace {

TextString LicenceFileName(const SetupInfo&) {
  return kLicenceFileName;
}

TextString ReadmeFileName(const SetupInfo& info) {
  return info.Options.ReadmeFile;
}

}  // namespace

bool RichTextPage::OnInit(platform::Window dialog, void* parameter) {
  const auto* info = static_cast<const SetupInfo*>(parameter);
  if (info == nullptr) {
    return true;
  }
  const TextString path = LanguageFolder(services_.ui, choices_.source_folder, *info) + file_name_(*info);
  MemoryFile text;
  if (LoadFileToMemory(services_.files, path.Data(), text)) {
    services_.ui.StreamRtf(dialog, control_, MemoryStreamReader, &text);
  }
  return true;
}

RichTextPage LicencePage(const PageServices& services, const SetupChoices& choices, PageResult& result) {
  return RichTextPage(services, choices, result, CONTROL_LICENCE_TEXT, LicenceFileName);
}

RichTextPage ReadmePage(const PageServices& services, const SetupChoices& choices, PageResult& result) {
  return RichTextPage(services, choices, result, CONTROL_README_TEXT, ReadmeFileName);
}

}  // namespace vtsetup::wizard
