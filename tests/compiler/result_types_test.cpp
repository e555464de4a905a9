#include <type_traits>

#include "compiler/compile_result.h"
#include "setupdb/path_variables.h"
#include "setupdb/setup_file.h"

namespace vtsetup {
namespace {

// A result of one family where another is expected, or a bare number where a result is expected,
// must not compile: the numbers of the families overlap (2, 6 and 8 mean different things in each),
// so a mix-up would pass every test that only looks at the number.
template <typename From, typename To>
constexpr bool kPassesUnseen = std::is_convertible_v<From, To>;

static_assert(!kPassesUnseen<decltype(SETUP_FILE_OK), decltype(COMPILE_OK)>);
static_assert(!kPassesUnseen<decltype(COMPILE_OK), decltype(SETUP_FILE_OK)>);
static_assert(!kPassesUnseen<decltype(VARIABLES_OK), decltype(COMPILE_OK)>);
static_assert(!kPassesUnseen<decltype(COMPILE_OK), decltype(VARIABLES_OK)>);
static_assert(!kPassesUnseen<decltype(VARIABLES_OK), decltype(SETUP_FILE_OK)>);
static_assert(!kPassesUnseen<decltype(SETUP_FILE_OK), decltype(VARIABLES_OK)>);
static_assert(!kPassesUnseen<int, decltype(COMPILE_OK)>);
static_assert(!kPassesUnseen<int, decltype(SETUP_FILE_OK)>);
static_assert(!kPassesUnseen<int, decltype(VARIABLES_OK)>);
static_assert(!kPassesUnseen<decltype(COMPILE_OK), int>);
static_assert(!kPassesUnseen<decltype(SETUP_FILE_OK), int>);
static_assert(!kPassesUnseen<decltype(VARIABLES_OK), int>);

}  // namespace
}  // namespace vtsetup
