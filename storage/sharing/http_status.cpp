#include "storage/sharing/http_status.h"

std::string HttpStatusText(int status) {
  static const struct {
    int code;
    const char* text;
  } kTable[] = {
      {100, "Continue"}, {101, "Switching Protocols"}, {200, "OK"}, {201, "Created"}, {202, "Accepted"},
      {203, "Non-Authoritative Information"}, {204, "No Content"}, {205, "Reset Content"},
      {206, "Partial Content"}, {300, "Multiple Choices"}, {301, "Moved Permanently"},
      {302, "Moved Temporarily"}, {303, "See Other"}, {304, "Not Modified"}, {305, "Use Proxy"},
      {400, "Bad Request"}, {401, "Unauthorized"}, {402, "Payment Required"}, {403, "Forbidden"},
      {404, "Not Found"}, {405, "Method Not Allowed"}, {406, "Not Acceptable"},
      {407, "Proxy Authentication Required"}, {408, "Request Time-Out"}, {409, "Conflict"}, {410, "Gone"},
      {411, "Length Required"}, {412, "Precondition Failed"}, {413, "Request Entity Too Large"},
      {414, "Request-URL Too Large"}, {415, "Unsupported Media Type"}, {500, "Server Error"},
      {501, "Not Implemented"}, {502, "Bad Gateway"}, {503, "Out of Resources"}, {504, "Gateway Time-Out"},
      {505, "HTTP Version not supported"},
  };
  for (const auto& e : kTable)
    if (e.code == status) return e.text;
  return std::string();
}
