#pragma once

#include "base/text_string.h"

namespace vtsetup {

// `folder` and `component` with one backslash between them, unless the folder already ends in one.
inline TextString JoinedPath(TextString folder, const char* component) {
  folder.EnsureTrailingBackslash();
  folder.Append(component);
  return folder;
}

// The joined path in double quotes, as a command line or a link target names a file whose path may
// hold blanks.
inline TextString QuotedPath(const char* folder, const char* component) {
  TextString quoted("\"");
  quoted.Append(JoinedPath(folder, component));
  quoted.Append('"');
  return quoted;
}

}  // namespace vtsetup
