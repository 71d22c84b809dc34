// The "user:password@" an Internet calendar's address may carry. It is
// never used to log in, so it is neither stored with the calendar nor
// shown in a message: the address goes without it, and the login it names
// is offered in the login box instead (CCalendarFile::SetAddress).
#pragma once

#include <string>

// The address without the login between "://" and the host; the login's
// user name and password (each empty when absent) into *user and
// *password when given. Pure text: an address that does not parse loses
// its login all the same.
std::string AddressWithoutLogin(const std::string& address, std::string* user = nullptr,
                                std::string* password = nullptr);
