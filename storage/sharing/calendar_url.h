// The address of an Internet calendar, split as a URL: scheme, host, port,
// login, path and query. The split starts from the scheme "http" and port
// 80, so an address that names no port of its own gets 80 for HTTP (also
// "webcal" and schemes we do not know), 443 for https and 21 for ftp.
#pragma once

#include <string>

struct CalendarUrl {
  std::string scheme = "http";  // lower case
  std::string host;
  int port = 80;
  bool portGiven = false;
  std::string user;      // written in the address; never used to log in
  std::string password;
  std::string path;      // "/" when the address has none (file: the local path)
  std::string query;     // with its "?", empty when none

  bool IsFtp() const { return scheme == "ftp"; }
  bool IsFile() const { return scheme == "file"; }
  bool IsHttps() const { return scheme == "https"; }
  // What an HTTP request asks for: path and query.
  std::string HttpObject() const { return path + query; }
  // What an FTP request opens: the path without one leading "/" or "\".
  std::string FtpObject() const;
  // Scheme, host and port: where a login may be sent.
  bool SameServer(const CalendarUrl& other) const;
};

// Trims the address and splits it; false when it is not an address
// (no "scheme://", no host, a bad port, blanks or control characters).
bool SplitCalendarUrl(const std::string& address, CalendarUrl* url);

// The target of a redirect's Location, absolute or relative to `from`;
// false when it is not an HTTP or HTTPS address.
bool ResolveRedirect(const CalendarUrl& from, const std::string& location, CalendarUrl* to);

// Trims blanks, tabs and line ends at both ends.
std::string TrimAddress(const std::string& text);
