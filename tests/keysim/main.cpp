// qvkeysim: a simulated QV-Key on a pseudo-terminal, for trying the IDE without a key.
//
//   qvkeysim [--link PATH] [--speed 57600|19200] [--seed LOW,HIGH] [--firmware N] [--silent]
//            [--reply-delay MS]
//   qvkeysim --help
//
// Prints the terminal's path on the first line of standard output (and with --link also
// makes PATH a symbolic link to it), then plays the key with an erased 2,048-word chip
// until SIGINT or SIGTERM. Point the
// IDE at it with QVKEY_COM1=<path>.

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/keysim/chip_model.h"
#include "tests/keysim/simulated_key.h"

namespace {

// Asked for (--help), the usage is the answer; after a mistaken option it is the complaint.
int Usage(bool asked = false) {
  std::fprintf(asked ? stdout : stderr,
               "usage: qvkeysim [--link PATH] [--speed 57600|19200] [--seed LOW,HIGH] "
               "[--firmware N] [--silent] [--reply-delay MS]\n");
  return asked ? 0 : 2;
}

bool ParseByte(const char* text, std::uint8_t& value) {
  char* end = nullptr;
  long number = std::strtol(text, &end, 0);
  if (end == text || number < 0 || number > 255) return false;
  value = static_cast<std::uint8_t>(number);
  return *end == '\0' || *end == ',';
}

}  // namespace

int main(int argc, char** argv) {
  keysim::KeyConfig config;
  std::string link;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    bool has_value = i + 1 < argc;
    if (option == "--help" || option == "-h") {
      return Usage(true);
    } else if (option == "--silent") {
      config.silent = true;
    } else if (option == "--link" && has_value) {
      link = argv[++i];
    } else if (option == "--speed" && has_value) {
      int speed = std::atoi(argv[++i]);
      if (speed != 57600 && speed != 19200) return Usage();
      config.speeds = {speed};
    } else if (option == "--reply-delay" && has_value) {
      // A slow key: programming takes seconds, long enough to try what a user does meanwhile.
      int delay = std::atoi(argv[++i]);
      if (delay < 0 || delay > 10000) return Usage();
      config.reply_delay = std::chrono::milliseconds(delay);
    } else if (option == "--firmware" && has_value) {
      if (!ParseByte(argv[++i], config.firmware)) return Usage();
    } else if (option == "--seed" && has_value) {
      const char* text = argv[++i];
      const char* comma = std::strchr(text, ',');
      if (!comma || !ParseByte(text, config.seed_low) || !ParseByte(comma + 1, config.seed_high))
        return Usage();
    } else {
      return Usage();
    }
  }

  // The signals are taken by sigwait below, on this thread only.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  keysim::SimulatedKey key(config);
  keysim::ChipModel chip;
  chip.Install(key);
  if (!link.empty()) {
    ::unlink(link.c_str());
    if (::symlink(key.DevicePath().c_str(), link.c_str()) != 0) {
      std::perror(link.c_str());
      return 1;
    }
  }
  std::printf("%s\n", key.DevicePath().c_str());
  std::fflush(stdout);

  int signal_number = 0;
  sigwait(&signals, &signal_number);
  if (!link.empty()) ::unlink(link.c_str());
  return 0;
}
