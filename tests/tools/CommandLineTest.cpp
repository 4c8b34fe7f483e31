// The umbravista command as a user runs it: help on standard output with status 0 however it is
// asked for, misuse on standard error with status 2, and check's statuses and JSON.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ContentsOf(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Runs the tool with `arguments`, its standard streams in files.
ToolRun RunTool(const std::vector<std::string>& arguments) {
  const std::filesystem::path directory = std::filesystem::temp_directory_path();
  const std::string out = (directory / ("umbravista-out-" + std::to_string(getpid()))).string();
  const std::string err = (directory / ("umbravista-err-" + std::to_string(getpid()))).string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  // Built for another architecture, the tool runs under the emulator that runs this test.
  std::vector<std::string> words = {UMBRAVISTA_EMULATOR, UMBRAVISTA_TOOL_PATH};
  if (words.front().empty()) words.erase(words.begin());
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  ToolRun run;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  run.out = ContentsOf(out);
  run.err = ContentsOf(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

struct CommandCase {
  std::vector<std::string> arguments;
  int status;
  const char* out;  // A fragment standard output must hold; "" for nothing at all.
  const char* err;  // The same for standard error.
};

std::string Shown(const std::vector<std::string>& arguments) {
  std::string shown = "umbravista";
  for (const std::string& word : arguments) shown += " '" + word + "'";
  return shown;
}

void ExpectRuns(const std::vector<CommandCase>& cases) {
  for (const CommandCase& command : cases) {
    const ToolRun run = RunTool(command.arguments);
    SCOPED_TRACE(Shown(command.arguments) + "\nout:\n" + run.out + "\nerr:\n" + run.err);
    EXPECT_EQ(run.status, command.status);
    for (const auto& [stream, fragment] :
         {std::pair{&run.out, command.out}, {&run.err, command.err}}) {
      if (*fragment == '\0') {
        EXPECT_TRUE(stream->empty());
      } else {
        EXPECT_NE(stream->find(fragment), std::string::npos) << "missing: " << fragment;
      }
    }
  }
}

TEST(CommandLineTest, GivesHelpOnStandardOutputHoweverAskedFor) {
  ExpectRuns({
      {{"--help"}, 0, "Usage: umbravista [OPTIONS] SUBCOMMAND", ""},
      {{"-h"}, 0, "Usage: umbravista [OPTIONS] SUBCOMMAND", ""},
      {{"help"}, 0, "Usage: umbravista [OPTIONS] SUBCOMMAND", ""},
      {{"help", "check"}, 0, "Usage: umbravista check [OPTIONS] SETTINGS", ""},
      {{"check", "--help"}, 0, "Usage: umbravista check [OPTIONS] SETTINGS", ""},
      {{"check", "help"}, 0, "Usage: umbravista check [OPTIONS] SETTINGS", ""},
      {{"preview", "-h"}, 0, "--system-version", ""},
      {{"studio", "help"}, 0, "--port", ""},
  });
}

TEST(CommandLineTest, SendsMisuseToStandardErrorWithStatusTwo) {
  ExpectRuns({
      {{}, 2, "", "A subcommand is required"},
      {{"bogus"}, 2, "", "no command named bogus"},
      {{"help", "bogus"}, 2, "", "help is about one command"},
      {{"check"}, 2, "", "SETTINGS is required"},
      {{"check", "a", "b"}, 2, "", "not expected: b"},
      // Regression: an empty settings path previewed silently without settings.
      {{"preview", "--settings", ""}, 2, "", "--settings: must not be empty"},
      {{"preview", "--bogus"}, 2, "", "--bogus"},
      {{"studio", "--port", "70000"}, 2, "", "not in range"},
      {{"studio", "--port", "eighty"}, 2, "", "--port"},
  });
}

TEST(CommandLineTest, ChecksInTextOrJsonWithTheSameStatus) {
  const std::filesystem::path settings =
      std::filesystem::temp_directory_path() / ("umbravista-check-" + std::to_string(getpid()));
  std::ofstream(settings) << "<plist><dict><key>Txt</key><string>#FFFFFF</string></dict></plist>";
  ExpectRuns({
      {{"check", settings.string()}, 1, "did you mean \"Text\"?", ""},
      {{"check", "--json", settings.string()}, 1, "\"suggestion\": \"Text\"", ""},
      {{"check", settings.string() + ".gone"}, 2, "no such file", ""},
  });
  const ToolRun json = RunTool({"check", "--json", settings.string()});
  const nlohmann::json parsed = nlohmann::json::parse(json.out);
  EXPECT_EQ(parsed.at("status"), 1);
  EXPECT_EQ(parsed.at("findings").at(0).at("kind"), "unknown-key");
  std::filesystem::remove(settings);
}

}  // namespace
