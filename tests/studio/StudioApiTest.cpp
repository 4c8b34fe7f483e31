// The studio's HTTP interface, against a server in this process on a free port, with one
// simulated host behind it as `umbravista studio` has.
#include <cairo.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "device/Foundation/NSObject.h"
#include "device/runtime/Trace.h"
#include "tests/studio/StudioTestSupport.h"
#include "tools/studio/BoundedServer.h"
#include "tools/studio/SettingsAdapter.h"
#include "tools/studio/StudioJson.h"
#include "tools/studio/StudioServer.h"
#include "tools/studio/StudioSession.h"

namespace studio {
namespace {

using nlohmann::json;
using testing::RawClient;
using testing::String;
using testing::XmlSettings;

int port = 0;

std::string Own() {
  return "127.0.0.1:" + std::to_string(port);
}

struct Request {
  std::string method;
  std::string path;
  std::string body = {};
  std::string type = "application/json";
  httplib::Headers headers = {};
};

httplib::Result Send(const Request& request, time_t seconds = 30) {
  httplib::Client client("127.0.0.1", port);
  client.set_read_timeout(seconds);
  httplib::Request sent;
  sent.method = request.method;
  sent.path = request.path;
  sent.headers = request.headers;
  sent.body = request.body;
  if (request.method != "GET") sent.headers.emplace("Content-Type", request.type);
  return client.send(sent);
}

json Body(const httplib::Result& result) {
  return result ? json::parse(result->body, nullptr, false) : json();
}

json State() {
  return Body(Send({"GET", "/api/state"}));
}

// A change as the page sends it: on the version it shows, from its own origin.
json Change(const std::string& method, const json& body, const std::string& path = "/api/settings",
            const std::string& type = "application/json") {
  const std::string version = std::to_string(State()["version"].get<int>());
  const auto result = Send({method,
                            path + "?version=" + version,
                            type == "application/json" ? body.dump() : body.get<std::string>(),
                            type,
                            {{"Origin", "http://" + Own()}}});
  EXPECT_TRUE(result && result->status == 200) << path << " " << (result ? result->body : "");
  return Body(result);
}

// The feed's own background below its last row, as "#RRGGBB", read from the PNG served.
std::string FeedBackground(const std::string& which) {
  const auto result = Send({"GET", "/api/screens/0/" + which + ".png"});
  std::string_view bytes = result ? std::string_view(result->body) : "";
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(
      [](void* closure, unsigned char* data, unsigned int length) {
        auto* rest = static_cast<std::string_view*>(closure);
        if (rest->size() < length) return CAIRO_STATUS_READ_ERROR;
        std::copy_n(rest->data(), length, data);
        rest->remove_prefix(length);
        return CAIRO_STATUS_SUCCESS;
      },
      &bytes);
  char text[8] = "no PNG";
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const auto argb = *reinterpret_cast<const std::uint32_t*>(
        data + std::ptrdiff_t{540} * cairo_image_surface_get_stride(surface) + 160 * 4);
    std::snprintf(text, sizeof text, "#%06X", argb & 0xFFFFFFU);
  }
  cairo_surface_destroy(surface);
  return text;
}

class StudioApiTest : public ::testing::Test {
 protected:
  void SetUp() override { Change("PUT", json::object()); }
};

TEST_F(StudioApiTest, AChangeRedrawsTheThemedScreensAndTheFindings) {
  EXPECT_EQ(FeedBackground("stock"), "#FFFFFF");
  EXPECT_EQ(FeedBackground("themed"), "#000000");
  EXPECT_EQ(
      State()["fields"][7].dump(),
      R"({"alpha":1.0,"builtIn":"#6200B3","colour":"#6200B3","key":"heart","label":"Hearts","value":null})");
  const int before = State()["version"];
  json state = Change("PATCH", {{"MainBGColor", "#203040"}, {"Text", "#111111"}});
  EXPECT_EQ(state["version"], before + 1);
  EXPECT_EQ(state["fields"][0]["value"], "#203040");
  EXPECT_EQ(FeedBackground("themed"), "#203040");
  EXPECT_EQ(FeedBackground("stock"), "#FFFFFF");
  json text;
  for (const json& finding : state["findings"]) text = finding["key"] == "Text" ? finding : text;
  EXPECT_EQ(text["contrast"]["passed"], false) << text;
  // The switch turns the theme off without a reload: the host's own white comes back.
  Change("PATCH", {{"enabled", false}});
  EXPECT_EQ(FeedBackground("themed"), "#FFFFFF");
  state = Change("PATCH", {{"enabled", nullptr}, {"MainBGColor", nullptr}});
  EXPECT_EQ(FeedBackground("themed"), "#000000");
  EXPECT_EQ(state["screens"][0]["themed"],
            "/api/screens/0/themed.png?v=" + state["version"].dump());
}

// Every request that does not change the settings: the page's files, and each refusal.
TEST_F(StudioApiTest, ServesWhatItServesAndRefusesTheRestChangingNothing) {
  Change("PATCH", {{"Text", "#EEEEEE"}});
  const json before = State();
  const std::string version = "?version=" + before["version"].dump();
  const std::string settings = "/api/settings" + version;
  const std::string open = "/api/open" + version;
  const std::string file = "application/octet-stream";
  const std::string text = R"({"Text": "#FFF"})";
  struct Case {
    Request request;
    int status;
    std::string holds;
  };
  const std::vector<Case> cases = {
      {{"GET", "/"}, 200, "<script src=\"studio.js\">"},
      {{"GET", "/index.html", "", "", {{"Host", "localhost:" + std::to_string(port)}}},
       200,
       "<h1>"},
      {{"GET", "/studio.js"}, 200, "/api/settings"},
      {{"GET", "/studio.css"}, 200, ".field"},
      {{"GET", "/api/version"}, 200, "{\"version\":" + before["version"].dump()},
      {{"GET", "/api/screens/4/themed.png?v=9"}, 200, "PNG"},
      {{"GET", "/api/screens/5/themed.png"}, 404, "no such page"},
      {{"GET", "/../CMakeLists.txt"}, 404, "no such page"},
      {{"PATCH", settings, R"({"Text": "#GGG"})"}, 400, "names no colour (bad digit 'G')"},
      {{"PATCH", settings, R"({"Txt": "#FFF"})"}, 400, "is not a key the library reads"},
      {{"PATCH", settings, "Text=#FFF"}, 400, "the body is not JSON"},
      {{"PUT", settings, std::string(500000, '[') + std::string(500000, ']')},
       400,
       "a JSON object"},
      {{"PATCH", settings, std::string(3 << 20, ' ')}, 400, "the request is larger than"},
      {{"PATCH", settings, text, "text/plain"}, 400, "send the settings as application/json"},
      {{"PATCH", "/api/settings", text}, 400, "a change says the version it was made on"},
      {{"POST", open, "", file}, 400, "the file is no settings file: the file is empty"},
      {{"POST", open, "hello", file}, 400, "the file is no settings file: not a property list"},
      {{"POST", open, "<plist><array/></plist>", file}, 400, "its root is an array"},
      {{"POST", open, std::string((1 << 20) + 10, ' '), file}, 400, "larger than the library's"},
      {{"POST", open, XmlSettings({}), "text/plain"}, 400, "as application/octet-stream"},
      {{"GET", "/api/download?format=json"}, 400, "format is"},
      // A page of another site, by a rebound name or by a plain request from its own origin.
      {{"GET", "/api/state", "", "", {{"Host", "studio.example:80"}}}, 403, "this server answers"},
      {{"GET", "/api/state", "", "", {{"Host", "127.0.0.1"}}}, 403, "this server answers"},
      {{"PATCH", settings, text, "text/plain", {{"Origin", "http://evil.example"}}}, 403, "own"},
      {{"PUT", settings, "{}", "application/json", {{"Origin", "null"}}}, 403, "own page only"},
      {{"POST", open, XmlSettings({}), file, {{"Origin", "http://" + Own() + ".evil"}}},
       403,
       "own"},
  };
  for (const Case& c : cases) {
    const auto result = Send(c.request);
    ASSERT_TRUE(result) << c.request.path << ": no answer";
    EXPECT_EQ(result->status, c.status) << c.request.path << ": " << result->body;
    EXPECT_NE(result->body.find(c.holds), std::string::npos)
        << c.request.path << ": " << result->body.substr(0, 200);
    EXPECT_EQ(State(), before) << c.request.path << " changed the state";
  }
}

// Fault: two tabs changing the same settings overwrote each other silently.
TEST_F(StudioApiTest, AChangeOnAStaleVersionIsRefusedWithTheCurrentState) {
  const std::string seen = "/api/settings?version=" + State()["version"].dump();
  Change("PATCH", {{"Text", "#EEEEEE"}});  // Made in another tab.
  const auto stale = Send({"PATCH", seen, R"({"Text": "#111111"})"});
  ASSERT_TRUE(stale && stale->status == 409) << (stale ? stale->body : "no answer");
  const json current = Body(stale);
  EXPECT_EQ(current["version"], State()["version"]);
  EXPECT_EQ(current["fields"][3]["value"], "#EEEEEE");
  EXPECT_TRUE(current["error"].get<std::string>().starts_with("the settings were changed in"));

  // Tabs that change at once on one version: exactly one change is made, the others are told.
  const std::string now = "/api/settings?version=" + State()["version"].dump();
  const std::vector<std::string> keys = {"Link", "Username", "2text", "Icon"};
  std::atomic<int> made = 0;
  std::atomic<int> refused = 0;
  std::vector<std::thread> tabs;
  for (const std::string& key : keys) {
    tabs.emplace_back([&, key] {
      const auto result = Send({"PUT", now, json{{key, "#A0B0C0"}}.dump()});
      if (result && result->status == 200) ++made;
      if (result && result->status == 409) ++refused;
    });
  }
  for (std::thread& tab : tabs) tab.join();
  EXPECT_EQ(made, 1);
  EXPECT_EQ(refused, 3);
  EXPECT_EQ(State()["version"], current["version"].get<int>() + 1);
}

TEST_F(StudioApiTest, OpensAFileAndSaysWhatItLeftOut) {
  const std::string xml = XmlSettings({{"enabled", String("no")},
                                       {"MainBGColor", String("#0B1D2A")},
                                       {"Link", "<integer>3</integer>"},
                                       {"Text", String("GGHHII")},
                                       {"Icon", String(std::string(300, 'F'))},
                                       {"Txt", String("#FFFFFF")}});
  json state = Change("POST", xml, "/api/open", "application/octet-stream");
  EXPECT_EQ(state["enabled"], false);
  EXPECT_EQ(state["fields"][0]["value"], "#0B1D2A");
  EXPECT_EQ(state["fields"][3]["value"], "GGHHII");
  // A string that names no colour is kept: the checker says so beside its field.
  EXPECT_EQ(state["opened"]["notes"],
            json({R"("Link" is the integer 3, not a colour string; left out)",
                  R"("Icon" is a string of 300 bytes, too long for a colour; left out)",
                  R"("enabled" is the string "no", not a boolean; kept as false, what the theme )"
                  "counts it as"}));
  EXPECT_NE(state["opened"]["findings"].dump().find("key \\\"Txt\\\" is not one the library"),
            std::string::npos);

  // Bytes that are no UTF-8 reach the page replaced, and the studio goes on answering.
  const std::string notUtf8 = XmlSettings({{"Text", String("\xFF\xFE")}});
  state = Change("POST", notUtf8, "/api/open", "application/octet-stream");
  EXPECT_EQ(state["fields"][3]["value"], "\uFFFD\uFFFD");
  EXPECT_EQ(State()["fields"][3]["value"], "\uFFFD\uFFFD");
}

TEST_F(StudioApiTest, DownloadsExactlyTheFileTheDeviceReadsNamedByItsForm) {
  const std::string devicePath =
      std::string(std::getenv("SIMULATED_DEVICE_ROOT")) +
      "/var/mobile/Library/Preferences/com.marrowquinte.Umbravista.plist";
  for (const json& settings : {json::object(), json{{"enabled", true},
                                                    {"MainBGColor", "#1E1226"},
                                                    {"2text", "C7A9D6:0.75"},
                                                    {"heart", "#FF6B9A"}}}) {
    Change("PUT", settings);
    for (const std::string form : {"xml", "binary"}) {
      const auto file = Send({"GET", "/api/download?format=" + form});
      ASSERT_TRUE(file);
      EXPECT_EQ(file->get_header_value("Content-Disposition"),
                std::string("attachment; filename=\"com.marrowquinte.Umbravista.") +
                    (form == "xml" ? "" : "binary.") + "plist\"");
      // The XML is byte for byte the simulated device's settings file.
      std::ifstream device(devicePath, std::ios::binary);
      if (form == "xml") {
        EXPECT_EQ(file->body, std::string(std::istreambuf_iterator(device), {}));
      }
      // Read back as the library reads its settings.
      const auto read = ReadSettingsFile(file->body);
      ASSERT_TRUE(std::holds_alternative<OpenedSettings>(read)) << std::get<std::string>(read);
      EXPECT_EQ(SettingsJson(std::get<OpenedSettings>(read).settings), settings) << form;
    }
  }
}

// Fault: every redraw on one of the server's threads stayed in the device's trace, 0.48 MB a
// change, for as long as the studio ran.
TEST_F(StudioApiTest, ALongSessionKeepsItsMemoryWithinABand) {
  const auto resident = [] {
    std::ifstream statm("/proc/self/statm");
    long pages[2] = {};
    statm >> pages[0] >> pages[1];
    return pages[1] * sysconf(_SC_PAGESIZE);
  };
  const std::size_t calls = device::TraceCalls().size();
  long objects = 0;
  long bytes = 0;
  for (int change = 0; change < 1000; ++change) {
    Change("PATCH", {{"MainBGColor", change % 2 == 0 ? "#203040" : "#102030"}});
    if (change != 99) continue;
    objects = device::LiveObjects();
    bytes = resident();
  }
  EXPECT_EQ(device::TraceCalls().size(), calls);
  EXPECT_EQ(device::LiveObjects(), objects);
  if (*UMBRAVISTA_EMULATOR != '\0') {
    GTEST_SKIP() << "under an emulator the resident size also holds its growing translated code";
  }
  EXPECT_LT(resident() - bytes, long{16} << 20);
}

TEST_F(StudioApiTest, IdleSlowAndOversizedClientsDelayNobody) {
  const std::string started = "GET /api/version HTTP/1.1\r\nHost: " + Own() + "\r\n";
  // A browser keeps connections open between requests, and may open some it never uses; other
  // clients begin a request and send the rest slowly, or never.
  std::vector<std::unique_ptr<RawClient>> clients;
  for (int index = 0; index < 32; ++index) {
    clients.push_back(std::make_unique<RawClient>(port, index < 20 ? "" : started));
    ASSERT_TRUE(clients.back()->Connected());
  }
  const auto answer = Send({"GET", "/api/version"}, kReadTimeout.count() / 2);
  ASSERT_TRUE(answer && answer->status == 200) << "no answer with idle and slow clients connected";

  std::string manyLines;
  std::string longLines;
  for (std::size_t line = 0; line <= kMostHeaderLines; ++line) manyLines += "X-Line: 1\r\n";
  while (longLines.size() <= kLargestHead) longLines += "X-Line: " + std::string(999, 'a') + "\r\n";
  for (const std::string& headers : {std::string(kLargestHead, 'a'), manyLines, longLines}) {
    RawClient client(port, started + headers + "\r\n");
    EXPECT_TRUE(client.Answer(30).starts_with("HTTP/1.1 431 ")) << headers.substr(0, 20);
  }
}

}  // namespace
}  // namespace studio

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // As `umbravista studio` runs: zombies would keep every object of every redraw.
  device::SetZombiesEnabled(false);
  studio::StudioSession session;
  studio::StudioServer server(session);
  studio::port = server.Bind(0);
  std::thread serving([&server] { server.Serve(); });
  const int status = RUN_ALL_TESTS();
  server.Stop();
  serving.join();
  return status;
}
