#include "wizard/page_framework.h"

namespace vtsetup::wizard {
namespace {

// The template of each page; 0 where a number has no page.
std::uint16_t TemplateOf(std::uint16_t page) {
  switch (page) {
    case PAGE_WELCOME:
      return TEMPLATE_WELCOME;
    case PAGE_LICENCE:
      return TEMPLATE_LICENCE;
    case PAGE_INSTALL_TYPE:
      return TEMPLATE_INSTALL_TYPE;
    case PAGE_OPTIONS:
      return TEMPLATE_OPTIONS;
    case PAGE_FINISHED:
      return TEMPLATE_FINISHED;
    case PAGE_FINISHED_RESTART:
      return TEMPLATE_FINISHED_RESTART;
    case PAGE_README:
      return TEMPLATE_README;
    default:
      return 0;
  }
}

}  // namespace

void PageFramework::SetPage(PageId page, platform::DialogEvents& events) {
  if (page < pages_.size()) {
    pages_[page] = &events;
  }
}

PageFramework::~PageFramework() {
  DiscardPage();
}

void PageFramework::DiscardPage() {
  if (current_page_ != nullptr) {
    ui_.DestroyWindow(current_page_);
    current_page_ = nullptr;
    background_.SetCurrentPage(nullptr);
  }
}

bool PageFramework::ShowPage(std::uint16_t page, void* parameter) {
  result_.Reset();
  current_page_number_ = page;
  if (current_page_ != nullptr) {
    ClosePage();
  }
  background_.SetWaitCursor(false);
  const std::uint16_t template_id = TemplateOf(page);
  platform::DialogEvents* const events = template_id != 0 ? pages_[page] : nullptr;
  if (events == nullptr) {
    return false;
  }
  current_page_ = ui_.CreateDialogWindow(template_id, background_.Window(), events, parameter);
  background_.SetCurrentPage(current_page_);
  return current_page_ != nullptr;
}

std::uint16_t PageFramework::PollPageResult() {
  background_.PumpPendingMessages();
  return result_.Value();
}

void PageFramework::ClosePage() {
  if (current_page_ != nullptr) {
    ui_.DestroyWindow(current_page_);
  }
  current_page_ = nullptr;
  background_.SetCurrentPage(nullptr);
  background_.SetWaitCursor(true);
}

}  // namespace vtsetup::wizard
