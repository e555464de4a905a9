#include "uninstaller/kept_list.h"

#include <vector>

namespace vtsetup::uninstaller {
namespace {

constexpr char kLineBreak[] = "\r\n";
constexpr std::uint32_t kLineBreakLength = 2;

TextString ItemLine(const KeptItem& item, const KeptTexts& texts) {
  const TextString* format = &texts.failed;
  switch (item.reason) {
    case KeptReason::InUse:
      format = &texts.in_use;
      break;
    case KeptReason::NotEmpty:
      format = &texts.not_empty;
      break;
    case KeptReason::Outside:
      format = &texts.outside;
      break;
    case KeptReason::Failed:
      break;
  }
  if (format->IsEmpty()) {
    return item.shown;
  }
  TextString line;
  line.Format(format->Data(), item.shown.Data(), static_cast<unsigned>(item.error));
  return line;
}

TextString OthersLine(std::size_t count, const KeptTexts& texts) {
  TextString line;
  if (count != 0 && !texts.others.IsEmpty()) {
    line.Format(texts.others.Data(), static_cast<unsigned>(count));
  }
  return line;
}

}  // namespace

TextString KeptList(std::span<const KeptItem> kept, const KeptTexts& texts, std::uint32_t room) {
  std::vector<TextString> lines;
  lines.reserve(kept.size());
  for (const KeptItem& item : kept) {
    lines.push_back(ItemLine(item, texts));
  }
  // The most items that fit with the count of the others after them.
  std::size_t shown = 0;
  std::uint64_t used = 0;
  while (shown < lines.size()) {
    const std::uint64_t with_next = used + (shown > 0 ? kLineBreakLength : 0) + lines[shown].Length();
    const TextString others = OthersLine(lines.size() - shown - 1, texts);
    const std::uint64_t tail = others.IsEmpty() ? 0 : kLineBreakLength + others.Length();
    if (with_next + tail > room) {
      break;
    }
    used = with_next;
    ++shown;
  }
  TextString list;
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) {
      list.Append(kLineBreak);
    }
    list.Append(lines[i]);
  }
  const TextString others = OthersLine(lines.size() - shown, texts);
  if (!others.IsEmpty()) {
    if (shown > 0) {
      list.Append(kLineBreak);
    }
    list.Append(others);
  }
  return list;
}

}  // namespace vtsetup::uninstaller
