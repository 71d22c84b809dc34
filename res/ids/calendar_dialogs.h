// Identifiers of the calendar dialogs area.
#pragma once
