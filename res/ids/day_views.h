// Identifiers of the day views area.
#pragma once

// Commands of the occurrence menus of the day schedule, the all-day strip
// and the day pop-up.
#define ID_OCC_ADD 40001
#define ID_OCC_MODIFY 40002
#define ID_OCC_DELETE 40003
#define ID_OCC_ACKNOWLEDGE 40004
#define ID_OCC_DETAILS 40005
#define ID_OCC_SHOW_IN_LIST 40006
#define ID_OCC_RESET 40007
#define ID_OCC_UNACKNOWLEDGE 40008
#define ID_OCC_ADD_COPY 40009
#define ID_OCC_PRINT 40010
#define ID_OCC_EXPORT 40011
