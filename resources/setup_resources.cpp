#include "resources/program_resources.h"

namespace vtsetup::resources {

const ProgramResources& ThisProgramResources() {
  static const ProgramResources resources{DialogTemplates(), StringTable()};
  return resources;
}

}  // namespace vtsetup::resources
