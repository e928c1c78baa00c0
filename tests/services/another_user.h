#pragma once
// A user of the machine made for one test and removed after it, for what happens when somebody
// other than a file's owner saves it. Only the superuser can make one; Reason() says why there
// is none otherwise, for the test to skip.

#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace workbench {

class AnotherUser {
 public:
  AnotherUser() {
    if (::geteuid() != 0) {
      reason_ = "only the superuser can make a user";
      return;
    }
    name_ = "qvsave" + std::to_string(::getpid());
    if (Status(std::system(("useradd -M -s /bin/sh " + name_ + " >/dev/null 2>&1").c_str())) != 0) {
      reason_ = "no user can be made here";
      return;
    }
    made_ = true;
    const passwd* account = ::getpwnam(name_.c_str());
    if (!account) {
      reason_ = "the user made cannot be found";
      return;
    }
    uid_ = account->pw_uid;
    gid_ = account->pw_gid;
    char program[PATH_MAX] = {};
    if (::readlink("/proc/self/exe", program, sizeof program - 1) <= 0 ||
        Run("test -x " + Quoted(program)) != 0) {
      reason_ = "the test program cannot be run by another user here";
      return;
    }
    program_ = program;
  }
  ~AnotherUser() {
    if (made_) (void)std::system(("userdel " + name_ + " >/dev/null 2>&1").c_str());
  }
  AnotherUser(const AnotherUser&) = delete;
  AnotherUser& operator=(const AnotherUser&) = delete;

  // Empty when the user is there to run things.
  const std::string& Reason() const { return reason_; }
  uid_t Uid() const { return uid_; }
  gid_t Gid() const { return gid_; }
  // This test program, to be run again as the user.
  const std::string& Program() const { return program_; }

  // Runs a shell command as the user; its exit status (-1 when it did not exit).
  int Run(const std::string& command) const {
    return Status(std::system(("runuser -u " + name_ + " -- " + command).c_str()));
  }
  // Runs one test of this program as the user, with the environment settings given ("A=b ...").
  int RunTest(const std::string& test, const std::string& environment) const {
    return Run("env " + environment + " " + Quoted(program_) + " --gtest_filter=" + test +
               " >/dev/null");
  }

  static std::string Quoted(const std::string& text) { return "'" + text + "'"; }

 private:
  static int Status(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

  std::string name_;
  std::string reason_;
  std::string program_;
  bool made_ = false;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
};

}  // namespace workbench
