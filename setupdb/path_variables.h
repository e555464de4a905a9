#pragma once

#include <memory>
#include <vector>

#include "base/slot_list.h"
#include "base/text_string.h"

namespace vtsetup {

enum class VariablesResult {
  VARIABLES_OK = 0,
  VARIABLES_NO_OBJECT = 5,  // no table, or no text to expand
};
using enum VariablesResult;

struct PathVariable {
  TextString Name;  // without the percent signs
  TextString Value;
};

// The variables of a compilation in the order they were defined. Entries are never removed.
class PathVariables {
 public:
  // Appends even when the name exists: the first definition found in order wins when expanding.
  // Returns false when the table is full.
  bool Add(const TextString& name, const TextString& value);
  const SlotList<const PathVariable>& Order() const { return order_; }

 private:
  std::vector<std::unique_ptr<PathVariable>> entries_;
  SlotList<const PathVariable> order_;
};

VariablesResult DefineVariable(PathVariables* table, const TextString& name, const TextString& value);

// Replaces, entry by entry in definition order, the first occurrence of "%Name%" with the value in the
// text as it stands at that moment. A second occurrence of the same variable stays, and a marker that
// an earlier value brings in can be replaced by a later entry.
VariablesResult ExpandVariables(const PathVariables* table, TextString* text);

}  // namespace vtsetup
