#pragma once

#include <array>
#include <cstdint>

#include "app/background_window.h"
#include "platform/user_interface.h"
#include "wizard/page_ids.h"
#include "wizard/page_result.h"

namespace vtsetup::wizard {

// The wizard's one page at a time: the main sequence shows a page, polls its result while messages
// flow, and closes it. Pages only record their result; none ever calls back into the main sequence.
class PageFramework {
 public:
  PageFramework(platform::UserInterface& ui, app::BackgroundWindow& background)
      : ui_(ui), background_(background) {}
  PageFramework(const PageFramework&) = delete;
  PageFramework& operator=(const PageFramework&) = delete;
  // A page still shown goes with the wizard; the cursor is left as it is.
  ~PageFramework();

  // The dialog procedure of a page; set once for each page by whoever builds the wizard.
  void SetPage(PageId page, platform::DialogEvents& events);

  // Closes the page shown, forgets its result and creates page `page` over the background window with
  // `parameter` for its initialisation; the cursor from before the wait cursor comes back. False when
  // the number has no page or its dialog cannot be made.
  bool ShowPage(std::uint16_t page, void* parameter);
  // Lets pending messages through once and gives the result so far. Never waits.
  std::uint16_t PollPageResult();
  // Destroys the page (which frees what it holds) and shows the wait cursor; the result stays.
  void ClosePage();
  // Destroys a page still shown and leaves the cursor as it is: for the end of a run that ended on a
  // page, before the page's procedure goes.
  void DiscardPage();

  PageResult& Result() { return result_; }
  platform::Window CurrentPage() const { return current_page_; }
  std::uint16_t CurrentPageNumber() const { return current_page_number_; }

 private:
  static constexpr std::size_t kPageSlots = PAGE_README + 1;

  platform::UserInterface& ui_;
  app::BackgroundWindow& background_;
  std::array<platform::DialogEvents*, kPageSlots> pages_{};
  platform::Window current_page_ = nullptr;
  std::uint16_t current_page_number_ = 0;
  PageResult result_;
};

}  // namespace vtsetup::wizard
