#pragma once

#include <cstdint>

#include "base/text_string.h"
#include "platform/user_interface.h"
#include "setupdb/setup_info.h"
#include "wizard/page_result.h"
#include "wizard/page_services.h"
#include "wizard/setup_choices.h"

namespace vtsetup::wizard {

// The rich-edit controls of the licence and readme pages.
inline constexpr std::uint16_t CONTROL_LICENCE_TEXT = 1023;
inline constexpr std::uint16_t CONTROL_README_TEXT = 1026;

// The licence's file in the language folder; the readme's is named by the database.
inline constexpr const char* kLicenceFileName = "agree.rtf";

// A page that shows an RTF text of the medium's language folder: the licence before the installation,
// the readme after it. The text is read again on every showing; one that is missing or cannot be read
// leaves the control empty, and the page works all the same.
class RichTextPage final : public platform::DialogEvents {
 public:
  // Which file of the language folder the page shows, by the database it is given.
  using FileNameOf = TextString (*)(const SetupInfo& info);

  RichTextPage(const PageServices& services, const SetupChoices& choices, PageResult& result,
               std::uint16_t control, FileNameOf file_name)
      : services_(services), choices_(choices), result_(result), control_(control), file_name_(file_name) {}

  bool OnInit(platform::Window dialog, void* parameter) override;
  void OnCommand(platform::Window, std::uint16_t id, std::uint16_t) override { result_.StoreCommand(id); }

 private:
  PageServices services_;
  const SetupChoices& choices_;
  PageResult& result_;
  std::uint16_t control_;
  FileNameOf file_name_;
};

// Page 2: "agree.rtf" in control 1023. There is no box to tick: going on is the acceptance.
RichTextPage LicencePage(const PageServices& services, const SetupChoices& choices, PageResult& result);
// Page 8: the database's readme file in control 1026.
RichTextPage ReadmePage(const PageServices& services, const SetupChoices& choices, PageResult& result);

}  // namespace vtsetup::wizard
