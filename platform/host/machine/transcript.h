#pragma once

#include <string>

namespace vtsetup::platform::host {

// The run's transcript: one UTF-8 line per event, appended to the file that VTSETUP_TRANSCRIPT names,
// so that a person or a test can follow what a run did. Events carry texts in code page 1250. Each
// line is one append, so lines of several threads or processes never interleave.
class Transcript {
 public:
  // An empty path records nothing.
  explicit Transcript(std::string path) : path_(std::move(path)) {}

  void Record(const std::string& cp1250_line) const;
  // For lines made for the terminal as well, which are UTF-8 already.
  void RecordUtf8(const std::string& utf8_line) const;
  bool IsOn() const { return !path_.empty(); }

 private:
  std::string path_;
};

}  // namespace vtsetup::platform::host
