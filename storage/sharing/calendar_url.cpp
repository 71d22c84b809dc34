#include "storage/sharing/calendar_url.h"

#include <cctype>

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsBadChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u <= 0x20 || u == 0x7F;
}

int DefaultPort(const std::string& scheme) {
  if (scheme == "https") return 443;
  if (scheme == "ftp") return 21;
  return 80;
}

// "host[:port]" with an optional "user[:password]@" before it.
bool SplitAuthority(const std::string& authority, CalendarUrl* url) {
  std::string hostPort = authority;
  const size_t at = authority.rfind('@');
  if (at != std::string::npos) {
    const std::string login = authority.substr(0, at);
    hostPort = authority.substr(at + 1);
    const size_t colon = login.find(':');
    url->user = login.substr(0, colon);
    url->password = colon == std::string::npos ? std::string() : login.substr(colon + 1);
  }
  std::string host = hostPort;
  size_t colon = std::string::npos;
  if (!hostPort.empty() && hostPort[0] == '[') {
    const size_t close = hostPort.find(']');
    if (close == std::string::npos) return false;
    host = hostPort.substr(0, close + 1);
    if (close + 1 < hostPort.size()) {
      if (hostPort[close + 1] != ':') return false;
      colon = close + 1;
    }
  } else {
    colon = hostPort.find(':');
    host = hostPort.substr(0, colon);
  }
  if (host.empty()) return false;
  url->host = host;
  url->port = DefaultPort(url->scheme);
  url->portGiven = false;
  if (colon != std::string::npos) {
    const std::string digits = hostPort.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) return false;
    long port = 0;
    for (char c : digits) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
      port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return false;
    url->port = static_cast<int>(port);
    url->portGiven = true;
  }
  return true;
}

// The part after the authority: path, then "?query", then "#fragment"
// (never sent).
void SplitPathQuery(const std::string& rest, CalendarUrl* url) {
  std::string r = rest.substr(0, rest.find('#'));
  const size_t q = r.find('?');
  url->path = r.substr(0, q);
  url->query = q == std::string::npos ? std::string() : r.substr(q);
  if (url->path.empty()) url->path = "/";
}

}  // namespace

std::string TrimAddress(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t b = text.find_first_not_of(blanks);
  if (b == std::string::npos) return std::string();
  return text.substr(b, text.find_last_not_of(blanks) - b + 1);
}

std::string CalendarUrl::FtpObject() const {
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return path.substr(1);
  return path;
}

bool CalendarUrl::SameServer(const CalendarUrl& other) const {
  return scheme == other.scheme && Lower(host) == Lower(other.host) && port == other.port;
}

bool SplitCalendarUrl(const std::string& address, CalendarUrl* url) {
  CalendarUrl out;
  const std::string text = TrimAddress(address);
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  out.scheme = Lower(text.substr(0, colon));
  for (char c : out.scheme)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  std::string rest = text.substr(colon + 1);
  if (out.scheme == "file") {
    // file:///C:/dir/x.ics, file://C:\x.ics and file:C:\x.ics name a local file.
    if (rest.compare(0, 2, "//") == 0) rest = rest.substr(2);
    if (rest.size() > 2 && rest[0] == '/' && rest[2] == ':') rest = rest.substr(1);
    if (rest.empty()) return false;
    out.host.clear();
    out.port = 0;
    out.path = rest;
    *url = out;
    return true;
  }
  for (char c : text)
    if (IsBadChar(c)) return false;
  if (rest.compare(0, 2, "//") != 0) return false;
  rest = rest.substr(2);
  const size_t end = rest.find_first_of("/?#");
  if (!SplitAuthority(rest.substr(0, end), &out)) return false;
  SplitPathQuery(end == std::string::npos ? std::string() : rest.substr(end), &out);
  if (out.path[0] != '/') out.path = "/" + out.path;
  *url = out;
  return true;
}

bool ResolveRedirect(const CalendarUrl& from, const std::string& location, CalendarUrl* to) {
  const std::string loc = TrimAddress(location);
  if (loc.empty()) return false;
  for (char c : loc)
    if (IsBadChar(c)) return false;
  CalendarUrl next;
  if (loc.compare(0, 2, "//") == 0) {
    if (!SplitCalendarUrl(from.scheme + ":" + loc, &next)) return false;
  } else if (loc.find("://") != std::string::npos && loc.find("://") < loc.find_first_of("/?#")) {
    if (!SplitCalendarUrl(loc, &next)) return false;
  } else {
    next = from;
    next.user.clear();
    next.password.clear();
    if (loc[0] == '/') {
      SplitPathQuery(loc, &next);
    } else {
      const std::string base = from.path.substr(0, from.path.rfind('/') + 1);
      SplitPathQuery(base + loc, &next);
    }
  }
  if (next.scheme != "http" && next.scheme != "https") return false;
  *to = next;
  return true;
}
