#include "tests/app/mock_user_interface.h"

namespace vtsetup::testing {

MockUserInterface::MockUserInterface() = default;
MockUserInterface::~MockUserInterface() = default;

}  // namespace vtsetup::testing
