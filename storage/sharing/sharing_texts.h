// The message texts of subscribing, refreshing and publishing.
#pragma once

namespace sharing_text {

constexpr char kSubscribeStatus[] = "Error Subscribing to Internet Calendar.\n\nHTTP Error %d: %s.";
constexpr char kPublishStatus[] = "Error Publishing Calendar '%s'.\n\nHTTP Error %d: %s.";
constexpr char kTooLarge[] = "Error Subscribing to Internet Calendar.\n\nThe calendar is larger than 64 MB.";
constexpr char kLineTooLong[] =
    "Error Subscribing to Internet Calendar.\n\nThe server sent a line longer than 512 KB.";
constexpr char kHeadersTooLarge[] =
    "Error: the server's answer before the calendar was larger than 256 KB.";
constexpr char kTooSlow[] = "Error: the server did not finish the transfer within %d seconds.";
constexpr char kNotWhole[] =
    "Error Subscribing to Internet Calendar.\n\nThe address did not return a whole iCalendar calendar.";
constexpr char kNoTransport[] = "Error Subscribing to Internet Calendar.\n\nNo network access.";
constexpr char kInvalidAddress[] = "Invalid Address: %s";
constexpr char kInvalidWebcal[] = "Invalid webcal Address: %s";
constexpr char kRefreshResults[] = "Refresh Results\nAdded: %d   Updated: %d   Deleted:  %d";
// The refresh's question when most of the calendar would go; the counts.
constexpr char kServerEmpty[] =
    "The server's calendar is empty: all %d events of this calendar would be deleted.  Nothing is ticked; tick "
    "only the events to delete, or press Cancel to keep them all.";
constexpr char kServerLostMost[] =
    "The server's calendar lacks %d of this calendar's %d events: half of it or more would be deleted.  Nothing "
    "is ticked; tick only the events to delete, or press Cancel to keep them all.";
constexpr char kLocalFileExists[] = "Local file already exists.  Overwrite local file?";
constexpr char kNameInUse[] = "Calendar Name is already in use.  Please enter a different calendar name.";
constexpr char kAddressInUse[] = "Calendar Address is already subscribed to by another calendar.";
constexpr char kAlreadyOpen[] = "This file is already open.";
// A login the server turned down, before the login box asks again.
constexpr char kLoginRefused[] =
    "The server refused the user name or password.\n\nPlease check them and try again.";
constexpr char kAdvancedCaption[] = "Advanced Event Warning";
constexpr char kAdvanced[] =
    "The current calendar includes advanced recurring event definitions which may not be supported by all "
    "calendar programs.";

}  // namespace sharing_text
