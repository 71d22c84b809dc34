// Identifiers of the printing area.
#pragma once

// The window shown while one event prints.
#define IDD_PRINT_EVENT 374
#define IDC_PRINT_EVENT_TEXT 1000
