#include "resources/dinstall_strings.h"
#include "resources/program_resources.h"

namespace vtsetup::resources {

const ProgramResources& ThisProgramResources() {
  static const ProgramResources resources{{}, DinstallStringTable()};
  return resources;
}

}  // namespace vtsetup::resources
