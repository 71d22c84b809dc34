// The reason text of an HTTP status code.
#pragma once

#include <string>

// "Not Found" for 404 and so on; empty for codes not in the table.
std::string HttpStatusText(int status);
