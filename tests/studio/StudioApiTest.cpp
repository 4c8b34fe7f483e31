// The studio's HTTP interface, against a server in this process on a free port, with one
// simulated host behind it as `umbravista studio` has.
#include <cairo.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "tests/studio/StudioTestSupport.h"
#include "tools/studio/SettingsAdapter.h"
#include "tools/studio/StudioJson.h"
#include "tools/studio/StudioServer.h"
#include "tools/studio/StudioSession.h"

namespace studio {
namespace {

using nlohmann::json;
using testing::String;
using testing::XmlSettings;

int port = 0;

httplib::Client Client() {
  httplib::Client client("127.0.0.1", port);
  client.set_read_timeout(30);
  return client;
}

json Body(const httplib::Result& result) {
  EXPECT_TRUE(result) << "no answer";
  if (!result) return {};
  return json::parse(result->body, nullptr, false);
}

json State() {
  return Body(Client().Get("/api/state"));
}

json Patch(const json& body) {
  httplib::Client client = Client();
  const auto result = client.Patch("/api/settings", body.dump(), "application/json");
  EXPECT_TRUE(result && result->status == 200) << body << " " << (result ? result->body : "");
  return Body(result);
}

json Put(const json& body) {
  httplib::Client client = Client();
  const auto result = client.Put("/api/settings", body.dump(), "application/json");
  EXPECT_TRUE(result && result->status == 200) << body << " " << (result ? result->body : "");
  return Body(result);
}

// A pixel of a screen's picture as "#RRGGBB", read from the PNG the server serves.
std::string Pixel(const std::string& path, int x, int y) {
  const auto result = Client().Get(path);
  EXPECT_TRUE(result && result->status == 200) << path;
  if (!result) return {};
  struct Reader {
    const std::string& bytes;
    std::size_t at = 0;
  } reader{result->body};
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(
      [](void* closure, unsigned char* data, unsigned int length) {
        auto* source = static_cast<Reader*>(closure);
        if (source->bytes.size() - source->at < length) return CAIRO_STATUS_READ_ERROR;
        std::copy_n(source->bytes.data() + source->at, length, data);
        source->at += length;
        return CAIRO_STATUS_SUCCESS;
      },
      &reader);
  std::string answer = "not a PNG";
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
    const std::ptrdiff_t offset =
        static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface) +
        static_cast<std::ptrdiff_t>(x) * 4;
    std::uint32_t argb = 0;
    std::copy_n(cairo_image_surface_get_data(surface) + offset, 4,
                reinterpret_cast<unsigned char*>(&argb));
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", argb & 0xFFFFFFU);
    answer = text;
  }
  cairo_surface_destroy(surface);
  return answer;
}

// The feed's own background, below its last row.
std::string FeedBackground(const char* which) {
  return Pixel(std::string("/api/screens/0/") + which + ".png", 160, 540);
}

std::vector<json> FindingsOfKey(const json& state, const std::string& key) {
  std::vector<json> found;
  for (const json& finding : state["findings"]) {
    if (finding["key"] == key) found.push_back(finding);
  }
  return found;
}

std::string DeviceSettingsFile() {
  const std::filesystem::path path =
      std::filesystem::path(std::getenv("SIMULATED_DEVICE_ROOT")) /
      "var/mobile/Library/Preferences/com.marrowquinte.Umbravista.plist";
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class StudioApiTest : public ::testing::Test {
 protected:
  void SetUp() override { Put(json::object()); }
};

TEST_F(StudioApiTest, ServesThePageAndItsPictures) {
  struct Case {
    const char* path;
    int status;
    const char* type;
    const char* holds;
  };
  const std::vector<Case> cases = {
      {"/", 200, "text/html", "<script src=\"studio.js\">"},
      {"/index.html", 200, "text/html", "Umbravista studio"},
      {"/studio.js", 200, "text/javascript", "/api/settings"},
      {"/studio.css", 200, "text/css", ".field"},
      {"/api/screens/4/stock.png", 200, "image/png", "PNG"},
      {"/api/screens/4/themed.png?v=9", 200, "image/png", "PNG"},
      {"/api/screens/5/themed.png", 404, "application/json", "\"error\""},
      {"/api/screens/0/other.png", 404, "application/json", "no such page"},
      {"/secret.txt", 404, "application/json", "no such page"},
      {"/../CMakeLists.txt", 404, "application/json", "no such page"},
  };
  for (const Case& c : cases) {
    const auto result = Client().Get(c.path);
    ASSERT_TRUE(result) << c.path;
    EXPECT_EQ(result->status, c.status) << c.path;
    EXPECT_TRUE(result->get_header_value("Content-Type").starts_with(c.type))
        << c.path << ": " << result->get_header_value("Content-Type");
    EXPECT_NE(result->body.find(c.holds), std::string::npos) << c.path;
  }
}

TEST_F(StudioApiTest, StateListsTheFieldsTheScreensAndTheCheckersFindings) {
  const json state = State();
  std::vector<std::string> keys;
  for (const json& field : state["fields"]) keys.push_back(field["key"]);
  EXPECT_EQ(keys, (std::vector<std::string>{"MainBGColor", "Username", "Link", "Text", "Separators",
                                            "2text", "Icon", "heart"}));
  std::vector<std::string> titles;
  for (const json& screen : state["screens"]) titles.push_back(screen["title"]);
  EXPECT_EQ(titles, (std::vector<std::string>{"Feed", "Direct inbox", "React Native", "Settings",
                                              "Compose"}));
  EXPECT_EQ(
      state["fields"][7].dump(),
      R"({"alpha":1.0,"builtIn":"#6200B3","colour":"#6200B3","key":"heart","label":"Hearts","value":null})");
  const std::vector<json> heart = FindingsOfKey(state, "heart");
  ASSERT_EQ(heart.size(), 1U) << state["findings"];
  EXPECT_EQ(heart[0]["contrast"].dump(),
            R"({"counted":false,"least":3.0,"passed":false,"ratio":2.17})");
  EXPECT_EQ(state["findings"].back()["text"], "no warnings");
  EXPECT_EQ(state["hooks"][0], "59 of 59 hooks installed");
}

TEST_F(StudioApiTest, AChangeRedrawsTheThemedScreensAndLeavesTheStockOnes) {
  EXPECT_EQ(FeedBackground("stock"), "#FFFFFF");
  EXPECT_EQ(FeedBackground("themed"), "#000000");
  const int before = State()["version"];
  const json state = Patch({{"MainBGColor", "#203040"}});
  EXPECT_EQ(state["version"], before + 1);
  EXPECT_EQ(state["fields"][0]["value"], "#203040");
  EXPECT_EQ(FeedBackground("themed"), "#203040");
  EXPECT_EQ(FeedBackground("stock"), "#FFFFFF");
  // The switch turns the theme off without a reload: the host's own white comes back.
  Patch({{"enabled", false}});
  EXPECT_EQ(FeedBackground("themed"), "#FFFFFF");
  Patch({{"enabled", nullptr}, {"MainBGColor", nullptr}});
  EXPECT_EQ(FeedBackground("themed"), "#000000");
}

TEST_F(StudioApiTest, FindingsFollowEachChange) {
  json state = Patch({{"MainBGColor", "#203040"}, {"Text", "#111111"}});
  std::vector<json> text = FindingsOfKey(state, "Text");
  ASSERT_EQ(text.size(), 1U);
  EXPECT_TRUE(text[0]["warning"]);
  EXPECT_FALSE(text[0]["contrast"]["passed"]);
  EXPECT_EQ(text[0]["contrast"]["least"], 4.5);

  state = Patch({{"Text", "EEE"}});
  text = FindingsOfKey(state, "Text");
  ASSERT_EQ(text.size(), 2U) << state["findings"];
  EXPECT_NE(text[0]["text"].get<std::string>().find("read differently; write \"#EEEEEE\""),
            std::string::npos);
  EXPECT_TRUE(text[1]["contrast"]["passed"]);
  EXPECT_EQ(state["fields"][3]["colour"], "#EEEEEE");
}

TEST_F(StudioApiTest, RefusesBadRequestsChangesNothingAndGoesOnServing) {
  Patch({{"Text", "#EEEEEE"}});
  const json before = State();
  struct Case {
    const char* what;
    const char* method;
    const char* path;
    std::string body;
    const char* contentType;
    int status;
    const char* message;  // The start of the error's message.
  };
  const std::vector<Case> cases = {
      {"no colour", "PATCH", "/api/settings", R"({"Text": "#GGG"})", "application/json", 400,
       "\"#GGG\" names no colour (bad digit 'G')"},
      {"unknown key", "PATCH", "/api/settings", R"({"Txt": "#FFF"})", "application/json", 400,
       "\"Txt\" is not a key the library reads"},
      {"not JSON", "PATCH", "/api/settings", "Text=#FFF", "application/json", 400,
       "the body is not JSON"},
      {"deeply nested JSON", "PUT", "/api/settings",
       std::string(500000, '[') + std::string(500000, ']'), "application/json", 400,
       "the settings must be a JSON object"},
      {"oversized JSON", "PATCH", "/api/settings", std::string(3 << 20, ' '), "application/json",
       400, "the request is larger than"},
      {"not a property list", "POST", "/api/open", "hello", "application/octet-stream", 400,
       "the file is no settings file: not a property list"},
      {"an array at the root", "POST", "/api/open", "<plist><array/></plist>",
       "application/octet-stream", 400, "the file is no settings file: its root is an array"},
      {"over the library's limit", "POST", "/api/open", std::string((1 << 20) + 10, ' '),
       "application/octet-stream", 400, "the file is larger than the library's limit"},
      {"a form's upload", "POST", "/api/open", XmlSettings({}), "text/plain", 400,
       "send the settings file as application/octet-stream"},
      {"unknown format", "GET", "/api/download?format=json", "", "", 400, "format is"},
  };
  for (const Case& c : cases) {
    httplib::Client client = Client();
    httplib::Result result =
        std::string(c.method) == "GET"    ? client.Get(c.path)
        : std::string(c.method) == "POST" ? client.Post(c.path, c.body, c.contentType)
        : std::string(c.method) == "PUT"  ? client.Put(c.path, c.body, c.contentType)
                                          : client.Patch(c.path, c.body, c.contentType);
    ASSERT_TRUE(result) << c.what << ": no answer";
    EXPECT_EQ(result->status, c.status) << c.what << ": " << result->body;
    const json error = json::parse(result->body, nullptr, false);
    ASSERT_TRUE(error.is_object()) << c.what << ": " << result->body;
    EXPECT_TRUE(error["error"].get<std::string>().starts_with(c.message))
        << c.what << ": " << error["error"];
    EXPECT_EQ(State(), before) << c.what << " changed the state";
  }
}

TEST_F(StudioApiTest, AnswersOnlyToItsOwnAddress) {
  for (const std::string host : {"localhost", "127.0.0.1"}) {
    httplib::Client client = Client();
    const auto result = client.Get("/api/state", {{"Host", host + ":" + std::to_string(port)}});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200) << host;
  }
  for (const std::string host : {"studio.example:80", "127.0.0.1", "127.0.0.1:1"}) {
    httplib::Client client = Client();
    const auto result = client.Get("/api/state", {{"Host", host}});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 403) << host;
  }
}

TEST_F(StudioApiTest, OpensXmlAndBinaryFilesAndSaysWhatItLeftOut) {
  const std::string xml = XmlSettings({{"enabled", "<false/>"},
                                       {"MainBGColor", String("#0B1D2A")},
                                       {"Link", "<integer>3</integer>"},
                                       {"Text", String("GGHHII")},
                                       {"Txt", String("#FFFFFF")}});
  httplib::Client client = Client();
  json state = Body(client.Post("/api/open", xml, "application/octet-stream"));
  EXPECT_EQ(state["enabled"], false);
  EXPECT_EQ(state["fields"][0]["value"], "#0B1D2A");
  EXPECT_EQ(state["fields"][2]["value"], nullptr);
  // A string that names no colour is kept, and the checker says so beside its field.
  EXPECT_EQ(state["fields"][3]["value"], "GGHHII");
  const std::vector<json> text = FindingsOfKey(state, "Text");
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text[0]["text"].get<std::string>().find("names no colour (bad digit 'G')"),
            std::string::npos)
      << text[0];
  EXPECT_EQ(state["opened"]["notes"][0],
            "\"Link\" is the integer 3, not a colour string; left out");
  const std::string findings = state["opened"]["findings"].dump();
  EXPECT_NE(findings.find("key \\\"Txt\\\" is not one the library reads"), std::string::npos)
      << findings;

  StudioSettings settings;
  settings.colours = {{"heart", "#FF6B9A"}, {"Text", "F3E9F7"}};
  const std::string binary = SettingsFileBytes(settings, device::PropertyListFormat::kBinary);
  state = Body(client.Post("/api/open", binary, "application/octet-stream"));
  EXPECT_EQ(state["enabled"], nullptr);
  EXPECT_EQ(state["fields"][3]["value"], "F3E9F7");
  EXPECT_EQ(state["fields"][7]["value"], "#FF6B9A");
  EXPECT_EQ(state["fields"][0]["value"], nullptr);

  // Bytes that are no UTF-8 reach the page replaced, and the studio goes on answering.
  const std::string notUtf8 = XmlSettings({{"Text", String("\xFF\xFE")}});
  state = Body(client.Post("/api/open", notUtf8, "application/octet-stream"));
  EXPECT_EQ(state["fields"][3]["value"], "\uFFFD\uFFFD");
  EXPECT_EQ(State()["fields"][3]["value"], "\uFFFD\uFFFD");
}

TEST_F(StudioApiTest, DownloadsExactlyTheFileTheDeviceReads) {
  const json settings = {{"enabled", true},
                         {"MainBGColor", "#1E1226"},
                         {"2text", "C7A9D6:0.75"},
                         {"heart", "#FF6B9A"}};
  Put(settings);
  httplib::Client client = Client();
  const auto xml = client.Get("/api/download?format=xml");
  const auto binary = client.Get("/api/download?format=binary");
  ASSERT_TRUE(xml && binary);
  EXPECT_EQ(xml->get_header_value("Content-Disposition"),
            "attachment; filename=\"com.marrowquinte.Umbravista.plist\"");
  // The XML is byte for byte the simulated device's settings file.
  EXPECT_EQ(xml->body, DeviceSettingsFile());
  EXPECT_TRUE(binary->body.starts_with("bplist00"));
  for (const std::string& bytes : {xml->body, binary->body}) {
    // Read back as the library reads its settings.
    const auto read = ReadSettingsFile(bytes);
    ASSERT_TRUE(std::holds_alternative<OpenedSettings>(read)) << std::get<std::string>(read);
    EXPECT_EQ(SettingsJson(std::get<OpenedSettings>(read).settings), settings);
  }
}

// Each client changes a key of its own; a change computed from settings that another change was
// still drawing would lose that other change.
TEST_F(StudioApiTest, ChangesFromManyClientsAtOnceApplyOneAfterTheOther) {
  const int before = State()["version"];
  const std::vector<std::string> keys = {"Link", "Text", "Username", "2text"};
  constexpr int kChangesEach = 3;
  const auto value = [](std::size_t client, int change) {
    return "#" + std::to_string(client) + "0" + std::to_string(change) + "0A0";
  };
  std::vector<std::string> failures(keys.size());
  std::vector<std::thread> clients;
  for (std::size_t index = 0; index < keys.size(); ++index) {
    clients.emplace_back([&, index] {
      httplib::Client client = Client();
      for (int change = 0; change < kChangesEach; ++change) {
        const json body = {{keys[index], value(index, change)}};
        const auto result = client.Patch("/api/settings", body.dump(), "application/json");
        if (!result || result->status != 200) failures[index] += " refused " + body.dump();
        if (!client.Get("/api/screens/1/themed.png")) failures[index] += " no picture";
      }
    });
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(failures, std::vector<std::string>(keys.size()));
  const json state = State();
  EXPECT_EQ(state["version"], before + static_cast<int>(keys.size()) * kChangesEach);
  json last = json::object();
  for (std::size_t index = 0; index < keys.size(); ++index) {
    last[keys[index]] = value(index, kChangesEach - 1);
  }
  json values = json::object();
  for (const json& field : state["fields"]) {
    if (last.contains(field["key"])) values[field["key"].get<std::string>()] = field["value"];
  }
  EXPECT_EQ(values, last) << "a change was lost";
}

}  // namespace
}  // namespace studio

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  studio::StudioSession session;
  studio::StudioServer server(session);
  studio::port = server.Bind(0);
  std::thread serving([&server] { server.Serve(); });
  const int status = RUN_ALL_TESTS();
  server.Stop();
  serving.join();
  return status;
}
