#include "setupdb/path_variables.h"

namespace vtsetup {

bool PathVariables::Add(const TextString& name, const TextString& value) {
  auto entry = std::make_unique<PathVariable>(PathVariable{name, value});
  if (!order_.AddLast(entry.get())) {
    return false;
  }
  entries_.push_back(std::move(entry));
  return true;
}

VariablesResult DefineVariable(PathVariables* table, const TextString& name, const TextString& value) {
  if (table == nullptr) {
    return VARIABLES_NO_OBJECT;
  }
  table->Add(name, value);
  return VARIABLES_OK;
}

VariablesResult ExpandVariables(const PathVariables* table, TextString* text) {
  if (table == nullptr || text == nullptr) {
    return VARIABLES_NO_OBJECT;
  }
  std::uint16_t position = 0;
  for (const PathVariable* entry = table->Order().First(position);
       position != SlotList<const PathVariable>::kNoSlot; entry = table->Order().Next(position)) {
    if (entry == nullptr) {
      continue;
    }
    const TextString marker = "%" + entry->Name + "%";
    const std::int32_t at = text->Find(marker.Data());
    if (at < 0) {
      continue;
    }
    const auto start = static_cast<std::uint32_t>(at);
    *text = text->Left(start) + entry->Value + text->Mid(start + marker.Length());
  }
  return VARIABLES_OK;
}

}  // namespace vtsetup
