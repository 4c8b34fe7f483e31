#include "tools/studio/StudioServer.h"

#include <httplib.h>

#include <array>
#include <charconv>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

#include "tools/studio/BoundedServer.h"
#include "tools/studio/EmbeddedFiles.h"
#include "tools/studio/SettingsAdapter.h"
#include "tools/studio/StudioJson.h"

namespace studio {
namespace {

using nlohmann::json;

constexpr const char* kJsonType = "application/json";
constexpr const char* kLoopback = "127.0.0.1";

struct ContentType {
  std::string_view extension;
  const char* type;
};

constexpr std::array<ContentType, 5> kContentTypes = {{
    {".html", "text/html; charset=utf-8"},
    {".css", "text/css; charset=utf-8"},
    {".js", "text/javascript; charset=utf-8"},
    {".svg", "image/svg+xml"},
    {".png", "image/png"},
}};

const char* ContentTypeOf(std::string_view name) {
  for (const ContentType& row : kContentTypes) {
    if (name.ends_with(row.extension)) return row.type;
  }
  return "application/octet-stream";
}

// A settings file may hold strings that are not UTF-8; they reach the page with U+FFFD in place
// of each bad byte rather than making every later answer fail.
void AnswerJson(httplib::Response& response, const json& body) {
  response.set_content(body.dump(-1, ' ', false, json::error_handler_t::replace), kJsonType);
}

json ErrorJson(const std::string& message, const std::string& key = {}) {
  return {{"error", message}, {"key", key.empty() ? json(nullptr) : json(key)}};
}

void AnswerError(httplib::Response& response, int status, const std::string& message,
                 const std::string& key = {}) {
  response.status = status;
  AnswerJson(response, ErrorJson(message, key));
}

std::string ReadableOrigin(int port) {
  return std::string(kLoopback) + ":" + std::to_string(port);
}

// The names by which a browser may reach this server, as a Host header says them.
bool IsOwnHost(const std::string& host, int port) {
  return host == ReadableOrigin(port) || host == "localhost:" + std::to_string(port);
}

// Whether the request only reads: every other one changes the settings.
bool Reads(const httplib::Request& request) {
  return request.method == "GET" || request.method == "HEAD";
}

std::string TypeOf(const httplib::Request& request) {
  const std::string type = request.get_header_value("Content-Type");
  return type.substr(0, type.find(';'));
}

// The version a change was made on, from its "version" parameter.
int VersionOf(const httplib::Request& request) {
  const std::string text = request.has_param("version") ? request.get_param_value("version") : "";
  int version = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), version);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    throw BadRequest("a change says the version it was made on, as ?version=N (see /api/state)");
  }
  return version;
}

}  // namespace

StudioServer::StudioServer(StudioSession& session)
    : session_(session), server_(std::make_unique<BoundedServer>([](int, const std::string& why) {
        return ErrorJson(why).dump();
      })) {
  server_->set_payload_max_length(kLargestRequestBody);
  // The default also sets SO_REUSEPORT, with which a second studio would share the port of a
  // running one instead of being told that it is taken.
  server_->set_socket_options([](socket_t socket) {
    const int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  server_->set_default_headers({
      {"Cache-Control", "no-store"},
      {"X-Content-Type-Options", "nosniff"},
      // The page loads nothing from elsewhere; nothing from elsewhere may run in it.
      {"Content-Security-Policy",
       "default-src 'self'; img-src 'self' blob:; frame-ancestors 'none'"},
  });
  Route();
}

StudioServer::~StudioServer() = default;

int StudioServer::Bind(int port) {
  const int bound = port == 0 ? server_->bind_to_any_port(kLoopback)
                              : (server_->bind_to_port(kLoopback, port) ? port : -1);
  if (bound <= 0) {
    throw std::runtime_error("cannot listen on " + ReadableOrigin(port) +
                             " (is another program using the port?)");
  }
  port_ = bound;
  return bound;
}

bool StudioServer::Serve() {
  return server_->Serve();
}

void StudioServer::Stop() {
  server_->Stop();
}

void StudioServer::Route() {
  httplib::Server& server = *server_;
  using Request = httplib::Request;
  using Response = httplib::Response;

  // Only this server's own address may name it: a page of another site that rebinds its name to
  // this machine sends its own name here. A change comes from this server's own page, or from a
  // program that names no page: a browser says which page sent it, and a form or a plain request
  // of another site's page reaches a server without asking it first.
  server.set_pre_routing_handler([this](const Request& request, Response& response) {
    const int port = port_.load();
    if (!IsOwnHost(request.get_header_value("Host"), port)) {
      AnswerError(response, 403, "this server answers to " + ReadableOrigin(port) + " only");
      return httplib::Server::HandlerResponse::Handled;
    }
    const std::string origin = request.get_header_value("Origin");
    if (!Reads(request) && request.has_header("Origin") &&
        !(origin.starts_with("http://") && IsOwnHost(origin.substr(7), port))) {
      AnswerError(response, 403, "changes are taken from this studio's own page only");
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server.set_exception_handler(
      [](const Request&, Response& response, const std::exception_ptr& failure) {
        try {
          std::rethrow_exception(failure);
        } catch (const StaleVersion& stale) {
          json state = StateJson(stale.Current());
          state["error"] =
              "the settings were changed in another tab or browser; your change was "
              "not made";
          state["key"] = nullptr;
          response.status = 409;
          AnswerJson(response, state);
        } catch (const BadRequest& refused) {
          AnswerError(response, 400, refused.what(), refused.Key());
        } catch (const std::exception& error) {
          AnswerError(response, 500, std::string("the studio failed: ") + error.what());
        } catch (...) {
          AnswerError(response, 500, "the studio failed");
        }
      });
  // Errors that no handler answered: an unknown path, a body past the limit.
  server.set_error_handler([](const Request&, Response& response) {
    if (!response.body.empty()) return;
    if (response.status == 413) {
      AnswerError(response, 400,
                  "the request is larger than " + std::to_string(kLargestRequestBody) + " bytes");
    } else if (response.status == 404) {
      AnswerError(response, 404, "no such page");
    } else {
      AnswerError(response, response.status, "the request cannot be answered");
    }
  });

  server.Get(R"(/([A-Za-z0-9_-]+\.[a-z]+)?)", [](const Request& request, Response& response) {
    const std::string name =
        request.matches[1].length() == 0 ? "index.html" : request.matches[1].str();
    for (const EmbeddedFile& file : PageFiles()) {
      if (file.name == name) {
        response.set_content(std::string(file.bytes), ContentTypeOf(name));
        return;
      }
    }
    response.status = 404;
  });

  server.Get("/api/state", [this](const Request&, Response& response) {
    AnswerJson(response, StateJson(session_.State()));
  });
  server.Get("/api/version", [this](const Request&, Response& response) {
    AnswerJson(response, {{"version", session_.Version()}});
  });
  server.Get("/api/presets",
             [](const Request&, Response& response) { AnswerJson(response, PresetsJson()); });

  const auto change = [this](ChangeKind kind) {
    return [this, kind](const Request& request, Response& response) {
      // A form or another site's page cannot send this type without asking first.
      if (TypeOf(request) != "application/json") {
        throw BadRequest("send the settings as application/json");
      }
      const int version = VersionOf(request);
      const json body = ParsedBody(request.body);
      AnswerJson(response, StateJson(session_.Change(version, [&](const StudioSettings& current) {
                   return ChangedSettings(current, body, kind);
                 })));
    };
  };
  server.Patch("/api/settings", change(ChangeKind::kMerge));
  server.Put("/api/settings", change(ChangeKind::kReplace));

  server.Post("/api/open", [this](const Request& request, Response& response) {
    if (TypeOf(request) != "application/octet-stream") {
      throw BadRequest("send the settings file as application/octet-stream");
    }
    const int version = VersionOf(request);
    auto read = ReadSettingsFile(request.body);
    if (const std::string* why = std::get_if<std::string>(&read)) throw BadRequest(*why);
    const OpenedSettings& opened = std::get<OpenedSettings>(read);
    json state =
        StateJson(session_.Change(version, [&](const StudioSettings&) { return opened.settings; }));
    state["opened"] = {{"findings", CheckSettingsFile(request.body).lines},
                       {"notes", opened.notes}};
    AnswerJson(response, state);
  });

  server.Get("/api/download", [this](const Request& request, Response& response) {
    const std::string format =
        request.has_param("format") ? request.get_param_value("format") : "xml";
    if (format != "xml" && format != "binary") {
      throw BadRequest(R"(format is "xml" or "binary")");
    }
    const bool xml = format == "xml";
    response.set_content(session_.SettingsFile(xml ? device::PropertyListFormat::kXml
                                                   : device::PropertyListFormat::kBinary),
                         xml ? "application/xml" : "application/octet-stream");
    response.set_header("Content-Disposition", std::string("attachment; filename=\"") +
                                                   (xml ? kXmlDownloadName : kBinaryDownloadName) +
                                                   "\"");
  });

  server.Get(R"(/api/screens/(\d{1,3})/(stock|themed)\.png)", [this](const Request& request,
                                                                     Response& response) {
    const std::size_t index = std::stoul(request.matches[1].str());
    const std::optional<std::string> png = session_.Picture(index, request.matches[2] == "themed");
    if (!png) {
      response.status = 404;
      return;
    }
    response.set_content(*png, "image/png");
  });
}

}  // namespace studio
