#include "platform/host/processes/detached_process.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/host/machine/whole_file.h"

namespace vtsetup::platform::host {
namespace {

std::vector<char*> PointersTo(const std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  pointers.reserve(texts.size() + 1);
  for (const std::string& text : texts) {
    pointers.push_back(const_cast<char*>(text.c_str()));
  }
  pointers.push_back(nullptr);
  return pointers;
}

// What the children need, made before the fork: between fork and exec only async-signal-safe calls
// are allowed, so nothing there may allocate.
struct ChildPlan {
  std::vector<char*> argv;
  std::vector<char*> envp;
  int report = -1;
  int null_input = -1;
  int descriptor_limit = 0;
  sigset_t unblocked{};
};

[[noreturn]] void ReportAndExit(int report, int error_number) {
  [[maybe_unused]] const ssize_t written = ::write(report, &error_number, sizeof error_number);
  ::_exit(127);
}

// Everything from here to the exec is async-signal-safe.
[[noreturn]] void RunGrandchild(const ChildPlan& plan) {
  ::setsid();
  ::sigprocmask(SIG_SETMASK, &plan.unblocked, nullptr);
  if (plan.null_input >= 0) {
    ::dup2(plan.null_input, STDIN_FILENO);
  }
  // Our files, locks included, stay ours: every other descriptor closes at the exec. The report pipe
  // is among them, which is how the parent learns that the exec happened.
  if (::close_range(3, UINT_MAX, CLOSE_RANGE_CLOEXEC) != 0) {
    for (int descriptor = 3; descriptor < plan.descriptor_limit; ++descriptor) {
      ::fcntl(descriptor, F_SETFD, FD_CLOEXEC);
    }
  }
  ::execve(plan.argv[0], plan.argv.data(), plan.envp.data());
  ReportAndExit(plan.report, errno);
}

[[noreturn]] void RunChild(const ChildPlan& plan) {
  const pid_t grandchild = ::fork();
  if (grandchild < 0) {
    ReportAndExit(plan.report, errno);
  }
  if (grandchild == 0) {
    RunGrandchild(plan);
  }
  ::_exit(0);
}

int DescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      limit.rlim_cur > INT_MAX) {
    return 65536;
  }
  return static_cast<int>(limit.rlim_cur);
}

}  // namespace

Spawn SpawnDetached(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
  if (arguments.empty()) {
    return {SpawnOutcome::kFailed, EINVAL};
  }
  int pipe_ends[2];
  if (::pipe2(pipe_ends, O_CLOEXEC) != 0) {
    return {SpawnOutcome::kFailed, errno};
  }
  UniqueDescriptor report_reader(pipe_ends[0]);
  UniqueDescriptor report_writer(pipe_ends[1]);
  const UniqueDescriptor null_input(::open("/dev/null", O_RDONLY | O_CLOEXEC));

  ChildPlan plan;
  plan.argv = PointersTo(arguments);
  plan.envp = PointersTo(environment);
  plan.report = report_writer.Get();
  plan.null_input = null_input.Get();
  plan.descriptor_limit = DescriptorLimit();
  sigemptyset(&plan.unblocked);

  const pid_t child = ::fork();
  if (child < 0) {
    return {SpawnOutcome::kFailed, errno};
  }
  if (child == 0) {
    RunChild(plan);
  }
  report_writer.Close();
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe reaches its end when the program has replaced the grandchild; a number before that is
  // the errno of the fork or exec that failed.
  int failure = 0;
  ssize_t got = 0;
  do {
    got = ::read(report_reader.Get(), &failure, sizeof failure);
  } while (got < 0 && errno == EINTR);
  if (got != static_cast<ssize_t>(sizeof failure)) {
    return {SpawnOutcome::kRunning, 0};
  }
  return {failure == ENOEXEC ? SpawnOutcome::kNotAProgram : SpawnOutcome::kFailed, failure};
}

}  // namespace vtsetup::platform::host
