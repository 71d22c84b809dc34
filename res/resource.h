// Identifiers shared by the resource script and the code that loads from it.
#pragma once

#define IDR_MAINFRAME 128

#define IDS_APP_TITLE 1000
