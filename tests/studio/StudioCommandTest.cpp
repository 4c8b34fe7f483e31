// `umbravista studio` as a person runs it: a child process that prints its address, serves on
// it, and stops promptly on SIGINT or SIGTERM; and how it refuses what it cannot start with.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/studio/StudioTestSupport.h"

extern char** environ;

namespace {

// A child `umbravista` with its standard output and error on one pipe.
class Child {
 public:
  explicit Child(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), UMBRAVISTA_TOOL);
    // Built for another architecture, the tool runs under the emulator that runs this test.
    if (*UMBRAVISTA_EMULATOR != '\0') arguments.insert(arguments.begin(), UMBRAVISTA_EMULATOR);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    int pipe[2];
    EXPECT_EQ(pipe2(pipe, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 2);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe[1]);
    output_ = pipe[0];
  }
  ~Child() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(output_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Reads output until it holds `text` or `seconds` pass; answers everything read so far.
  std::string ReadUntil(const std::string& text, int seconds = 60) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (read_.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd wanted{output_, POLLIN, 0};
      if (poll(&wanted, 1, 200) <= 0) continue;
      char buffer[4096];
      const ssize_t count = read(output_, buffer, sizeof buffer);
      if (count <= 0) break;
      read_.append(buffer, static_cast<std::size_t>(count));
    }
    return read_;
  }

  // Waits at most `seconds` for the child to end and answers its exit status: -1 when a signal
  // ended it, -2 when it was still running (and is then killed).
  int Wait(int seconds = 60) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
        return -2;
      }
      usleep(20000);
    }
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void Signal(int signal) const { kill(pid_, signal); }

 private:
  pid_t pid_ = 0;
  int output_ = -1;
  std::string read_;
};

int PortIn(const std::string& output) {
  const std::string marker = "http://127.0.0.1:";
  const std::size_t at = output.find(marker);
  return at == std::string::npos ? 0 : std::stoi(output.substr(at + marker.size()));
}

TEST(StudioCommandTest, ServesOnTheAddressItPrintsAndStopsPromptlyOnEitherSignal) {
  for (const int signal : {SIGINT, SIGTERM}) {
    Child studio({"studio", "--port", "0", "--settings", std::string(THEMES_DIR) + "/plum.plist"});
    const int port = PortIn(studio.ReadUntil("Ctrl-C"));
    ASSERT_GT(port, 0) << "no address printed";
    httplib::Client client("127.0.0.1", port);
    const auto state = client.Get("/api/state");
    ASSERT_TRUE(state && state->status == 200);
    // The file given is where it starts.
    EXPECT_NE(state->body.find(R"("value":"#1E1226")"), std::string::npos);
    // A second studio on the same port is told that it is taken.
    Child second({"studio", "--port", std::to_string(port)});
    const std::string refusal = second.ReadUntil("is another program using the port?", 30);
    EXPECT_NE(refusal.find("cannot listen on 127.0.0.1:" + std::to_string(port)), std::string::npos)
        << refusal;
    EXPECT_EQ(second.Wait(5), 2);
    // Neither an idle connection nor a client that never ends its request holds it up.
    const studio::testing::RawClient idle(port, "");
    const studio::testing::RawClient slow(port, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
    ASSERT_TRUE(client.Get("/api/version"));  // Answered after both were taken in.
    studio.Signal(signal);
    EXPECT_EQ(studio.Wait(3), 0) << strsignal(signal);
    EXPECT_NE(studio.ReadUntil("studio: stopped", 1).find("studio: stopped"), std::string::npos);
    EXPECT_FALSE(client.Get("/api/state")) << "still serving after " << strsignal(signal);
  }
}

TEST(StudioCommandTest, RefusesWhatItCannotStartWith) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("studio-command-" + std::to_string(getpid()));
  std::filesystem::create_directory(folder);
  std::ofstream(folder / "garbage") << "no settings here";
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  struct Case {
    std::vector<std::string> arguments;
    const char* message;
  };
  const std::vector<Case> cases = {
      {{"studio", "--settings", "/nonexistent/settings.plist"},
       "umbravista: cannot read the settings file /nonexistent/settings.plist: no such file"},
      {{"studio", "--settings", (folder / "garbage").string()},
       "the file is no settings file: not a property list"},
      // Fault: a FIFO left the studio waiting for a writer before it served, saying nothing.
      {{"studio", "--settings", (folder / "fifo").string()}, "fifo: not a regular file"},
      {{"studio", "--settings", "/dev/zero"}, "/dev/zero: not a regular file"},
      {{"studio", "--settings", folder.string()}, ": not a regular file"},
  };
  for (const Case& c : cases) {
    Child studio(c.arguments);
    const std::string output = studio.ReadUntil(c.message, 10);
    EXPECT_NE(output.find(c.message), std::string::npos) << c.arguments.back() << "\n" << output;
    EXPECT_EQ(studio.Wait(5), 2) << c.arguments.back();
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
